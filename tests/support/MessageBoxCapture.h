#pragma once

#include <iostream>
#include <vector>

#include "ui/toolkit/MessageBox.h"

// Records the message boxes shown while it lives, instead of showing them. With `print`, each is
// also printed as it comes, so that a failing run shows it.
class MessageBoxCapture {
 public:
  explicit MessageBoxCapture(bool print = false)
      : previous_(SetMessageBoxHook([this, print](const MessageBoxCall& call) {
          boxes.push_back(call);
          if (print)
            std::cout << "[ box        ] " << call.title.toStdString() << ": "
                      << call.text.toStdString() << '\n';
        })) {}
  ~MessageBoxCapture() { SetMessageBoxHook(previous_); }
  MessageBoxCapture(const MessageBoxCapture&) = delete;
  MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

  std::vector<MessageBoxCall> boxes;

 private:
  MessageBoxHook previous_;
};
