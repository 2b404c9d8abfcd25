#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

#include "audio/AudioLibrary.h"
#include "audio/Mixer.h"
#include "audio/OutputWatchdog.h"
#include "audio/PulseOutput.h"

// The audio library over the sound server (PulseOutputDevice: libpulse's asynchronous API).
//
// Init opens the system's default output at once for the program's stream format: 22050 frames
// per second, signed 16-bit native-endian values, 2 channels. The rate given to Init is accepted
// and otherwise ignored: whatever rate the hardware runs at, the sound server converts the 22050
// output; there is no resampler of ours. The output stays paused until a stream plays.
//
// Three pieces: this front end keeps the handles and error codes; the Mixer computes the sound
// in the output's requests, with a short fade on each start and stop; the OutputWatchdog reopens
// the output after a loss, about once a second until it succeeds. Meanwhile the streams keep
// their state: StreamPlay and ChannelStop succeed and only record whether the stream should
// play, effects keep their settings, and on return the streams that should play resume with a
// fade-in.
//
// All methods but the mixer's run on one (the window's) thread.
//
// Error codes left by each call (ErrorGetCode; kErrorOk after every success):
//   Init:              kErrorAlready (already initialised), kErrorDevice (device other than 1 or
//                      -1, or the default output could not be opened: no sound server).
//   StreamCreate:      kErrorInit (no Init), kErrorFormat (not 22050 Hz, 2 channels, flags 0),
//                      kErrorIllegalParam (null proc), kErrorMemory (no free stream slot).
//   StreamPlay:        kErrorHandle (unknown handle).
//   ChannelStop:       kErrorHandle (unknown handle).
//   Free:              kErrorInit (not initialised).
//   DSP_Set, DSP_Remove, DSP_SetParameters:
//                      kErrorHandle (0 or unknown handle), kErrorIllegalParam (effect other than
//                      9, 12, 15, or a null record).
class PulseAudioLibrary : public AudioLibrary {
 public:
  // Plays through `output`, with the watchdog's intervals: how often it checks a working output,
  // and how often it tries to open the output again while it is lost.
  explicit PulseAudioLibrary(
      std::shared_ptr<OutputDevice> output = std::make_shared<PulseOutputDevice>(),
      std::chrono::milliseconds checkInterval = kCheckInterval,
      std::chrono::milliseconds retryInterval = kRetryInterval);
  ~PulseAudioLibrary() override;

  uint32_t GetVersion() override;
  // `device` 1 or -1: the default output device; `freq`, `flags`, `window` and `clsid` are
  // accepted and not used (see the class comment for the rate).
  bool Init(int device, uint32_t freq, uint32_t flags, void* window, void* clsid) override;
  uint32_t StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags, StreamProc proc,
                        void* user) override;
  // `flush` and `flags` are not used. Starting a stopped stream clears its effects' state and
  // fades the stream in. While the output is lost this succeeds and the stream starts
  // playing when the output is back.
  bool StreamPlay(uint32_t handle, bool flush, uint32_t flags) override;
  // Has the mixer fade the stream out (computed in its next request) and waits for that
  // request, at most kStopWaitMs; pauses the output when no stream plays any more. While the
  // output is lost it only marks the stream stopped. Once it returns, the stream's proc is not
  // called again until the next StreamPlay. Stopping a stopped stream succeeds.
  bool ChannelStop(uint32_t handle) override;
  uint32_t ErrorGetCode() override;
  // Stops every stream (with its fade) and closes the output. Init may be called again
  // afterwards.
  bool Free() override;

  // `priority` is not used: the chain's order of effects is fixed. Setting an effect that is set,
  // or removing one that is not, changes nothing.
  bool DSP_Set(uint32_t handle, int effect, int priority) override;
  bool DSP_Remove(uint32_t handle, int effect) override;
  bool DSP_SetParameters(uint32_t handle, int effect, const void* params) override;
  // Called on the watchdog's thread, right after the line on standard error.
  void SetOutputWatcher(std::function<void(bool lost)> watcher) override {
    output_.SetWatcher(std::move(watcher));
  }

  // How often the watchdog tried to open the output again after a loss.
  int OpenAttempts() const { return output_.Attempts(); }

  // The watchdog's default intervals.
  static constexpr std::chrono::milliseconds kCheckInterval{200};
  static constexpr std::chrono::milliseconds kRetryInterval{1000};
  // How long ChannelStop waits for the request that computes a fade-out. The output asks every
  // few milliseconds; the bound only matters when it has stopped asking (lost, not yet noticed).
  static constexpr int kStopWaitMs = 100;

 private:
  // The slot of the stream with `handle`; -1 for none.
  int Find(uint32_t handle) const;
  // Runs `call` on the chain of the stream with `handle`, leaving the error code.
  template <class Call>
  bool WithChain(uint32_t handle, Call call);
  bool Fail(uint32_t code);
  bool Succeed();

  bool initialised_ = false;
  Mixer mixer_;
  OutputWatchdog output_;
  std::array<uint32_t, Mixer::kMaxStreams> handles_{};  // 0: the slot is free
  uint32_t lastHandle_ = 0x10000000u;
  uint32_t error_ = kErrorOk;
};
