#pragma once

#include <algorithm>
#include <cmath>

// Small building blocks shared by the mixer and the effects: what an effect is prepared for and
// the preparing itself, value sanitising, a parameter smoother and the one fade every start, stop
// and switch uses (the delay line and the LFO have headers of their own).
// Header-only so the per-sample calls inline.
namespace dsp {

// What an effect is prepared for. The effects work frame by frame, so they need no block size.
struct Format {
  double sampleRate = 44100.0;
  int channels = 2;
};

// What every effect's prepare() does. An effect derives from Effect<itself> and provides
// allocate() (its memories, for sampleRate_ and channels_), apply() (its parameters as last set
// into its glides' targets) and reset() (clears its memories and snaps every glide onto its
// target). So parameters set before prepare() apply at once, and later ones glide.
template <class Derived>
class Effect {
 public:
  // Allocates; not real-time safe.
  void prepare(const Format& format) {
    sampleRate_ = format.sampleRate > 0.0 ? format.sampleRate : 44100.0;
    channels_ = std::max(1, format.channels);
    auto& self = static_cast<Derived&>(*this);
    self.allocate();
    self.apply();
    self.reset();
  }

 protected:
  bool prepared() const noexcept { return sampleRate_ > 0.0; }

  double sampleRate_ = 0.0;
  int channels_ = 0;
};

// Below this magnitude a value is treated as zero: it keeps feedback paths out of denormals
// (a sample this small is far below anything audible or representable in 16 bits).
inline constexpr float kFlushBelow = 1e-20f;

// Returns 0 for NaN, infinities and tiny values, else `x`.
inline float sanitize(float x) noexcept {
  return (std::isfinite(x) && std::abs(x) >= kFlushBelow) ? x : 0.0f;
}

// Flushes tiny values to zero (for filter state and delay-line contents).
inline float flushTiny(float x) noexcept {
  return std::abs(x) < kFlushBelow ? 0.0f : x;
}

// Clamps `value` into [lo, hi] (an infinity to the nearer end); NaN yields `fallback`.
inline float clampParam(float value, float lo, float hi, float fallback) noexcept {
  if (std::isnan(value)) return fallback;
  return std::clamp(value, lo, hi);  // +-infinity lands on the nearest end
}

// S-shaped rise from 0 at t = 0 to 1 at t = 1 (3t^2 - 2t^3): level and slope are continuous at
// both ends, so a gain ramp shaped by it starts and ends without a bend in the wave.
inline float smoothStep(float t) noexcept {
  return t * t * (3.0f - 2.0f * t);
}

// Parameter smoother: two one-pole stages in series (a critically damped glide), so a parameter
// step becomes an S-shaped glide that starts and ends without a bend. Each stage has half of
// kTimeMs as its time constant: the glide lags the target by kTimeMs on average and is all but
// settled after four times that. Snaps onto the target once the distance is negligible, so a
// settled value equals its target exactly.
class Smoother {
 public:
  static constexpr double kTimeMs = 5.0;
  void prepare(double sampleRate) {
    coeff_ = static_cast<float>(1.0 - std::exp(-2000.0 / (kTimeMs * sampleRate)));
  }
  void setTarget(float target) noexcept { target_ = target; }
  // Jumps to the target at once (first parameters, reset).
  void snap() noexcept { middle_ = current_ = target_; }
  float next() noexcept {
    // The output meets the target only where both stages are settled (a snap sets both), so one
    // comparison tells a settled smoother.
    if (current_ == target_) return current_;
    middle_ += coeff_ * (target_ - middle_);
    current_ += coeff_ * (middle_ - current_);
    const float tolerance = 1e-6f * (1.0f + std::abs(target_));
    if (std::abs(target_ - middle_) <= tolerance && std::abs(target_ - current_) <= tolerance) {
      middle_ = current_ = target_;
    }
    return current_;
  }

 private:
  float coeff_ = 1.0f;
  float middle_ = 0.0f;  // the first stage
  float current_ = 0.0f;
  float target_ = 0.0f;
};

// How long a fade lasts: a stream's start and stop, the output's return, an effect switched on or
// off, and what enters an effect's memory after a reset. (The echo's move to a new delay takes a
// longer one of its own.)
inline constexpr double kFadeMs = 5.0;

// Whole frames a fade of `ms` lasts at `sampleRate`, at least one.
constexpr int fadeFrames(double sampleRate, double ms = kFadeMs) {
  return std::max(1, static_cast<int>(sampleRate * ms / 1000.0));
}

// A gain that fades between 0 and 1 along smoothStep, one frame per next(). Rising from 0 it gives
// smoothStep(k / n) for k = 0 .. n - 1 and then exactly 1; falling from 1 it gives the same n
// values backwards, the last one exactly 0, and then 0. Turned round midway it goes back from
// where it stands, so the gain never jumps. Prepared, it stands settled at 1.
class Ramp {
 public:
  Ramp() = default;
  explicit Ramp(double sampleRate, double ms = kFadeMs) { prepare(sampleRate, ms); }
  void prepare(double sampleRate, double ms = kFadeMs) {
    frames_ = fadeFrames(sampleRate, ms);
    settle(true);
  }
  // Rises from 0, after `silentFrames` frames of 0.
  void rise(int silentFrames = 0) noexcept {
    position_ = -silentFrames;
    rising_ = true;
  }
  // Heads for 1 or for 0 from where it stands.
  void toward(bool one) noexcept { rising_ = one; }
  // Stands at 1 or at 0 at once.
  void settle(bool one) noexcept {
    position_ = one ? frames_ : 0;
    rising_ = one;
  }
  // Whether it has arrived where it heads: next() gives that end from now on.
  bool settled() const noexcept { return rising_ ? position_ >= frames_ : position_ <= 0; }
  float next() noexcept {
    if (settled()) return rising_ ? 1.0f : 0.0f;
    return rising_ ? gainAt(position_++) : gainAt(--position_);
  }

 private:
  float gainAt(int position) const noexcept {
    return position <= 0 ? 0.0f
                         : smoothStep(static_cast<float>(position) / static_cast<float>(frames_));
  }

  int frames_ = 1;
  int position_ = 1;  // frames of the rise behind it; negative while a rise's silence lasts
  bool rising_ = true;
};

}  // namespace dsp
