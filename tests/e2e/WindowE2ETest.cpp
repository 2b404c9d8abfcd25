// The whole program against a real sound server: the window TForm1 over PulseAudioLibrary, operated
// through its widgets (mouse clicks, typing) while Qt's event loop runs the window's timers, and
// what PulseAudio's null sink played recorded from its monitor and analysed. ./test starts the
// server and sets PULSE_SERVER.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "audio/PulseAudioLibrary.h"
#include "audio/Tone.h"
#include "tests/e2e/ProgramTest.h"
#include "tests/support/NullSinkRecording.h"
#include "tests/support/Processes.h"
#include "tests/support/SignalMeasures.h"
#include "ui/EffectRecords.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/MessageBox.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

namespace {

constexpr int kRate = Recorder::kRate;
constexpr double kDefaultAmplitude = 16864;
// 10 ms: a whole number of periods of every tone these tests analyse with it (500 and 1500 Hz).
constexpr size_t kEnvelopeWindow = Samples(10);

// What the program sets is heard within this many milliseconds: a device block (46 ms) and the
// server's buffer (100 ms in these tests), with room to spare.
constexpr int kHeardWithinMs = 250;

// Waits, with the window running, for the effects panel's next parameter refresh (every 250 ms),
// which hands the ticked effects' records to the stream, and then until they are heard: the
// stream applies them at its next block and glides for a few milliseconds, well within
// kHeardWithinMs. From then on the sound is the effects' as set. Waiting for the tick instead of
// a fixed time keeps the wait as short as the refresh allows, however late the tick comes.
void WaitForRefresh(TForm1& form) {
  bool refreshed = false;
  const std::function<void()> refresh = form.Timer2->OnTimer;
  form.Timer2->OnTimer = [&] {
    refresh();
    refreshed = true;
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return refreshed; }, 5000)) << "no parameter refresh";
  form.Timer2->OnTimer = refresh;
  QTest::qWait(kHeardWithinMs);
}

void OpenEffectsAndPlay(TForm1& form) {
  Click(form.Button3);  // "Пуск"
  ASSERT_TRUE(Playing);
  Click(form.SpeedButton2);  // "Эффекты"
  ASSERT_EQ(form.frameGeometry().width(), 623);
}

using Bars = std::initializer_list<std::pair<TTrackBar*, int>>;
void SetBars(Bars positions) {
  for (const auto& [bar, position] : positions) bar->SetPosition(position);
}

// Plays with the effects panel open, the effects of `boxes` ticked and the bars at `positions`,
// and waits until that is heard.
void PlayWith(TForm1& form, std::initializer_list<QAbstractButton*> boxes, Bars positions = {}) {
  OpenEffectsAndPlay(form);
  for (QAbstractButton* box : boxes) {
    Click(box);
    ASSERT_TRUE(box->isChecked()) << box->text().toStdString();
  }
  SetBars(positions);
  WaitForRefresh(form);
}

class WindowE2ETest : public ProgramTest {
 protected:
  void SetUp() override {
    if (!SoundServerReachable()) GTEST_SKIP() << "no sound server (PULSE_SERVER; see ./test)";
    OpenWindow();
    if (HasFatalFailure()) return;
    ASSERT_NE(form->Stream, 0u);
    Click(form->CheckBox7);  // "Ознакомился"
    ASSERT_TRUE(form->Button3->isEnabled()) << "the warning gate did not unlock";
  }

  // Lets the window run for kHeardWithinMs + `ms` and returns the last `ms` of what was played:
  // only what follows from what the program had set before the call.
  static std::vector<int16_t> RecordSettled(int ms) {
    std::vector<int16_t> values = RecordFor(kHeardWithinMs + ms);
    const size_t skip = std::min(values.size(), Samples(kHeardWithinMs) * Recorder::kChannels);
    values.erase(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(skip));
    return values;
  }

  // From now on every change of the frequency bar is logged in `bar` (the position in force now
  // first) at the moment it is to be heard (a timer's tick: when it fell due), while the window's
  // own handler still runs.
  void LogBarChanges() {
    bar = {{0, f().ScrollBar1->Position()}};
    f().ScrollBar1->OnChange = [this] {
      const auto moment = TTimer::ChangeMoment().time_since_epoch();
      bar.push_back({std::chrono::duration<double>(moment).count(), f().ScrollBar1->Position()});
      f().ScrollBar1Change(f().ScrollBar1);
    };
  }

  std::vector<ControlChange> bar;
};

