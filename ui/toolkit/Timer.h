#pragma once

#include <QObject>
#include <functional>

class QTimer;

// A timer ticking on the UI thread. Setting a new interval restarts its count when it runs;
// setting the same interval changes nothing. OnTimer runs through RunGuarded.
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

 private:
  void Update();
  QTimer* timer_;
  unsigned interval_;
  bool enabled_;
};
