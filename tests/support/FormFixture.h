#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "tests/support/FakeAudioLibrary.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/MessageBox.h"

class QWidget;
class TForm1;

// A list of the window's controls for a check that loops over them.
using Widgets = std::initializer_list<QWidget*>;

// How many pixels of `image` have the colour `colour`.
int PixelsOf(const QImage& image, TColor colour);

// The row of the waveform preview's curve in column x for this frequency and amplitude: the
// sine sampled at the column, scaled and rounded to the nearest row.
int PreviewCurveRow(int x, double frequency, double amplitude);

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
// program start, `audio` as the program's audio library, and `onBox` in place of message boxes.
// The library and the hook that were there before are put back at destruction.
class ProgramSetUp {
 public:
  ProgramSetUp(AudioLibrary& audio, MessageBoxHook onBox);
  ~ProgramSetUp();
  ProgramSetUp(const ProgramSetUp&) = delete;
  ProgramSetUp& operator=(const ProgramSetUp&) = delete;

 private:
  AudioLibrary* previousAudio_ = nullptr;
  MessageBoxHook previousHook_;
};

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

  // Shows the window if it is hidden and runs the event loop until the window has painted its
  // latest state (no paint held back for the next frame).
  void PaintWindow();
  // What the window shows of `widget`: its rectangle read back from the window's screen.
  QImage OnScreen(const QWidget* widget);
  // The whole window as shown, once painted.
  QImage WindowShot();

  FakeAudioLibrary audio;
  std::vector<MessageBoxCall> boxes;
  std::unique_ptr<TForm1> form;

 private:
  std::optional<ProgramSetUp> setUp_;
};
