#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;
class QWidget;

// Paints a top-level window at most once per frame of its screen. Qt paints every dirty widget
// of a window when the window's update request arrives, which is at the next pass of the event
// loop after the first update(); a handler that runs a thousand times a second would make a
// thousand paints and flushes to the window system, of which the screen shows only its frame
// rate. The pacer holds back an update request that comes within one frame of the last paint
// and lets it through once the frame is due: the widgets stay dirty meanwhile, so everything
// changed within that frame is painted together, and what the window shows is never more than a
// frame behind its state.
class TFramePacer : public QObject {
  Q_OBJECT
 public:
  explicit TFramePacer(QWidget* window);

  // True while a paint of the window is held back for the next frame.
  bool Pending() const { return pending_; }
  // The pacer of `window`, if it has one.
  static TFramePacer* Of(const QWidget* window);

 signals:
  // The window is about to paint: the last moment to bring what it will show up to date.
  void AboutToPaint();

 public:
  // The shortest time between two paints, in milliseconds: one frame of the screen unless set.
  int FrameInterval() const { return frameInterval_; }
  void SetFrameInterval(int milliseconds);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FrameDue();

  QWidget* window_;
  QTimer* timer_;
  QElapsedTimer sinceLastPaint_;
  int frameInterval_;
  bool pending_ = false;
  bool due_ = false;
};
