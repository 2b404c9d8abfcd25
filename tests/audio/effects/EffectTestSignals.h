#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <span>
#include <vector>

// Test signals and the properties every effect shares.
namespace effect_test {

inline std::vector<float> noise(size_t values, unsigned seed = 7) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> out(values);
  for (float& v : out) v = dist(gen);
  return out;
}

inline std::vector<float> sine(size_t frames, double hz, double rate, float amplitude = 0.8f) {
  std::vector<float> out(frames);
  for (size_t n = 0; n < frames; ++n)
    out[n] = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * n / rate));
  return out;
}

// Stereo 16-bit tone as the generator makes it: both channels equal.
inline std::vector<int16_t> stereoTone(size_t frames, double hz, double rate,
                                       double amplitude = 16864.0) {
  std::vector<int16_t> out;
  out.reserve(2 * frames);
  for (float v : sine(frames, hz, rate, 1.0f))
    out.insert(out.end(), 2, static_cast<int16_t>(std::lround(amplitude * v)));
  return out;
}

// An effect prepared for `channels` at `rate`, with `params`.
template <class Effect>
Effect prepared(int channels, const typename Effect::Params& params, double rate = 22050.0) {
  Effect effect;
  effect.setParameters(params);  // applies at once in prepare()
  effect.prepare({.sampleRate = rate, .channels = channels});
  return effect;
}

inline bool allZero(const std::vector<float>& v) {
  return std::all_of(v.begin(), v.end(), [](float x) { return x == 0.0f; });
}

// Stereo noise through `effect` whole and in ragged chunks, with `change` applied to the
// parameters at frame 3000 in both runs: the outputs are identical.
template <class Effect, class Change>
void expectChunkedEqualsWhole(const Effect& prepared, Change change) {
  const std::vector<float> input = noise(2 * 8000, 21);
  Effect whole = prepared, chunked = prepared;
  std::vector<float> a = input, b = input;
  whole.process(std::span(a).first(2 * 3000));
  change(whole);
  whole.process(std::span(a).subspan(2 * 3000));
  for (size_t at = 0; at < 8000;) {
    if (at == 3000) change(chunked);
    const size_t frames = std::min<size_t>(at < 3000 ? 3000 - at : 8000 - at, 1 + at % 613);
    chunked.process(std::span(b).subspan(2 * at, 2 * frames));
    at += frames;
  }
  EXPECT_EQ(a, b);
}

// After noise and reset(), silence in gives exact silence out.
template <class Effect>
void expectSilentAfterReset(Effect effect) {
  std::vector<float> buf = noise(2 * 8000, 5);
  effect.process(buf);
  effect.reset();
  std::vector<float> silence(2 * 30000, 0.0f);
  effect.process(silence);
  EXPECT_TRUE(allZero(silence));
}

// Noise with non-finite values sprinkled in, a full-scale square wave, then silence: the output
// stays finite and within `bound`.
template <class Effect>
void expectFiniteAndBounded(Effect effect, float bound) {
  std::vector<float> buf = noise(2 * 30000, 3);
  buf[100] = NAN;
  buf[101] = INFINITY;
  buf[102] = -INFINITY;
  for (size_t i = 2 * 10000; i < 2 * 20000; ++i) buf[i] = (i / 40) % 2 ? 1.0f : -1.0f;
  std::fill(buf.begin() + 2 * 20000, buf.end(), 0.0f);
  effect.process(buf);
  for (size_t i = 0; i < buf.size(); ++i) {
    ASSERT_TRUE(std::isfinite(buf[i])) << "value " << i;
    ASSERT_LE(std::abs(buf[i]), bound) << "value " << i;
  }
}

}  // namespace effect_test
