#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <initializer_list>
#include <memory>
#include <vector>

#include "tests/support/FakeAudioLibrary.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/Pixels.h"
#include "ui/Form1.h"
#include "ui/toolkit/Colors.h"

// A list of the window's controls for a check that loops over them.
using Widgets = std::initializer_list<QWidget*>;

// The application's look as a dark desktop gives it: white text on dark grey in the Windows
// style. The classic look comes back at destruction.
class DarkDesktop {
 public:
  DarkDesktop();
  ~DarkDesktop();
  DarkDesktop(const DarkDesktop&) = delete;
  DarkDesktop& operator=(const DarkDesktop&) = delete;
};

// Shows `window` and makes it the active window, as the user's click on it would: keys reach a
// window, its shortcuts included, only while it is active.
void ActivateWindow(QWidget* window);

// Program-wide values as at program start (the window sets its own at creation).
void ResetProgramState();

// What every test of the window sets up before it creates one: the program-wide values as at
// program start and `audio` as the program's audio library. The library that was there before is
// put back at destruction.
class ProgramSetUp {
 public:
  explicit ProgramSetUp(AudioLibrary& audio);
  ~ProgramSetUp();
  ProgramSetUp(const ProgramSetUp&) = delete;
  ProgramSetUp& operator=(const ProgramSetUp&) = delete;

 private:
  AudioLibrary* previousAudio_ = nullptr;
};

// A test of the window over the audio library `Audio`, with message boxes captured in `boxes`
// instead of shown (and with `printBoxes` printed as they come). The window is created the way
// the program creates it (its constructor runs FormCreate).
template <typename Audio>
class WindowFixture : public ::testing::Test {
 protected:
  explicit WindowFixture(bool printBoxes = false) : capture_(printBoxes) {}

  TForm1& CreateForm() {
    form = std::make_unique<TForm1>();
    return *form;
  }

  Audio audio;

 private:
  MessageBoxCapture capture_;
  ProgramSetUp setUp_{audio};

 protected:
  std::vector<MessageBoxCall>& boxes = capture_.boxes;
  std::unique_ptr<TForm1> form;
};

// A window over a fake audio library; tests may adjust `audio` for start-up failures before they
// create the window.
class FormFixture : public WindowFixture<FakeAudioLibrary> {
 protected:
  void TearDown() override;

  // CreateForm() and then the tick of "Ознакомился".
  TForm1& CreateUnlockedForm();

  // Shows the window if it is hidden and runs the event loop until the window has painted its
  // latest state (no paint held back for the next frame).
  void PaintWindow();
  // What the window shows of `widget`: its rectangle read back from the window's screen.
  QImage OnScreen(const QWidget* widget);
  // The whole window as shown, once painted.
  QImage WindowShot();
  // The preview box with its pending drawing done, as its next paint would do it.
  TPaintBox& DrawnPreview();
};
