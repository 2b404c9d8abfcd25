// The sweep program's and the presets' ticks without a window: ends, turns, reverse, and a step
// larger than the range.
#include <gtest/gtest.h>

#include "automation/Automation.h"

namespace {

constexpr bool kUp = true;
constexpr bool kDown = false;
constexpr std::nullopt_t kStays = std::nullopt;

TEST(SweepProgramTest, OneTickFromEachState) {
  struct Tick {
    const char* what;
    int min, max, step, position, frequency;
    bool up, reverse;  // "Возрастание" and "Реверс" ticked
    SweepTick after;
  };
  const Tick ticks[] = {
      {"moves up", 1, 22050, 1000, 20500, 20500, kUp, false, {21500, false, 20500}},
      {"stops at the top", 1, 22050, 1000, 21500, 21500, kUp, false, {22050, false, 21500}},
      {"top, no reverse: rests", 1, 22050, 1000, 22050, 22050, kUp, false, {kStays, false, 22050}},
      {"top: turns, one Hz inside", 1, 22050, 5, 22050, 22050, kUp, true, {kStays, true, 22049}},
      {"bottom: turns", 1, 22050, 1000, 1, 1, kDown, true, {kStays, true, 2}},
      {"top going down turns", 1, 160, 5, 160, 160, kDown, true, {kStays, true, 159}},
      {"turned at the top: pushes up", 1, 160, 5, 160, 159, kUp, true, {160, false, 159}},
      {"beyond the top: turns in place", 1, 160, 5, 160, 200, kUp, true, {kStays, true, 200}},
      {"step beyond the range: end to end", 1, 160, 1000, 160, 159, kDown, true, {1, false, 159}},
  };
  for (const Tick& t : ticks) {
    SCOPED_TRACE(t.what);
    const SweepTick tick = SweepProgram{.SweepStep = t.step}.Tick(t.min, t.max, t.position,
                                                                  t.frequency, t.up, t.reverse);
    EXPECT_EQ(tick.position, t.after.position);
    EXPECT_EQ(tick.turn, t.after.turn);
    EXPECT_EQ(tick.frequency, t.after.frequency);
  }
}

TEST(PresetSwingTest, OneTickFromEachState) {
  struct Tick {
    const char* what;
    bool active;
    int low, high, step, position;
    bool rising;
    std::optional<int> next;
    bool risingAfter;
  };
  const Tick ticks[] = {
      {"stopped swing", false, 1000, 1700, 11, 1000, kUp, kStays, kUp},
      {"rises past the top", true, 1000, 1700, 11, 1695, kUp, 1706, kUp},
      {"past the top: turns", true, 1000, 1700, 11, 1706, kUp, kStays, kDown},
      {"falls past the bottom", true, 1000, 1700, 11, 1002, kDown, 991, kDown},
      {"past the bottom: turns", true, 1000, 1700, 11, 991, kDown, kStays, kUp},
      {"at the top: turns", true, 20000, 22050, 25, 22050, kUp, kStays, kDown},
      {"at the bottom: turns", true, 20000, 22050, 25, 20000, kDown, kStays, kUp},
      {"step beyond the range: the bar clamps", true, 10, 250, 1000, 10, kUp, 1010, kUp},
  };
  for (const Tick& t : ticks) {
    SCOPED_TRACE(t.what);
    PresetSwing swing;
    swing.Start(t.low, t.high, t.step);
    swing.PresetRising = t.rising;
    swing.PresetActive = t.active;
    EXPECT_EQ(swing.Tick(t.position), t.next);
    EXPECT_EQ(swing.PresetRising, t.risingAfter);
  }
}

}  // namespace
