#include <gtest/gtest.h>

#include "audio/effects/Echo.h"
#include "tests/audio/effects/EffectTestSignals.h"

namespace {

using namespace effect_test;

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
  for (Case c : {Case{22050, 200}, Case{22050, 1}, Case{22050, 1000}, Case{22050, 33.3f},
                 Case{44100, 7.7f}}) {
    SCOPED_TRACE(testing::Message() << c.delayMs << " ms at " << c.rate);
    const size_t delay = static_cast<size_t>(std::lround(c.delayMs * c.rate / 1000.0));
    Echo e = make(c.rate, 2, 0.0f, 10.0f, c.delayMs);
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

TEST(EchoTest, ZeroWeightsAreSilentAndNothingAmplifies) {
  Echo muted = make(22050, 1, 0.0f, 0.0f, 100.0f);
  std::vector<float> buf = noise(1000);
  muted.process(buf);
  EXPECT_TRUE(allZero(buf));

  // Every end of every track bar, and the worst case for a feedback line: a full-scale square
  // wave whose period is the delay (at 10 ms), so every repeat adds in phase.
  for (float delay : {1.0f, 10.0f, 1000.0f}) {
    for (float dry : {0.0f, 1.0f, 10.0f}) {
      for (float wet : {0.0f, 1.0f, 10.0f}) {
        SCOPED_TRACE(testing::Message() << delay << " ms, dry " << dry << ", wet " << wet);
        Echo e = make(22050, 1, dry, wet, delay);
        std::vector<float> square(20000);
        for (size_t n = 0; n < square.size(); ++n) square[n] = (n % 221) < 110 ? 1.0f : -1.0f;
        e.process(square);
        for (float v : square) ASSERT_LE(std::abs(v), 1.0f + 1e-5f);
        expectFiniteAndBounded(make(22050, 2, dry, wet, delay), 1.0f + 1e-5f);
      }
    }
  }
}

TEST(EchoTest, ChunkingAndResetBehave) {
  expectChunkedEqualsWhole(make(22050, 2, 3.0f, 7.0f, 50.0f),
                           [](Echo& e) { e.setParameters(1.0f, 10.0f, 120.0f); });
  expectSilentAfterReset(make(22050, 2, 1.0f, 10.0f, 300.0f));
}

}  // namespace
