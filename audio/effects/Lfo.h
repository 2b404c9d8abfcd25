#pragma once

#include <cmath>

namespace dsp {

// A low-frequency oscillator and the slow control value it drives: next(shape) gives
// shape(phase), with the phase in cycles, for one sample. The shape (a sine, or a filter's tuning
// that follows one) is evaluated only at every kStep-th sample and ramped linearly in between, so
// an expensive one (sin, tan, exp2) costs one evaluation per kStep samples. Each segment starts
// where the last one ended, so the value is continuous, also when the frequency changes.
//
// At the effects' 22050 Hz the fastest LFO their ranges allow (the auto-wah's 50 Hz; the
// flanger's tops out at 33.3 Hz) turns 2 pi * 50 * 8 / 22050 = 0.114 radian in a segment, where
// the straight line strays from a sine by at most 0.114^2 / 8 = 0.0016 of its amplitude (0.0007
// at 33.3 Hz). A steeper shape strays further (AutoWah.h says how far). The phase and the count
// run on across calls to an effect's process(), so processing in chunks gives the same output as
// processing in one go.
class Lfo {
 public:
  static constexpr int kStep = 8;

  void prepare(double sampleRate) { sampleRate_ = sampleRate; }
  // Cycles per second; the phase runs on from where it is.
  void setFrequency(double hz) noexcept { increment_ = hz / sampleRate_; }
  // Back to phase 0: the next value is shape(0).
  void reset() noexcept {
    phase_ = 0.0;
    left_ = 0;
    primed_ = false;
  }
  // The value for this sample; `shape` maps a phase in [0, 1) to the control value.
  template <class Shape>
  float next(Shape shape) noexcept {
    if (left_ == 0) {
      if (!primed_) end_ = shape(phase_);
      primed_ = true;
      phase_ += kStep * increment_;
      phase_ -= std::floor(phase_);  // back into [0, 1)
      from_ = end_;
      end_ = shape(phase_);
      slope_ = (end_ - from_) / static_cast<float>(kStep);
      left_ = kStep;
    }
    const float value = from_ + slope_ * static_cast<float>(kStep - left_);
    --left_;
    return value;
  }

 private:
  double sampleRate_ = 44100.0;
  double increment_ = 0.0;  // cycles per sample
  double phase_ = 0.0;      // at the end of the current segment
  float from_ = 0.0f;
  float end_ = 0.0f;
  float slope_ = 0.0f;
  int left_ = 0;  // samples left in the current segment
  bool primed_ = false;
};

}  // namespace dsp