TEST_F(WindowE2ETest, StartPlaysHalfTheFrequencyOnBothChannelsAndStopEndsItWithoutAClick) {
  Recorder recorder;
  ASSERT_TRUE(recorder.Start());
  Click(f().Button3);  // "Пуск"
  EXPECT_TRUE(Playing);
  EXPECT_FALSE(f().Button3->isEnabled());
  QTest::qWait(600);
  Click(f().SpeedButton1);  // "Стоп"
  EXPECT_FALSE(Playing);
  EXPECT_TRUE(f().Button3->isEnabled());
  QTest::qWait(300);
  const std::vector<int16_t> recording = recorder.Stop();

  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channel == 0 ? "left" : "right");
    const std::vector<int16_t> values = ChannelOf(recording, channel);
    EXPECT_EQ(Describe(Dropouts(values), kRate), "none") << "dropouts";
    const Extent full = AboveThreshold(values, static_cast<int>(kDefaultAmplitude * 0.9));
    const Extent sound = AboveThreshold(values, 16);  // above the resampler's noise
    ASSERT_GT(full.end, full.begin + Samples(300)) << "the tone was not recorded";
    const std::span<const int16_t> steady =
        Slice(values, full.begin + Samples(50), full.end - Samples(50));
    const double pitch = ZeroCrossingFrequency(steady, kRate);
    std::cout << "[ measured   ] " << pitch << " Hz, peak " << Peak(steady) << '\n';
    EXPECT_NEAR(pitch, 500, 5);
    EXPECT_NEAR(Peak(steady), kDefaultAmplitude, kDefaultAmplitude * 0.02);

    // From the last full-height value on, no step is larger than the tone's own, and silence
    // follows within 10 ms.
    const int toneStep = MaxJump(steady);
    EXPECT_LE(MaxJump(Slice(values, full.end - 1, values.size())), toneStep * 1.05);
    EXPECT_LE(sound.end - full.end, Samples(10));
    EXPECT_GT(values.size() - sound.end, Samples(150));
  }
}

TEST_F(WindowE2ETest, ZonesMoveThePitchAndTheAmplitudeBarReachesFullScale) {
  Click(f().Button3);
  ASSERT_TRUE(Playing);

  Click(f().RadioGroup1->Button(2));  // "Ультра звук"
  EXPECT_EQ(f().ScrollBar1->Position(), 18000);
  const std::vector<int16_t> ultra = ChannelOf(RecordSettled(300), 0);

  Click(f().RadioGroup1->Button(3));  // "Инфра звук": from the ultrasound band it lands at 160
  EXPECT_EQ(f().ScrollBar1->Position(), 160);
  const std::vector<int16_t> infra = ChannelOf(RecordSettled(500), 0);

  f().ScrollBar2->SetPosition(32767);
  EXPECT_EQ(f().amp->Text(), "100");
  const std::vector<int16_t> loud = ChannelOf(RecordSettled(300), 0);

  const double ultraHz = ZeroCrossingFrequency(ultra, kRate);
  const double infraHz = ZeroCrossingFrequency(infra, kRate);
  const double loudHz = ZeroCrossingFrequency(loud, kRate);
  std::cout << "[ measured   ] ultrasound " << ultraHz << " Hz (peak " << Peak(ultra)
            << "), infrasound " << infraHz << " Hz (peak " << Peak(infra) << "), full scale "
            << loudHz << " Hz (peak " << Peak(loud) << ")\n";
  EXPECT_NEAR(ultraHz, 9000, 9000 * 0.02);
  EXPECT_GT(Peak(ultra), kDefaultAmplitude / 2);
  EXPECT_NEAR(infraHz, 80, 80 * 0.02);
  EXPECT_NEAR(Peak(infra), kDefaultAmplitude, kDefaultAmplitude * 0.02);
  EXPECT_NEAR(loudHz, 80, 80 * 0.02);
  EXPECT_GE(Peak(loud), 32000);
}

// The flanger's notches sweep with its delay, so the tone's loudness follows the LFO. With the
// centre delay at 2.5 ms (1.25 periods of the 500 Hz tone) the envelope repeats once per LFO
// cycle; at a whole number of periods it would repeat twice.
TEST_F(WindowE2ETest, FlangerEnvelopeRepeatsAtTheLfoRateAndCleanMakesTheToneSteadyAgain) {
  // Flanger with a delay of 2.5 ms, equal mix (deep notches), 120 BPM (2 Hz).
  PlayWith(f(), {f().CheckBox1}, {{f().TrackBar1, 25}, {f().TrackBar2, 10}, {f().TrackBar3, 120}});
  EXPECT_EQ(FlangerParams.BPM, 120.0f);
  const std::vector<int16_t> flanged = ChannelOf(RecordFor(1600), 0);

  Click(f().SpeedButton3);  // "Чистый  "
  EXPECT_FALSE(f().CheckBox1->Checked());
  const std::vector<int16_t> clean = ChannelOf(RecordSettled(400), 0);

  const std::vector<double> envelope = Envelope(flanged, kEnvelopeWindow);
  ASSERT_GE(envelope.size(), 120u);
  const Periodicity period = BestLag(envelope, 15, 80);  // 0.15 to 0.8 s
  const std::vector<double> cleanEnvelope = Envelope(clean, kEnvelopeWindow);
  ASSERT_GE(cleanEnvelope.size(), 20u);
  std::cout << "[ measured   ] flanger envelope period " << period.lag * 10 << " ms (r "
            << period.correlation << "), spread " << Spread(envelope) << "; clean spread "
            << Spread(cleanEnvelope) << ", " << ZeroCrossingFrequency(clean, kRate) << " Hz\n";
  EXPECT_NEAR(period.lag * 10, 500, 50);
  EXPECT_GT(period.correlation, 0.8);
  EXPECT_GT(Spread(envelope), 0.8);
  EXPECT_LT(Spread(cleanEnvelope), 0.03);
  EXPECT_NEAR(ZeroCrossingFrequency(clean, kRate), 500, 5);
  EXPECT_NEAR(Peak(clean), kDefaultAmplitude, kDefaultAmplitude * 0.02);
}

