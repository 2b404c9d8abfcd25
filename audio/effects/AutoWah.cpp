#include "audio/effects/AutoWah.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

void AutoWah::allocate() {
  state_.assign(static_cast<size_t>(channels_), FilterState{});
  for (dsp::Smoother* s : {&dryGain_, &wetGain_, &damping_, &baseLog2_, &range_}) {
    s->prepare(sampleRate_);
  }
  input_.prepare(sampleRate_);
  tuning_.prepare(sampleRate_);
}

void AutoWah::reset() noexcept {
  std::fill(state_.begin(), state_.end(), FilterState{});
  tuning_.reset();
  for (dsp::Smoother* s : {&dryGain_, &wetGain_, &damping_, &baseLog2_, &range_}) s->snap();
  input_.rise();
}

void AutoWah::setParameters(const Params& params) noexcept {
  Params& p = params_;
  p.dryMix = dsp::clampParam(params.dryMix, -2.0f, 2.0f, p.dryMix);
  p.wetMix = dsp::clampParam(params.wetMix, -2.0f, 2.0f, p.wetMix);
  p.feedback = dsp::clampParam(params.feedback, -1.0f, 1.0f, p.feedback);
  p.rateHz = dsp::clampParam(params.rateHz, 0.0f, 50.0f, p.rateHz);
  p.rangeOctaves = dsp::clampParam(params.rangeOctaves, 0.0f, 12.0f, p.rangeOctaves);
  p.baseHz = dsp::clampParam(params.baseHz, 10.0f, 20000.0f, p.baseHz);
  if (prepared()) apply();
}

void AutoWah::apply() noexcept {
  tuning_.setFrequency(params_.rateHz);
  dryGain_.setTarget(params_.dryMix);
  wetGain_.setTarget(params_.wetMix);
  damping_.setTarget(0.5f * std::exp2(-2.0f * params_.feedback));  // 1 / (2 * 4^feedback)
  baseLog2_.setTarget(
      std::log2(std::min(params_.baseHz, kTopFraction * static_cast<float>(sampleRate_))));
  range_.setTarget(params_.rangeOctaves);
}

void AutoWah::process(std::span<float> interleaved) noexcept {
  if (state_.empty()) return;
  const size_t frames = interleaved.size() / static_cast<size_t>(channels_);
  const float topLog2 = std::log2(kTopFraction * static_cast<float>(sampleRate_));
  const float invRate = static_cast<float>(1.0 / sampleRate_);
  float* data = interleaved.data();
  for (size_t f = 0; f < frames; ++f) {
    const float dry = dryGain_.next();
    const float wet = wetGain_.next();
    const float k = damping_.next();
    const float in = input_.next();
    const float baseLog2 = baseLog2_.next();
    const float range = range_.next();
    // The filter's g at an LFO phase, with this sample's base and range.
    const float g = tuning_.next([&](double phase) {
      const float lfo = static_cast<float>(0.5 - 0.5 * std::cos(kTwoPi * phase));
      const float centreLog2 = std::min(topLog2, baseLog2 + range * lfo);
      return std::tan(kPi * std::exp2(centreLog2) * invRate);
    });
    const float a1 = 1.0f / (1.0f + g * (g + k));
    const float a2 = g * a1;
    const float a3 = g * a2;
    for (int c = 0; c < channels_; ++c) {
      FilterState& s = state_[static_cast<size_t>(c)];
      float& sample = data[f * static_cast<size_t>(channels_) + static_cast<size_t>(c)];
      const float x = dsp::sanitize(sample);
      const float v3 = in * x - s.ic2;
      const float v1 = a1 * s.ic1 + a2 * v3;  // band-pass
      const float v2 = s.ic2 + a2 * s.ic1 + a3 * v3;
      s.ic1 = dsp::flushTiny(2.0f * v1 - s.ic1);
      s.ic2 = dsp::flushTiny(2.0f * v2 - s.ic2);
      sample = dry * x + wet * k * v1;
    }
  }
}
