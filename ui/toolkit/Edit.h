#pragma once

#include <QLineEdit>
#include <QWidget>
#include <functional>

class QToolButton;

// A single-line edit box. OnChange runs whenever its text changes: user typing through
// RunGuarded, SetText directly (before it returns). Setting the same text runs nothing.
//
// A box that only shows a value (DeferDisplay) takes a new text at once, as Text() and OnChange
// see it, but lays it out for display only when its window is about to paint: a value that
// changes a thousand times a second is laid out once per frame. Any input to the box, or its
// painting, brings the display up to date first.
class TEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TEdit(const QString& text, QWidget* parent = nullptr);
  QString Text() const { return displayPending_ ? pendingText_ : text(); }
  void SetText(const QString& text);
  std::function<void()> OnChange;

  bool DeferDisplay = false;

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ShowPendingText();

  bool setting_ = false;
  bool displayPending_ = false;
  QString pendingText_;
};

// An up-down spinner tied to an edit box. A click on an arrow first takes the box's current
// number as its position (when the box holds a number within the range, thousands separators
// allowed), steps by Increment, clamps into [Min, Max] and writes the position into the box as
// text with the locale's thousands separator between every three digits (QLocale()). Writing
// the text runs the box's OnChange (the click is user input, so through RunGuarded).
class TUpDown : public QWidget {
  Q_OBJECT
 public:
  TUpDown(TEdit* associate, int min, int max, int position, QWidget* parent = nullptr);
  int Position() const { return position_; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Increment = 1;

  // What a click on the up or down arrow does.
  void StepUp();
  void StepDown();

  // The text the spinner writes for a position.
  static QString FormatPosition(int position);

  // The arrow buttons, for naming them to screen readers.
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 private:
  void Step(int delta);
  TEdit* associate_;
  int min_;
  int max_;
  int position_;
  QToolButton* up_;
  QToolButton* down_;
};