// The auto-wah's band-pass sweeps up from 1000 Hz and back nine times a second; the 500 Hz tone
// below it comes through loudest when the centre is lowest, so its envelope repeats at that rate.
void ExpectAutoWahEnvelope(const std::vector<int16_t>& wah) {
  const std::vector<double> envelope = Envelope(wah, kEnvelopeWindow);
  ASSERT_GE(envelope.size(), 60u);
  const Periodicity period = BestLag(envelope, 5, 30);  // 50 to 300 ms
  std::cout << "[ measured   ] auto-wah envelope period " << period.lag * 10 << " ms ("
            << 100 / period.lag << " Hz, r " << period.correlation << "), spread "
            << Spread(envelope) << '\n';
  EXPECT_NEAR(period.lag * 10, 1000.0 / 9, 1000.0 / 9 * 0.1);
  EXPECT_GT(period.correlation, 0.8);
  EXPECT_GT(Spread(envelope), 0.8);
}

// The auto-wah's envelope repeats at its fixed 9 Hz. Effects belong to the stream, not to one run
// of the tone: switched on before "Стоп", it is heard again after the next "Пуск", without
// touching the panel.
TEST_F(WindowE2ETest, AutoWahEnvelopeRepeatsNineTimesASecondAndAgainAfterStopAndStart) {
  PlayWith(f(), {f().CheckBox3});  // "Auto Wah"
  EXPECT_EQ(AutoWahParams.Rate, 9.0f);
  ExpectAutoWahEnvelope(ChannelOf(RecordFor(1000), 0));
  Click(f().SpeedButton1);  // "Стоп"
  ASSERT_FALSE(Playing);
  QTest::qWait(300);
  Click(f().Button3);  // "Пуск"
  ASSERT_TRUE(Playing);
  ExpectAutoWahEnvelope(ChannelOf(RecordSettled(1000), 0));
}

// After a change of pitch the echo keeps playing the old one for one delay, then ever weaker.
TEST_F(WindowE2ETest, EchoRepeatsTheOldPitchForItsDelayAfterAChange) {
  constexpr size_t kDelayWindows = 30;                     // 300 ms in windows of 10 ms
  PlayWith(f(), {f().CheckBox2}, {{f().TrackBar4, 300}});  // "Echo", 300 ms
  EXPECT_EQ(EchoParams.Delay, 300.0f);
  QTest::qWait(300);  // the repeats of the steady tone build up

  Recorder recorder;
  ASSERT_TRUE(recorder.Start());
  QTest::qWait(200);
  f().ScrollBar1->SetPosition(3000);  // heard 1500 Hz
  QTest::qWait(1500);
  const std::vector<int16_t> left = ChannelOf(recorder.Stop(), 0);

  std::vector<double> old;
  std::vector<double> fresh;
  for (size_t at = 0; at + kEnvelopeWindow <= left.size(); at += kEnvelopeWindow) {
    const std::span<const int16_t> window(left.data() + at, kEnvelopeWindow);
    old.push_back(GoertzelAmplitude(window, 500, kRate));
    fresh.push_back(GoertzelAmplitude(window, 1500, kRate));
  }
  // The change: the first window in which the new pitch is clearly there.
  const auto change = static_cast<size_t>(
      std::find_if(fresh.begin(), fresh.end(), [](double a) { return a > kDefaultAmplitude / 5; }) -
      fresh.begin());
  ASSERT_GT(change, 5u) << "the recording did not start with the old pitch";
  ASSERT_GT(fresh.size(), change + 4 * kDelayWindows + 10) << "recording too short";

  // Within the delay both pitches sound, each at about half the level.
  const double oldDuring = Mean(std::span(old).subspan(change + 3, kDelayWindows - 6));
  const double freshDuring = Mean(std::span(fresh).subspan(change + 3, kDelayWindows - 6));
  // The old pitch drops when its last repeat at full strength has passed: one delay on.
  size_t drop = change + 3;
  while (drop < old.size() && old[drop] > oldDuring / 2) ++drop;
  // Well after, the old pitch has decayed (0.35 per repeat) and the new one is at full level.
  const size_t late = change + 4 * kDelayWindows + 2;
  const double oldLate = *std::max_element(old.begin() + static_cast<long>(late), old.end());
  const double freshLate = Mean(std::span(fresh).subspan(late));
  std::cout << "[ measured   ] during the delay: 500 Hz " << oldDuring << ", 1500 Hz "
            << freshDuring << "; old pitch drops after " << (drop - change) * 10
            << " ms; later: 500 Hz at most " << oldLate << ", 1500 Hz " << freshLate << '\n';
  EXPECT_NEAR(oldDuring, kDefaultAmplitude / 2, kDefaultAmplitude * 0.12);
  EXPECT_NEAR(freshDuring, kDefaultAmplitude / 2, kDefaultAmplitude * 0.12);
  EXPECT_NEAR(static_cast<double>(drop - change) * 10, 300, 30);
  EXPECT_LT(oldLate, kDefaultAmplitude * 0.03);
  EXPECT_NEAR(freshLate, kDefaultAmplitude, kDefaultAmplitude * 0.05);
}

