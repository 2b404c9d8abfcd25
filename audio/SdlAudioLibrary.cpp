#include "audio/SdlAudioLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

#include "audio/EffectChain.h"

namespace {

constexpr uint32_t kVersion = 2;
// How long ChannelStop waits for the callback to finish a fade-out. The fade needs one device
// block (about 46 ms); the bound only matters when the device has stopped calling back.
constexpr int kStopWaitMs = 200;

bool KnownEffect(int effect) {
  return effect == kEffectFlanger || effect == kEffectEcho || effect == kEffectAutoWah;
}

int16_t SaturatingAdd(int16_t a, int16_t b) {
  const int32_t sum = int32_t{a} + int32_t{b};
  return static_cast<int16_t>(std::clamp<int32_t>(sum, INT16_MIN, INT16_MAX));
}

}  // namespace

SDL_AudioDeviceID SdlOutputDevice::Open(const SDL_AudioSpec& want) {
  SDL_AudioSpec have{};
  // No device name: the system's default output. No changes allowed: SDL converts our format to
  // whatever the device wants.
  return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

bool SdlOutputDevice::Lost(SDL_AudioDeviceID device) {
  return SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED;
}

void SdlOutputDevice::Close(SDL_AudioDeviceID device) {
  SDL_CloseAudioDevice(device);
}

SdlAudioLibrary::SdlAudioLibrary(std::shared_ptr<OutputDevice> output,
                                 std::chrono::milliseconds checkInterval,
                                 std::chrono::milliseconds retryInterval)
    : output_(std::move(output)), checkInterval_(checkInterval), retryInterval_(retryInterval) {}

SdlAudioLibrary::~SdlAudioLibrary() {
  if (initialised_) Free();
}

uint32_t SdlAudioLibrary::GetVersion() {
  return kVersion;
}

bool SdlAudioLibrary::Init(int device, uint32_t /*freq*/, uint32_t /*flags*/, void* /*window*/,
                           void* /*clsid*/) {
  if (initialised_) return Fail(kErrorAlready);
  if (device != 1 && device != -1) return Fail(kErrorDevice);
  SDL_SetMainReady();
  // SDL's audio brings up its event subsystem, which by default turns SIGINT and SIGTERM into
  // quit events that only an SDL event loop would see: the program would then ignore them.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(kErrorDriver);
  if (!OpenDevice()) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return Fail(kErrorDevice);
  }
  initialised_ = true;
  StartWatchdog();
  return Succeed();
}

uint32_t SdlAudioLibrary::StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags,
                                       StreamProc proc, void* user) {
  uint32_t code = kErrorOk;
  if (!initialised_) {
    code = kErrorInit;
  } else if (freq != kRate || chans != kChannels || flags != 0) {
    code = kErrorFormat;
  } else if (proc == nullptr) {
    code = kErrorIllegalParam;
  }
  auto free =
      std::find_if(streams_.begin(), streams_.end(), [](const Stream& s) { return s.handle == 0; });
  if (code == kErrorOk && free == streams_.end()) code = kErrorMemory;
  if (code != kErrorOk) {
    Fail(code);
    return 0;
  }

  // Everything the callback will touch is allocated here, before the stream can play. The slot
  // stays invisible to the callback until its state leaves kStopped; the watchdog looks at the
  // handles under the mutex.
  auto chain = std::make_unique<EffectChain>();
  chain->prepare(kRate, kChannels, kBlockFrames);
  const std::lock_guard lock(deviceMutex_);
  free->chain = std::move(chain);
  free->block.assign(static_cast<size_t>(kBlockFrames) * kChannels, 0);
  free->proc = proc;
  free->user = user;
  free->fadePosition = 0;
  free->state.store(kStopped, std::memory_order_release);
  free->handle = ++lastHandle_;
  Succeed();
  return free->handle;
}

