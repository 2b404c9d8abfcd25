#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "audio/effects/Flanger.h"

namespace {

constexpr double kRate = 22050.0;

std::vector<float> noise(size_t values, unsigned seed = 7) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> out(values);
  for (float& v : out) v = dist(gen);
  return out;
}

// Mono sine of `hz` at `amplitude`.
std::vector<float> sine(size_t frames, double hz, float amplitude = 0.8f) {
  std::vector<float> out(frames);
  for (size_t n = 0; n < frames; ++n) {
    out[n] = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * n / kRate));
  }
  return out;
}

Flanger make(int channels, float delayMs, float bpm, float wetDry) {
  Flanger f;
  f.prepare(kRate, channels, 512);
  f.setParameters(delayMs, bpm, wetDry);
  return f;
}

// Lag (in frames) within [minLag, maxLag] at which the envelope best matches itself.
size_t envelopePeriod(const std::vector<float>& env, size_t minLag, size_t maxLag) {
  double mean = 0.0;
  for (float e : env) mean += e;
  mean /= static_cast<double>(env.size());
  size_t best = 0;
  double bestScore = -1e300;
  for (size_t lag = minLag; lag <= maxLag; ++lag) {
    double score = 0.0;
    for (size_t n = 0; n + lag < env.size(); ++n) score += (env[n] - mean) * (env[n + lag] - mean);
    score /= static_cast<double>(env.size() - lag);
    if (score > bestScore) {
      bestScore = score;
      best = lag;
    }
  }
  return best;
}

TEST(FlangerTest, ChunkedProcessingEqualsWholeEvenAcrossParameterChanges) {
  const std::vector<float> input = noise(2 * 6000);
  Flanger whole = make(2, 2.0f, 1000.0f, 5.0f);
  Flanger chunked = make(2, 2.0f, 1000.0f, 5.0f);

  std::vector<float> a = input;
  whole.process(std::span(a).first(2 * 3000));
  whole.setParameters(3.1f, 37.0f, 10.0f);
  whole.process(std::span(a).subspan(2 * 3000));

  std::vector<float> b = input;
  const size_t sizes[] = {1, 7, 512, 100, 2380};  // frames, adding up to 3000
  size_t at = 0;
  for (size_t frames : sizes) {
    chunked.process(std::span(b).subspan(2 * at, 2 * frames));
    at += frames;
  }
  chunked.setParameters(3.1f, 37.0f, 10.0f);
  for (; at < 6000; at += 333) {
    const size_t frames = std::min<size_t>(333, 6000 - at);
    chunked.process(std::span(b).subspan(2 * at, 2 * frames));
  }
  EXPECT_EQ(a, b);
}

TEST(FlangerTest, SilentAfterReset) {
  Flanger f = make(2, 3.1f, 2000.0f, 10.0f);
  std::vector<float> buf = noise(2 * 1000);
  f.process(buf);
  f.reset();
  std::vector<float> silence(2 * 1000, 0.0f);
  f.process(silence);
  EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](float v) { return v == 0.0f; }));
}

TEST(FlangerTest, WetDryZeroPassesTheInputUntouched) {
  Flanger f = make(2, 2.0f, 1000.0f, 0.0f);
  const std::vector<float> input = noise(2 * 2000);
  std::vector<float> buf = input;
  f.process(buf);
  EXPECT_EQ(buf, input);
}

TEST(FlangerTest, EqualMixCancelsAToneAtTheDelaysNotch) {
  // A 1000 Hz tone against itself delayed by 0.5 ms cancels: a notch at 1 / (2 * delay).
  // With the LFO barely moving at the start (1 BPM, sin near 0) the delay is the centre delay.
  Flanger f = make(1, 1.1f, 1.0f, 10.0f);
  const double notchHz = 1000.0 / (2.0 * 1.1);
  std::vector<float> buf = sine(2000, notchHz);
  f.process(buf);
  float peak = 0.0f;
  for (size_t n = 200; n < 600; ++n) peak = std::max(peak, std::abs(buf[n]));
  EXPECT_LT(peak, 0.02f);
}

TEST(FlangerTest, ToneEnvelopeRepeatsAtTheLfoRate) {
  // A steady tone through the flanger rises and falls as the notches sweep across it; that
  // envelope repeats once per LFO period, whatever the rate.
  for (float bpm : {300.0f, 600.0f}) {
    Flanger f = make(1, 2.0f, bpm, 10.0f);
    std::vector<float> buf = sine(static_cast<size_t>(kRate) * 2, 700.0);
    f.process(buf);
    // Envelope: peak over windows of one 700 Hz period (about 31.5 frames), 32-frame hops.
    std::vector<float> env;
    for (size_t start = 0; start + 32 <= buf.size(); start += 32) {
      float peak = 0.0f;
      for (size_t n = start; n < start + 32; ++n) peak = std::max(peak, std::abs(buf[n]));
      env.push_back(peak);
    }
    const double expected = kRate * 60.0 / bpm / 32.0;  // LFO period in envelope steps
    const size_t found = envelopePeriod(env, static_cast<size_t>(expected * 0.6),
                                        static_cast<size_t>(expected * 1.4));
    EXPECT_NEAR(static_cast<double>(found), expected, expected * 0.03) << "bpm " << bpm;
  }
}

TEST(FlangerTest, EveryParameterEndStaysFiniteAndWithinFullScale) {
  const float delays[] = {1.1f, 3.1f}, bpms[] = {1.0f, 2000.0f}, mixes[] = {0.0f, 10.0f};
  for (float d : delays) {
    for (float bpm : bpms) {
      for (float mix : mixes) {
        Flanger f = make(2, d, bpm, mix);
        std::vector<float> buf = noise(2 * 4000, 3);
        for (size_t i = 0; i < buf.size(); i += 64) buf[i] = (i / 64) % 2 ? 1.0f : -1.0f;
        f.process(buf);
        for (float v : buf) {
          ASSERT_TRUE(std::isfinite(v));
          ASSERT_LE(std::abs(v), 1.0f + 1e-6f) << d << " " << bpm << " " << mix;
        }
      }
    }
  }
}

TEST(FlangerTest, NonFiniteInputsAndParametersAreHarmless) {
  Flanger f = make(2, 2.0f, 1000.0f, 5.0f);
  f.setParameters(NAN, INFINITY, -INFINITY);
  std::vector<float> buf = noise(2 * 500);
  buf[10] = NAN;
  buf[11] = INFINITY;
  buf[12] = -INFINITY;
  f.process(buf);
  for (float v : buf) ASSERT_TRUE(std::isfinite(v));
}

}  // namespace
