#pragma once

#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QTextEdit>
#include <QToolButton>
#include <functional>

#include "ui/toolkit/Colors.h"

// A flat push button with an optional glyph (enabled and disabled images) beside its caption.
// OnClick runs through RunGuarded.
class TSpeedButton : public QToolButton {
  Q_OBJECT
 public:
  explicit TSpeedButton(const QString& caption, QWidget* parent = nullptr);
  void SetGlyph(const QPixmap& enabled, const QPixmap& disabled);
  std::function<void()> OnClick;
};

// A label of fixed size; caption centred.
class TLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TLabel(const QString& caption, QWidget* parent = nullptr);
};

// A text of fixed size with a sunken border; a text wider than the box wraps at word boundaries.
class TStaticText : public QLabel {
  Q_OBJECT
 public:
  explicit TStaticText(const QString& text, QWidget* parent = nullptr);
};

// A bevel: a lowered box, or a line along its left or right edge.
class TBevel : public QFrame {
  Q_OBJECT
 public:
  enum class Shape { LoweredBox, LeftLine, RightLine };
  TBevel(Shape shape, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Shape shape_;
};

// A drop-down list: choice only. While the list is open, Esc is the list's: it closes the list
// and reaches no shortcut of the window beneath.
class TComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TComboBox(const QStringList& items, QWidget* parent = nullptr);
  // Height in pixels of each item of the drop-down list.
  void SetItemHeight(int height);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// A multi-line rich text box with a vertical scroll bar.
class TRichEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit TRichEdit(QWidget* parent = nullptr);
  // Text and background colour of the whole text.
  void SetTextColor(TColor color);
  void SetBackground(TColor color);
};