// "Серена": zone audible, amplitude 26212, the bar swinging between 991 and 1706 in steps of 11
// every 50 ms: heard 495.5 to 853 Hz, a full cycle in 130 ticks. What is heard must follow the
// ticks the program made, window by window, and those come at the preset's own pace.
TEST_F(WindowE2ETest, SerenaSwingsThePitchBackAndForthUntilStopped) {
  Click(f().CheckBox6);  // "Заготовки"
  ASSERT_EQ(f().ComboBox1->currentText(), "Серена");
  LogBarChanges();
  Recorder recorder;
  ASSERT_TRUE(recorder.Start());
  const double recordingStarted = Now();
  Click(f().SpeedButton6);  // "Пуск заготовки"
  EXPECT_TRUE(Playing);
  QTest::qWait(8000);
  Click(f().SpeedButton7);  // "Стоп заготовки"
  EXPECT_FALSE(Playing);
  QTest::qWait(300);
  const std::vector<int16_t> left = ChannelOf(recorder.Stop(), 0);

  constexpr double kAmplitude = 26212;
  EXPECT_EQ(Describe(Dropouts(left), kRate), "none") << "dropouts";
  const Extent sound = AboveThreshold(left, static_cast<int>(kAmplitude / 2));
  ASSERT_GT(sound.end, sound.begin + Samples(7000)) << "the preset's tone was not recorded";
  constexpr double kWindow = 0.05;
  const size_t traceBegin = sound.begin + Samples(50);
  const std::vector<double> trace =
      PitchTrace(Slice(left, traceBegin, sound.end - Samples(50)), kRate, Samples(1000 * kWindow),
                 static_cast<int>(kAmplitude / 2));
  const Following following = Follow(trace, bar,
                                     {.traceStart = static_cast<double>(traceBegin) / kRate,
                                      .window = kWindow,
                                      .earliest = recordingStarted - 1.5,
                                      .latest = recordingStarted + 0.2});

  // The program's swing: up to the top, then every tick 11 lower down to the bottom.
  const auto top = std::find_if(bar.begin(), bar.end(), [](auto& c) { return c.position == 1706; });
  ASSERT_NE(top, bar.end()) << "the bar never reached the top";
  const auto bottom =
      std::find_if(top, bar.end(), [](const ControlChange& c) { return c.position == 991; });
  ASSERT_NE(bottom, bar.end()) << "the bar never came back to the bottom";
  // The steps come at the moments of the preset's 50 ms ticks: never two within one tick, and the
  // closest exactly one tick apart (two at the top, where the swing rests a tick; more after a
  // stall long enough for the timer to drop its backlog).
  double closest = 2;  // ticks between neighbouring steps
  for (auto at = top + 1; at <= bottom; ++at) {
    EXPECT_EQ(at->position, std::max(991, (at - 1)->position - 11));
    closest = std::min(closest, (at->seconds - (at - 1)->seconds) / 0.05);
  }
  const auto highest = std::max_element(trace.begin(), trace.end());
  const double lowestAfter = *std::min_element(highest, trace.end());
  std::cout << "[ measured   ] pitch up to " << *highest << " Hz and back to " << lowestAfter
            << " Hz; the program's steps at least " << closest * 50 << " ms apart; "
            << trace.size() - following.misses.size() << " of " << trace.size()
            << " windows follow the bar; peak " << Peak(Slice(left, sound.begin, sound.end))
            << '\n';
  EXPECT_TRUE(following.misses.empty()) << DescribeMisses(following, trace, kWindow) << '\n'
                                        << DescribeTrace(trace);
  EXPECT_NEAR(*highest, 853, 853 * 0.01) << DescribeTrace(trace);
  EXPECT_NEAR(lowestAfter, 495.5, 495.5 * 0.01) << DescribeTrace(trace);
  EXPECT_NEAR(closest, 1, 1e-6);
  EXPECT_NEAR(Peak(Slice(left, sound.begin, sound.end)), kAmplitude, kAmplitude * 0.02);

  // "Стоп заготовки" stopped the tone: silence to the end.
  const Extent audible = AboveThreshold(left, 16);
  EXPECT_GT(left.size() - audible.end, Samples(150));
  EXPECT_LE(audible.end - sound.end, Samples(10));
}

