#include <gtest/gtest.h>

#include <span>
#include <utility>
#include <vector>

#include "audio/effects/Flanger.h"
#include "tests/audio/effects/EffectTestSignals.h"
#include "tests/support/SignalMeasures.h"

namespace {

using namespace effect_test;
constexpr double kRate = 22050.0;

TEST(FlangerTest, ChunkingAndResetBehave) {
  expectChunkedEqualsWhole(
      prepared<Flanger>(2, {.delayMs = 2.0f, .bpm = 1000.0f, .wetDry = 5.0f}),
      [](Flanger& f) { f.setParameters({.delayMs = 3.1f, .bpm = 37.0f, .wetDry = 10.0f}); });
  expectSilentAfterReset(prepared<Flanger>(2, {.delayMs = 3.1f, .bpm = 2000.0f, .wetDry = 10.0f}));
}

TEST(FlangerTest, ToneEnvelopeRepeatsAtTheLfoRate) {
  // As the notches sweep across a steady tone, its level rises and falls once per LFO period.
  for (float bpm : {300.0f, 600.0f}) {
    auto f = prepared<Flanger>(1, {.delayMs = 2.0f, .bpm = bpm, .wetDry = 10.0f});
    std::vector<float> buf = sine(2 * static_cast<size_t>(kRate), 700.0, kRate);
    f.process(buf);
    std::vector<double> env;  // peak per 32 frames, about one period of the tone
    for (size_t at = 0; at + 32 <= buf.size(); at += 32) {
      env.push_back(
          std::abs(*std::max_element(buf.begin() + at, buf.begin() + at + 32,
                                     [](float a, float b) { return std::abs(a) < std::abs(b); })));
    }
    const double expected = kRate * 60.0 / bpm / 32.0;  // LFO period in envelope steps
    const Periodicity period =
        BestLag(env, static_cast<size_t>(expected * 0.6), static_cast<size_t>(expected * 1.4));
    EXPECT_NEAR(period.lag, expected, expected * 0.03)
        << "bpm " << bpm << ", correlation " << period.correlation;
  }
}

TEST(FlangerTest, DelayFollowsTheSineLfoAtEverySample) {
  // A straight-line input comes back from a linearly interpolated delay line exactly as the line
  // earlier by the delay, so an equal mix gives the delay of every sample away:
  // out = x - 0.5 * delay * slope.
  constexpr double kSlope = 1e-5;  // input rise per sample
  constexpr double kCentre = 2.0 * kRate / 1000.0;
  for (float bpm : {300.0f, 2000.0f}) {
    auto f = prepared<Flanger>(1, {.delayMs = 2.0f, .bpm = bpm, .wetDry = 10.0f});
    std::vector<float> buf(static_cast<size_t>(kRate));
    for (size_t n = 0; n < buf.size(); ++n) buf[n] = static_cast<float>(kSlope * n);
    const std::vector<float> in = buf;
    f.process(buf);
    // Past the input's fade-in and the longest delay, every sample has straight-line history.
    for (size_t n = static_cast<size_t>(0.02 * kRate); n < buf.size(); ++n) {
      const double lfo = std::sin(2.0 * std::numbers::pi * bpm / 60.0 * n / kRate);
      const double expected = kCentre * (1.0 + Flanger::kDepth * lfo);
      const double delay = 2.0 * (in[n] - buf[n]) / kSlope;
      ASSERT_NEAR(delay, expected, 0.05) << "bpm " << bpm << ", sample " << n;
    }
  }
}

TEST(FlangerTest, DelayNeverJumpsWhenTheParametersChangeMidStream) {
  // The same straight-line input in ragged chunks, with the rate and the centre delay changed
  // in the middle of the LFO's computed stretches: the delay moves smoothly at every sample.
  // The fastest sweep moves it by at most 3.1 ms * 0.9 * 2 pi * 33.3 Hz = 0.58 samples a
  // sample, the centre's glide by less; a sweep restarted from a stale point would jump by tens.
  constexpr double kSlope = 1e-5;
  auto f = prepared<Flanger>(1, {.delayMs = 2.0f, .bpm = 2000.0f, .wetDry = 10.0f});
  std::vector<float> buf(static_cast<size_t>(kRate));
  for (size_t n = 0; n < buf.size(); ++n) buf[n] = static_cast<float>(kSlope * n);
  const std::vector<float> in = buf;
  const std::pair<size_t, std::pair<float, float>> changes[] = {
      {4003, {3.1f, 37.0f}}, {9005, {1.1f, 2000.0f}}, {15001, {2.5f, 613.0f}}};
  size_t at = 0;
  for (const auto& [when, settings] : changes) {
    for (size_t chunk = 1; at < when; chunk = chunk % 29 + 3) {
      const size_t frames = std::min(chunk, when - at);
      f.process(std::span(buf).subspan(at, frames));
      at += frames;
    }
    f.setParameters({.delayMs = settings.first, .bpm = settings.second, .wetDry = 10.0f});
  }
  f.process(std::span(buf).subspan(at));
  double previous = 2.0 * (in[440] - buf[440]) / kSlope;
  for (size_t n = 441; n < buf.size(); ++n) {
    const double delay = 2.0 * (in[n] - buf[n]) / kSlope;
    ASSERT_NEAR(delay, previous, 1.0) << "sample " << n;
    previous = delay;
  }
}

TEST(FlangerTest, EveryParameterEndStaysFiniteAndWithinFullScale) {
  for (float delay : {1.1f, 3.1f}) {
    for (float bpm : {1.0f, 2000.0f}) {
      for (float wetDry : {0.0f, 10.0f}) {
        SCOPED_TRACE(testing::Message() << delay << " ms, " << bpm << " bpm, mix " << wetDry);
        expectFiniteAndBounded(
            prepared<Flanger>(2, {.delayMs = delay, .bpm = bpm, .wetDry = wetDry}), 1.0f + 1e-6f);
      }
    }
  }
  auto f = prepared<Flanger>(2, {.delayMs = 2.0f, .bpm = 1000.0f, .wetDry = 5.0f});
  f.setParameters({.delayMs = NAN, .bpm = INFINITY, .wetDry = -INFINITY});
  expectFiniteAndBounded(f, 1.0f + 1e-6f);
}

}  // namespace
