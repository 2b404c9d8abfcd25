// The tone through the real audio library and a real sound server: ToneStreamProc fills the
// stream, PulseAudioLibrary plays it to PulseAudio's null sink, and the sink's monitor is
// recorded and analysed. ./test starts the server and sets PULSE_SERVER.
#include <gtest/gtest.h>

#include <QThread>
#include <cmath>
#include <iostream>
#include <numbers>

#include "app/DesktopIdentity.h"
#include "audio/PulseAudioLibrary.h"
#include "audio/Tone.h"
#include "tests/support/NullSinkRecording.h"
#include "tests/support/Processes.h"
#include "tests/support/SignalMeasures.h"

namespace {

constexpr double kFrequency = 1000;  // heard as 500 Hz
constexpr double kAmplitude = 16864;
constexpr double kHeard = kFrequency / 2;
// The right value of each frame is one phase step ahead of the left.
constexpr double kLeadDegrees = 180.0 * kFrequency / kValuesPerSecond;

class ToneE2ETest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SoundServerReachable()) GTEST_SKIP() << "no sound server (PULSE_SERVER; see ./test)";
    DescribeStreamToSoundServer();  // as the program does before its audio start-up
    ASSERT_TRUE(audio.Init(1, 44100, 0, nullptr, nullptr)) << audio.ErrorGetCode();
    stream = audio.StreamCreate(22050, 2, 0, &ToneStreamProc, nullptr);
    ASSERT_NE(stream, 0u) << audio.ErrorGetCode();
    Frequency.store(kFrequency);
    Amplitude.store(kAmplitude);
  }
  void TearDown() override { audio.Free(); }

  // Plays the tone from phase 0 for `playMs`, stops it, and returns what the sink played,
  // recorded from before the start until `afterMs` after the stop.
  std::vector<int16_t> PlayAndRecord(int playMs, int afterMs) {
    Recorder recorder;
    if (!recorder.Start()) return {};
    Phase.store(0.0);
    EXPECT_TRUE(audio.StreamPlay(stream, false, 0)) << audio.ErrorGetCode();
    QThread::msleep(static_cast<unsigned long>(playMs / 2));
    ReportLatency();
    QThread::msleep(static_cast<unsigned long>(playMs - playMs / 2));
    EXPECT_TRUE(audio.ChannelStop(stream));
    QThread::msleep(static_cast<unsigned long>(afterMs));
    return recorder.Stop();
  }

  // What the server says about our playing stream: its latency for the test log, and the
  // properties by which mixers show it, kept for the test. The silent keep-alive stream of the
  // test server is left out.
  void ReportLatency() {
    for (const QString& block : ProgramSinkInputs()) {
      for (const QString& line : block.split('\n')) {
        const QString text = line.trimmed();
        if (text.startsWith("Buffer Latency:") || text.startsWith("Sink Latency:") ||
            text.startsWith("Sample ") || text.startsWith("Resample method:")) {
          std::cout << "[ sink-input ] " << text.toStdString() << '\n';
          RecordProperty(text.section(':', 0, 0).toStdString(),
                         text.section(':', 1).trimmed().toStdString());
        } else if (text.contains(" = \"")) {
          properties.append(text);
        }
      }
    }
  }

  QStringList properties;  // of the playing stream, as pactl prints them: key = "value"
  PulseAudioLibrary audio;
  uint32_t stream = 0;
};

