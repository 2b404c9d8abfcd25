#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/support/FakeAudioLibrary.h"
#include "ui/toolkit/MessageBox.h"

class TForm1;

// Program-wide values as at program start (the window sets its own at creation).
void ResetProgramState();

// A window over a fake audio library, with message boxes captured instead of shown. The window
// is created the way the program creates it (its constructor runs FormCreate).
class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the window; tests may first adjust `audio` for start-up failures.
  TForm1& CreateForm();
  // CreateForm() and then the tick of "Ознакомился".
  TForm1& CreateUnlockedForm();

  FakeAudioLibrary audio;
  std::vector<MessageBoxCall> boxes;
  std::unique_ptr<TForm1> form;

 private:
  AudioLibrary* previousAudio_ = nullptr;
  MessageBoxHook previousHook_;
};
