#pragma once

#include <QElapsedTimer>
#include <QObject>
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
// costs far more than a sweep's tick itself, and nothing a tick changes can show sooner: the
// screen shows a frame every 16 ms and the sound is computed in blocks of 46 ms.
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

  static constexpr int kMaxCatchUpMs = 100;
  static constexpr unsigned kMinWakeMs = 8;

 private:
  void Update();
  void Timeout();
  QTimer* timer_;
  unsigned interval_;
  bool enabled_;
  QElapsedTimer count_;      // since the start of the count
  qint64 ticksRun_ = 0;      // ticks run since then
  unsigned generation_ = 0;  // advanced by every restart or stop of the count
};
