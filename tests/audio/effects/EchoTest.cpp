#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "audio/effects/Echo.h"

namespace {

std::vector<float> noise(size_t values, unsigned seed = 11) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> out(values);
  for (float& v : out) v = dist(gen);
  return out;
}

Echo make(double rate, int channels, float dry, float wet, float delayMs) {
  Echo e;
  e.prepare(rate, channels, 512);
  e.setParameters(dry, wet, delayMs);
  return e;
}

TEST(EchoTest, ImpulseRepeatsExactlyAtTheDelayAndDecays) {
  struct Case {
    double rate;
    float delayMs;
  };
  for (Case c : {Case{22050.0, 200.0f}, Case{22050.0, 1.0f}, Case{22050.0, 1000.0f},
                 Case{22050.0, 33.3f}, Case{44100.0, 7.7f}}) {
    const size_t delay = static_cast<size_t>(std::lround(c.delayMs * c.rate / 1000.0));
    Echo e = make(c.rate, 2, 0.0f, 10.0f, c.delayMs);
    std::vector<float> buf(2 * (4 * delay + 10), 0.0f);
    buf[0] = 1.0f;   // left
    buf[1] = -0.5f;  // right
    e.process(buf);
    float previous = 1.0f;
    for (size_t n = 0; n < buf.size() / 2; ++n) {
      const bool repeat = n > 0 && n % delay == 0;
      if (!repeat) {
        ASSERT_EQ(buf[2 * n], 0.0f) << "frame " << n << ", delay " << c.delayMs;
        ASSERT_EQ(buf[2 * n + 1], 0.0f);
        continue;
      }
      EXPECT_GT(buf[2 * n], 0.0f) << "frame " << n << ", delay " << c.delayMs;
      EXPECT_LT(buf[2 * n], previous);
      EXPECT_FLOAT_EQ(buf[2 * n + 1], -0.5f * buf[2 * n]);  // channels stay apart
      previous = buf[2 * n];
    }
  }
}

TEST(EchoTest, MixWeightsAreRelativeAndNeverAmplify) {
  // Dry only: the input unchanged. Equal weights: half the input at once.
  Echo dryOnly = make(22050.0, 1, 10.0f, 0.0f, 5.0f);
  std::vector<float> buf = noise(1000);
  const std::vector<float> input = buf;
  dryOnly.process(buf);
  EXPECT_EQ(buf, input);

  Echo equal = make(22050.0, 1, 1.0f, 1.0f, 100.0f);
  std::vector<float> impulse(10, 0.0f);
  impulse[0] = 0.8f;
  equal.process(impulse);
  EXPECT_FLOAT_EQ(impulse[0], 0.4f);

  Echo muted = make(22050.0, 1, 0.0f, 0.0f, 100.0f);
  buf = input;
  muted.process(buf);
  EXPECT_TRUE(std::all_of(buf.begin(), buf.end(), [](float v) { return v == 0.0f; }));

  // The worst case for a feedback line: a full-scale square wave whose period divides the delay,
  // so every repeat adds in phase.
  for (float dry : {0.0f, 1.0f, 10.0f}) {
    for (float wet : {1.0f, 10.0f}) {
      Echo e = make(22050.0, 1, dry, wet, 10.0f);  // 220.5 -> 221 frames
      std::vector<float> square(20000);
      for (size_t n = 0; n < square.size(); ++n) square[n] = (n % 221) < 110 ? 1.0f : -1.0f;
      e.process(square);
      for (float v : square) ASSERT_LE(std::abs(v), 1.0f + 1e-5f) << dry << " " << wet;
    }
  }
}

TEST(EchoTest, ChunkedProcessingEqualsWholeEvenAcrossADelayChange) {
  const std::vector<float> input = noise(2 * 9000);
  Echo whole = make(22050.0, 2, 3.0f, 7.0f, 50.0f);
  Echo chunked = make(22050.0, 2, 3.0f, 7.0f, 50.0f);
  std::vector<float> a = input;
  whole.process(std::span(a).first(2 * 4000));
  whole.setParameters(1.0f, 10.0f, 120.0f);
  whole.process(std::span(a).subspan(2 * 4000));

  std::vector<float> b = input;
  for (size_t at = 0; at < 9000;) {
    if (at == 4000) chunked.setParameters(1.0f, 10.0f, 120.0f);
    const size_t frames = std::min<size_t>(at < 4000 ? 4000 - at : 9000 - at, 1 + at % 613);
    chunked.process(std::span(b).subspan(2 * at, 2 * frames));
    at += frames;
  }
  EXPECT_EQ(a, b);
}

TEST(EchoTest, DelayChangeGlidesWithoutAJump) {
  // A new delay fades from the old tap to the new one: a slow sine stays smooth across it.
  Echo e = make(22050.0, 1, 0.0f, 10.0f, 20.0f);
  std::vector<float> buf(22050);
  for (size_t n = 0; n < buf.size(); ++n) {
    buf[n] = std::sin(2.0f * std::numbers::pi_v<float> * 50.0f * n / 22050.0f);
  }
  const float inputStep = 2.0f * std::numbers::pi_v<float> * 50.0f / 22050.0f;
  e.process(std::span(buf).first(11025));
  e.setParameters(0.0f, 10.0f, 517.0f);
  e.process(std::span(buf).subspan(11025));
  for (size_t n = 11025; n < buf.size(); ++n) {
    ASSERT_LT(std::abs(buf[n] - buf[n - 1]), 2.0f * inputStep) << "frame " << n;
  }
}

TEST(EchoTest, SilentAfterReset) {
  Echo e = make(22050.0, 2, 1.0f, 10.0f, 300.0f);
  std::vector<float> buf = noise(2 * 8000);
  e.process(buf);
  e.reset();
  std::vector<float> silence(2 * 8000, 0.0f);
  e.process(silence);
  EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](float v) { return v == 0.0f; }));
}

TEST(EchoTest, EveryParameterEndStaysFinite) {
  for (float delay : {1.0f, 1000.0f}) {
    for (float dry : {0.0f, 10.0f}) {
      for (float wet : {0.0f, 10.0f}) {
        Echo e = make(22050.0, 2, dry, wet, delay);
        std::vector<float> buf = noise(2 * 30000, 5);
        buf[100] = NAN;
        buf[101] = INFINITY;
        e.process(buf);
        for (float v : buf) ASSERT_TRUE(std::isfinite(v) && std::abs(v) <= 1.0f + 1e-5f);
      }
    }
  }
  Echo e = make(22050.0, 1, 1.0f, 1.0f, 100.0f);
  e.setParameters(NAN, -INFINITY, INFINITY);
  std::vector<float> buf = noise(3000);
  e.process(buf);
  for (float v : buf) ASSERT_TRUE(std::isfinite(v));
}

}  // namespace