TEST_F(ToneE2ETest, PlaysHalfTheFrequencyWithTheRightChannelLeading) {
  const std::vector<int16_t> recording = PlayAndRecord(1000, 200);
  const std::vector<int16_t> left = ChannelOf(recording, 0);
  const std::vector<int16_t> right = ChannelOf(recording, 1);
  const Extent tone = AboveThreshold(left, static_cast<int>(kAmplitude / 2));
  // The steady middle of the tone, away from its start and its fade-out.
  const size_t margin = Samples(100);
  ASSERT_GT(tone.end, tone.begin + 4 * margin) << "the tone was not recorded";
  const std::span<const int16_t> steadyLeft = Slice(left, tone.begin + margin, tone.end - margin);
  const std::span<const int16_t> steadyRight = Slice(right, tone.begin + margin, tone.end - margin);

  const double leftHz = ZeroCrossingFrequency(steadyLeft, Recorder::kRate);
  const double rightHz = ZeroCrossingFrequency(steadyRight, Recorder::kRate);
  const double lead = LeadDegrees(steadyLeft, steadyRight, kHeard, Recorder::kRate);
  std::cout << "[ measured   ] " << leftHz << " Hz / " << rightHz << " Hz, peaks "
            << Peak(steadyLeft) << " / " << Peak(steadyRight) << ", right leads by " << lead
            << " degrees\n";
  EXPECT_NEAR(leftHz, kHeard, 1.0);
  EXPECT_NEAR(rightHz, kHeard, 1.0);
  EXPECT_NEAR(Peak(steadyLeft), kAmplitude, kAmplitude * 0.02);
  EXPECT_NEAR(Peak(steadyRight), kAmplitude, kAmplitude * 0.02);
  EXPECT_NEAR(lead, kLeadDegrees, 1.0);
  // Mixers show the stream by the desktop entry's name and icon, what plays and its role.
  for (const char* property : {R"(application.name = "Kestrov Lab Vimbra Generator")",
                               R"(application.icon_name = "vimbra-generator")",
                               R"(application.id = "lab.kestrov.VimbraGenerator")",
                               R"(media.name = "Синусоидальный тон")", R"(media.role = "test")"}) {
    EXPECT_TRUE(properties.contains(QString::fromUtf8(property)))
        << property << "\nthe stream's properties:\n"
        << properties.join('\n').toStdString();
  }
}

TEST_F(ToneE2ETest, StopFadesToSilenceWithoutAClick) {
  const std::vector<int16_t> recording = PlayAndRecord(400, 300);
  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channel == 0 ? "left" : "right");
    const std::vector<int16_t> values = ChannelOf(recording, channel);
    EXPECT_EQ(Describe(Dropouts(values), Recorder::kRate), "none") << "dropouts";
    const Extent full = AboveThreshold(values, static_cast<int>(kAmplitude * 0.9));
    const Extent sound = AboveThreshold(values, 16);  // above the resampler's noise
    ASSERT_GT(full.end, full.begin) << "the tone was not recorded";

    // The tone's own largest step between neighbouring values: A * 2 * pi * f / rate.
    const std::span<const int16_t> steady = Slice(values, full.begin, full.end);
    const int toneStep = MaxJump(steady);
    EXPECT_NEAR(toneStep, kAmplitude * 2 * std::numbers::pi * kHeard / Recorder::kRate,
                0.05 * toneStep);
    // From the last full-height value on, no step is larger than the tone's own: the stop
    // does not click.
    EXPECT_LE(MaxJump(Slice(values, full.end - 1, values.size())), toneStep * 1.05);
    // The start, at phase 0, begins at a zero crossing; the sudden slope only rings a little in
    // the server's resampler, far from a click (which would be a step of thousands).
    EXPECT_LE(MaxJump(Slice(values, 0, full.begin + 1)), toneStep * 1.25);
    // Silence follows the last full-height value within 10 ms (the fade takes 5).
    EXPECT_LE(sound.end - full.end, Samples(10));
    EXPECT_GT(values.size() - sound.end, Samples(100));
  }
}

// Without a sound server the library must refuse to start. The check runs in a child: this test
// binary again, with the server pointing nowhere and only the child test below selected.
TEST(ToneE2ENoServer, InitFailsWithoutASoundServer) {
  ExpectPassesWithoutSoundServer("ToneE2ENoServerChild.*");
}

TEST(ToneE2ENoServerChild, InitFails) {
  if (qEnvironmentVariableIsEmpty("VIMBRA_E2E_CHILD")) GTEST_SKIP() << "run by the test above";
  PulseAudioLibrary audio;
  EXPECT_FALSE(audio.Init(1, 44100, 0, nullptr, nullptr));
  const uint32_t code = audio.ErrorGetCode();
  EXPECT_EQ(code, kErrorDevice);
  EXPECT_EQ(audio.StreamCreate(22050, 2, 0, &ToneStreamProc, nullptr), 0u);
  EXPECT_EQ(audio.ErrorGetCode(), kErrorInit);
}

}  // namespace
