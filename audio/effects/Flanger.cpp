#include "audio/effects/Flanger.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The shortest delay read, in samples: keeps the interpolation on written samples.
constexpr float kMinReadDelay = 0.25f;

float sineAt(double phase) noexcept {
  return static_cast<float>(std::sin(kTwoPi * phase));
}
}  // namespace

void Flanger::allocate() {
  lines_.prepare(channels_, kMaxDelayMs * (1.0 + kDepth) * sampleRate_ / 1000.0 + 4.0);
  lfo_.prepare(sampleRate_);
  delaySamples_.prepare(sampleRate_);
  wetGain_.prepare(sampleRate_);
  input_.prepare(sampleRate_);
}

void Flanger::reset() noexcept {
  lines_.clear();
  lfo_.reset();
  delaySamples_.snap();
  wetGain_.snap();
  input_.rise();
}

void Flanger::setParameters(const Params& params) noexcept {
  Params& p = params_;
  p.delayMs = dsp::clampParam(params.delayMs, kMinDelayMs, kMaxDelayMs, p.delayMs);
  p.bpm = dsp::clampParam(params.bpm, 1.0f, 2000.0f, p.bpm);
  p.wetDry = dsp::clampParam(params.wetDry, 0.0f, 10.0f, p.wetDry);
  if (prepared()) apply();
}

void Flanger::apply() noexcept {
  lfo_.setFrequency(params_.bpm / 60.0);
  delaySamples_.setTarget(static_cast<float>(params_.delayMs * sampleRate_ / 1000.0));
  wetGain_.setTarget(0.05f * params_.wetDry);
}

void Flanger::process(std::span<float> interleaved) noexcept {
  if (lines_.empty()) return;
  const size_t frames = interleaved.size() / static_cast<size_t>(channels_);
  float* data = interleaved.data();
  for (size_t f = 0; f < frames; ++f) {
    const float centre = delaySamples_.next();
    const float wet = wetGain_.next();
    const float dry = 1.0f - wet;
    const float in = input_.next();
    const float lfo = lfo_.next(sineAt);
    // Write first, then read: a delay of d samples reads d samples back from this one.
    const dsp::DelayLine::Tap tap =
        lines_.tap(std::max(kMinReadDelay, centre * (1.0f + kDepth * lfo)));
    for (int c = 0; c < channels_; ++c) {
      float& sample = data[f * static_cast<size_t>(channels_) + static_cast<size_t>(c)];
      const float x = dsp::sanitize(sample);
      lines_.write(c, in * x);
      sample = dry * x + wet * lines_.read(c, tap);
    }
    lines_.advance();
  }
}
