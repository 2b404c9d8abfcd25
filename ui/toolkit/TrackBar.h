#pragma once

#include <QSlider>
#include <functional>

// A horizontal track bar. OnChange runs on every change of the position: user moves through
// RunGuarded, SetPosition directly; setting the position it already has runs nothing.
class TTrackBar : public QSlider {
  Q_OBJECT
 public:
  explicit TTrackBar(QWidget* parent = nullptr);
  int Position() const { return value(); }
  int Min() const { return minimum(); }
  int Max() const { return maximum(); }
  void SetRange(int min, int max);
  void SetPosition(int position);
  std::function<void()> OnChange;

 private:
  bool setting_ = false;
};
