#include "audio/OutputWatchdog.h"

#include <cstdio>
#include <utility>

#include "audio/Mixer.h"

OutputWatchdog::OutputWatchdog(std::shared_ptr<OutputDevice> output,
                               std::chrono::milliseconds checkInterval,
                               std::chrono::milliseconds retryInterval)
    : output_(std::move(output)), checkInterval_(checkInterval), retryInterval_(retryInterval) {}

bool OutputWatchdog::Start(Mixer& mixer) {
  open_ = output_->Open(mixer);
  if (!open_) return false;
  quit_ = false;
  thread_ = std::thread([this, &mixer] { Watch(mixer); });
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
  if (open_) output_->Close();
  open_ = false;
}

void OutputWatchdog::SetWatcher(std::function<void(bool lost)> watcher) {
  const std::lock_guard lock(mutex_);
  watcher_ = std::move(watcher);
}

void OutputWatchdog::Pause(bool pause) {
  if (open_) output_->Pause(pause);
}

// Sleeps between checks on a condition variable, so Stop wakes it at once. Opening an output can
// take a while (a connection to the sound server), so it runs without the lock; nothing else
// opens or closes the output meanwhile, since the window's thread touches it only while it is
// open.
void OutputWatchdog::Watch(Mixer& mixer) {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (open_) {
      if (wake_.wait_for(lock, checkInterval_, [this] { return quit_; })) break;
      if (!output_->Lost()) continue;
      Close();
      std::fputs("Sound output lost; reconnecting in the background.\n", stderr);
      if (watcher_) watcher_(true);
      continue;
    }
    if (wake_.wait_for(lock, retryInterval_, [this] { return quit_; })) break;
    lock.unlock();
    attempts_.fetch_add(1, std::memory_order_relaxed);
    const bool opened = output_->Open(mixer);
    lock.lock();
    if (!opened) continue;
    open_ = true;
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
