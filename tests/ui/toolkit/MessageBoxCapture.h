#pragma once

#include <vector>

#include "ui/toolkit/MessageBox.h"

// Records the message boxes shown while it lives, instead of showing them.
class MessageBoxCapture {
 public:
  MessageBoxCapture()
      : previous_(
            SetMessageBoxHook([this](const MessageBoxCall& call) { boxes.push_back(call); })) {}
  ~MessageBoxCapture() { SetMessageBoxHook(previous_); }
  MessageBoxCapture(const MessageBoxCapture&) = delete;
  MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

  std::vector<MessageBoxCall> boxes;

 private:
  MessageBoxHook previous_;
};
