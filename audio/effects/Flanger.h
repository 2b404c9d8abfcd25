#pragma once

#include <span>

#include "audio/effects/DelayLine.h"
#include "audio/effects/DspHelpers.h"
#include "audio/effects/Lfo.h"

// Flanger: each channel is mixed with a copy of itself whose delay sweeps around a centre
// delay under a sine LFO. Plain DSP, no allocation after prepare().
//
// The delay of the copy is centre * (1 + 0.9 * sin(2 pi rate t)), read with linear
// interpolation, so it sweeps between 0.1 and 1.9 times the centre delay (never below a fraction
// of a sample). The LFO rate in Hz is bpm / 60; all channels share one LFO, whose sine is computed
// every few samples and ramped in between (dsp::Lfo). There is no feedback.
// Output = (1 - w) * x + w * delayed, with w = 0.05 * wetDry: wetDry 0 is the dry input only,
// 10 is an equal mix 0.5 * dry + 0.5 * wet. For input in [-1, 1] the output stays in [-1, 1].
// Centre delay and mix glide to new values over a few milliseconds, so changes do not click.
// After a reset the input enters the delay lines faded in (dsp::Ramp): the delayed copy
// then rises smoothly instead of stepping in one delay after the start.
class Flanger : public dsp::Effect<Flanger> {
 public:
  struct Params {
    float delayMs = 2.0f;  // centre delay, 1.1 to 3.1
    float bpm = 1000.0f;   // LFO rate in beats per minute, 1 to 2000
    float wetDry = 5.0f;   // 0 (dry only) to 10 (equal mix)
  };

  // Clears the delay lines and the LFO phase; the input then enters the lines faded in.
  void reset() noexcept;
  // Values outside their ranges are clamped; a NaN keeps the previous value. Set before
  // prepare() they apply at once; later ones glide. Real-time safe.
  void setParameters(const Params& params) noexcept;
  // Processes interleaved samples (channels as prepared) in place, values in [-1, 1].
  // Non-finite inputs are treated as silence.
  void process(std::span<float> interleaved) noexcept;

  static constexpr float kMinDelayMs = 1.1f;
  static constexpr float kMaxDelayMs = 3.1f;
  static constexpr float kDepth = 0.9f;  // sweep depth, a fraction of the centre delay

 private:
  friend dsp::Effect<Flanger>;
  void allocate();  // the delay lines, for the longest delay
  void apply() noexcept;

  dsp::DelayLine lines_;
  dsp::Lfo lfo_;
  Params params_;  // as last set, clamped
  dsp::Smoother delaySamples_;
  dsp::Smoother wetGain_;
  dsp::Ramp input_;  // what enters the lines after a reset
};
