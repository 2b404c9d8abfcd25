// Start-up, start, stop and close of the tone against a recording fake audio library.
#include <gtest/gtest.h>

#include "audio/Tone.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/PaintBox.h"

namespace {

using Calls = std::vector<std::string>;

class ToneHandlersTest : public FormFixture {};

TEST_F(ToneHandlersTest, StartupCallsVersionInitAndStreamCreateInOrder) {
  TForm1& form = CreateForm();
  EXPECT_EQ(audio.calls,
            (Calls{"GetVersion()", "Init(1,44100,0,window,0)", "StreamCreate(22050,2,0,proc,0)"}));
  EXPECT_EQ(audio.proc, &ToneStreamProc);
  EXPECT_EQ(form.Stream, 7u);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Frequency.load(), 1000);
  EXPECT_EQ(Amplitude.load(), 16864);
}

struct StartupFailure {
  const char* name;
  uint32_t version;
  bool init;
  uint32_t handle;
  uint32_t code;
  const char* text;
  size_t calls;  // library calls made, ErrorGetCode included
};

class StartupFailureTest : public FormFixture,
                           public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFailureTest, ShowsOneBoxAndTheWindowStillOpensWithTheDefaults) {
  const StartupFailure& failure = GetParam();
  audio.version = failure.version;
  audio.initResult = failure.init;
  audio.streamHandle = failure.handle;
  audio.errorCode = failure.code;
  TForm1& form = CreateForm();

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "BASS Error");
  EXPECT_EQ(boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(boxes[0].owner, &form);
  EXPECT_EQ(boxes[0].text, QString::fromUtf8(failure.text));
  EXPECT_EQ(audio.calls.size(), failure.calls);
  EXPECT_EQ(audio.calls.back(), "ErrorGetCode()");
  EXPECT_EQ(form.Stream, 0u);
  EXPECT_EQ(Frequency.load(), 1000);
  EXPECT_EQ(Amplitude.load(), 16864);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StartupFailureTest,
    ::testing::Values(StartupFailure{"Version0", 0, true, 7, 0x10002,
                                     "BASS version 2.0 was not loaded\r\n(error code: 65538)", 2},
                      // Low 16 bits 2 but high bits set: still the wrong version.
                      StartupFailure{"VersionHighBits", 0x00010002, true, 7, 0,
                                     "BASS version 2.0 was not loaded\r\n(error code: 0)", 2},
                      StartupFailure{"Init", 2, false, 7, 0xFFFFFFFF,
                                     "Could not initialize BASS\r\n(error code: 4294967295)", 3},
                      StartupFailure{"StreamCreate", 2, true, 0, 6,
                                     "Could not create user stream\r\n(error code: 6)", 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToneHandlersTest, StartPlaysFromPhaseZeroAndSwapsTheButtons) {
  TForm1& form = CreateUnlockedForm();
  audio.calls.clear();
  Phase = 12.5;
  form.Button3Click(form.Button3);

  EXPECT_EQ(audio.calls, (Calls{"StreamPlay(7,0,0)"}));
  EXPECT_EQ(Phase.load(), 0);
  EXPECT_TRUE(Playing);
  EXPECT_FALSE(form.Button3->isEnabled());
  EXPECT_TRUE(form.SpeedButton1->isEnabled());

  // Pressed again (as the presets do) while playing: no library call, no phase reset.
  Phase = 3.25;
  form.Button3Click(form.Button3);
  EXPECT_EQ(audio.calls.size(), 1u);
  EXPECT_EQ(Phase.load(), 3.25);
  EXPECT_TRUE(form.SpeedButton1->isEnabled());
}

TEST_F(ToneHandlersTest, StartRedrawsThePreviewWithTheCurrentValues) {
  TForm1& form = CreateUnlockedForm();
  Frequency = 2000;  // two periods across: the top of the first at x = 112
  form.Button3Click(form.Button3);
  EXPECT_EQ(DrawnPreview().Canvas().Pixel(112, 25), kBrightGreen);
}

TEST_F(ToneHandlersTest, StopStopsTheStreamAndKeepsThePhase) {
  TForm1& form = CreateUnlockedForm();
  form.Button3Click(form.Button3);
  audio.calls.clear();
  Phase = 7.5;
  form.SpeedButton1Click(form.SpeedButton1);

  EXPECT_EQ(audio.calls, (Calls{"ChannelStop(7)"}));
  EXPECT_FALSE(Playing);
  EXPECT_EQ(Phase.load(), 7.5);
  EXPECT_TRUE(form.Button3->isEnabled());
  EXPECT_FALSE(form.SpeedButton1->isEnabled());

  // Stop while stopped: nothing at all.
  form.SpeedButton1Click(form.SpeedButton1);
  EXPECT_EQ(audio.calls.size(), 1u);

  // Start again: from phase 0, no effect call.
  form.Button3Click(form.Button3);
  EXPECT_EQ(audio.calls.back(), "StreamPlay(7,0,0)");
  EXPECT_EQ(Phase.load(), 0);
}

TEST_F(ToneHandlersTest, FailedStartLeavesBothButtonsEnabledAndStopWithoutEffect) {
  TForm1& form = CreateUnlockedForm();
  audio.playResult = false;
  audio.errorCode = 23;
  const QImage before = DrawnPreview().Image();
  form.Button3Click(form.Button3);

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Could not start stream playback\r\n(error code: 23)");
  EXPECT_FALSE(Playing);
  EXPECT_TRUE(form.Button3->isEnabled());
  EXPECT_TRUE(form.SpeedButton1->isEnabled());
  EXPECT_EQ(DrawnPreview().Image(), before);  // no redraw after a failed start

  audio.calls.clear();
  form.SpeedButton1Click(form.SpeedButton1);
  EXPECT_TRUE(audio.calls.empty());
}

TEST_F(ToneHandlersTest, EveryStartAfterAFailedStartupReportsAgainWithHandleZero) {
  audio.streamHandle = 0;
  audio.errorCode = 5;
  TForm1& form = CreateUnlockedForm();
  boxes.clear();
  form.Button3Click(form.Button3);
  form.Button3Click(form.Button3);
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay"),
            (Calls{"StreamPlay(0,0,0)", "StreamPlay(0,0,0)"}));
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Could not start stream playback\r\n(error code: 5)");
}

TEST_F(ToneHandlersTest, ClosingTheWindowFreesTheLibraryOnly) {
  TForm1& form = CreateUnlockedForm();
  form.Button3Click(form.Button3);
  audio.calls.clear();
  form.show();
  form.close();
  EXPECT_EQ(audio.calls, (Calls{"Free()"}));
}

}  // namespace
