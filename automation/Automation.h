#pragma once

// The sweep program's and the presets' arithmetic, for the window's timer handlers (ui/Sweep.cpp,
// ui/Presets.cpp). The window keeps the rest of their state in its controls.

#include <cstdint>
#include <optional>

// What one tick of the sweep program does to the frequency bar.
struct SweepTick {
  std::optional<int> position{};  // the bar's new position, clamped into its range; none: it stays
  bool turn = false;              // the direction flips
  double frequency = 0;           // Frequency after the tick: at a turn from an end, one Hz inside
};

class SweepProgram {
 public:
  // Distance the frequency bar moves per tick, 1 to 65536 Hz.
  static constexpr int32_t kStartStep = 1;
  int32_t SweepStep = kStartStep;

  // One tick of a bar over min..max at `position`: while `frequency` lies strictly inside the
  // range the bar moves by the step; at an end or beyond it nothing happens, or with `reverse` the
  // direction turns, the bar staying where it is, and Frequency moves one Hz inside from an end
  // (from beyond one it stays).
  SweepTick Tick(int min, int max, int position, double frequency, bool up, bool reverse) const;
};

// The presets' swing: the frequency bar goes back and forth between two turning positions. All
// zero or false until a preset starts.
class PresetSwing {
 public:
  bool PresetActive = false;  // from a preset's start until its stop; no tick acts without it
  bool PresetRising = false;  // the bar moves up; flips at each turning position
  int32_t PresetLow = 0;      // turning positions of the bar, Hz
  int32_t PresetHigh = 0;
  int32_t PresetStep = 0;  // distance the bar moves per tick, Hz

  // Starts a swing upward between `low` and `high`.
  void Start(int32_t low, int32_t high, int32_t step);

  // One tick with the bar at `position`: the bar's new position, or none when the swing is not
  // active or turns. The test comes before the move, so a move may pass a turning position by
  // up to the step less one; the bar clamps a position beyond its range.
  std::optional<int> Tick(int position);
};
