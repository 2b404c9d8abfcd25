#pragma once

#include <span>
#include <vector>

#include "audio/effects/DspHelpers.h"

// Auto-wah: a resonant band-pass whose centre sweeps upward from a base frequency over a range
// of octaves at an LFO rate, mixed with the dry signal.
//
// The band-pass is a state-variable filter in trapezoidal (zero-delay feedback) form, which is
// stable for every centre below Nyquist and every positive Q; its output is normalised to unity
// gain at the centre. The centre is base * 2^(range * (1 - cos(2 pi rate t)) / 2): it starts at
// the base, rises to base * 2^range half an LFO period later and comes back, and is clamped to
// 0.45 times the sample rate; the filter's coefficient that follows from it is computed every few
// samples and ramped in between (dsp::ControlRamp). feedback -1..1 sets the resonance, Q = 2 *
// 4^feedback (0.5 to 8). Output = dryMix * x + wetMix * bandpass(x): with |dryMix| 2 it may exceed
// 1, but it stays finite and bounded. Parameters glide over a few milliseconds, so changes do not
// click. After a reset the filter's input is faded in over kInputFadeMs, so the resonance is not
// struck by the sudden start of the signal.
class AutoWah {
 public:
  void prepare(double sampleRate, int channels, int maxBlockFrames);
  // Clears the filter state and the LFO phase; the filter's input then fades in.
  void reset() noexcept;
  // dryMix -2 to 2, wetMix (fixed 1.0 from the panel; -2 to 2), feedback -1 to 1 (resonance,
  // kept stable), rate of the sweep in Hz (0 to 50), range in octaves (0 to 12; the top is
  // clamped below Nyquist), base frequency in Hz (10 to 0.45 times the sample rate). Values
  // outside their ranges are clamped; a NaN keeps the previous value. The first call after
  // prepare() applies at once; later calls glide. Real-time safe.
  void setParameters(float dryMix, float wetMix, float feedback, float rateHz, float rangeOctaves,
                     float baseHz) noexcept;
  // Processes interleaved samples (channels as prepared) in place, values in [-1, 1].
  // Non-finite inputs are treated as silence.
  void process(std::span<float> interleaved) noexcept;

  static constexpr float kTopFraction = 0.45f;  // highest centre, a fraction of the sample rate
  static constexpr double kInputFadeMs = 5.0;

 private:
  struct FilterState {
    float ic1 = 0.0f;
    float ic2 = 0.0f;
  };

  double sampleRate_ = 0.0;
  int channels_ = 0;
  std::vector<FilterState> state_;  // one per channel
  double phase_ = 0.0;              // LFO phase in cycles at the end of tuning_'s segment, [0, 1)
  double phaseInc_ = 0.0;
  dsp::ControlRamp tuning_;  // the filter's g = tan(pi * centre / rate), every kStep samples
  bool snapNext_ = true;
  float dryMix_ = 0.1f;
  float wetMix_ = 1.0f;
  float feedback_ = 0.0f;
  float rateHz_ = 9.0f;
  float rangeOctaves_ = 9.0f;
  float baseHz_ = 1000.0f;
  dsp::Smoother dryGain_;
  dsp::Smoother wetGain_;
  dsp::Smoother damping_;   // 1 / Q
  dsp::Smoother baseLog2_;  // log2 of the base frequency
  dsp::Smoother range_;     // octaves
  dsp::FadeIn input_;       // the filter's input after a reset
};
