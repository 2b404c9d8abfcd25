#include "audio/effects/Flanger.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kSmoothingMs = 5.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The shortest delay read, in samples: keeps the interpolation on written samples.
constexpr float kMinReadDelay = 0.25f;

float lfoAt(double phase) noexcept {
  return static_cast<float>(std::sin(kTwoPi * phase));
}
}  // namespace

void Flanger::prepare(double sampleRate, int channels, int maxBlockFrames) {
  (void)maxBlockFrames;  // works sample by sample, no block buffers needed
  sampleRate_ = sampleRate > 0.0 ? sampleRate : 44100.0;
  channels_ = std::max(1, channels);
  const double longest = kMaxDelayMs * (1.0 + kDepth) * sampleRate_ / 1000.0 + 4.0;
  lineSize_ = 1;
  while (lineSize_ < longest) lineSize_ *= 2;
  lines_.assign(static_cast<size_t>(lineSize_) * static_cast<size_t>(channels_), 0.0f);
  delaySamples_.prepare(sampleRate_, kSmoothingMs);
  wetGain_.prepare(sampleRate_, kSmoothingMs);
  input_.prepare(sampleRate_, kInputFadeMs);
  snapNext_ = true;
  setParameters(delayMs_, bpm_, wetDry_);
  snapNext_ = true;  // the first parameters from outside apply at once, too
  reset();
}

void Flanger::reset() noexcept {
  std::fill(lines_.begin(), lines_.end(), 0.0f);
  writePos_ = 0;
  phase_ = 0.0;
  lfo_.restart();
  delaySamples_.snap();
  wetGain_.snap();
  input_.restart();
}

void Flanger::setParameters(float delayMs, float bpm, float wetDry) noexcept {
  delayMs_ = dsp::clampParam(delayMs, kMinDelayMs, kMaxDelayMs, delayMs_);
  bpm_ = dsp::clampParam(bpm, 1.0f, 2000.0f, bpm_);
  wetDry_ = dsp::clampParam(wetDry, 0.0f, 10.0f, wetDry_);
  if (sampleRate_ <= 0.0) return;  // not prepared yet: applied by prepare()
  phaseInc_ = bpm_ / 60.0 / sampleRate_;
  delaySamples_.setTarget(static_cast<float>(delayMs_ * sampleRate_ / 1000.0));
  wetGain_.setTarget(0.05f * wetDry_);
  if (snapNext_) {
    delaySamples_.snap();
    wetGain_.snap();
    snapNext_ = false;
  }
}

void Flanger::process(std::span<float> interleaved) noexcept {
  if (lines_.empty()) return;
  const size_t frames = interleaved.size() / static_cast<size_t>(channels_);
  const int mask = lineSize_ - 1;
  float* data = interleaved.data();
  for (size_t f = 0; f < frames; ++f) {
    const float centre = delaySamples_.next();
    const float wet = wetGain_.next();
    const float dry = 1.0f - wet;
    const float in = input_.next();
    if (lfo_.due()) {
      if (!lfo_.primed()) lfo_.begin(lfoAt(phase_));
      phase_ += dsp::ControlRamp::kStep * phaseInc_;
      phase_ -= std::floor(phase_);  // a stretch may span more than a cycle at low rates
      lfo_.aim(lfoAt(phase_));
    }
    const float lfo = lfo_.next();

    const float delay = std::max(kMinReadDelay, centre * (1.0f + kDepth * lfo));
    const int whole = static_cast<int>(delay);
    const float frac = delay - static_cast<float>(whole);
    // Write first, then read: a delay of d samples reads d samples back from this one.
    const int newer = (writePos_ - whole) & mask;
    const int older = (newer - 1) & mask;
    for (int c = 0; c < channels_; ++c) {
      float* line = lines_.data() + static_cast<size_t>(c) * static_cast<size_t>(lineSize_);
      float& sample = data[f * static_cast<size_t>(channels_) + static_cast<size_t>(c)];
      const float x = dsp::sanitize(sample);
      line[writePos_] = in * x;
      const float delayed = line[newer] + frac * (line[older] - line[newer]);
      sample = dry * x + wet * delayed;
    }
    writePos_ = (writePos_ + 1) & mask;
  }
}
