#include "automation/Automation.h"

#include <algorithm>

SweepTick SweepProgram::Tick(int min, int max, int position, double frequency, bool up,
                             bool reverse) const {
  if (max > frequency && min < frequency)
    return {.position = std::clamp(position + (up ? SweepStep : -SweepStep), min, max),
            .frequency = frequency};
  if (!reverse) return {.frequency = frequency};
  if (max == frequency) frequency = max - 1;
  if (min == frequency) frequency = min + 1;
  return {.turn = true, .frequency = frequency};
}

void PresetSwing::Start(int32_t low, int32_t high, int32_t step) {
  *this = {.PresetActive = true,
           .PresetRising = true,
           .PresetLow = low,
           .PresetHigh = high,
           .PresetStep = step};
}

std::optional<int> PresetSwing::Tick(int position) {
  if (!PresetActive) return std::nullopt;
  if (PresetRising ? position < PresetHigh : position > PresetLow)
    return PresetRising ? position + PresetStep : position - PresetStep;
  PresetRising = !PresetRising;
  return std::nullopt;
}