// Step 500 every 100 ms in the audible zone: the frequency value rises by 500 a tick, the pitch
// heard by 250 Hz, up to 16000 (8000 Hz heard), where it rests until "Реверс" turns it. What is
// heard must follow the ticks the program made, window by window.
TEST_F(WindowE2ETest, SweepRisesToTheTopOfTheZoneRestsAndComesBackWithReverse) {
  Click(f().RadioGroup1->Button(1));  // "Слышимый звук"
  ASSERT_EQ(f().ScrollBar1->Position(), 1000);
  TypeInto(f().Edit1, "500");
  EXPECT_EQ(f().Sweep.SweepStep, 500);
  TypeInto(f().Edit2, "100");
  EXPECT_EQ(f().Timer1->Interval(), 100u);
  Click(f().CheckBox4);  // "Установить программу"
  LogBarChanges();

  Recorder recorder;
  ASSERT_TRUE(recorder.Start());
  const double recordingStarted = Now();
  Click(f().Button3);
  QTest::qWait(200);
  Click(f().SpeedButton4);  // "Пуск программы"
  EXPECT_TRUE(f().Timer1->Enabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return f().ScrollBar1->Position() == 16000; }, 10000));
  // The sweep ticks every 100 ms: 600 ms at the top are six ticks in which the bar would have
  // moved had the sweep not rested.
  QTest::qWait(600);
  EXPECT_EQ(f().ScrollBar1->Position(), 16000);
  Click(f().CheckBox5);                // "Реверс"
  const size_t reversed = bar.size();  // the changes logged before the click
  QTest::qWait(1500);
  EXPECT_TRUE(f().RadioButton2->isChecked());  // "Убывание"
  Click(f().SpeedButton5);                     // "Стоп программы"
  Click(f().SpeedButton1);                     // "Стоп"
  const std::vector<int16_t> left = ChannelOf(recorder.Stop(), 0);

  EXPECT_EQ(Describe(Dropouts(left), kRate), "none") << "dropouts";
  const Extent sound = AboveThreshold(left, static_cast<int>(kDefaultAmplitude / 2));
  ASSERT_GT(sound.end, sound.begin + Samples(3000)) << "the tone was not recorded";
  constexpr double kWindow = 0.02;
  const std::vector<double> trace =
      PitchTrace(Slice(left, sound.begin, sound.end), kRate, Samples(1000 * kWindow),
                 static_cast<int>(kDefaultAmplitude / 2));
  const Following following = Follow(trace, bar,
                                     {.traceStart = static_cast<double>(sound.begin) / kRate,
                                      .window = kWindow,
                                      .earliest = recordingStarted - 1.5,
                                      .latest = recordingStarted + 0.2});

  // The program's sweep: 500 a tick up to the top of the zone, then, after "Реверс", 500 a tick
  // down again.
  const auto top =
      std::find_if(bar.begin(), bar.end(), [](auto& c) { return c.position == 16000; });
  ASSERT_NE(top, bar.end()) << "the bar never reached the top of the zone";
  for (auto at = bar.begin() + 2; at <= top; ++at)
    EXPECT_EQ(at->position, (at - 1)->position + 500);
  const auto turn = bar.begin() + static_cast<std::ptrdiff_t>(reversed);
  ASSERT_GE(bar.end() - turn, 5) << "the bar did not come back down";
  EXPECT_EQ(turn - top, 1) << "the bar moved while it rested at the top";
  for (auto at = turn; at != bar.end(); ++at) EXPECT_EQ(at->position, (at - 1)->position - 500);

  // The heard rest at the top: the windows at the program's top, away from its edges.
  std::vector<double> plateau;
  for (size_t i = 0; i < trace.size(); ++i) {
    const double at = following.offset + static_cast<double>(sound.begin) / kRate +
                      static_cast<double>(i) * kWindow;
    if (at > top->seconds + 0.1 && at < turn->seconds - 0.05) plateau.push_back(trace[i]);
  }
  const double rest = Mean(plateau);
  const double riseSeconds = top->seconds - (bar.begin() + 1)->seconds;
  std::cout << "[ measured   ] the program rose " << (top - bar.begin() - 1) << " ticks in "
            << riseSeconds << " s, rested " << turn->seconds - top->seconds << " s, fell "
            << bar.end() - turn << " ticks; heard rest " << rest << " Hz; "
            << trace.size() - following.misses.size() << " of " << trace.size()
            << " windows follow the bar\n";
  EXPECT_TRUE(following.misses.empty()) << DescribeMisses(following, trace, kWindow) << '\n'
                                        << DescribeTrace(trace);
  EXPECT_GE(plateau.size(), 10u);
  EXPECT_NEAR(rest, 8000, 80) << DescribeTrace(trace);
}

