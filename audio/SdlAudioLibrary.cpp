#include "audio/SdlAudioLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "audio/EffectChain.h"

namespace {

constexpr uint32_t kVersion = 2;
// How long ChannelStop waits for the callback to finish a fade-out. The fade needs one device
// block (about 23 ms); the bound only matters when the device has stopped calling back.
constexpr int kStopWaitMs = 200;

bool KnownEffect(int effect) {
  return effect == kEffectFlanger || effect == kEffectEcho || effect == kEffectAutoWah;
}

int16_t SaturatingAdd(int16_t a, int16_t b) {
  const int32_t sum = int32_t{a} + int32_t{b};
  return static_cast<int16_t>(std::clamp<int32_t>(sum, INT16_MIN, INT16_MAX));
}

}  // namespace

SdlAudioLibrary::SdlAudioLibrary() = default;

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
  // stays invisible to the callback until its state leaves kStopped.
  auto chain = std::make_unique<EffectChain>();
  chain->prepare(kRate, kChannels, kBlockFrames);
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

  // A device that was unplugged (or whose server went away) reports itself stopped and never
  // calls back again: open the default device afresh.
  if (device_ == 0 || SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
    CloseDevice();
    for (Stream& s : streams_) s.state.store(kStopped, std::memory_order_release);
    if (!OpenDevice()) return Fail(kErrorDevice);
  }

  if (stream->state.load(std::memory_order_acquire) != kPlaying) {
    // The callback does not touch a stopped stream, so its chain can be cleared here: a restart
    // does not replay the echo of the previous tone.
    stream->chain->reset();
    stream->fadeInPosition = 0;
    stream->state.store(kPlaying, std::memory_order_release);
  }
  SDL_PauseAudioDevice(device_, 0);
  return Succeed();
}

bool SdlAudioLibrary::ChannelStop(uint32_t handle) {
  Stream* stream = Find(handle);
  if (stream == nullptr) return Fail(kErrorHandle);

  int expected = kPlaying;
  if (stream->state.compare_exchange_strong(expected, kStopping, std::memory_order_acq_rel)) {
    // Wait for the callback to play the fade-out. No lock is taken: the callback runs under
    // SDL's device lock, and it reports through the stream's state instead. If the device has
    // stopped calling back (lost), the bound ends the wait.
    for (int waited = 0; waited < kStopWaitMs; ++waited) {
      if (stream->state.load(std::memory_order_acquire) == kFaded) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  stream->state.store(kStopped, std::memory_order_release);
  // Pausing returns only once the callback is not running, and a paused device is not called
  // back at all.
  if (device_ != 0 && !AnyStreamActive()) SDL_PauseAudioDevice(device_, 1);
  return Succeed();
}

uint32_t SdlAudioLibrary::ErrorGetCode() {
  return error_;
}

bool SdlAudioLibrary::Free() {
  if (!initialised_) return Fail(kErrorInit);
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
  static_cast<SdlAudioLibrary*>(self)->Mix(out, frames);
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
    FadeIn(stream, block, wanted);
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

// The first kFadeFrames frames after a start rise linearly from exactly 0 towards full level,
// mirroring the fade-out. Applied before the effects, so that their memories, too, see the tone
// start smoothly. Once done, the values are left exactly as the proc wrote them.
void SdlAudioLibrary::FadeIn(Stream& stream, int16_t* block, int frames) noexcept {
  for (int frame = 0; frame < frames && stream.fadeInPosition < kFadeFrames; ++frame) {
    const float gain = static_cast<float>(stream.fadeInPosition) / kFadeFrames;
    ++stream.fadeInPosition;
    for (int channel = 0; channel < kChannels; ++channel) {
      int16_t& value = block[frame * kChannels + channel];
      value = static_cast<int16_t>(static_cast<float>(value) * gain);
    }
  }
}

bool SdlAudioLibrary::OpenDevice() {
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = kChannels;
  want.samples = kDeviceFrames;
  want.callback = &SdlAudioLibrary::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts our format to whatever the device wants.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  return device_ != 0;
}

void SdlAudioLibrary::CloseDevice() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
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
