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