// Step 1 every millisecond: the pitch heard rises by 0.5 Hz each millisecond, though the window
// runs the ticks eight at a time and the sound is computed in requests of several milliseconds.
// From one 5 ms window to the next it rises by the sweep's own 2.5 Hz; a staircase (each request,
// or each batch of ticks, at one pitch) would rise by 0 and then by 4 Hz or more.
TEST_F(WindowE2ETest, AMillisecondSweepRisesWithoutStairs) {
  TypeInto(f().Edit1, "1");
  TypeInto(f().Edit2, "1");
  Click(f().CheckBox4);  // "Установить программу"
  Recorder recorder;
  ASSERT_TRUE(recorder.Start());
  Click(f().Button3);
  QTest::qWait(200);
  Click(f().SpeedButton4);  // "Пуск программы"
  QTest::qWait(1500);
  Click(f().SpeedButton5);  // "Стоп программы"
  const int reached = f().ScrollBar1->Position();
  QTest::qWait(200);
  Click(f().SpeedButton1);
  const std::vector<int16_t> left = ChannelOf(recorder.Stop(), 0);

  EXPECT_EQ(Describe(Dropouts(left), kRate), "none") << "dropouts";
  const Extent sound = AboveThreshold(left, static_cast<int>(kDefaultAmplitude / 2));
  ASSERT_GT(sound.end, sound.begin + Samples(1500)) << "the tone was not recorded";
  constexpr int kWindowMs = 5;
  const std::vector<double> trace =
      PitchTrace(Slice(left, sound.begin, sound.end), kRate, Samples(kWindowMs),
                 static_cast<int>(kDefaultAmplitude / 2));
  // The rising stretch: from 400 ms after the start (the sweep began 200 ms in) to 1 s later.
  const std::vector<double> rising(trace.begin() + 400 / kWindowMs,
                                   trace.begin() + 1400 / kWindowMs);
  double largest = 0;
  for (size_t i = 1; i < rising.size(); ++i)
    largest = std::max(largest, std::abs(rising[i] - rising[i - 1] - 0.5 * kWindowMs));
  std::cout << "[ measured   ] 1 ms sweep to " << reached << ": from " << rising.front()
            << " Hz to " << rising.back() << " Hz in 1 s; the largest rise off the sweep's own "
            << 0.5 * kWindowMs << " Hz per window: " << largest << " Hz\n";
  EXPECT_NEAR(rising.back() - rising.front(), 500, 25) << DescribeTrace(rising);
  EXPECT_LE(largest, 2.0) << DescribeTrace(rising);
}

// ---- Clicks at transitions ----
//
// A click is a step in the wave: it shows as a second difference (v[n+1] - 2 v[n] + v[n-1]) far
// above the steady sound's own. Each transition below is recorded with a steady stretch before
// and after it; the largest second difference within the transition must stay near the larger
// of the two steady stretches' own.
//
// A stream whose data comes late makes the sound server play silence meanwhile: the recording
// shows a dropout, whose edges step. That is a fault of its own, reported as such.

// What a transition's largest second difference is compared with.
enum class Reference {
  // The steady stretches' own largest second difference.
  kSteady,
  // A frequency jump with the phase going on bends the wave where the slope changes: the bend's
  // second difference is at most the largest slope before plus the largest slope after (both
  // first differences). A phase jump would step by up to the amplitude.
  kBend,
};

struct Transition {
  const char* name;
  void (*prepare)(TForm1&);  // before the recording starts
  void (*act)(TForm1&);      // the transition
  int lastsMs;               // from the action to the end of the transition, latency included
  Reference reference = Reference::kSteady;
  bool silentAfter = false;  // the tone is gone once the transition is over
};

void PrintTo(const Transition& transition, std::ostream* os) {
  *os << transition.name;
}

// Clicks the window's `button`.
template <auto button>
void Press(TForm1& form) {
  Click(form.*button);
}

// Starts the tone and makes the window the active one, so that it takes the keys.
void PlayInActiveWindow(TForm1& form) {
  Click(form.Button3);
  ActivateWindow(&form);
}

// Presses `key` on the keyboard: the focused control of the active window gets it.
template <Qt::Key key>
void PressKey(TForm1&) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key);
}

