#include "audio/SdlAudioLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

// How long ChannelStop waits for the callback to finish a fade-out. The fade needs one device
// block (about 46 ms); the bound only matters when the device has stopped calling back.
constexpr int kStopWaitMs = 200;

SdlAudioLibrary::SdlAudioLibrary(std::shared_ptr<OutputDevice> output,
                                 std::chrono::milliseconds checkInterval,
                                 std::chrono::milliseconds retryInterval)
    : output_(std::move(output), checkInterval, retryInterval) {}

SdlAudioLibrary::~SdlAudioLibrary() {
  if (initialised_) Free();
}

uint32_t SdlAudioLibrary::GetVersion() {
  return 2;  // 2.0
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
  SDL_AudioSpec want{};
  want.freq = Mixer::kRate;
  want.format = AUDIO_S16SYS;
  want.channels = Mixer::kChannels;
  want.samples = Mixer::kBlockFrames;
  want.callback = &SdlAudioLibrary::Callback;
  want.userdata = &mixer_;
  if (!output_.Start(want, mixer_)) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return Fail(kErrorDevice);
  }
  initialised_ = true;
  return Succeed();
}

uint32_t SdlAudioLibrary::StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags,
                                       StreamProc proc, void* user) {
  const auto free = std::find(handles_.begin(), handles_.end(), 0u);
  const uint32_t code = !initialised_ ? kErrorInit
                        : freq != Mixer::kRate || chans != Mixer::kChannels || flags != 0
                            ? kErrorFormat
                        : proc == nullptr        ? kErrorIllegalParam
                        : free == handles_.end() ? kErrorMemory
                                                 : kErrorOk;
  if (code != kErrorOk) {
    Fail(code);
    return 0;
  }
  // The slot is stopped, so neither the callback nor the watchdog looks at it yet.
  *free = ++lastHandle_;
  mixer_.Fill(static_cast<int>(free - handles_.begin()), proc, user, *free);
  Succeed();
  return *free;
}

bool SdlAudioLibrary::StreamPlay(uint32_t handle, bool /*flush*/, uint32_t /*flags*/) {
  const int slot = Find(handle);
  if (slot < 0) return Fail(kErrorHandle);
  const auto lock = output_.Lock();
  mixer_.Play(slot);
  // With the output lost there is no device: the watchdog starts it when the output is back.
  output_.Pause(false);
  return Succeed();
}

bool SdlAudioLibrary::ChannelStop(uint32_t handle) {
  const int slot = Find(handle);
  if (slot < 0) return Fail(kErrorHandle);
  auto lock = output_.Lock();
  if (output_.Device() != 0 && mixer_.BeginStop(slot)) {
    // Wait for the callback to play the fade-out. Neither the watchdog's lock nor SDL's device
    // lock is held: the callback runs under the latter, and it reports through the stream's
    // state instead. If the device stops calling back (lost, and closed by the watchdog
    // meanwhile), the bound ends the wait.
    lock.unlock();
    for (int waited = 0; waited < kStopWaitMs && !mixer_.Faded(slot); ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    lock.lock();
  }
  mixer_.Stop(slot);
  // A paused device is not called back at all; without a device nothing calls back either.
  if (!mixer_.Active()) output_.Pause(true);
  return Succeed();
}

uint32_t SdlAudioLibrary::ErrorGetCode() {
  return error_;
}

bool SdlAudioLibrary::Free() {
  if (!initialised_) return Fail(kErrorInit);
  output_.Stop();
  for (const uint32_t handle : handles_) {
    if (handle != 0) ChannelStop(handle);
  }
  output_.Close();
  // The stopped slots keep their memory until a new stream takes them.
  handles_.fill(0);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  initialised_ = false;
  return Succeed();
}

bool SdlAudioLibrary::DSP_Set(uint32_t handle, int effect, int /*priority*/) {
  return WithChain(handle, [&](EffectChain& chain) { return chain.setEnabled(effect, true); });
}

bool SdlAudioLibrary::DSP_Remove(uint32_t handle, int effect) {
  return WithChain(handle, [&](EffectChain& chain) { return chain.setEnabled(effect, false); });
}

bool SdlAudioLibrary::DSP_SetParameters(uint32_t handle, int effect, const void* params) {
  return WithChain(handle, [&](EffectChain& chain) { return chain.setParameters(effect, params); });
}

// The chain refuses unknown effects and null records.
template <class Call>
bool SdlAudioLibrary::WithChain(uint32_t handle, Call call) {
  const int slot = Find(handle);
  if (slot < 0) return Fail(kErrorHandle);
  return call(mixer_.Chain(slot)) ? Succeed() : Fail(kErrorIllegalParam);
}

// SDL's audio callback, on SDL's audio thread, against the device's deadline. The device was
// opened for 16-bit stereo, so `length` is a whole number of 4-byte frames.
void SDLCALL SdlAudioLibrary::Callback(void* mixer, Uint8* buffer, int length) {
  static_cast<Mixer*>(mixer)->Mix(reinterpret_cast<int16_t*>(buffer),
                                  length / static_cast<int>(sizeof(int16_t) * Mixer::kChannels));
}

int SdlAudioLibrary::Find(uint32_t handle) const {
  const auto it = std::find(handles_.begin(), handles_.end(), handle);
  return handle == 0 || it == handles_.end() ? -1 : static_cast<int>(it - handles_.begin());
}

bool SdlAudioLibrary::Fail(uint32_t code) {
  error_ = code;
  return false;
}

bool SdlAudioLibrary::Succeed() {
  error_ = kErrorOk;
  return true;
}
