#pragma once

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/AudioLibrary.h"

class EffectChain;

// The output device the library plays through: opened by Init and, after a loss, by the watchdog;
// checked by the watchdog for a loss; closed by the watchdog after a loss and by Free. So Open and
// Close run on the window's thread or the watchdog's, Lost on the watchdog's. SdlOutputDevice is
// SDL's default output; tests hand in a stand-in for an output that goes away and comes back.
class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  // Opens the device paused, as SDL_OpenAudioDevice does; 0 on failure.
  virtual SDL_AudioDeviceID Open(const SDL_AudioSpec& want) = 0;
  // Whether an open device has been lost (unplugged, or its sound server went away).
  virtual bool Lost(SDL_AudioDeviceID device) = 0;
  // Closes the device; no callback runs once this returns.
  virtual void Close(SDL_AudioDeviceID device) = 0;
};

// The system's default output, which the sound server may change under us.
class SdlOutputDevice : public OutputDevice {
 public:
  SDL_AudioDeviceID Open(const SDL_AudioSpec& want) override;
  bool Lost(SDL_AudioDeviceID device) override;
  void Close(SDL_AudioDeviceID device) override;
};

// The audio library over SDL2's audio subsystem.
//
// Init opens the system's default output device at once, asking for the program's stream
// format: 22050 frames per second, signed 16-bit native-endian values, 2 channels, blocks of
// 1024 frames (about 46 ms, see kBlockFrames). The rate given to Init is accepted and otherwise
// ignored: whatever rate the hardware runs at, the sound server (or SDL) converts the 22050 output;
// there is no resampler of ours. The device stays paused (SDL feeds silence) until a stream plays.
//
// Streams are mixed in SDL's callback: each playing stream's proc fills a preallocated block,
// the stream's EffectChain processes it in place, and the block is added with saturation into
// the device buffer. Starting a stopped stream fades it in over 5 ms, and stopping it fades it
// out over 5 ms, both in the callback, so neither clicks; in between the proc's values (through
// the effects) are played exactly as written.
//
// The output may go away while the program runs: the sound server restarts or crashes, a USB or
// Bluetooth output is unplugged. A watchdog thread, started by Init, notices this (SDL reports the
// device stopped), closes the lost device and opens the default output again about once a second
// until it succeeds; it writes one line to standard error when the output is lost and one when it
// is back. Meanwhile the streams keep their state: StreamPlay and ChannelStop succeed and only
// record whether the stream should play, effects keep their settings, and on return the streams
// that should play resume with a short fade-in. The device is never pinned: SDL opens the system's
// default output, so the sound server moves the stream when the user picks another output.
//
// All methods but the callback run on one (the window's) thread. They share the device with the
// watchdog under one mutex that is only ever held for short SDL calls (pausing, closing a lost
// device), never while opening a device or waiting for the callback.
//
// Error codes left by each call (ErrorGetCode; kErrorOk after every success):
//   Init:              kErrorAlready (already initialised), kErrorDevice (device other than 1 or
//                      -1, or the default device could not be opened), kErrorDriver (SDL's audio
//                      subsystem could not be started).
//   StreamCreate:      kErrorInit (no Init), kErrorFormat (not 22050 Hz, 2 channels, flags 0),
//                      kErrorIllegalParam (null proc), kErrorMemory (no free stream slot).
//   StreamPlay:        kErrorHandle (unknown handle).
//   ChannelStop:       kErrorHandle (unknown handle).
//   Free:              kErrorInit (not initialised).
//   DSP_Set, DSP_Remove, DSP_SetParameters:
//                      kErrorHandle (0 or unknown handle), kErrorIllegalParam (effect other than
//                      9, 12, 15, or a null record).
class SdlAudioLibrary : public AudioLibrary {
 public:
  // Plays through `output`, with the watchdog's intervals: how often it checks a working output,
  // and how often it tries to open the output again while it is lost.
  explicit SdlAudioLibrary(
      std::shared_ptr<OutputDevice> output = std::make_shared<SdlOutputDevice>(),
      std::chrono::milliseconds checkInterval = kCheckInterval,
      std::chrono::milliseconds retryInterval = kRetryInterval);
  ~SdlAudioLibrary() override;
  SdlAudioLibrary(const SdlAudioLibrary&) = delete;
  SdlAudioLibrary& operator=(const SdlAudioLibrary&) = delete;

