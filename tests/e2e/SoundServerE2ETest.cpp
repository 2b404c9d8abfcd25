// The program while the sound server goes away and comes back, and while the user switches the
// default output: the window over PulseAudioLibrary against the private server of ./test, which
// these tests kill and start again (scripts/sound-server.sh) and whose default sink they switch.
// CTest runs them alone (RUN_SERIAL), and each leaves the server as it found it: running, the
// keep-alive stream playing, "vimbra_null" the default sink.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <numbers>
#include <span>
#include <vector>

#include "audio/PulseAudioLibrary.h"
#include "audio/Tone.h"
#include "tests/e2e/ProgramTest.h"
#include "tests/support/NullSinkRecording.h"
#include "tests/support/Processes.h"
#include "tests/support/SignalMeasures.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/MessageBox.h"

namespace {

constexpr int kRate = Recorder::kRate;
constexpr double kAmplitude = 16864;
constexpr double kHeard = 500;  // the default frequency value 1000
constexpr int kNoise = 16;      // above the resampler's noise
// The tone's own largest step between neighbouring values: A * 2 * pi * f / rate.
const double kToneStep = kAmplitude * 2 * std::numbers::pi * kHeard / kRate;

// The directory of the test server started by scripts/sound-server.sh (PULSE_SERVER is
// unix:DIR/native), or empty when PULSE_SERVER names some other server, which no test may kill.
QString ServerDir() {
  const QString server = qEnvironmentVariable("PULSE_SERVER");
  if (!server.startsWith("unix:") || !server.endsWith("/native")) return {};
  const QString dir = QFileInfo(server.mid(5)).path();
  if (!QFileInfo::exists(dir + "/default.pa") || !QFileInfo::exists(dir + "/pulseaudio.pid"))
    return {};
  return dir;
}

// Runs scripts/sound-server.sh `command` on the test server, with `server` as its PULSE_SERVER;
// its output if it failed.
QString Server(const QString& command, const QString& dir, const QString& server) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PULSE_SERVER", server);
  const Finished script = RunProcess(QStringLiteral(VIMBRA_SOURCE_DIR "/scripts/sound-server.sh"),
                                     {command, dir}, environment, 60000);
  if (script.exitCode == 0) return {};
  return "sound-server.sh " + command + " ended with " + QString::number(script.exitCode) +
         " (-1: it did not finish): " + script.output;
}

std::ostream& operator<<(std::ostream& out, const ToneOnset& r) {
  return out << "tone from " << r.onsetSeconds << " s for " << r.toneSeconds << " s, " << r.pitch
             << " Hz, peak " << r.peak << ", largest step at the onset " << r.onsetJump
             << " (the tone's own " << kToneStep << ")";
}

class SoundServerE2ETest : public ProgramTest {
 protected:
  void SetUp() override {
    if (!SoundServerReachable()) GTEST_SKIP() << "no sound server (PULSE_SERVER; see ./test)";
    dir_ = ServerDir();
    if (dir_.isEmpty()) GTEST_SKIP() << "PULSE_SERVER is not a server of sound-server.sh";
    server_ = qEnvironmentVariable("PULSE_SERVER");
    OpenWindow();
    if (HasFatalFailure()) return;
    form->CheckBox7->SetChecked(true);  // "Ознакомился"
  }

  void TearDown() override {
    if (server_.isEmpty()) return;  // skipped
    qputenv("PULSE_SERVER", server_.toLocal8Bit());
    ProgramTest::TearDown();
    // Whatever happened, the next test finds the server as ./test started it.
    if (!SoundServerReachable()) {
      Server("kill", dir_, server_);
      const QString failure = Server("start", dir_, server_);
      EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    }
    RunCommand("pactl", {"set-default-sink", "vimbra_null"});
  }

  // Kills the server and lets the program run without it until the watchdog has tried twice to
  // reconnect: it notices the loss and goes on trying after an attempt fails. The window's event
  // loop sees each attempt alone, and turns several times between them with nothing happening: a
  // watchdog that spun would make several attempts between two turns.
  void KillServerAndWatchAttempts() {
    const QString failure = Server("kill", dir_, server_);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    ASSERT_FALSE(SoundServerReachable());
    const int before = audio.OpenAttempts();
    std::vector<int> seen{before};  // the count at each turn of the loop
    const bool twice = QTest::qWaitFor(
        [&] { return seen.emplace_back(audio.OpenAttempts()) >= before + 2; }, 10000);
    const auto first = std::find(seen.begin(), seen.end(), before + 1);
    EXPECT_TRUE(twice && seen.back() == before + 2 && seen.end() - first > 5)
        << "attempts to reconnect at each turn: " << ::testing::PrintToString(seen);
  }

