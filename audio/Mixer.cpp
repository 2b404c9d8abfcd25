#include "audio/Mixer.h"

#include <algorithm>
#include <cstring>

#include "audio/effects/DspHelpers.h"

namespace {

// Scales `frames` frames of `values` by the ramp's gains until it settles; the frames after that
// are left exactly as they are.
void Fade(int16_t* values, int frames, dsp::Ramp& ramp) noexcept {
  for (int frame = 0; frame < frames && !ramp.settled(); ++frame) {
    const float gain = ramp.next();
    for (int channel = 0; channel < Mixer::kChannels; ++channel) {
      int16_t& value = values[frame * Mixer::kChannels + channel];
      value = static_cast<int16_t>(static_cast<float>(value) * gain);
    }
  }
}

// Adds `frames` frames of `values` into `out`, saturating.
void AddInto(int16_t* out, const int16_t* values, int frames) noexcept {
  for (int index = 0; index < frames * Mixer::kChannels; ++index) {
    out[index] = static_cast<int16_t>(
        std::clamp<int32_t>(int32_t{out[index]} + int32_t{values[index]}, INT16_MIN, INT16_MAX));
  }
}

}  // namespace

void Mixer::Fill(int slot, StreamProc proc, void* user, uint32_t handle) {
  Stream& stream = streams_[static_cast<size_t>(slot)];
  stream.chain = std::make_unique<EffectChain>();
  stream.chain->prepare({.sampleRate = kRate, .channels = kChannels}, kBlockFrames);
  stream.proc = proc;
  stream.user = user;
  stream.handle = handle;
}

void Mixer::Play(int slot) {
  Stream& stream = streams_[static_cast<size_t>(slot)];
  if (stream.state.load(std::memory_order_acquire) == kPlaying) return;
  // Mix does not touch a stopped stream, so its chain can be cleared here: a restart does not
  // replay the echo of the previous tone.
  stream.chain->reset();
  stream.fadeIn.rise();
  stream.state.store(kPlaying, std::memory_order_release);
}

bool Mixer::BeginStop(int slot) {
  int expected = kPlaying;
  return streams_[static_cast<size_t>(slot)].state.compare_exchange_strong(
      expected, kStopping, std::memory_order_acq_rel);
}

bool Mixer::Faded(int slot) const {
  return streams_[static_cast<size_t>(slot)].state.load(std::memory_order_acquire) == kFaded;
}

void Mixer::Stop(int slot) {
  streams_[static_cast<size_t>(slot)].state.store(kStopped, std::memory_order_release);
}

bool Mixer::Active() const {
  return std::any_of(streams_.begin(), streams_.end(), [](const Stream& s) {
    const int state = s.state.load(std::memory_order_acquire);
    return state == kPlaying || state == kStopping;
  });
}

// On the audio thread, against the output's deadline.
void Mixer::Mix(int16_t* out, int frames) noexcept {
  std::fill_n(out, static_cast<size_t>(frames) * kChannels, int16_t{0});
  for (Stream& stream : streams_) {
    for (int done = 0; done < frames; done += kBlockFrames) {
      Render(stream, out + static_cast<ptrdiff_t>(done) * kChannels,
             std::min(frames - done, kBlockFrames));
    }
  }
  // After a return the sound server may drop the first moments of the new connection, and a fade
  // cut short would click: one block of silence goes first. This fades the whole mix, the
  // effects' tails included.
  if (fadeInPending_.exchange(false, std::memory_order_acquire)) fadeIn_.rise(kBlockFrames);
  Fade(out, frames, fadeIn_);
}

void Mixer::Render(Stream& stream, int16_t* out, int frames) noexcept {
  const int state = stream.state.load(std::memory_order_acquire);
  if (state == kStopping) {
    // The whole fade-out is computed at once, so that a stop waits for one request at most. It
    // reaches exactly 0 at its last frame, where the tone ends.
    Compute(stream, kFadeFrames);
    dsp::Ramp fadeOut(kRate);
    fadeOut.toward(false);
    Fade(stream.block.data(), kFadeFrames, fadeOut);
    std::copy_n(stream.block.begin(), stream.tail.size(), stream.tail.begin());
    stream.tailPlayed = 0;
    int expected = kStopping;
    stream.state.compare_exchange_strong(expected, kFaded, std::memory_order_acq_rel);
  }
  // What is left of a fade-out plays on, also under a new start's fade-in.
  const int fromTail = std::min(frames, kFadeFrames - stream.tailPlayed);
  AddInto(out, stream.tail.data() + static_cast<ptrdiff_t>(stream.tailPlayed) * kChannels,
          fromTail);
  stream.tailPlayed += fromTail;
  if (state != kPlaying) return;
  Compute(stream, frames);
  AddInto(out, stream.block.data(), frames);
}

void Mixer::Compute(Stream& stream, int frames) noexcept {
  int16_t* block = stream.block.data();
  const uint32_t bytes = static_cast<uint32_t>(frames) * kChannels * sizeof(int16_t);
  const uint32_t filled = std::min(stream.proc(stream.handle, block, bytes, stream.user), bytes);
  std::memset(reinterpret_cast<uint8_t*>(block) + filled, 0, bytes - filled);
  // A start fades in before the effects, so that their memories, too, see the tone start
  // smoothly.
  Fade(block, frames, stream.fadeIn);
  stream.chain->process(block, static_cast<size_t>(frames));
}
