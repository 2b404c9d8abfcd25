#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class Mixer;

// The output the library plays through: the system's default output, or a stand-in in tests.
// Open and Close run on the window's thread or the watchdog's, Lost on the watchdog's; Pause on
// the window's or the watchdog's, under OutputWatchdog::Lock(). One device is open at a time.
class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  // Opens the output paused; from then on, while it plays, it calls mixer.Mix on a thread of its
  // own whenever it wants sound. False, with nothing open, on failure.
  virtual bool Open(Mixer& mixer) = 0;
  // Whether the open output has been lost (unplugged, or its sound server went away).
  virtual bool Lost() = 0;
  // Pauses or starts the open output. Once it returns, no call of the mixer is running.
  virtual void Pause(bool pause) = 0;
  // Closes the output; the mixer is not called once this returns. Harmless when none is open.
  virtual void Close() = 0;
};

// Keeps an output open while the program runs, though the sound server restarts or crashes or a
// USB or Bluetooth output is unplugged. A thread checks the open output every checkInterval; once
// it is lost the thread closes it and opens the default output again every retryInterval until
// that succeeds. It writes one line to standard error when the output is lost and one when it is
// back; on the return, if the mixer has streams to play, it has the mixer fade in and starts the
// output.
//
// The window's thread shares the output with the watchdog under Lock(), which is only ever held
// for short calls (pausing, closing a lost output), never while opening one.
class OutputWatchdog {
 public:
  OutputWatchdog(std::shared_ptr<OutputDevice> output, std::chrono::milliseconds checkInterval,
                 std::chrono::milliseconds retryInterval);
  ~OutputWatchdog() {
    Stop();
    Close();
  }

  // Opens the output paused for `mixer` and starts watching it; false, with nothing started, if
  // it does not open.
  bool Start(Mixer& mixer);
  // Stops watching; the output stays as it is.
  void Stop();
  // Closes the output: the mixer is not called once it returns.
  void Close();
  // The lock shared with the watchdog, to be held around IsOpen() and Pause().
  std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }
  // Whether an output is open; false while it is lost.
  bool IsOpen() const { return open_; }
  // Pauses or starts the output, if one is open.
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
  // Guards open_, quit_, watcher_ and every call on the output while the watchdog runs.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread thread_;
  bool quit_ = false;
  std::function<void(bool lost)> watcher_;
  bool open_ = false;  // only Start, Close and the watchdog change it
  std::atomic<int> attempts_{0};
};
