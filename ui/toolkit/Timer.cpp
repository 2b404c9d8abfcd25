#include "ui/toolkit/Timer.h"

#include <QTimer>
#include <algorithm>
#include <climits>

#include "ui/toolkit/Application.h"

namespace {
using Clock = std::chrono::steady_clock;
// The moment ChangeMoment() gives while a tick runs; none otherwise.
Clock::time_point runningTick{};
}  // namespace

TTimer::TTimer(unsigned interval, bool enabled, QObject* parent)
    : QObject(parent), timer_(new QTimer(this)), interval_(interval), enabled_(enabled) {
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, &TTimer::Timeout);
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Update();
}

bool TTimer::IsCounting() const {
  return timer_->isActive();
}

// Starts the count afresh, or stops it when the timer is off or has no interval.
void TTimer::Update() {
  ++generation_;
  if (enabled_ && interval_ > 0) {
    // The count starts before the timer, so that its timeouts never come early by this clock.
    start_ = Clock::now();
    ticksRun_ = 0;
    const unsigned wake = interval_ >= kMinWakeMs
                              ? interval_
                              : interval_ * ((kMinWakeMs + interval_ - 1) / interval_);
    lag_ = std::chrono::milliseconds(wake - interval_ + kLateWakeMs);
    timer_->start(static_cast<int>(std::min<unsigned>(wake, INT_MAX)));
  } else {
    timer_->stop();
  }
}

void TTimer::Timeout() {
  const unsigned generation = generation_;
  const qint64 interval = static_cast<qint64>(interval_) * 1000000;
  const qint64 due = std::chrono::nanoseconds(Clock::now() - start_).count() / interval;
  const qint64 limit = std::max<qint64>(1, qint64{kMaxCatchUpMs} * 1000000 / interval);
  if (due - ticksRun_ > limit) ticksRun_ = due - limit;
  // Every timeout runs one tick, and then the ticks still due (several for a short interval).
  const Clock::time_point outer = runningTick;
  do {
    ++ticksRun_;
    runningTick = start_ + std::chrono::milliseconds(interval_) * ticksRun_ + lag_;
    RunGuarded(OnTimer);
    runningTick = outer;
    if (generation != generation_) return;  // stopped or restarted by the handler
  } while (ticksRun_ < due);
}

Clock::time_point TTimer::ChangeMoment() {
  return runningTick != Clock::time_point{} ? runningTick : Clock::now();
}
