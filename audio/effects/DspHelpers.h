#pragma once

#include <algorithm>
#include <cmath>

// Small building blocks shared by the effects: value sanitising and a one-pole parameter
// smoother. Header-only so the per-sample calls inline.
namespace dsp {

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

// Clamps `value` into [lo, hi]; a non-finite value yields `fallback`.
inline float clampParam(float value, float lo, float hi, float fallback) noexcept {
  if (std::isnan(value)) return fallback;
  return std::clamp(value, lo, hi);  // +-infinity lands on the nearest end
}

// One-pole smoother: moves towards its target by a fixed fraction per sample, so a parameter
// step becomes an exponential glide of time constant `timeMs`. Snaps onto the target once the
// distance is negligible, so a settled value equals its target exactly.
class Smoother {
 public:
  void prepare(double sampleRate, double timeMs) {
    coeff_ = static_cast<float>(1.0 - std::exp(-1000.0 / (timeMs * sampleRate)));
  }
  void setTarget(float target) noexcept { target_ = target; }
  // Jumps to the target at once (first parameters, reset).
  void snap() noexcept { current_ = target_; }
  void snapTo(float value) noexcept { target_ = current_ = value; }
  float next() noexcept {
    float diff = target_ - current_;
    if (std::abs(diff) <= 1e-6f * (1.0f + std::abs(target_))) {
      current_ = target_;
    } else {
      current_ += coeff_ * diff;
    }
    return current_;
  }
  float current() const noexcept { return current_; }
  float target() const noexcept { return target_; }
  bool settled() const noexcept { return current_ == target_; }

 private:
  float coeff_ = 1.0f;
  float current_ = 0.0f;
  float target_ = 0.0f;
};

}  // namespace dsp
