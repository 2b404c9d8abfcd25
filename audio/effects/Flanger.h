#pragma once

#include <span>
#include <vector>

// Flanger: each channel is mixed with a copy of itself whose delay sweeps around a centre
// delay under a sine LFO. Plain DSP, no allocation after prepare().
class Flanger {
 public:
  // Allocates the delay lines for the longest delay. Not real-time safe.
  void prepare(double sampleRate, int channels, int maxBlockFrames);
  // Clears the delay lines and the LFO phase.
  void reset() noexcept;
  // Centre delay in milliseconds (1.1 to 3.1; clamped), LFO rate in beats per minute (1 to 2000;
  // clamped), wet/dry mix 0 (dry only) to 10 (equal mix; clamped). Real-time safe.
  void setParameters(float delayMs, float bpm, float wetDry) noexcept;
  // Processes interleaved samples (channels as prepared) in place, values in [-1, 1].
  void process(std::span<float> interleaved) noexcept;
};
