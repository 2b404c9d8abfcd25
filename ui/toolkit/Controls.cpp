#include "ui/toolkit/Controls.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QStyledItemDelegate>
#include <QTextCharFormat>
#include <QTextCursor>

#include "ui/toolkit/Application.h"

TSpeedButton::TSpeedButton(const QString& caption, QWidget* parent) : QToolButton(parent) {
  setText(caption);
  setAutoRaise(true);
  setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  setFocusPolicy(Qt::NoFocus);
  connect(this, &QToolButton::clicked, this, [this] { RunGuarded(OnClick); });
}

void TSpeedButton::SetGlyph(const QPixmap& enabled, const QPixmap& disabled) {
  if (enabled.isNull()) {
    setIcon(QIcon());
    return;
  }
  QIcon icon;
  icon.addPixmap(enabled, QIcon::Normal);
  icon.addPixmap(disabled.isNull() ? enabled : disabled, QIcon::Disabled);
  setIcon(icon);
  setIconSize(enabled.size());
}

TLabel::TLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setAlignment(Qt::AlignCenter);
}

TStaticText::TStaticText(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  // Centred across, from the top down; a text wider than the box breaks at word boundaries.
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setWordWrap(true);
  setAutoFillBackground(true);
}

TBevel::TBevel(Shape shape, QWidget* parent) : QFrame(parent), shape_(shape) {
  // A bevel only draws lines: it neither fills its area nor takes the mouse from what lies below.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFrameStyle(QFrame::NoFrame);
}

void TBevel::paintEvent(QPaintEvent*) {
  // A lowered look: shadow on the top and left, highlight on the bottom and right.
  const QColor shadow = ToQColor(clGray);
  const QColor highlight = ToQColor(clWhite);
  const int w = width();
  const int h = height();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  switch (shape_) {
    case Shape::LoweredBox:
      painter.setPen(shadow);
      painter.drawLine(0, 0, w - 2, 0);
      painter.drawLine(0, 0, 0, h - 2);
      painter.setPen(highlight);
      painter.drawLine(w - 1, 0, w - 1, h - 1);
      painter.drawLine(0, h - 1, w - 1, h - 1);
      break;
    case Shape::LeftLine:
      painter.setPen(shadow);
      painter.drawLine(0, 0, 0, h - 1);
      painter.setPen(highlight);
      painter.drawLine(1, 0, 1, h - 1);
      break;
    case Shape::RightLine:
      painter.setPen(shadow);
      painter.drawLine(w - 2, 0, w - 2, h - 1);
      painter.setPen(highlight);
      painter.drawLine(w - 1, 0, w - 1, h - 1);
      break;
  }
}

namespace {
// Gives every item of a list the same fixed height.
class FixedHeightDelegate : public QStyledItemDelegate {
 public:
  FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
  }

 private:
  int height_;
};
}  // namespace

void TComboBox::SetItemHeight(int height) {
  setItemDelegate(new FixedHeightDelegate(height, this));
}

TComboBox::TComboBox(const QStringList& items, QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setFrame(false);
  addItems(items);
  // The open list's keys reach its view first. Qt's own handling there (Qt 6.4) closes the list
  // on Esc without claiming the key, so a window shortcut on Esc would fire as well; this filter,
  // installed after Qt's and so asked before it, claims the key instead.
  view()->installEventFilter(this);
}

bool TComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view() && event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
    event->accept();  // the key press follows, and the open list closes on it
    return true;
  }
  return QComboBox::eventFilter(watched, event);
}

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setAcceptRichText(false);
  setTabChangesFocus(true);  // Tab moves on to the next control, as in a classic rich edit
}

void TRichEdit::SetTextColor(TColor color) {
  const QColor qcolor = ToQColor(color);
  // The text already there...
  QTextCharFormat format;
  format.setForeground(qcolor);
  QTextCursor all(document());
  all.select(QTextCursor::Document);
  all.mergeCharFormat(format);
  // ...and whatever is typed from now on.
  setTextColor(qcolor);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Text, qcolor);
  setPalette(palette);
}

void TRichEdit::SetBackground(TColor color) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, ToQColor(color));
  setPalette(palette);
}
