#include <gtest/gtest.h>

#include "audio/effects/AutoWah.h"
#include "tests/audio/effects/EffectTestSignals.h"

namespace {

using namespace effect_test;
constexpr double kRate = 22050.0;

// Frequency of the strongest harmonic of a `period`-frame impulse train's response in `window`.
double peakFrequency(std::span<const float> window, size_t period) {
  double bestHz = 0.0, bestPower = -1.0;
  for (size_t m = 1; m < period / 2; ++m) {
    const double w = 2.0 * std::numbers::pi * static_cast<double>(m) / static_cast<double>(period);
    double re = 0.0, im = 0.0;
    for (size_t n = 0; n < window.size(); ++n) {
      re += window[n] * std::cos(w * static_cast<double>(n));
      im += window[n] * std::sin(w * static_cast<double>(n));
    }
    if (re * re + im * im > bestPower) {
      bestPower = re * re + im * im;
      bestHz = static_cast<double>(m) * kRate / static_cast<double>(period);
    }
  }
  return bestHz;
}

TEST(AutoWahTest, ResponsePeakSweepsUpwardFromTheBase) {
  // A slow sweep (0.05 Hz) of the sharpest band-pass over an impulse train, whose spectrum is
  // flat: the strongest harmonic in a short window marks the centre at that moment. The second
  // case runs into the clamp below Nyquist.
  for (auto [base, range] : {std::pair{500.0f, 3.0f}, std::pair{1000.0f, 9.0f}}) {
    const float rate = 0.05f;
    const size_t period = 1024, window = 4 * period, cycle = static_cast<size_t>(kRate / rate);
    const AutoWah::Params wetOnly{
        .dryMix = 0.0f, .feedback = 1.0f, .rateHz = rate, .rangeOctaves = range, .baseHz = base};
    auto w = prepared<AutoWah>(1, wetOnly);
    std::vector<float> buf(cycle / 2 + window, 0.0f);
    for (size_t n = 0; n < buf.size(); n += period) buf[n] = 1.0f;
    w.process(buf);

    double previous = 0.0;
    for (double part : {0.0, 0.125, 0.25, 0.375, 0.5}) {
      const size_t centre = std::max(window / 2, static_cast<size_t>(part * cycle));
      const size_t start = (centre - window / 2) / period * period;
      const double t = static_cast<double>(start + window / 2) / kRate;
      const double lfo = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * rate * t);
      const double expected =
          std::min(base * std::exp2(range * lfo), AutoWah::kTopFraction * kRate);
      const double found = peakFrequency(std::span(buf).subspan(start, window), period);
      SCOPED_TRACE(testing::Message() << "base " << base << " at " << part << ": " << found);
      EXPECT_NEAR(std::log2(found / expected), 0.0, 0.2);
      EXPECT_GE(found, previous);
      EXPECT_LE(found, AutoWah::kTopFraction * kRate + kRate / period);
      previous = found;
    }
  }
}

TEST(AutoWahTest, ChunkingAndResetBehave) {
  expectChunkedEqualsWhole(
      prepared<AutoWah>(2, {.dryMix = 0.1f, .feedback = 0.5f}),
      [](AutoWah& w) { w.setParameters({.dryMix = -2.0f, .feedback = -1.0f}); });
  expectSilentAfterReset(prepared<AutoWah>(2, {.dryMix = 2.0f, .feedback = 1.0f}));
}

TEST(AutoWahTest, EveryParameterEndStaysFinite) {
  for (float feedback : {-1.0f, 1.0f}) {
    for (float dry : {-2.0f, 2.0f}) {
      SCOPED_TRACE(testing::Message() << "feedback " << feedback << ", dry " << dry);
      expectFiniteAndBounded(prepared<AutoWah>(2, {.dryMix = dry, .feedback = feedback}), 8.0f);
    }
  }
  auto w = prepared<AutoWah>(2, {.dryMix = 0.1f, .feedback = 0.0f});
  w.setParameters({.dryMix = NAN,
                   .wetMix = INFINITY,
                   .feedback = -INFINITY,
                   .rateHz = INFINITY,
                   .rangeOctaves = INFINITY,
                   .baseHz = INFINITY});
  expectFiniteAndBounded(w, 8.0f);
}

}  // namespace
