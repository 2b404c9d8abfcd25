#pragma once

#include <span>
#include <vector>

// Auto-wah: a resonant band-pass whose centre sweeps upward from a base frequency over a range
// of octaves at an LFO rate, mixed with the dry signal.
class AutoWah {
 public:
  void prepare(double sampleRate, int channels, int maxBlockFrames);
  // Clears the filter state and the LFO phase.
  void reset() noexcept;
  // dryMix -2 to 2, wetMix (fixed 1.0 from the panel), feedback -1 to 1 (resonance, kept
  // stable), rate of the sweep in Hz, range in octaves (the top is clamped below Nyquist), base
  // frequency in Hz. Values outside their ranges are clamped. Real-time safe.
  void setParameters(float dryMix, float wetMix, float feedback, float rateHz, float rangeOctaves,
                     float baseHz) noexcept;
  // Processes interleaved samples (channels as prepared) in place, values in [-1, 1].
  void process(std::span<float> interleaved) noexcept;
};
