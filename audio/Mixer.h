#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/AudioLibrary.h"
#include "audio/EffectChain.h"
#include "audio/effects/DspHelpers.h"

// The sound of the streams, computed on the audio thread; no device in here, so tests call Mix
// with blocks of their own. Each playing stream's proc fills a preallocated block, the stream's
// EffectChain processes it in place, and the blocks are added with saturation. Starting a stopped
// stream fades it in, stopping it fades it out, and the output's return fades the whole mix in,
// each along dsp::Ramp, the effects' fade too; in between the proc's values (through the
// effects) play exactly as written.
//
// Slots are filled, started and stopped on the window's thread; FadeInOnReturn runs on the
// watchdog's thread. Those threads reach the audio thread only through atomics.
class Mixer {
 public:
  // The stream format of every stream and of the output: 22050 frames per second, 2 channels.
  static constexpr int kRate = 22050;
  static constexpr int kChannels = 2;
  // The most frames a stream computes at a time; a larger request is computed in such blocks.
  // The output asks for a few milliseconds at a time, far less than this.
  static constexpr int kBlockFrames = 1024;
  static constexpr int kFadeFrames = dsp::fadeFrames(kRate);
  static constexpr int kMaxStreams = 4;

  // Window's thread, while the slot is stopped. Allocates everything the stream will use.
  void Fill(int slot, StreamProc proc, void* user, uint32_t handle);
  EffectChain& Chain(int slot) { return *streams_[static_cast<size_t>(slot)].chain; }
  // Starts a stopped stream with its effects cleared and a fade-in; a playing one plays on. Not
  // for a stream fading out: Stop it first.
  void Play(int slot);
  // Asks Mix to fade a playing stream out; false if it was not playing.
  bool BeginStop(int slot);
  // Whether Mix has computed the whole fade-out that BeginStop asked for: the proc is not called
  // for the stream any more.
  bool Faded(int slot) const;
  // Marks the stream stopped: Mix leaves it alone from its next call on.
  void Stop(int slot);
  // Whether any stream is playing or fading out.
  bool Active() const;
  // The next Mix starts the whole mix with one block of silence and a fade-in: the output is back
  // and the tone resumes mid-wave.
  void FadeInOnReturn() { fadeInPending_.store(true, std::memory_order_release); }

  // Audio thread: writes `frames` frames of the mix into `out`. Never allocates, locks, logs or
  // waits.
  void Mix(int16_t* out, int frames) noexcept;

 private:
  // A stream's life as Mix sees it. The window moves it Stopped -> Playing -> Stopping; Mix moves
  // Stopping -> Faded once it has computed the fade-out; the window then sets Stopped.
  enum State : int { kStopped, kPlaying, kStopping, kFaded };

  struct Stream {
    uint32_t handle = 0;
    StreamProc proc = nullptr;
    void* user = nullptr;
    std::unique_ptr<EffectChain> chain;
    std::array<int16_t, static_cast<size_t>(kBlockFrames) * kChannels> block{};
    // The fade-out, computed whole, and how much of it has played; Mix's own.
    std::array<int16_t, static_cast<size_t>(kFadeFrames) * kChannels> tail{};
    int tailPlayed = kFadeFrames;
    std::atomic<int> state{kStopped};
    // The start's fade-in: restarted by Play while Mix does not touch the stream, then Mix's own.
    dsp::Ramp fadeIn{kRate};
  };
  // The audio thread never waits on a lock: the atomics it reads, here and in EffectChain and
  // TripleBuffer, are lock-free.
  static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

  void Render(Stream& stream, int16_t* out, int frames) noexcept;
  // Has the proc fill `frames` frames of the stream's block, fades them in as a start asks and
  // puts them through the effects.
  void Compute(Stream& stream, int frames) noexcept;

  std::array<Stream, kMaxStreams> streams_;
  std::atomic<bool> fadeInPending_{false};
  dsp::Ramp fadeIn_{kRate};  // the return's fade-in; Mix's own
};
