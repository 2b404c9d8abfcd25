#include "ui/toolkit/Timer.h"

#include <QTimer>
#include <algorithm>
#include <climits>

#include "ui/toolkit/Application.h"

TTimer::TTimer(unsigned interval, bool enabled, QObject* parent)
    : QObject(parent), timer_(new QTimer(this)), interval_(interval), enabled_(enabled) {
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, [this] { RunGuarded(OnTimer); });
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
  if (enabled_ && interval_ > 0)
    timer_->start(static_cast<int>(std::min<unsigned>(interval_, INT_MAX)));
  else
    timer_->stop();
}