  // Starts the server again and records from its return for `ms`; `returnedAt` is the frame of
  // the recording at which the program can reach the server again.
  //
  // So that the recording holds the moment the tone comes back, the program is kept from the
  // server until the recorder runs: the server starts and parec connects while this process's
  // PULSE_SERVER names a socket that does not exist (libpulse reads it at every connection),
  // then PULSE_SERVER is set back. For the program the server returns at that moment.
  std::vector<int16_t> StartServerAndRecord(int ms, size_t& returnedAt) {
    qputenv("PULSE_SERVER", QString("unix:" + dir_ + "/not-yet").toLocal8Bit());
    const QString failure = Server("start", dir_, server_);
    if (!failure.isEmpty()) {
      ADD_FAILURE() << failure.toStdString();
      qputenv("PULSE_SERVER", server_.toLocal8Bit());
      return {};
    }
    Recorder recorder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PULSE_SERVER", server_);
    recorder.SetEnvironment(environment);
    const bool recording = recorder.Start();
    returnedAt = recorder.RecordedFrames();
    qputenv("PULSE_SERVER", server_.toLocal8Bit());
    if (!recording) return {};
    QTest::qWait(ms);
    return recorder.Stop();
  }

  // The tone is back within 2 s of the server's return, at its pitch and level, without a click,
  // and plays on to the end of the recording.
  static void ExpectToneBack(const std::vector<int16_t>& recording, size_t returnedAt) {
    const double returnSeconds = static_cast<double>(returnedAt) / kRate;
    for (int channel = 0; channel < 2; ++channel) {
      SCOPED_TRACE(channel == 0 ? "left" : "right");
      const std::vector<int16_t> values = ChannelOf(recording, channel);
      const ToneOnset r = Onset(values, kRate, kNoise);
      std::cout << "[ measured   ] " << (channel == 0 ? "left: " : "right: ") << r
                << "; the server returned at " << returnSeconds << " s\n";
      ASSERT_GE(r.onsetSeconds, 0) << "no tone in " << values.size() << " values";
      EXPECT_GE(r.onsetSeconds, returnSeconds) << "the tone was there before the server";
      EXPECT_LE(r.onsetSeconds - returnSeconds, 2.0);
      EXPECT_GE(r.onsetSeconds + r.toneSeconds, static_cast<double>(values.size()) / kRate - 0.05);
      EXPECT_NEAR(r.pitch, kHeard, 5);
      EXPECT_NEAR(r.peak, kAmplitude, kAmplitude * 0.02);
      EXPECT_LE(r.onsetJump, kToneStep * 1.25);
    }
  }

  // "Стоп" still works, and silence follows. What the stop leaves at the server (a device block
  // and the stream's 100 ms there, about 150 ms) has played out before the last 200 ms of the
  // 400 recorded.
  void StopAndExpectSilence() {
    Click(f().SpeedButton1);
    EXPECT_FALSE(Playing);
    const std::vector<int16_t> after = ChannelOf(RecordFor(400), 0);
    const Extent sound = AboveThreshold(after, kNoise);
    std::cout << "[ measured   ] after the stop: sound until "
              << static_cast<double>(sound.end) * 1000 / kRate << " ms of "
              << static_cast<double>(after.size()) * 1000 / kRate << " ms recorded\n";
    EXPECT_LE(Peak(Slice(after, after.size() - Samples(200), after.size())), kNoise);
  }

 private:
  QString dir_;
  QString server_;
};

TEST_F(SoundServerE2ETest, ToneComesBackAfterTheServerRestarts) {
  Click(f().Button3);  // "Пуск"
  ASSERT_TRUE(Playing);
  QTest::qWait(300);
  KillServerAndWatchAttempts();
  EXPECT_TRUE(Playing);
  EXPECT_FALSE(f().Button3->isEnabled());
  EXPECT_TRUE(f().SpeedButton1->isEnabled());

  size_t returnedAt = 0;
  const std::vector<int16_t> back = StartServerAndRecord(3000, returnedAt);
  ExpectToneBack(back, returnedAt);
  EXPECT_EQ(Frequency.load(), 1000);
  EXPECT_EQ(Amplitude.load(), kAmplitude);
  StopAndExpectSilence();
}

