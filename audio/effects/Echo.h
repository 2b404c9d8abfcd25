#pragma once

#include <span>
#include <vector>

// Echo: a delay line with a fixed feedback below 0.5, so the repeats decay. The output is
// (dry * x + wet * delayed) / max(1, dry + wet): it never rises above the input level.
class Echo {
 public:
  // Allocates the delay line for 1000 ms. Not real-time safe.
  void prepare(double sampleRate, int channels, int maxBlockFrames);
  // Clears the delay line.
  void reset() noexcept;
  // Dry and wet weights 0 to 10 (clamped), delay in milliseconds 1 to 1000 (clamped).
  // Real-time safe.
  void setParameters(float dryMix, float wetMix, float delayMs) noexcept;
  // Processes interleaved samples (channels as prepared) in place, values in [-1, 1].
  void process(std::span<float> interleaved) noexcept;
};
