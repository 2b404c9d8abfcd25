#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class Mixer;

// The output device the library plays through: opened by Start and, after a loss, by the
// watchdog; checked by the watchdog for a loss; closed by the watchdog after a loss and by Close.
// So Open and Close run on the window's thread or the watchdog's, Lost on the watchdog's.
// SdlOutputDevice is SDL's default output; tests hand in a stand-in for an output that goes away
// and comes back.
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

// The system's default output, which the sound server may change under us. The device is never
// pinned, so the sound server moves the stream when the user picks another output.
class SdlOutputDevice : public OutputDevice {
 public:
  SDL_AudioDeviceID Open(const SDL_AudioSpec& want) override;
  bool Lost(SDL_AudioDeviceID device) override;
  void Close(SDL_AudioDeviceID device) override;
};

// Keeps an output open while the program runs, though the sound server restarts or crashes or a
// USB or Bluetooth output is unplugged. A thread checks the open device every checkInterval; once
// it is lost (SDL reports it stopped) the thread closes it and opens the default output again
// every retryInterval until that succeeds. It writes one line to standard error when the output
// is lost and one when it is back; on the return, if the mixer has streams to play, it has the
// mixer fade in and starts the device.
//
// The window's thread shares the device with the watchdog under Lock(), which is only ever held
// for short SDL calls (pausing, closing a lost device), never while opening a device.
class OutputWatchdog {
 public:
  OutputWatchdog(std::shared_ptr<OutputDevice> output, std::chrono::milliseconds checkInterval,
                 std::chrono::milliseconds retryInterval);
  ~OutputWatchdog() {
    Stop();
    Close();
  }

  // Opens the output paused for `want` and starts watching it; false, with nothing started, if
  // it does not open.
  bool Start(const SDL_AudioSpec& want, Mixer& mixer);
  // Stops watching; the device stays as it is.
  void Stop();
  // Closes the device: no callback runs once it returns.
  void Close();
  // The lock shared with the watchdog, to be held around Device() and Pause().
  std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }
  // The open device; 0 while the output is lost.
  SDL_AudioDeviceID Device() const { return device_; }
  // Pauses or starts the device, if there is one. Pausing returns only once the callback is not
  // running.
  void Pause(bool pause);
  // How often the output was tried again after a loss.
  int Attempts() const { return attempts_.load(std::memory_order_relaxed); }
  // Tells `watcher` true when the output is lost and false when it is back, on the watchdog's
  // thread right after the line on standard error. An empty function stops the telling.
  void SetWatcher(std::function<void(bool lost)> watcher);

 private:
  void Watch(Mixer& mixer);

  const std::shared_ptr<OutputDevice> output_;
  const std::chrono::milliseconds checkInterval_;
  const std::chrono::milliseconds retryInterval_;
  SDL_AudioSpec want_{};
  // Guards device_, quit_, watcher_ and every SDL call on the device while the watchdog runs.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread thread_;
  bool quit_ = false;
  std::function<void(bool lost)> watcher_;
  SDL_AudioDeviceID device_ = 0;  // only Start, Close and the watchdog change it
  std::atomic<int> attempts_{0};
};
