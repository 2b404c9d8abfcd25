#include "ui/toolkit/Timer.h"

#include <QTimer>
#include <algorithm>
#include <climits>

#include "ui/toolkit/Application.h"

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
    count_.start();
    ticksRun_ = 0;
    const unsigned wake = interval_ >= kMinWakeMs
                              ? interval_
                              : interval_ * ((kMinWakeMs + interval_ - 1) / interval_);
    timer_->start(static_cast<int>(std::min<unsigned>(wake, INT_MAX)));
  } else {
    timer_->stop();
  }
}

void TTimer::Timeout() {
  const unsigned generation = generation_;
  const qint64 interval = static_cast<qint64>(interval_) * 1000000;
  const qint64 due = count_.nsecsElapsed() / interval;
  const qint64 limit = std::max<qint64>(1, qint64{kMaxCatchUpMs} * 1000000 / interval);
  if (due - ticksRun_ > limit) ticksRun_ = due - limit;
  // Every timeout runs one tick, and then the ticks still due (several for a short interval).
  do {
    ++ticksRun_;
    RunGuarded(OnTimer);
    if (generation != generation_) return;  // stopped or restarted by the handler
  } while (ticksRun_ < due);
}
