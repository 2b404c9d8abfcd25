#include "ui/toolkit/FramePacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

TFramePacer::TFramePacer(QWidget* window)
    : QObject(window), window_(window), timer_(new QTimer(this)), frameInterval_(16) {
  const QScreen* screen = window->screen();
  const double rate = screen != nullptr ? screen->refreshRate() : 60.0;
  // Screens that report no rate, or an odd one, are taken as 60 Hz.
  if (rate >= 24 && rate <= 500) frameInterval_ = static_cast<int>(std::floor(1000.0 / rate));
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, &TFramePacer::FrameDue);
  window->installEventFilter(this);
}

TFramePacer* TFramePacer::Of(const QWidget* window) {
  return window->findChild<TFramePacer*>(QString(), Qt::FindDirectChildrenOnly);
}

bool TFramePacer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::UpdateRequest) return false;
  const qint64 elapsed = sinceLastPaint_.isValid() ? sinceLastPaint_.elapsed() : frameInterval_;
  if (due_ || elapsed >= frameInterval_) {
    // Qt paints and flushes every dirty widget now.
    due_ = false;
    pending_ = false;
    timer_->stop();
    sinceLastPaint_.start();
    emit AboutToPaint();
    return false;
  }
  // Too soon after the last paint: keep the widgets dirty and paint them when the frame is due.
  // Qt posts no further request meanwhile, since it counts this one as still on its way.
  pending_ = true;
  if (!timer_->isActive()) timer_->start(static_cast<int>(frameInterval_ - elapsed));
  return true;
}

void TFramePacer::SetFrameInterval(int milliseconds) {
  frameInterval_ = std::max(milliseconds, 0);
  if (!pending_) return;
  // A paint held back waits for the new interval instead.
  const qint64 elapsed = sinceLastPaint_.isValid() ? sinceLastPaint_.elapsed() : frameInterval_;
  timer_->start(static_cast<int>(std::max<qint64>(frameInterval_ - elapsed, 0)));
}

void TFramePacer::FrameDue() {
  due_ = true;
  QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
