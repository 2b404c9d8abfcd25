// The mixer called with blocks, as the output's requests call it, here of 300 frames so that
// fades run across block boundaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "audio/Mixer.h"
#include "audio/Tone.h"
#include "tests/support/SignalMeasures.h"

namespace {

// A stream proc that fills with the value `user` points to.
uint32_t ConstantProc(uint32_t /*handle*/, void* buffer, uint32_t length, void* user) {
  std::fill_n(static_cast<int16_t*>(buffer), length / 2, *static_cast<const int16_t*>(user));
  return length;
}

// Appends `blocks` blocks of the mix to `out`.
void Mix(Mixer& mixer, int blocks, std::vector<int16_t>& out) {
  for (int block = 0; block < blocks; ++block) {
    out.resize(out.size() + 600);
    mixer.Mix(&out[out.size() - 600], 300);
  }
}

TEST(MixerTest, StartFadesInAndStopFadesOutOverFiveMilliseconds) {
  const int fade = 110;  // 5 ms at 22050 Hz
  int16_t value = 11000;
  Mixer mixer;
  mixer.Fill(0, &ConstantProc, &value, 1);
  std::vector<int16_t> out;
  Mix(mixer, 2, out);                        // stopped: silence
  for (int start = 0; start < 2; ++start) {  // the second start fades in again
    mixer.Play(0);
    Mix(mixer, 7, out);
    ASSERT_TRUE(mixer.BeginStop(0));
    Mix(mixer, 2, out);
    mixer.Stop(0);
    Mix(mixer, 2, out);
  }

  // The S-curve 3t^2 - 2t^3 at t = frame / 110, worked out by hand for a few frames: the fade-in
  // gives it, and the fade-out gives it backwards, ending at exactly 0 on its 110th frame.
  const std::pair<int, int> curve[] = {{0, 0},     {11, 308},  {22, 1144},
                                       {55, 5500}, {88, 9856}, {99, 10692}};
  const auto checkFade = [&](std::vector<int16_t>::const_iterator from, bool rising) {
    for (int frame = 0; frame < fade; ++frame) {
      EXPECT_EQ(from[2 * frame + 1], from[2 * frame]);
      EXPECT_LE(std::abs(from[2 * frame + 2] - from[2 * frame]), 151) << "frame " << frame;
    }
    for (const auto& [frame, value] : curve) {
      EXPECT_NEAR(from[2 * (rising ? frame : fade - 1 - frame)], value, 1.0) << frame;
    }
  };

  // Before the first full value: silence, then the fade-in on both channels; from there on the
  // proc's values exactly.
  const auto first = std::find(out.begin(), out.end(), 11000);
  ASSERT_NE(first, out.end());
  ASSERT_GE(first - out.begin(), 2 * fade);
  const auto rampStart = first - 2 * fade;
  checkFade(rampStart, true);
  EXPECT_TRUE(std::all_of(out.begin(), rampStart, [](int16_t v) { return v == 0; }));
  const auto firstStop = std::find_if(first, out.end(), [](int16_t v) { return v != 11000; });
  EXPECT_GT(firstStop - first, 2 * fade);
  const auto lastFull = std::find(out.rbegin(), out.rend(), 11000).base();
  const auto secondFull = std::find(firstStop, out.end(), 11000);
  ASSERT_NE(secondFull, out.end()) << "the second start was not played";
  ASSERT_GE(secondFull - firstStop, 4 * fade);
  EXPECT_EQ(secondFull[-2 * fade], 0) << "the second start fades in from 0";
  EXPECT_NEAR(secondFull[-fade], 5500, 1.0);
  EXPECT_TRUE(std::all_of(secondFull, lastFull, [](int16_t v) { return v == 11000; }));

  // After the last full value: the fade-out on both channels, then silence to the end.
  ASSERT_GE(out.end() - lastFull, 2 * fade);
  checkFade(lastFull, false);
  EXPECT_TRUE(std::all_of(lastFull + 2 * fade, out.end(), [](int16_t v) { return v == 0; }));
}

TEST(MixerTest, StreamsAreMixedWithSaturation) {
  for (int16_t value : {int16_t{20000}, int16_t{-20000}}) {
    Mixer mixer;
    mixer.Fill(0, &ConstantProc, &value, 1);
    mixer.Fill(1, &ConstantProc, &value, 2);
    mixer.Play(0);
    mixer.Play(1);
    std::vector<int16_t> out;
    Mix(mixer, 10, out);

    // The sum sticks at the limit of its sign; a wrapped sum would change sign.
    const int16_t limit = value > 0 ? INT16_MAX : INT16_MIN;
    EXPECT_NE(std::find(out.begin(), out.end(), limit), out.end()) << value;
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [&](int16_t v) { return v * value >= 0; }))
        << value;
  }
}

// A fade bends the wave: its gain's slope and the changes of that slope add to the tone's own
// second difference. Along the S-curve they add at most a thousandth of the tone's level, where a
// straight 5 ms ramp adds 1/110 at its ends: 1.4 times the default tone's own, 28 times that of a
// 60 Hz tone at full level.
TEST(MixerTest, StartReturnAndStopBendTheToneByAThousandthAtMost) {
  struct Restore {  // the program-wide tone values, as other tests find them
    double frequency = Frequency, amplitude = Amplitude, phase = Phase;
    ~Restore() { Frequency = frequency, Amplitude = amplitude, Phase = phase; }
  } restore;
  // The frequency values the window sets (twice the pitch) and levels: the default tone, the
  // infrasound zone's and the lowest at full level.
  for (const auto& [frequency, amplitude] : {std::pair{1000, 16864}, {120, 32767}, {1, 32767}}) {
    Frequency.store(frequency);
    Amplitude.store(amplitude);
    for (int eighth = 0; eighth < 8; ++eighth) {  // the tone starts an eighth of a period later
      SCOPED_TRACE(std::to_string(frequency) + " at phase " + std::to_string(eighth) + "/8");
      Phase.store(eighth * 0.25);
      Mixer mixer;
      mixer.Fill(0, &ToneStreamProc, nullptr, 1);
      mixer.Play(0);
      std::vector<int16_t> out;
      Mix(mixer, 10, out);
      mixer.FadeInOnReturn();  // a block of silence, then the rise
      Mix(mixer, 10, out);
      ASSERT_TRUE(mixer.BeginStop(0));
      Mix(mixer, 2, out);
      const std::vector<int16_t> left = ChannelOf(out, 0);
      const int own = LargestStep(left, 1000, 3000).size;
      const size_t rise = 3000 + Mixer::kBlockFrames - 1;
      for (const auto& [what, begin, end] :
           {std::tuple{"start", size_t{0}, size_t{300}}, std::tuple{"return", rise, rise + 300},
            std::tuple{"stop", size_t{5900}, left.size()}}) {
        const Step bend = LargestStep(left, begin, end);
        EXPECT_LE(bend.size, own + amplitude / 1000) << what << ":\n"
                                                     << DescribeStep(left, bend.at);
      }
    }
  }
}

}  // namespace
