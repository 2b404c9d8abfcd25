#include "audio/OutputWatchdog.h"

#include <cstdio>
#include <utility>

#include "audio/Mixer.h"

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

OutputWatchdog::OutputWatchdog(std::shared_ptr<OutputDevice> output,
                               std::chrono::milliseconds checkInterval,
                               std::chrono::milliseconds retryInterval)
    : output_(std::move(output)), checkInterval_(checkInterval), retryInterval_(retryInterval) {}

bool OutputWatchdog::Start(const SDL_AudioSpec& want, Mixer& mixer) {
  want_ = want;
  device_ = output_->Open(want_);
  if (device_ == 0) return false;
  quit_ = false;
  thread_ = std::thread([this, &mixer] {
    Watch(mixer);
    // A failed open leaves SDL's error text in this thread's own storage, which SDL frees only
    // for threads it started itself.
    SDL_TLSCleanup();
  });
  return true;
}

void OutputWatchdog::Stop() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void OutputWatchdog::Close() {
  // Closing joins SDL's audio thread: no callback runs after it.
  if (device_ != 0) output_->Close(device_);
  device_ = 0;
}

void OutputWatchdog::SetWatcher(std::function<void(bool lost)> watcher) {
  const std::lock_guard lock(mutex_);
  watcher_ = std::move(watcher);
}

void OutputWatchdog::Pause(bool pause) {
  if (device_ != 0) SDL_PauseAudioDevice(device_, pause ? 1 : 0);
}

// Sleeps between checks on a condition variable, so Stop wakes it at once. Opening a device can
// take a while (a connection to the sound server), so it runs without the lock; nothing else
// touches SDL's devices meanwhile, since the window's thread calls SDL only while there is a
// device.
void OutputWatchdog::Watch(Mixer& mixer) {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (device_ != 0) {
      if (wake_.wait_for(lock, checkInterval_, [this] { return quit_; })) break;
      if (!output_->Lost(device_)) continue;
      // SDL's advice for a lost device: close it and open the default again. Closing joins the
      // device thread, so no callback runs once it returns.
      Close();
      // SDL also queues an event for the loss that nobody here reads.
      SDL_FlushEvent(SDL_AUDIODEVICEREMOVED);
      std::fputs("Sound output lost; reconnecting in the background.\n", stderr);
      if (watcher_) watcher_(true);
      continue;
    }
    if (wake_.wait_for(lock, retryInterval_, [this] { return quit_; })) break;
    lock.unlock();
    attempts_.fetch_add(1, std::memory_order_relaxed);
    const SDL_AudioDeviceID device = output_->Open(want_);
    lock.lock();
    if (device == 0) continue;
    device_ = device;
    if (quit_) break;  // Close closes it
    // Opened paused. Streams marked playing while the output was lost start now, fading in.
    if (mixer.Active()) {
      mixer.FadeInOnReturn();
      Pause(false);
    }
    std::fputs("Sound output is back.\n", stderr);
    if (watcher_) watcher_(false);
  }
}
