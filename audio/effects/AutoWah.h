#pragma once

#include <span>
#include <vector>

#include "audio/effects/DspHelpers.h"
#include "audio/effects/Lfo.h"

// Auto-wah: a resonant band-pass whose centre sweeps upward from a base frequency over a range
// of octaves at an LFO rate, mixed with the dry signal.
//
// The band-pass is a state-variable filter in trapezoidal (zero-delay feedback) form, which is
// stable for every centre below Nyquist and every positive Q; its output is normalised to unity
// gain at the centre. The centre is base * 2^(range * (1 - cos(2 pi rate t)) / 2): it starts at
// the base, rises to base * 2^range half an LFO period later and comes back, and is clamped to
// 0.45 times the sample rate; the filter's coefficient that follows from it is computed every few
// samples and ramped in between (dsp::Lfo). That curve is steeper than a sine, most of all where
// the centre turns under the clamp: there the ramp puts the centre up to 1.2 % off at 22050 Hz
// with the panel's 9 Hz over 9 octaves (up to 13 % at the extreme 50 Hz over 12 octaves).
// feedback -1..1 sets the resonance, Q = 2 * 4^feedback (0.5 to 8). Output = dryMix * x + wetMix *
// bandpass(x): with |dryMix| 2 it may exceed 1, but it stays finite and bounded. Parameters glide
// over a few milliseconds, so changes do not click. After a reset the filter's input is faded in
// (dsp::Ramp), so the resonance is not struck by the sudden start of the signal.
class AutoWah : public dsp::Effect<AutoWah> {
 public:
  struct Params {
    float dryMix = 0.1f;        // -2 to 2
    float wetMix = 1.0f;        // -2 to 2 (fixed 1.0 from the panel)
    float feedback = 0.0f;      // resonance, -1 to 1 (kept stable)
    float rateHz = 9.0f;        // rate of the sweep, 0 to 50
    float rangeOctaves = 9.0f;  // 0 to 12 (the top is clamped below Nyquist)
    float baseHz = 1000.0f;     // base frequency, 10 to 20000 (at most 0.45 times the rate)
  };

  // Clears the filter state and the LFO phase; the filter's input then fades in.
  void reset() noexcept;
  // Values outside their ranges are clamped; a NaN keeps the previous value. Set before
  // prepare() they apply at once; later ones glide. Real-time safe.
  void setParameters(const Params& params) noexcept;
  // Processes interleaved samples (channels as prepared) in place, values in [-1, 1].
  // Non-finite inputs are treated as silence.
  void process(std::span<float> interleaved) noexcept;

  static constexpr float kTopFraction = 0.45f;  // highest centre, a fraction of the sample rate

 private:
  friend dsp::Effect<AutoWah>;
  void allocate();
  void apply() noexcept;

  struct FilterState {
    float ic1 = 0.0f;
    float ic2 = 0.0f;
  };

  std::vector<FilterState> state_;  // one per channel
  dsp::Lfo tuning_;                 // the filter's g = tan(pi * centre / rate), every kStep samples
  Params params_;                   // as last set, clamped
  dsp::Smoother dryGain_;
  dsp::Smoother wetGain_;
  dsp::Smoother damping_;   // 1 / Q
  dsp::Smoother baseLog2_;  // log2 of the base frequency
  dsp::Smoother range_;     // octaves
  dsp::Ramp input_;         // the filter's input after a reset
};
