#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace dsp {

// Delay lines for interleaved audio, one per channel, written and read a frame at a time at one
// shared position. The length is a power of two, so wrapping is a mask; a frame's channels lie
// side by side. Reads count back from the frame being written: after write(), a delay of 0 is
// that frame; before it, the oldest frame is still there to read.
class DelayLine {
 public:
  // A read point `delay` frames back, between two stored frames; the same for every channel.
  struct Tap {
    size_t newer = 0;  // where the whole part of the delay reads
    size_t older = 0;  // the frame before it
    float frac = 0.0f;
  };

  // Allocates lines for at least `longest` frames of history and clears them. Not real-time safe.
  void prepare(int channels, double longest) {
    channels_ = static_cast<size_t>(channels);
    int frames = 1;
    while (frames < longest) frames *= 2;
    mask_ = frames - 1;
    values_.assign(static_cast<size_t>(frames) * channels_, 0.0f);
    clear();
  }
  void clear() noexcept {
    std::fill(values_.begin(), values_.end(), 0.0f);
    position_ = 0;
  }
  bool empty() const noexcept { return values_.empty(); }

  void write(int channel, float value) noexcept {
    values_[at(position_) + offset(channel)] = value;
  }
  // The value of `channel` written `delay` whole frames back.
  float read(int channel, int delay) const noexcept {
    return values_[at(position_ - delay) + offset(channel)];
  }
  // A fractional delay (at least 0) read with linear interpolation between its two frames.
  Tap tap(float delay) const noexcept {
    const int whole = static_cast<int>(delay);
    return {at(position_ - whole), at(position_ - whole - 1), delay - static_cast<float>(whole)};
  }
  float read(int channel, const Tap& tap) const noexcept {
    const float newer = values_[tap.newer + offset(channel)];
    return newer + tap.frac * (values_[tap.older + offset(channel)] - newer);
  }
  // Moves on to the next frame.
  void advance() noexcept { position_ = (position_ + 1) & mask_; }

 private:
  size_t at(int frame) const noexcept { return static_cast<size_t>(frame & mask_) * channels_; }
  static size_t offset(int channel) noexcept { return static_cast<size_t>(channel); }

  std::vector<float> values_;  // frame after frame, channels_ values each
  size_t channels_ = 1;
  int mask_ = 0;
  int position_ = 0;  // the frame being written
};

}  // namespace dsp
