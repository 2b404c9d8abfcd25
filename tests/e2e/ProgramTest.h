#pragma once

#include <gtest/gtest.h>

#include <QString>

#include "audio/PulseAudioLibrary.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"

class QAbstractButton;
class TEdit;
class TSpeedButton;

// A test of the whole program against the real sound server: the real audio library is the
// program's, message boxes are captured and printed as they come (so that a failing run shows
// them), and the window is created and shown the way the program does it. TearDown closes the
// window, frees the audio library and fails the test if any box was shown.
class ProgramTest : public WindowFixture<PulseAudioLibrary> {
 protected:
  ProgramTest() : WindowFixture(true) {}
  // Opens the window; the test fails (fatally) if the audio start-up showed a box.
  void OpenWindow();
  void TearDown() override;

  TForm1& f() { return *form; }
};

// The user's hand: a left click where each kind of control takes it, on an enabled control.
void Click(TSpeedButton* button);
void Click(QAbstractButton* box);  // check box or radio button: on its indicator
void TypeInto(TEdit* edit, const QString& text);