  uint32_t GetVersion() override;
  // `device` 1 or -1: the default output device; `freq`, `flags`, `window` and `clsid` are
  // accepted and not used (see the class comment for the rate).
  bool Init(int device, uint32_t freq, uint32_t flags, void* window, void* clsid) override;
  uint32_t StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags, StreamProc proc,
                        void* user) override;
  // `flush` and `flags` are not used. Starting a stopped stream clears its effects' state and
  // fades the stream in (5 ms). While the output is lost this succeeds and the stream starts
  // playing when the output is back.
  bool StreamPlay(uint32_t handle, bool flush, uint32_t flags) override;
  // Fades the stream out (5 ms) and waits, at most 200 ms, for the callback to finish the fade;
  // pauses the device when no stream plays any more. While the output is lost it only marks the
  // stream stopped. Once it returns, the stream's proc is not called again until the next
  // StreamPlay. Stopping a stopped stream succeeds.
  bool ChannelStop(uint32_t handle) override;
  uint32_t ErrorGetCode() override;
  // Stops every stream (with its fade), closes the device and shuts SDL's audio down. Init may be
  // called again afterwards.
  bool Free() override;

  // `priority` is not used: the chain's order of effects is fixed. Setting an effect that is set,
  // or removing one that is not, changes nothing.
  bool DSP_Set(uint32_t handle, int effect, int priority) override;
  bool DSP_Remove(uint32_t handle, int effect) override;
  bool DSP_SetParameters(uint32_t handle, int effect, const void* params) override;
  // Called on the watchdog's thread, right after the line on standard error.
  void SetOutputWatcher(std::function<void(bool lost)> watcher) override;

  // The stream format every stream and the device use.
  static constexpr int kRate = 22050;
  static constexpr int kChannels = 2;
  // Frames per SDL callback block, and frames a stream renders at a time. SDL's PulseAudio
  // back-end asks the server to buffer exactly one block, so the block is the output's safety
  // margin: with 512 frames (23 ms) a busy machine let the buffer run dry now and then, and the
  // server played a few milliseconds of silence (a dropout and a click); 1024 frames (46 ms)
  // keep playing through such stalls at a latency still well below what the ear notices on a
  // slider.
  static constexpr int kBlockFrames = 1024;
  // Length of the fade-in on start and of the fade-out on stop: 5 ms.
  static constexpr int kFadeFrames = kRate * 5 / 1000;
  static constexpr int kMaxStreams = 4;
  // The watchdog's default intervals.
  static constexpr std::chrono::milliseconds kCheckInterval{200};
  static constexpr std::chrono::milliseconds kRetryInterval{1000};

 private:
  // A stream's life as the callback sees it. The window moves it Stopped -> Playing ->
  // Stopping; the callback moves Stopping -> Faded once the fade-out is done; the window then
  // sets Stopped.
  enum State : int { kStopped, kPlaying, kStopping, kFaded };

  struct Stream {
    uint32_t handle = 0;  // 0: the slot is free
    StreamProc proc = nullptr;
    void* user = nullptr;
    std::unique_ptr<EffectChain> chain;
    std::vector<int16_t> block;  // kBlockFrames * kChannels values
    std::atomic<int> state{kStopped};
    int fadePosition = 0;  // frames of the fade-out already played; the callback's own
    // Frames of the fade-in already played: set to 0 by StreamPlay while the callback does not
    // touch the stream, then the callback's own.
    int fadeInPosition = kFadeFrames;
  };

  static void SDLCALL Callback(void* self, Uint8* buffer, int length);
  void Mix(int16_t* out, int frames) noexcept;
  void FadeInAfterReturn(int16_t* out, int frames) noexcept;
  void Render(Stream& stream, int16_t* out, int frames) noexcept;
  static void Rise(int16_t* values, int frames, int& position) noexcept;

  bool OpenDevice();
  void CloseDevice();
  SDL_AudioSpec WantedSpec();
  // The watchdog thread's body.
  void Watch();
  void StartWatchdog();
  void StopWatchdog();
  bool AnyStreamActive() const;
  Stream* Find(uint32_t handle);
  bool Fail(uint32_t code);
  bool Succeed();

  const std::shared_ptr<OutputDevice> output_;
  bool initialised_ = false;
  // Guards device_, quit_, watcher_, the streams' handles and every SDL call on the device while
  // the watchdog runs.
  std::mutex deviceMutex_;
  std::condition_variable wake_;
  std::thread watchdog_;
  bool quit_ = false;
  std::function<void(bool lost)> watcher_;
  const std::chrono::milliseconds checkInterval_;
  const std::chrono::milliseconds retryInterval_;
  // 0 while the output is lost; only the watchdog (and Init, Free) change it.
  SDL_AudioDeviceID device_ = 0;
  // Set by the watchdog when a device opened again starts playing; the callback then plays a
  // block of silence and a 5 ms rise (fadeIn_ counts its frames, the callback's own).
  std::atomic<bool> fadeInPending_{false};
  int fadeIn_ = kFadeFrames;
  uint32_t lastHandle_ = 0x10000000u;
  uint32_t error_ = kErrorOk;
  std::array<Stream, kMaxStreams> streams_;
};
