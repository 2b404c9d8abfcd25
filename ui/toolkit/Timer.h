#pragma once

#include <QObject>
#include <chrono>
#include <functional>

class QTimer;

// A timer ticking on the UI thread. Setting a new interval restarts its count when it runs;
// setting the same interval changes nothing. OnTimer runs through RunGuarded.
//
// Ticks are counted from the start of the count, one per interval. The event loop delivers a
// timeout late when it was busy or the process did not get the processor in time, and a timer
// of 1 ms would lose a tick each time; the ticks that fell due meanwhile run together at the
// next timeout instead, so that over any stretch of time the number of ticks is the time divided
// by the interval. A backlog older than kMaxCatchUpMs (the loop was held up, say by a modal box)
// is dropped rather than run in a burst.
//
// A timer shorter than kMinWakeMs wakes the process only every few intervals (the first multiple
// of the interval from kMinWakeMs on) and runs the ticks that fell due together: a tick is then
// up to that much late, never early, and the count is the same. Each wake-up of the UI thread
// costs far more than a sweep's tick itself, and the screen shows a frame only every 16 ms. The
// sound keeps the ticks apart: ChangeMoment() tells each tick's own moment.
class TTimer : public QObject {
  Q_OBJECT
 public:
  TTimer(unsigned interval, bool enabled, QObject* parent = nullptr);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval);
  std::function<void()> OnTimer;

  // True while the underlying timer is counting (enabled and interval > 0).
  bool IsCounting() const;

  // When a change made now is to be heard. While a tick runs: the moment the tick fell due, moved
  // on by the longest a tick may wait for the wake-up that runs it (the wake-up's period less
  // the interval; none for a timer of kMinWakeMs or more) and by kLateWakeMs, so that every
  // tick's moment is still to come when it runs, and ticks run together are heard at their own
  // spacing. Otherwise: now.
  static std::chrono::steady_clock::time_point ChangeMoment();
  // How late a wake-up may come and its ticks still be heard at their own moments.
  static constexpr unsigned kLateWakeMs = 2;

  static constexpr int kMaxCatchUpMs = 100;
  static constexpr unsigned kMinWakeMs = 8;

 private:
  void Update();
  void Timeout();
  QTimer* timer_;
  unsigned interval_;
  bool enabled_;
  std::chrono::steady_clock::time_point start_;  // of the count
  std::chrono::milliseconds lag_{0};             // a tick's moment after its due time
  qint64 ticksRun_ = 0;                          // ticks run since then
  unsigned generation_ = 0;                      // advanced by every restart or stop of the count
};
