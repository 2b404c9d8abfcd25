#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QScrollBar;

// The plainest Qt window that shows the kind of change the generator's window shows on a tick of
// its sweep or presets: a scroll bar moved, a number put into a line edit, a small sine curve
// drawn with QPainter in paintEvent, and a box recoloured with a new text. It makes no sound and
// caches nothing: every change is a setter, and Qt's update() merges them into one paint per
// frame. window_load measures it in the same run as the program, as the baseline the program's
// cost is a ratio of, so that the ratio holds from one machine to the next.
class BaselineWindow : public QWidget {
 public:
  BaselineWindow();

  // One tick's worth of change: the value moves by one and every control shows it.
  void Change();

 private:
  class Curve;

  int value_ = 1000;
  QScrollBar* bar_ = nullptr;
  QLineEdit* edit_ = nullptr;
  Curve* curve_ = nullptr;
  QLabel* box_ = nullptr;
};
