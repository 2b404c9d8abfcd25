#include "audio/effects/Echo.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSmoothingMs = 5.0;
}  // namespace

void Echo::prepare(double sampleRate, int channels, int maxBlockFrames) {
  (void)maxBlockFrames;  // works sample by sample, no block buffers needed
  sampleRate_ = sampleRate > 0.0 ? sampleRate : 44100.0;
  channels_ = std::max(1, channels);
  const int longest = delayFrames(kMaxDelayMs) + 2;
  lineSize_ = 1;
  while (lineSize_ < longest) lineSize_ *= 2;
  lines_.assign(static_cast<size_t>(lineSize_) * static_cast<size_t>(channels_), 0.0f);
  fadeStep_ = static_cast<float>(1000.0 / (kCrossfadeMs * sampleRate_));
  dryGain_.prepare(sampleRate_, kSmoothingMs);
  wetGain_.prepare(sampleRate_, kSmoothingMs);
  input_.prepare(sampleRate_, kInputFadeMs);
  snapNext_ = true;
  setParameters(dryMix_, wetMix_, delayMs_);
  snapNext_ = true;  // the first parameters from outside apply at once, too
  reset();
}

int Echo::delayFrames(float delayMs) const noexcept {
  return std::max(1, static_cast<int>(std::lround(delayMs * sampleRate_ / 1000.0)));
}

void Echo::reset() noexcept {
  std::fill(lines_.begin(), lines_.end(), 0.0f);
  writePos_ = 0;
  currentDelay_ = targetDelay_;
  fading_ = false;
  fade_ = 0.0f;
  dryGain_.snap();
  wetGain_.snap();
  input_.restart();
}

void Echo::setParameters(float dryMix, float wetMix, float delayMs) noexcept {
  dryMix_ = dsp::clampParam(dryMix, 0.0f, 10.0f, dryMix_);
  wetMix_ = dsp::clampParam(wetMix, 0.0f, 10.0f, wetMix_);
  delayMs_ = dsp::clampParam(delayMs, 1.0f, kMaxDelayMs, delayMs_);
  if (sampleRate_ <= 0.0) return;  // not prepared yet: applied by prepare()
  const float norm = std::max(1.0f, dryMix_ + wetMix_);
  dryGain_.setTarget(dryMix_ / norm);
  wetGain_.setTarget(wetMix_ / norm);
  targetDelay_ = delayFrames(delayMs_);
  if (snapNext_) {
    dryGain_.snap();
    wetGain_.snap();
    currentDelay_ = targetDelay_;
    fading_ = false;
    snapNext_ = false;
  }
}

void Echo::process(std::span<float> interleaved) noexcept {
  if (lines_.empty()) return;
  const size_t frames = interleaved.size() / static_cast<size_t>(channels_);
  // The input's fade-in lasts only a few milliseconds after a reset: the frames after it take the
  // path without it.
  size_t f = 0;
  for (; f < frames && input_.running(); ++f) processFrame<true>(interleaved.data(), f);
  for (; f < frames; ++f) processFrame<false>(interleaved.data(), f);
}

template <bool kFadingIn>
void Echo::processFrame(float* data, size_t frame) noexcept {
  const int mask = lineSize_ - 1;
  if (!fading_ && targetDelay_ != currentDelay_) {
    fading_ = true;
    nextDelay_ = targetDelay_;
    fade_ = 0.0f;
  }
  const float dry = dryGain_.next();
  const float wet = wetGain_.next();
  const float in = kFadingIn ? input_.next() : 1.0f;
  const int tapA = (writePos_ - currentDelay_) & mask;
  const int tapB = (writePos_ - nextDelay_) & mask;
  const float fade = fading_ ? dsp::smoothStep(fade_) : 0.0f;
  for (int c = 0; c < channels_; ++c) {
    float* line = lines_.data() + static_cast<size_t>(c) * static_cast<size_t>(lineSize_);
    float& sample = data[frame * static_cast<size_t>(channels_) + static_cast<size_t>(c)];
    const float x = dsp::sanitize(sample);
    float delayed = line[tapA];
    if (fade > 0.0f) delayed += fade * (line[tapB] - delayed);
    line[writePos_] = dsp::flushTiny((kFadingIn ? in * x : x) + kFeedback * delayed);
    sample = dry * x + wet * (1.0f - kFeedback) * delayed;
  }
  if (fading_) {
    fade_ += fadeStep_;
    if (fade_ >= 1.0f) {
      currentDelay_ = nextDelay_;
      fading_ = false;
    }
  }
  writePos_ = (writePos_ + 1) & mask;
}
