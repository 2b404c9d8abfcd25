// The signal measures on signals made here, whose pitch, gaps, steps and swing are known: each
// measure finds what is there and reports nothing where nothing is.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/support/SignalMeasures.h"

namespace {

constexpr int kRate = 44100;
constexpr double kAmplitude = 16864;
constexpr double kHz = 500;
constexpr size_t kWindow = kRate / 100;  // 10 ms: five periods of 500 Hz

size_t At(double ms) {
  return static_cast<size_t>(ms * kRate / 1000);
}

// One second of tone from phase 0, the frequency and level of value n given by shape(n), the
// phase running on.
template <typename Shape>
std::vector<int16_t> Tone(Shape shape) {
  std::vector<int16_t> out(kRate);
  double phase = 0;
  for (size_t n = 0; n < out.size(); ++n) {
    const auto [hz, level] = shape(n);
    out[n] = static_cast<int16_t>(std::lround(level * kAmplitude * std::sin(phase)));
    phase += 2 * std::numbers::pi * hz / kRate;
  }
  return out;
}

// The control a sweep follows: from position 1000 (heard 500 Hz) 16 higher every 20 ms, logged
// on a steady clock whose second 100 is the recording's start.
std::vector<ControlChange> SweepLog() {
  std::vector<ControlChange> log;
  for (int k = 0; k < 50; ++k) log.push_back({100 + 0.02 * k, 1000 + 16 * k});
  return log;
}

struct Signal {
  const char* name;
  std::vector<int16_t> values;
  Extent gap;      // where the values are zero; {0, 0} for none
  Extent step;     // where its one step lies; {0, 0} for none
  double swingMs;  // period of its loudness; 0 for a steady level
  bool sweeps;     // follows SweepLog() (else it stays at 500 Hz)
  double ownStep;  // largest second difference of its steady tone
};

std::vector<Signal> Signals() {
  const auto steady = [](size_t) { return std::pair{kHz, 1.0}; };
  // A quarter period on at once, at a zero crossing: the wave jumps by its amplitude.
  const auto phaseStep = [](size_t n) { return std::pair{n == At(300) ? kRate / 4.0 : kHz, 1.0}; };
  // The pitch SweepLog() sets, 500 to 892 Hz.
  const auto sweep = [](size_t n) {
    return std::pair{(1000 + 16 * std::min<size_t>(n / At(20), 49)) / 2.0, 1.0};
  };
  const auto swing = [](size_t n) {
    return std::pair{kHz, 0.6 + 0.4 * std::cos(6 * std::numbers::pi * n / kRate)};
  };
  // A 500 Hz tone's largest second difference: A * (2 pi f / rate)^2, plus rounding.
  const double own = kAmplitude * std::pow(2 * std::numbers::pi * kHz / kRate, 2) + 2;
  // The gap lies away from zero crossings, so that both its edges step.
  const Extent gap{At(200) + 5, At(203) + 5};
  std::vector<Signal> signals = {
      {"Sine", Tone(steady), {}, {}, 0, false, own},
      {"SineWith3msGap", Tone(steady), gap, {gap.begin - 1, gap.end + 1}, 0, false, own},
      {"PhaseStep", Tone(phaseStep), {}, {At(300) - 1, At(300) + 1}, 0, false, own},
      {"Sweep", Tone(sweep), {}, {}, 0, true, 4 * own},
      {"SwingAt3Hz", Tone(swing), {}, {}, 1000.0 / 3, false, own},
  };
  std::fill(signals[1].values.begin() + gap.begin, signals[1].values.begin() + gap.end, 0);
  return signals;
}

void PrintTo(const Signal& signal, std::ostream* os) {
  *os << signal.name;
}

class SignalMeasuresTest : public ::testing::TestWithParam<Signal> {};

TEST_P(SignalMeasuresTest, FindWhatIsThereAndNothingElse) {
  const Signal& s = GetParam();
  const std::span<const int16_t> v = s.values;
  const std::span<const int16_t> start = Slice(v, 0, At(20));

  // Pitch and level at the start, where every signal is a 500 Hz tone at full level.
  EXPECT_NEAR(ZeroCrossingFrequency(start, kRate), kHz, 0.5);
  EXPECT_NEAR(Peak(start), kAmplitude, 1);
  EXPECT_NEAR(GoertzelAmplitude(Slice(v, 0, kWindow), kHz, kRate), kAmplitude, kAmplitude * 0.01);
  EXPECT_LT(GoertzelAmplitude(Slice(v, 0, kWindow), 3 * kHz, kRate), kAmplitude * 0.01);
  // One value later is a step of phase ahead.
  EXPECT_NEAR(LeadDegrees(start, Slice(v, 1, At(20) + 1), kHz, kRate), 360 * kHz / kRate, 0.01);

  // The tone starts at once, at a zero crossing without a jump (the 500 Hz tone's own, or the
  // sweep's up to 540 Hz), and lasts to the end.
  const double ownJump = kAmplitude * 2 * std::numbers::pi * kHz / kRate;
  const ToneOnset onset = Onset(v, kRate, 16);
  EXPECT_EQ(onset.onsetSeconds, 1.0 / kRate);
  EXPECT_NEAR(onset.toneSeconds, 1, 0.001);
  EXPECT_LE(onset.onsetJump, ownJump * 1.1);
  if (s.gap.end == 0 && !s.sweeps) {
    EXPECT_NEAR(onset.pitch, kHz, 0.5);
  }

  const std::vector<Dropout> dropouts = Dropouts(v);
  if (s.gap.end == 0) {
    EXPECT_EQ(Describe(dropouts, kRate), "none");
  } else {
    ASSERT_EQ(dropouts.size(), 1u) << Describe(dropouts, kRate);
    EXPECT_EQ(dropouts[0].at, s.gap.begin) << Describe(dropouts, kRate);
    EXPECT_EQ(dropouts[0].length, s.gap.end - s.gap.begin) << Describe(dropouts, kRate);
  }

  const Step step = LargestStep(v);
  if (s.step.end == 0) {
    EXPECT_LE(step.size, s.ownStep) << "at " << step.at << ":\n" << DescribeStep(v, step.at);
    EXPECT_LE(MaxJump(v), ownJump * (s.sweeps ? 1.8 : 1.05));  // the sweep: up to 892 Hz
  } else {
    EXPECT_GT(MaxJump(v), 4 * ownJump);
    EXPECT_GT(step.size, 10 * s.ownStep) << "at " << step.at;
    EXPECT_TRUE(step.at >= s.step.begin && step.at <= s.step.end)
        << "largest step " << step.size << " at " << step.at << ":\n"
        << DescribeStep(v, step.at);
  }

  const std::vector<double> envelope = Envelope(v, kWindow);
  const Periodicity period = BestLag(envelope, 15, 50);
  if (s.swingMs > 0) {
    EXPECT_NEAR(period.lag * 10, s.swingMs, 2) << "r " << period.correlation;
    EXPECT_GT(period.correlation, 0.9) << "lag " << period.lag;
    EXPECT_NEAR(Spread(envelope), 0.8 / 0.6, 0.05);
  } else if (s.step.end == 0 && s.gap.end == 0) {
    EXPECT_LT(Spread(envelope), 0.03);
  }

  // The trace follows the sweep's log, at the offset the log was made with, only if it sweeps.
  const std::vector<double> trace = PitchTrace(v, kRate, At(20), kAmplitude / 2);
  const FollowSettings how{
      .window = 0.02, .earliest = 99.8, .latest = 100.2, .slack = 0.001, .tolerance = 0.001};
  const Following following = Follow(trace, SweepLog(), how);
  if (s.sweeps) {
    EXPECT_TRUE(following.misses.empty()) << DescribeMisses(following, trace, 0.02);
    // Any offset within a window explains every window; the earliest is taken.
    EXPECT_NEAR(following.offset, 100, 0.025);
  } else if (s.swingMs == 0) {
    EXPECT_GT(following.misses.size(), trace.size() / 2) << DescribeTrace(trace);
  }
}

INSTANTIATE_TEST_SUITE_P(Synthetic, SignalMeasuresTest, ::testing::ValuesIn(Signals()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
