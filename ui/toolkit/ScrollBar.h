#pragma once

#include <QScrollBar>
#include <functional>

// A horizontal scroll bar with the rules the window relies on:
// - setting position, minimum or maximum validates the resulting triple as a whole: a maximum
//   below the minimum (or below the page size, 0) is refused with
//   EToolkitError("Scrollbar property out of range") and nothing changes;
// - the position is then clamped into [Min, Max];
// - OnChange runs at once, before the set returns, exactly when the position moves (a range
//   change alone runs nothing);
// - user input (arrows: SmallChange, clicks beside the thumb: LargeChange, dragging: every new
//   position) moves the position the same way and runs OnChange through RunGuarded.
class TScrollBar : public QScrollBar {
  Q_OBJECT
 public:
  explicit TScrollBar(QWidget* parent = nullptr);

  int Position() const { return position_; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetPosition(int position);
  void SetMin(int min);
  void SetMax(int max);
  // Sets all three at once (validated as a whole).
  void SetParams(int position, int min, int max);

  void SetSmallChange(int step);
  void SetLargeChange(int step);

  std::function<void()> OnChange;

 protected:
  // The thumb is drawn at a fixed size, as for a page size of 0: the large change is only the
  // step of a click beside the thumb.
  void initStyleOption(QStyleOptionSlider* option) const override;

 private:
  void Apply(int position, int min, int max);
  void OnUserValue(int value);

  // The page size (the window's bars all have 0): the maximum may not fall below it either.
  static constexpr int kPageSize = 0;

  int position_ = 0;
  int min_ = 0;
  int max_ = 100;
};