void PlayAllThree(TForm1& form) {
  PlayWith(form, {form.CheckBox1, form.CheckBox2, form.CheckBox3});
}

// Plays at full level at `position` with preset `index` chosen: the preset's own zone, frequency
// and amplitude are set beforehand, so that its start changes only the effects and starts the
// swing.
void PlayWithPresetReady(TForm1& form, int position, int index) {
  form.ScrollBar1->SetPosition(position);
  form.ScrollBar2->SetPosition(32767);
  Click(form.Button3);
  Click(form.CheckBox6);  // "Заготовки"
  form.ComboBox1->setCurrentIndex(index);
}

const Transition kTransitions[] = {
    {"Start", [](TForm1&) {}, Press<&TForm1::Button3>, 150},
    {"Stop", Press<&TForm1::Button3>, Press<&TForm1::SpeedButton1>, 150, Reference::kSteady, true},
    {"StopByEsc", PlayInActiveWindow, PressKey<Qt::Key_Escape>, 150, Reference::kSteady, true},
    {"StartWithAllThreeEffectsOn",
     [](TForm1& form) {
       PlayAllThree(form);
       Click(form.SpeedButton1);  // "Стоп"
     },
     Press<&TForm1::Button3>, 800},
    {"EchoOn", OpenEffectsAndPlay, Press<&TForm1::CheckBox2>, 800},
    {"EchoOffAndOnAgain", [](TForm1& form) { PlayWith(form, {form.CheckBox2}); },
     [](TForm1& form) {
       Click(form.CheckBox2);
       QTest::qWait(100);
       Click(form.CheckBox2);
     },
     900},
    {"FlangerOn", OpenEffectsAndPlay, Press<&TForm1::CheckBox1>, 300},
    {"AutoWahOn", OpenEffectsAndPlay, Press<&TForm1::CheckBox3>, 300},
    {"CleanWithAllThreeOn", PlayAllThree, Press<&TForm1::SpeedButton3>, 300},
    {"UltrasoundTortureStartWhilePlaying",
     [](TForm1& form) {
       Click(form.RadioGroup1->Button(2));  // "Ультра звук"
       PlayWithPresetReady(form, 20000, 1);
     },
     Press<&TForm1::SpeedButton6>, 600},
    {"FearStartWhilePlaying", [](TForm1& form) { PlayWithPresetReady(form, 10, 2); },
     Press<&TForm1::SpeedButton6>, 600},
    {"PresetStopDropsAllEffects",
     [](TForm1& form) {
       Click(form.CheckBox6);  // "Заготовки"
       form.ComboBox1->setCurrentIndex(2);
       Click(form.SpeedButton6);  // "Страх"
       WaitForRefresh(form);
     },
     Press<&TForm1::SpeedButton7>, 150},
    {"ZoneChange", Press<&TForm1::Button3>,
     [](TForm1& form) { Click(form.RadioGroup1->Button(3)); },  // "Инфра звук": 500 -> 60 Hz
     150, Reference::kBend},
    {"FlangerBarsEndToEnd",
     [](TForm1& form) {
       PlayWith(form, {form.CheckBox1},
                {{form.TrackBar1, 11}, {form.TrackBar2, 0}, {form.TrackBar3, 1}});
     },
     [](TForm1& form) {
       SetBars({{form.TrackBar1, 31}, {form.TrackBar2, 10}, {form.TrackBar3, 2000}});
     },
     600},
    {"EchoBarsEndToEnd",
     [](TForm1& form) {
       PlayWith(form, {form.CheckBox2},
                {{form.TrackBar4, 1}, {form.TrackBar5, 0}, {form.TrackBar6, 0}});
     },
     [](TForm1& form) {
       SetBars({{form.TrackBar4, 1000}, {form.TrackBar5, 10}, {form.TrackBar6, 10}});
     },
     1600},
    {"AutoWahBarsEndToEnd",
     [](TForm1& form) {
       PlayWith(form, {form.CheckBox3}, {{form.TrackBar7, -10}, {form.TrackBar8, -20}});
     },
     [](TForm1& form) {
       SetBars({{form.TrackBar7, 10}, {form.TrackBar8, 20}});
     },
     600},
};

class TransitionE2ETest : public WindowE2ETest, public ::testing::WithParamInterface<Transition> {};

// A click-free transition's largest second difference stays within this factor of the steady
// sound's own; a step of a tenth of the tone's amplitude is about 20 times the 500 Hz tone's own.
constexpr double kClickFactor = 1.5;