TEST_F(SoundServerE2ETest, StopDuringTheOutageIsHonouredWhenTheServerReturns) {
  Click(f().Button3);
  ASSERT_TRUE(Playing);
  QTest::qWait(300);
  KillServerAndWatchAttempts();
  Click(f().SpeedButton1);  // "Стоп", without a box
  EXPECT_FALSE(Playing);
  EXPECT_TRUE(f().Button3->isEnabled());
  EXPECT_TRUE(boxes.empty());

  size_t returnedAt = 0;
  const std::vector<int16_t> back = StartServerAndRecord(3000, returnedAt);
  ASSERT_FALSE(back.empty());
  // The tone would be back within 2 s of the return (ExpectToneBack), so 3 s of silence show
  // that the stop held.
  std::cout << "[ measured   ] peak after the server's return: " << Peak(back) << '\n';
  EXPECT_LE(Peak(back), kNoise);

  // The program answers: "Пуск" plays the tone again.
  Click(f().Button3);
  EXPECT_TRUE(Playing);
  const std::vector<int16_t> again = ChannelOf(RecordFor(600), 0);
  const Extent full = AboveThreshold(again, static_cast<int>(kAmplitude * 0.9));
  ASSERT_GT(full.end, full.begin) << "no tone after the restart";
  EXPECT_NEAR(ZeroCrossingFrequency(Slice(again, full.begin, full.end), kRate), kHeard, 5);
}

TEST_F(SoundServerE2ETest, StartDuringTheOutagePlaysWhenTheServerReturns) {
  KillServerAndWatchAttempts();
  Click(f().Button3);  // "Пуск", without a box
  EXPECT_TRUE(Playing);
  EXPECT_FALSE(f().Button3->isEnabled());
  EXPECT_TRUE(boxes.empty());

  size_t returnedAt = 0;
  const std::vector<int16_t> back = StartServerAndRecord(3000, returnedAt);
  ExpectToneBack(back, returnedAt);
  StopAndExpectSilence();
}

// Which sink our stream plays on, as the server lists it (for the test log).
QString OurSinkInputs() {
  QString out;
  for (const QString& block : ProgramSinkInputs()) {
    out += "#" + block.section('\n', 0, 0) + " on sink " +
           block.section("Sink: ", 1).section('\n', 0, 0) + "; ";
  }
  return out;
}

// We never pin a device, so when the default sink changes the server moves our stream to it, as
// it does for any client that did not ask for a particular output. Each monitor is recorded only
// after a switch: the server moves recording streams along with the default too.
TEST_F(SoundServerE2ETest, ToneFollowsTheDefaultSink) {
  Click(f().Button3);
  ASSERT_TRUE(Playing);
  for (const QString& sink : {QStringLiteral("vimbra_other"), QStringLiteral("vimbra_null")}) {
    SCOPED_TRACE(sink.toStdString());
    ASSERT_EQ(QProcess::execute("pactl", {"set-default-sink", sink}), 0);
    QTest::qWait(300);
    const QString other = sink == "vimbra_null" ? "vimbra_other" : "vimbra_null";
    Recorder onDefault(sink + ".monitor");
    ASSERT_TRUE(onDefault.Start());
    QTest::qWait(300);
    const std::vector<int16_t> played = ChannelOf(onDefault.Stop(), 0);
    // 300 ms on the other sink: longer than the stream's 100 ms at the server, so a stream left
    // behind there would be heard.
    Recorder onOther(other + ".monitor");
    ASSERT_TRUE(onOther.Start());
    QTest::qWait(300);
    const std::vector<int16_t> left = ChannelOf(onOther.Stop(), 0);

    const std::span<const int16_t> steady = Slice(played, Samples(50), played.size());
    std::cout << "[ measured   ] default " << sink.toStdString() << " (our stream "
              << OurSinkInputs().toStdString() << "): peak " << Peak(steady) << " at "
              << ZeroCrossingFrequency(steady, kRate) << " Hz; " << other.toStdString() << ": peak "
              << Peak(left) << '\n';
    EXPECT_NEAR(Peak(steady), kAmplitude, kAmplitude * 0.02);
    EXPECT_NEAR(ZeroCrossingFrequency(steady, kRate), kHeard, 5);
    EXPECT_LE(Peak(left), kNoise);
  }
  StopAndExpectSilence();
}

}  // namespace
