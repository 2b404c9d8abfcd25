#include "audio/PulseAudioLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

PulseAudioLibrary::PulseAudioLibrary(std::shared_ptr<OutputDevice> output,
                                     std::chrono::milliseconds checkInterval,
                                     std::chrono::milliseconds retryInterval)
    : output_(std::move(output), checkInterval, retryInterval) {}

PulseAudioLibrary::~PulseAudioLibrary() {
  if (initialised_) Free();
}

uint32_t PulseAudioLibrary::GetVersion() {
  return 2;  // 2.0
}

bool PulseAudioLibrary::Init(int device, uint32_t /*freq*/, uint32_t /*flags*/, void* /*window*/,
                             void* /*clsid*/) {
  if (initialised_) return Fail(kErrorAlready);
  if (device != 1 && device != -1) return Fail(kErrorDevice);
  if (!output_.Start(mixer_)) return Fail(kErrorDevice);
  initialised_ = true;
  return Succeed();
}

uint32_t PulseAudioLibrary::StreamCreate(uint32_t freq, uint32_t chans, uint32_t flags,
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

bool PulseAudioLibrary::StreamPlay(uint32_t handle, bool /*flush*/, uint32_t /*flags*/) {
  const int slot = Find(handle);
  if (slot < 0) return Fail(kErrorHandle);
  const auto lock = output_.Lock();
  mixer_.Play(slot);
  // With the output lost there is none: the watchdog starts it when the output is back.
  output_.Pause(false);
  return Succeed();
}

bool PulseAudioLibrary::ChannelStop(uint32_t handle) {
  const int slot = Find(handle);
  if (slot < 0) return Fail(kErrorHandle);
  auto lock = output_.Lock();
  if (output_.IsOpen() && mixer_.BeginStop(slot)) {
    // Wait for the request that computes the fade-out. Neither the watchdog's lock nor
    // libpulse's is held: the mixer runs under the latter, and it reports through the stream's
    // state instead. If the output stops asking (lost, and closed by the watchdog meanwhile),
    // the bound ends the wait.
    lock.unlock();
    for (int waited = 0; waited < kStopWaitMs && !mixer_.Faded(slot); ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    lock.lock();
  }
  mixer_.Stop(slot);
  // A paused output asks for nothing once its buffer is full; a lost one asks for nothing.
  if (!mixer_.Active()) output_.Pause(true);
  return Succeed();
}

uint32_t PulseAudioLibrary::ErrorGetCode() {
  return error_;
}

bool PulseAudioLibrary::Free() {
  if (!initialised_) return Fail(kErrorInit);
  output_.Stop();
  for (const uint32_t handle : handles_) {
    if (handle != 0) ChannelStop(handle);
  }
  output_.Close();
  // The stopped slots keep their memory until a new stream takes them.
  handles_.fill(0);
  initialised_ = false;
  return Succeed();
}

bool PulseAudioLibrary::DSP_Set(uint32_t handle, int effect, int /*priority*/) {
  return WithChain(handle, [&](EffectChain& chain) { return chain.setEnabled(effect, true); });
}

bool PulseAudioLibrary::DSP_Remove(uint32_t handle, int effect) {
  return WithChain(handle, [&](EffectChain& chain) { return chain.setEnabled(effect, false); });
}

bool PulseAudioLibrary::DSP_SetParameters(uint32_t handle, int effect, const void* params) {
  return WithChain(handle, [&](EffectChain& chain) { return chain.setParameters(effect, params); });
}

// The chain refuses unknown effects and null records.
template <class Call>
bool PulseAudioLibrary::WithChain(uint32_t handle, Call call) {
  const int slot = Find(handle);
  if (slot < 0) return Fail(kErrorHandle);
  return call(mixer_.Chain(slot)) ? Succeed() : Fail(kErrorIllegalParam);
}

int PulseAudioLibrary::Find(uint32_t handle) const {
  const auto it = std::find(handles_.begin(), handles_.end(), handle);
  return handle == 0 || it == handles_.end() ? -1 : static_cast<int>(it - handles_.begin());
}

bool PulseAudioLibrary::Fail(uint32_t code) {
  error_ = code;
  return false;
}

bool PulseAudioLibrary::Succeed() {
  error_ = kErrorOk;
  return true;
}