TEST_P(TransitionE2ETest, HasNoStepBeyondTheSteadySoundsOwn) {
  const Transition& transition = GetParam();
  transition.prepare(f());
  QTest::qWait(300);
  Recorder recorder;
  ASSERT_TRUE(recorder.Start());
  // The recording's own length is the clock: a busy machine may hold parec back for a while, but
  // never lets it record what has not been played yet, so the action is heard after `mark`.
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.RecordedFrames() >= Samples(400); }, 20000))
      << "the recording stalled";
  const size_t mark = recorder.RecordedFrames();
  transition.act(f());
  const size_t transitionEnd = mark + Samples(transition.lastsMs);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return recorder.RecordedFrames() >= transitionEnd + Samples(400); }, 20000))
      << "the recording stalled";
  const std::vector<int16_t> recording = recorder.Stop();

  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channel == 0 ? "left" : "right");
    const std::vector<int16_t> values = ChannelOf(recording, channel);
    EXPECT_EQ(Describe(Dropouts(values), kRate), "none")
        << "dropouts; the action at " << 1000.0 * static_cast<double>(mark) / kRate << " ms";
    const size_t beforeBegin = mark - Samples(300);
    const size_t beforeEnd = mark - Samples(20);
    const size_t afterBegin = transitionEnd;
    const size_t afterEnd = values.size() - Samples(20);
    double reference = std::max(LargestStep(values, beforeBegin, beforeEnd).size,
                                LargestStep(values, afterBegin, afterEnd).size);
    if (transition.reference == Reference::kBend) {
      reference =
          std::max(reference, static_cast<double>(MaxJump(Slice(values, beforeBegin, beforeEnd)) +
                                                  MaxJump(Slice(values, afterBegin, afterEnd))));
    }
    if (transition.silentAfter) {
      EXPECT_LE(Peak(Slice(values, afterBegin, afterEnd)), 16)  // the resampler's noise at most
          << transition.name << ": still sounding after the transition";
    }
    const Step step = LargestStep(values, mark, transitionEnd);
    std::cout << "[ measured   ] " << transition.name << ' ' << (channel == 0 ? "left" : "right")
              << ": largest step " << step.size << " at " << step.at - mark
              << " values after the action, steady " << reference << " (ratio "
              << step.size / std::max(reference, 1.0) << ")\n";
    EXPECT_LE(step.size, kClickFactor * reference)
        << transition.name << ", around the largest step ("
        << std::lround(static_cast<double>(step.at - mark) * 1000.0 / kRate)
        << " ms after the action):\n"
        << DescribeStep(values, step.at);
  }
}

INSTANTIATE_TEST_SUITE_P(Window, TransitionE2ETest, ::testing::ValuesIn(kTransitions),
                         [](const ::testing::TestParamInfo<Transition>& info) {
                           return std::string(info.param.name);
                         });

// Without a sound server the window still opens, after one error box. The check runs in a
// child: this test binary again, with the server pointing nowhere and only the child test below
// selected.
TEST(WindowE2ENoServer, WindowOpensAfterOneErrorBoxAndEveryStartIsReported) {
  ExpectPassesWithoutSoundServer("WindowE2ENoServerChild.*");
}

TEST(WindowE2ENoServerChild, WindowOpens) {
  if (qEnvironmentVariableIsEmpty("VIMBRA_E2E_CHILD")) GTEST_SKIP() << "run by the test above";
  PulseAudioLibrary audio;
  MessageBoxCapture capture;
  std::vector<MessageBoxCall>& boxes = capture.boxes;
  const ProgramSetUp setUp(audio);
  {
    TForm1 form;
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "BASS Error");
    EXPECT_EQ(boxes[0].icon, MsgIcon::Error);
    EXPECT_EQ(boxes[0].owner, &form);
    const QRegularExpressionMatch init =
        QRegularExpression("^Could not initialize BASS\r\n\\(error code: (\\d+)\\)$")
            .match(boxes[0].text);
    ASSERT_TRUE(init.hasMatch()) << boxes[0].text.toStdString();
    const uint32_t code = init.captured(1).toUInt();
    EXPECT_EQ(code, kErrorDevice);
    EXPECT_EQ(form.Stream, 0u);
    EXPECT_EQ(Frequency.load(), 1000);
    EXPECT_EQ(Amplitude.load(), 16864);

    Click(form.CheckBox7);
    for (size_t press = 1; press <= 2; ++press) {
      Click(form.Button3);
      ASSERT_EQ(boxes.size(), 1 + press);
      EXPECT_EQ(boxes.back().title, "BASS Error");
      // The stream handle is 0, which names no stream.
      EXPECT_EQ(boxes.back().text, "Could not start stream playback\r\n(error code: 5)");
      EXPECT_FALSE(Playing);
      EXPECT_TRUE(form.Button3->isEnabled());
      EXPECT_TRUE(form.SpeedButton1->isEnabled());
    }
    Click(form.SpeedButton1);  // "Стоп" does nothing while nothing plays
    EXPECT_EQ(boxes.size(), 3u);
  }
  audio.Free();
}

}  // namespace
