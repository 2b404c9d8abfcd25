#pragma once

#include <span>

#include "audio/effects/DelayLine.h"
#include "audio/effects/DspHelpers.h"

// Echo: a delay line with a fixed feedback below 0.5, so the repeats decay. The output is
// (dry * x + wet * delayed) / max(1, dry + wet): it never rises above the input level.
//
// The line holds s[n] = x[n] + kFeedback * s[n - D], D = round(delayMs * sampleRate / 1000)
// frames, and "delayed" is (1 - kFeedback) * s[n - D], which stays within the input's peak
// level however the repeats add up. An impulse therefore comes back exactly D frames later with
// (1 - kFeedback) times the wet weight, and each further repeat is kFeedback times the one
// before. A new delay is reached by a short S-shaped crossfade from the old tap to the new one,
// and the gains glide over a few milliseconds, so changes do not click. After a reset the input
// enters the line faded in (dsp::Ramp), so no repeat comes back as a step.
class Echo : public dsp::Effect<Echo> {
 public:
  struct Params {
    float dryMix = 1.0f;     // relative weight, 0 to 10
    float wetMix = 1.0f;     // relative weight, 0 to 10
    float delayMs = 200.0f;  // 1 to 1000
  };

  // Clears the delay line; the input then enters it faded in (dsp::Ramp).
  void reset() noexcept;
  // Values outside their ranges are clamped; a NaN keeps the previous value. Set before
  // prepare() they apply at once; later ones glide. Real-time safe.
  void setParameters(const Params& params) noexcept;
  // Processes interleaved samples (channels as prepared) in place, values in [-1, 1].
  // Non-finite inputs are treated as silence.
  void process(std::span<float> interleaved) noexcept;

  static constexpr float kFeedback = 0.35f;
  static constexpr float kMaxDelayMs = 1000.0f;
  static constexpr double kCrossfadeMs = 10.0;

 private:
  friend dsp::Effect<Echo>;
  void allocate();  // the delay line, for 1000 ms
  void apply() noexcept;
  int delayFrames(float delayMs) const noexcept;
  template <bool kFadingIn>
  void processFrame(float* data, size_t frame) noexcept;

  dsp::DelayLine line_;
  Params params_;         // as last set, clamped
  int targetDelay_ = 0;   // frames, as last set
  int currentDelay_ = 0;  // frames, the tap read when no crossfade runs
  int nextDelay_ = 0;     // frames, the tap faded towards while the crossfade runs
  dsp::Ramp tap_;         // the crossfade: 0 = all current tap, 1 = all next tap
  dsp::Smoother dryGain_;
  dsp::Smoother wetGain_;
  dsp::Ramp input_;  // what enters the line after a reset
};