bool SdlAudioLibrary::StreamPlay(uint32_t handle, bool /*flush*/, uint32_t /*flags*/) {
  Stream* stream = Find(handle);
  if (stream == nullptr) return Fail(kErrorHandle);

  const std::lock_guard lock(deviceMutex_);
  if (stream->state.load(std::memory_order_acquire) != kPlaying) {
    // The callback does not touch a stopped stream, so its chain can be cleared here: a restart
    // does not replay the echo of the previous tone.
    stream->chain->reset();
    stream->fadeInPosition = 0;
    stream->state.store(kPlaying, std::memory_order_release);
  }
  // With the output lost there is no device: the watchdog starts it when the output is back.
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
  return Succeed();
}

bool SdlAudioLibrary::ChannelStop(uint32_t handle) {
  Stream* stream = Find(handle);
  if (stream == nullptr) return Fail(kErrorHandle);

  std::unique_lock lock(deviceMutex_);
  int expected = kPlaying;
  if (device_ != 0 &&
      stream->state.compare_exchange_strong(expected, kStopping, std::memory_order_acq_rel)) {
    // Wait for the callback to play the fade-out. Neither our mutex nor SDL's device lock is held:
    // the callback runs under the latter, and it reports through the stream's state instead. If
    // the device stops calling back (lost, and closed by the watchdog meanwhile), the bound ends
    // the wait.
    lock.unlock();
    for (int waited = 0; waited < kStopWaitMs; ++waited) {
      if (stream->state.load(std::memory_order_acquire) == kFaded) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    lock.lock();
  }
  stream->state.store(kStopped, std::memory_order_release);
  // Pausing returns only once the callback is not running, and a paused device is not called
  // back at all. Without a device (output lost) nothing calls back either.
  if (device_ != 0 && !AnyStreamActive()) SDL_PauseAudioDevice(device_, 1);
  return Succeed();
}

uint32_t SdlAudioLibrary::ErrorGetCode() {
  return error_;
}

bool SdlAudioLibrary::Free() {
  if (!initialised_) return Fail(kErrorInit);
  StopWatchdog();
  for (Stream& s : streams_) {
    if (s.handle != 0) ChannelStop(s.handle);
  }
  // Closing the device joins SDL's audio thread: no callback runs after it.
  CloseDevice();
  for (Stream& s : streams_) {
    s.handle = 0;
    s.proc = nullptr;
    s.user = nullptr;
    s.chain.reset();
    s.block = {};
    s.state.store(kStopped, std::memory_order_relaxed);
    s.fadePosition = 0;
    s.fadeInPosition = kFadeFrames;
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  initialised_ = false;
  return Succeed();
}

bool SdlAudioLibrary::DSP_Set(uint32_t handle, int effect, int /*priority*/) {
  Stream* stream = Find(handle);
  if (stream == nullptr) return Fail(kErrorHandle);
  if (!KnownEffect(effect) || !stream->chain->setEnabled(effect, true)) {
    return Fail(kErrorIllegalParam);
  }
  return Succeed();
}

bool SdlAudioLibrary::DSP_Remove(uint32_t handle, int effect) {
  Stream* stream = Find(handle);
  if (stream == nullptr) return Fail(kErrorHandle);
  if (!KnownEffect(effect) || !stream->chain->setEnabled(effect, false)) {
    return Fail(kErrorIllegalParam);
  }
  return Succeed();
}

bool SdlAudioLibrary::DSP_SetParameters(uint32_t handle, int effect, const void* params) {
  Stream* stream = Find(handle);
  if (stream == nullptr) return Fail(kErrorHandle);
  if (!KnownEffect(effect) || params == nullptr || !stream->chain->setParameters(effect, params)) {
    return Fail(kErrorIllegalParam);
  }
  return Succeed();
}

// SDL's audio callback, on SDL's audio thread, against the device's deadline. It never
// allocates, locks, logs, throws or touches the window: it renders the playing streams into
// their preallocated blocks and mixes them into SDL's buffer.
void SDLCALL SdlAudioLibrary::Callback(void* self, Uint8* buffer, int length) {
  // The device was opened for 16-bit stereo, so `length` is a whole number of 4-byte frames.
  auto* out = reinterpret_cast<int16_t*>(buffer);
  const int frames = length / static_cast<int>(sizeof(int16_t) * kChannels);
  std::memset(buffer, 0, static_cast<size_t>(length));
  auto* library = static_cast<SdlAudioLibrary*>(self);
  library->Mix(out, frames);
  library->FadeInAfterReturn(out, frames);
}

void SdlAudioLibrary::Mix(int16_t* out, int frames) noexcept {
  for (Stream& stream : streams_) {
    for (int done = 0; done < frames;) {
      const int chunk = std::min(frames - done, kBlockFrames);
      Render(stream, out + static_cast<ptrdiff_t>(done) * kChannels, chunk);
      done += chunk;
    }
  }
}

// After the output came back the tone resumes mid-wave: it starts with one block of silence (the
// sound server may drop the first moments of a new connection, and a ramp cut short would
// click) and then rises over 5 ms, so the return does not click. This fades the whole mix,
// effects' tails included.
void SdlAudioLibrary::FadeInAfterReturn(int16_t* out, int frames) noexcept {
  if (fadeInPending_.load(std::memory_order_acquire)) {
    fadeInPending_.store(false, std::memory_order_relaxed);
    fadeIn_ = -kBlockFrames;
  }
  Rise(out, frames, fadeIn_);
}

// A linear rise from exactly 0 towards full level over kFadeFrames frames, mirroring the
// fade-out. `position` counts the frames of the rise already played (a negative one plays that
// many frames of silence first) and is advanced; frames after the rise are left exactly as they
// are.
void SdlAudioLibrary::Rise(int16_t* values, int frames, int& position) noexcept {
  for (int frame = 0; frame < frames && position < kFadeFrames; ++frame, ++position) {
    const float gain = static_cast<float>(std::max(position, 0)) / kFadeFrames;
    for (int channel = 0; channel < kChannels; ++channel) {
      int16_t& value = values[frame * kChannels + channel];
      value = static_cast<int16_t>(static_cast<float>(value) * gain);
    }
  }
}

void SdlAudioLibrary::Render(Stream& stream, int16_t* out, int frames) noexcept {
  const int state = stream.state.load(std::memory_order_acquire);
  const bool stopping = state == kStopping;
  if (state == kPlaying) stream.fadePosition = 0;
  if (state != kPlaying && !stopping) return;

  // While stopping, only the rest of the fade is asked of the proc, so the tone ends exactly
  // where the fade reaches zero.
  const int wanted = stopping ? std::min(frames, kFadeFrames - stream.fadePosition) : frames;
  if (wanted > 0) {
    int16_t* block = stream.block.data();
    const uint32_t bytes = static_cast<uint32_t>(wanted) * kChannels * sizeof(int16_t);
    uint32_t filled = stream.proc(stream.handle, block, bytes, stream.user);
    filled = std::min(filled, bytes);
    std::memset(reinterpret_cast<uint8_t*>(block) + filled, 0, bytes - filled);
    // A start fades in before the effects, so that their memories, too, see the tone start
    // smoothly.
    Rise(block, wanted, stream.fadeInPosition);
    stream.chain->process(block, static_cast<size_t>(wanted));

    for (int frame = 0; frame < wanted; ++frame) {
      float gain = 1.0f;
      if (stopping) {
        // Linear from just below 1 down to exactly 0 at the fade's last frame.
        ++stream.fadePosition;
        gain = static_cast<float>(kFadeFrames - stream.fadePosition) / kFadeFrames;
      }
      for (int channel = 0; channel < kChannels; ++channel) {
        const int index = frame * kChannels + channel;
        const auto value = static_cast<int16_t>(static_cast<float>(block[index]) * gain);
        out[index] = SaturatingAdd(out[index], value);
      }
    }
  }
  if (stopping && stream.fadePosition >= kFadeFrames) {
    int expected = kStopping;
    stream.state.compare_exchange_strong(expected, kFaded, std::memory_order_acq_rel);
  }
}

SDL_AudioSpec SdlAudioLibrary::WantedSpec() {
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = kChannels;
  want.samples = kBlockFrames;
  want.callback = &SdlAudioLibrary::Callback;
  want.userdata = this;
  return want;
}

bool SdlAudioLibrary::OpenDevice() {
  const SDL_AudioSpec want = WantedSpec();
  device_ = output_->Open(want);
  return device_ != 0;
}

void SdlAudioLibrary::CloseDevice() {
  if (device_ != 0) output_->Close(device_);
  device_ = 0;
}

void SdlAudioLibrary::StartWatchdog() {
  quit_ = false;
  watchdog_ = std::thread([this] {
    Watch();
    // A failed open leaves SDL's error text in this thread's own storage, which SDL frees only
    // for threads it started itself.
    SDL_TLSCleanup();
  });
}

void SdlAudioLibrary::StopWatchdog() {
  if (!watchdog_.joinable()) return;
  {
    const std::lock_guard lock(deviceMutex_);
    quit_ = true;
  }
  wake_.notify_all();
  watchdog_.join();
}

// The watchdog: sleeps between checks (a condition variable, so Free wakes it at once) and only
// ever holds the mutex for short SDL calls. Opening a device can take a while (a connection to
// the sound server), so it runs without the mutex; nothing else touches SDL's devices meanwhile,
// since the window's thread calls SDL only while there is a device.
void SdlAudioLibrary::Watch() {
  const SDL_AudioSpec want = WantedSpec();
  std::unique_lock lock(deviceMutex_);
  while (!quit_) {
    if (device_ != 0) {
      if (wake_.wait_for(lock, checkInterval_, [this] { return quit_; })) break;
      if (!output_->Lost(device_)) continue;
      // SDL's advice for a lost device: close it and open the default again. Closing joins the
      // device thread, so no callback runs once it returns.
      CloseDevice();
      // SDL also queues an event for the loss that nobody here reads.
      SDL_FlushEvent(SDL_AUDIODEVICEREMOVED);
      std::fputs("Sound output lost; reconnecting in the background.\n", stderr);
      if (watcher_) watcher_(true);
      continue;
    }
    if (wake_.wait_for(lock, retryInterval_, [this] { return quit_; })) break;
    lock.unlock();
    const SDL_AudioDeviceID device = output_->Open(want);
    lock.lock();
    if (device == 0) continue;
    device_ = device;
    if (quit_) break;  // Free closes it
    // Opened paused. Streams marked playing while the output was lost start now, fading in.
    if (AnyStreamActive()) {
      fadeInPending_.store(true, std::memory_order_release);
      SDL_PauseAudioDevice(device_, 0);
    }
    std::fputs("Sound output is back.\n", stderr);
    if (watcher_) watcher_(false);
  }
}

void SdlAudioLibrary::SetOutputWatcher(std::function<void(bool lost)> watcher) {
  const std::lock_guard lock(deviceMutex_);
  watcher_ = std::move(watcher);
}

bool SdlAudioLibrary::AnyStreamActive() const {
  return std::any_of(streams_.begin(), streams_.end(), [](const Stream& s) {
    const int state = s.state.load(std::memory_order_acquire);
    return s.handle != 0 && (state == kPlaying || state == kStopping);
  });
}

SdlAudioLibrary::Stream* SdlAudioLibrary::Find(uint32_t handle) {
  if (handle == 0) return nullptr;
  auto it = std::find_if(streams_.begin(), streams_.end(),
                         [handle](const Stream& s) { return s.handle == handle; });
  return it == streams_.end() ? nullptr : &*it;
}

bool SdlAudioLibrary::Fail(uint32_t code) {
  error_ = code;
  return false;
}

bool SdlAudioLibrary::Succeed() {
  error_ = kErrorOk;
  return true;
}
