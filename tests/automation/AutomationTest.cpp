// The sweep program's and the presets' ticks without a window: ends, turns, reverse, and a step
// larger than the range.
#include <gtest/gtest.h>

#include "automation/Automation.h"

namespace {

enum Unit { kSweep, kSweepReverse, kSwing, kSwingStopped };
constexpr bool kUp = true;
constexpr bool kDown = false;
constexpr std::nullopt_t kStays = std::nullopt;

TEST(AutomationTest, OneTickFromEachState) {
  struct Tick {
    const char* what;
    Unit unit;
    int low, high;  // the sweep: the bar's range; the swing: its turning positions
    int step, position;
    double frequency;  // the sweep's; the swing looks at the bar alone
    bool rising;       // the sweep: "Возрастание" ticked; the swing: PresetRising
    std::optional<int> next;
    bool risingAfter;
    double frequencyAfter;
  };
  const Tick ticks[] = {
      {"sweep moves up", kSweep, 1, 22050, 1000, 20500, 20500, kUp, 21500, kUp, 20500},
      {"a move past the top stops there", kSweep, 1, 22050, 1000, 21500, 21500, kUp, 22050, kUp,
       21500},
      {"top, no reverse: rests", kSweep, 1, 22050, 1000, 22050, 22050, kUp, kStays, kUp, 22050},
      {"top: turns, one Hz inside", kSweepReverse, 1, 22050, 5, 22050, 22050, kUp, kStays, kDown,
       22049},
      {"bottom: turns", kSweepReverse, 1, 22050, 1000, 1, 1, kDown, kStays, kUp, 2},
      {"top going down turns", kSweepReverse, 1, 160, 5, 160, 160, kDown, kStays, kUp, 159},
      {"turned at the top: pushes up", kSweepReverse, 1, 160, 5, 160, 159, kUp, 160, kUp, 159},
      {"beyond the top: turns in place", kSweepReverse, 1, 160, 5, 160, 200, kUp, kStays, kDown,
       200},
      {"step beyond the range: end to end", kSweepReverse, 1, 160, 1000, 160, 159, kDown, 1, kDown,
       159},
      {"stopped swing", kSwingStopped, 1000, 1700, 11, 1000, 0, kUp, kStays, kUp, 0},
      {"rises past the top", kSwing, 1000, 1700, 11, 1695, 0, kUp, 1706, kUp, 0},
      {"past the top: turns", kSwing, 1000, 1700, 11, 1706, 0, kUp, kStays, kDown, 0},
      {"falls past the bottom", kSwing, 1000, 1700, 11, 1002, 0, kDown, 991, kDown, 0},
      {"past the bottom: turns", kSwing, 1000, 1700, 11, 991, 0, kDown, kStays, kUp, 0},
      {"at the top: turns", kSwing, 20000, 22050, 25, 22050, 0, kUp, kStays, kDown, 0},
      {"at the bottom: turns", kSwing, 20000, 22050, 25, 20000, 0, kDown, kStays, kUp, 0},
      {"step beyond the range: the bar clamps", kSwing, 10, 250, 1000, 10, 0, kUp, 1010, kUp, 0},
  };
  for (const Tick& t : ticks) {
    SCOPED_TRACE(t.what);
    if (t.unit == kSweep || t.unit == kSweepReverse) {
      const SweepProgram sweep{.SweepStep = t.step};
      const SweepTick tick =
          sweep.Tick(t.low, t.high, t.position, t.frequency, t.rising, t.unit == kSweepReverse);
      EXPECT_EQ(tick.position, t.next);
      EXPECT_EQ(tick.turn ? !t.rising : t.rising, t.risingAfter);
      EXPECT_EQ(tick.frequency, t.frequencyAfter);
    } else {
      PresetSwing swing;
      swing.Start(t.low, t.high, t.step);
      swing.PresetRising = t.rising;
      swing.PresetActive = t.unit == kSwing;
      EXPECT_EQ(swing.Tick(t.position), t.next);
      EXPECT_EQ(swing.PresetRising, t.risingAfter);
    }
  }
}

}  // namespace
