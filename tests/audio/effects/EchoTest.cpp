#include <gtest/gtest.h>

#include "audio/effects/Echo.h"
#include "tests/audio/effects/EffectTestSignals.h"

namespace {

using namespace effect_test;

TEST(EchoTest, ImpulseRepeatsExactlyAtTheDelayAndDecays) {
  struct Case {
    double rate;
    float delayMs;
  };
  for (Case c : {Case{22050, 200}, Case{22050, 1}, Case{22050, 1000}, Case{22050, 33.3f},
                 Case{44100, 7.7f}}) {
    SCOPED_TRACE(testing::Message() << c.delayMs << " ms at " << c.rate);
    const size_t delay = static_cast<size_t>(std::lround(c.delayMs * c.rate / 1000.0));
    auto e = prepared<Echo>(2, {.dryMix = 0.0f, .wetMix = 10.0f, .delayMs = c.delayMs}, c.rate);
    // Silence until the line takes its input at full level (after the fade-in that follows a
    // reset).
    std::vector<float> silence(2 * static_cast<size_t>(dsp::kFadeMs * c.rate / 1000 + 2));
    e.process(silence);
    std::vector<float> buf(2 * (4 * delay + 10), 0.0f);
    buf[0] = 1.0f;
    buf[1] = -0.5f;
    e.process(buf);
    float previous = 1.0f;
    for (size_t n = 1; n < buf.size() / 2; ++n) {
      if (n % delay != 0) {
        ASSERT_TRUE(buf[2 * n] == 0.0f && buf[2 * n + 1] == 0.0f) << "frame " << n;
        continue;
      }
      EXPECT_GT(buf[2 * n], 0.0f) << "frame " << n;
      EXPECT_LT(buf[2 * n], previous);
      EXPECT_FLOAT_EQ(buf[2 * n + 1], -0.5f * buf[2 * n]);  // channels stay apart
      previous = buf[2 * n];
    }
  }
}

// After a reset a sudden full-level input enters the line along the fade, so each repeat
// comes back as that rise (ever weaker), never as a step.
TEST(EchoTest, InputEntersTheLineFadedInAfterAReset) {
  constexpr double kRate = 22050;
  constexpr size_t kDelay = 441;       // 20 ms
  constexpr size_t kFadeFrames = 110;  // 5 ms in whole frames
  auto e = prepared<Echo>(1, {.dryMix = 0.0f, .wetMix = 10.0f, .delayMs = 20.0f}, kRate);
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "after prepare" : "after reset");
    std::vector<float> buf(4 * kDelay, 1.0f);
    e.process(buf);
    for (size_t n = 0; n < kDelay; ++n) ASSERT_EQ(buf[n], 0.0f) << n;
    // The first repeat reaches the full wet level, (1 - feedback), only once the rise is over.
    EXPECT_NEAR(buf[kDelay + kFadeFrames / 2], 0.5f * (1 - Echo::kFeedback), 1e-5);  // halfway
    EXPECT_NEAR(buf[kDelay + kFadeFrames], 1 - Echo::kFeedback, 1e-5);
    float largest = 0.0f;
    for (size_t n = 1; n < buf.size(); ++n)
      largest = std::max(largest, std::abs(buf[n] - buf[n - 1]));
    EXPECT_LE(largest, (1 - Echo::kFeedback) * 1.5 / kFadeFrames + 1e-4);
    e.reset();
  }
}

TEST(EchoTest, ZeroWeightsAreSilentAndNothingAmplifies) {
  auto muted = prepared<Echo>(1, {.dryMix = 0.0f, .wetMix = 0.0f, .delayMs = 100.0f});
  std::vector<float> buf = noise(1000);
  muted.process(buf);
  EXPECT_TRUE(allZero(buf));

  // Every end of every track bar, and the worst case for a feedback line: a full-scale square
  // wave whose period is the delay (at 10 ms), so every repeat adds in phase.
  for (float delay : {1.0f, 10.0f, 1000.0f}) {
    for (float dry : {0.0f, 1.0f, 10.0f}) {
      for (float wet : {0.0f, 1.0f, 10.0f}) {
        SCOPED_TRACE(testing::Message() << delay << " ms, dry " << dry << ", wet " << wet);
        auto e = prepared<Echo>(1, {.dryMix = dry, .wetMix = wet, .delayMs = delay});
        std::vector<float> square(20000);
        for (size_t n = 0; n < square.size(); ++n) square[n] = (n % 221) < 110 ? 1.0f : -1.0f;
        e.process(square);
        for (float v : square) ASSERT_LE(std::abs(v), 1.0f + 1e-5f);
        expectFiniteAndBounded(prepared<Echo>(2, {.dryMix = dry, .wetMix = wet, .delayMs = delay}),
                               1.0f + 1e-5f);
      }
    }
  }
}

TEST(EchoTest, ChunkingAndResetBehave) {
  expectChunkedEqualsWhole(
      prepared<Echo>(2, {.dryMix = 3.0f, .wetMix = 7.0f, .delayMs = 50.0f}),
      [](Echo& e) { e.setParameters({.dryMix = 1.0f, .wetMix = 10.0f, .delayMs = 120.0f}); });
  expectSilentAfterReset(prepared<Echo>(2, {.dryMix = 1.0f, .wetMix = 10.0f, .delayMs = 300.0f}));
}

}  // namespace
