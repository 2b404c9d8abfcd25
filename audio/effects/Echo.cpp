#include "audio/effects/Echo.h"

#include <algorithm>
#include <cmath>

void Echo::allocate() {
  line_.prepare(channels_, delayFrames(kMaxDelayMs) + 2);
  tap_.prepare(sampleRate_, kCrossfadeMs);
  dryGain_.prepare(sampleRate_);
  wetGain_.prepare(sampleRate_);
  input_.prepare(sampleRate_);
}

int Echo::delayFrames(float delayMs) const noexcept {
  return std::max(1, static_cast<int>(std::lround(delayMs * sampleRate_ / 1000.0)));
}

void Echo::reset() noexcept {
  line_.clear();
  dryGain_.snap();
  wetGain_.snap();
  currentDelay_ = targetDelay_;
  tap_.settle(true);
  input_.rise();
}

void Echo::setParameters(const Params& params) noexcept {
  Params& p = params_;
  p.dryMix = dsp::clampParam(params.dryMix, 0.0f, 10.0f, p.dryMix);
  p.wetMix = dsp::clampParam(params.wetMix, 0.0f, 10.0f, p.wetMix);
  p.delayMs = dsp::clampParam(params.delayMs, 1.0f, kMaxDelayMs, p.delayMs);
  if (prepared()) apply();
}

void Echo::apply() noexcept {
  const float norm = std::max(1.0f, params_.dryMix + params_.wetMix);
  dryGain_.setTarget(params_.dryMix / norm);
  wetGain_.setTarget(params_.wetMix / norm);
  targetDelay_ = delayFrames(params_.delayMs);
}

void Echo::process(std::span<float> interleaved) noexcept {
  if (line_.empty()) return;
  const size_t frames = interleaved.size() / static_cast<size_t>(channels_);
  // The input's fade-in lasts only a few milliseconds after a reset: the frames after it take the
  // path without it.
  size_t f = 0;
  for (; f < frames && !input_.settled(); ++f) processFrame<true>(interleaved.data(), f);
  for (; f < frames; ++f) processFrame<false>(interleaved.data(), f);
}

template <bool kFadingIn>
void Echo::processFrame(float* data, size_t frame) noexcept {
  if (tap_.settled() && targetDelay_ != currentDelay_) {
    nextDelay_ = targetDelay_;
    tap_.rise();
  }
  const bool crossfading = !tap_.settled();
  const float dry = dryGain_.next();
  const float wet = wetGain_.next();
  const float in = kFadingIn ? input_.next() : 1.0f;
  const float fade = crossfading ? tap_.next() : 0.0f;
  for (int c = 0; c < channels_; ++c) {
    float& sample = data[frame * static_cast<size_t>(channels_) + static_cast<size_t>(c)];
    const float x = dsp::sanitize(sample);
    float delayed = line_.read(c, currentDelay_);
    if (fade > 0.0f) delayed += fade * (line_.read(c, nextDelay_) - delayed);
    line_.write(c, dsp::flushTiny((kFadingIn ? in * x : x) + kFeedback * delayed));
    sample = dry * x + wet * (1.0f - kFeedback) * delayed;
  }
  if (crossfading && tap_.settled()) currentDelay_ = nextDelay_;
  line_.advance();
}
