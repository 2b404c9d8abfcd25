#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/effects/DelayLine.h"
#include "audio/effects/Lfo.h"

namespace {

// A line of 16 frames (asked for 10) fed frame n with n on the left and -n on the right, past
// its wrap: every delay reads the frame that many back on its own channel, and silence before the
// first frame.
TEST(DelayLineTest, ReadsEachChannelBackAcrossTheWrap) {
  dsp::DelayLine line;
  line.prepare(2, 10.0);
  for (int n = 0; n < 40; ++n) {
    line.write(0, static_cast<float>(n));
    line.write(1, static_cast<float>(-n));
    for (int delay : {0, 1, 5, 15}) {
      const float expected = n >= delay ? static_cast<float>(n - delay) : 0.0f;
      ASSERT_EQ(line.read(0, delay), expected) << "frame " << n << ", delay " << delay;
      ASSERT_EQ(line.read(1, delay), -expected) << "frame " << n << ", delay " << delay;
    }
    // A fractional delay lies on the straight line between its two frames.
    for (float delay : {0.25f, 2.5f, 13.75f}) {
      if (n < 15) break;
      ASSERT_EQ(line.read(0, line.tap(delay)), static_cast<float>(n) - delay) << n;
      ASSERT_EQ(line.read(1, line.tap(delay)), delay - static_cast<float>(n)) << n;
    }
    line.advance();
  }
  line.clear();
  for (int delay = 0; delay < 16; ++delay) EXPECT_EQ(line.read(0, delay), 0.0f) << delay;
}

float sineAt(double phase) {
  return static_cast<float>(std::sin(2.0 * std::numbers::pi * phase));
}

// At the fastest rate the effects allow, the ramp meets the sine at every kStep-th sample and
// strays from it in between by no more than the bound its header gives; a reset starts it over.
TEST(LfoTest, RampFollowsTheSineWithinItsBoundAndResetStartsOver) {
  constexpr double kRate = 22050.0, kHz = 50.0;
  dsp::Lfo lfo;
  lfo.prepare(kRate);
  lfo.setFrequency(kHz);
  std::vector<float> first;
  for (int n = 0; n < 2 * 441; ++n) {
    const float value = lfo.next(sineAt);
    const float exact = sineAt(kHz * n / kRate);
    if (n % dsp::Lfo::kStep == 0) {
      ASSERT_NEAR(value, exact, 1e-6) << "sample " << n;
    }
    ASSERT_NEAR(value, exact, 0.0017) << "sample " << n;
    first.push_back(value);
  }
  lfo.reset();
  for (size_t n = 0; n < first.size(); ++n) ASSERT_EQ(lfo.next(sineAt), first[n]) << n;
}

}  // namespace
