#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "audio/effects/AutoWah.h"

namespace {

constexpr double kRate = 22050.0;

std::vector<float> noise(size_t values, unsigned seed = 13) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> out(values);
  for (float& v : out) v = dist(gen);
  return out;
}

AutoWah make(int channels, float dry, float feedback, float rate = 9.0f, float range = 9.0f,
             float base = 1000.0f) {
  AutoWah w;
  w.prepare(kRate, channels, 512);
  w.setParameters(dry, 1.0f, feedback, rate, range, base);
  return w;
}

// The strongest harmonic of `period`-frame impulse train response in `window`, in Hz.
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
  // A slow sweep (0.05 Hz) of a sharp band-pass (feedback 1) over an impulse train with a flat
  // spectrum: the strongest harmonic in a short window marks the centre at that moment.
  struct Case {
    float base, range;
  };
  for (Case c : {Case{500.0f, 3.0f}, Case{1000.0f, 9.0f}}) {
    const float rate = 0.05f;
    const size_t period = 1024, window = 4 * period;
    const size_t halfCycle = static_cast<size_t>(kRate / rate / 2.0);
    AutoWah w = make(1, 0.0f, 1.0f, rate, c.range, c.base);
    std::vector<float> buf(halfCycle + window, 0.0f);
    for (size_t n = 0; n < buf.size(); n += period) buf[n] = 1.0f;
    w.process(buf);

    double previous = 0.0;
    for (double part : {0.0, 0.125, 0.25, 0.375, 0.5}) {
      const size_t centre = std::max(window / 2, static_cast<size_t>(part * halfCycle * 2.0));
      const size_t start = (centre - window / 2) / period * period;
      const double t = static_cast<double>(start + window / 2) / kRate;
      const double lfo = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * rate * t);
      const double expected =
          std::min(c.base * std::exp2(c.range * lfo), AutoWah::kTopFraction * kRate);
      const double found = peakFrequency(std::span(buf).subspan(start, window), period);
      EXPECT_NEAR(std::log2(found / expected), 0.0, 0.2)
          << "base " << c.base << " at " << part << " cycle: " << found << " Hz";
      EXPECT_GE(found, previous);
      EXPECT_LE(found, AutoWah::kTopFraction * kRate + kRate / period);
      previous = found;
    }
  }
}

TEST(AutoWahTest, ChunkedProcessingEqualsWholeEvenAcrossParameterChanges) {
  const std::vector<float> input = noise(2 * 7000);
  AutoWah whole = make(2, 0.1f, 0.5f);
  AutoWah chunked = make(2, 0.1f, 0.5f);
  std::vector<float> a = input;
  whole.process(std::span(a).first(2 * 2500));
  whole.setParameters(-2.0f, 1.0f, -1.0f, 9.0f, 9.0f, 1000.0f);
  whole.process(std::span(a).subspan(2 * 2500));

  std::vector<float> b = input;
  for (size_t at = 0; at < 7000;) {
    if (at == 2500) chunked.setParameters(-2.0f, 1.0f, -1.0f, 9.0f, 9.0f, 1000.0f);
    const size_t frames = std::min<size_t>(at < 2500 ? 2500 - at : 7000 - at, 1 + at % 511);
    chunked.process(std::span(b).subspan(2 * at, 2 * frames));
    at += frames;
  }
  EXPECT_EQ(a, b);
}

TEST(AutoWahTest, SilentAfterReset) {
  AutoWah w = make(2, 2.0f, 1.0f);
  std::vector<float> buf = noise(2 * 3000);
  w.process(buf);
  w.reset();
  std::vector<float> silence(2 * 3000, 0.0f);
  w.process(silence);
  EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](float v) { return v == 0.0f; }));
}

TEST(AutoWahTest, EveryParameterEndStaysFiniteAndBounded) {
  for (float feedback : {-1.0f, 0.0f, 1.0f}) {
    for (float dry : {-2.0f, 0.1f, 2.0f}) {
      AutoWah w = make(2, dry, feedback);
      // Noise, then a full-scale square wave, then silence for the filter to ring out into.
      std::vector<float> buf = noise(2 * 20000, 17);
      for (size_t i = 2 * 8000; i < 2 * 16000; ++i) buf[i] = (i / 40) % 2 ? 1.0f : -1.0f;
      std::fill(buf.begin() + 2 * 16000, buf.end(), 0.0f);
      w.process(buf);
      for (float v : buf) {
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_LT(std::abs(v), 8.0f) << "feedback " << feedback << ", dry " << dry;
      }
      // The ring-out decays towards silence rather than sustaining itself.
      EXPECT_LT(std::abs(buf.back()), 1e-3f);
    }
  }
}

TEST(AutoWahTest, NonFiniteParametersAndInputsAreHarmless) {
  AutoWah w = make(2, 0.1f, 0.0f);
  w.setParameters(NAN, INFINITY, -INFINITY, INFINITY, INFINITY, INFINITY);
  std::vector<float> buf = noise(2 * 4000);
  buf[7] = NAN;
  buf[8] = -INFINITY;
  w.process(buf);
  for (float v : buf) ASSERT_TRUE(std::isfinite(v));
}

}  // namespace
