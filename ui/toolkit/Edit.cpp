#include "ui/toolkit/Edit.h"

#include <QEvent>
#include <QLocale>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "ui/toolkit/Application.h"
#include "ui/toolkit/FramePacer.h"

namespace {

// The boxes hold numbers, laid out anew for every new value. Without shaping, Qt places the
// glyphs by their advances instead of running them through HarfBuzz, which was the larger part
// of setting a text; digits look the same, and only kerning pairs of letters (which the design's
// bitmap font lacks anyway) would differ.
QFont Unshaped(QFont font) {
  font.setStyleStrategy(
      static_cast<QFont::StyleStrategy>(font.styleStrategy() | QFont::PreferNoShaping));
  return font;
}

}  // namespace

TEdit::TEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
  setFont(Unshaped(font()));  // and again whenever the font changes (changeEvent)
  connect(this, &QLineEdit::textChanged, this, [this](const QString&) {
    if (!setting_) RunGuarded(OnChange);
  });
}

void TEdit::SetText(const QString& text) {
  if (text == Text()) return;
  if (displayPending_) {
    pendingText_ = text;  // shown with the paint already on its way
  } else if (TFramePacer* pacer =
                 DeferDisplay && isVisible() && !hasFocus() ? TFramePacer::Of(window()) : nullptr) {
    connect(pacer, &TFramePacer::AboutToPaint, this, &TEdit::ShowPendingText,
            Qt::SingleShotConnection);
    pendingText_ = text;
    displayPending_ = true;
    update();
  } else {
    const QScopedValueRollback guard(setting_, true);
    setText(text);
  }
  if (OnChange) OnChange();
}

void TEdit::ShowPendingText() {
  if (!displayPending_) return;
  displayPending_ = false;
  const QScopedValueRollback guard(setting_, true);
  setText(pendingText_);
}

bool TEdit::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::InputMethodQuery:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
    case QEvent::Hide:
      ShowPendingText();  // the user works on the text that is shown
      break;
    default:
      break;
  }
  return QLineEdit::event(event);
}

void TEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange && !(font().styleStrategy() & QFont::PreferNoShaping)) {
    setFont(Unshaped(font()));  // comes back here once, with the flag set
    return;
  }
  QLineEdit::changeEvent(event);
}

void TEdit::paintEvent(QPaintEvent* event) {
  // Painted without the window's paint (exposed, say): show the latest text all the same.
  ShowPendingText();
  QLineEdit::paintEvent(event);
}

namespace {

// Whether a character separates thousands in `locale`. Locales whose separator is a kind of
// space accept any of the spaces, since users type a plain one.
bool IsGroupSeparator(QChar c, const QLocale& locale) {
  const QString separator = locale.groupSeparator();
  if (separator.isEmpty()) return false;
  if (c == separator.front()) return true;
  return separator.front().isSpace() && c.isSpace();
}

// The number in an edit box as the spinner reads it: an optional minus sign and decimal digits,
// thousands separators anywhere between them. False for anything else or beyond 32 bits.
bool ReadNumber(const QString& text, int& value) {
  const QLocale locale;
  qsizetype i = 0;
  const bool negative = !text.isEmpty() && (text[0] == u'-' || text[0] == locale.negativeSign());
  if (negative) ++i;
  int64_t magnitude = 0;
  int digits = 0;
  for (; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c >= u'0' && c <= u'9') {
      magnitude = magnitude * 10 + (c.unicode() - u'0');
      if (magnitude > INT32_MAX) return false;
      ++digits;
    } else if (!IsGroupSeparator(c, locale) || digits == 0) {
      return false;
    }
  }
  if (digits == 0) return false;
  value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

TUpDown::TUpDown(TEdit* associate, int min, int max, int position, QWidget* parent)
    : QWidget(parent),
      associate_(associate),
      min_(min),
      max_(std::max(min, max)),
      position_(std::clamp(position, min_, max_)),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton* button : {up_, down_}) {
    button->setArrowType(button == up_ ? Qt::UpArrow : Qt::DownArrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(button);
  }
  connect(up_, &QToolButton::clicked, this, [this] { RunGuarded([this] { StepUp(); }); });
  connect(down_, &QToolButton::clicked, this, [this] { RunGuarded([this] { StepDown(); }); });
}

void TUpDown::StepUp() {
  Step(Increment);
}
void TUpDown::StepDown() {
  Step(-Increment);
}

void TUpDown::Step(int delta) {
  // What the user typed into the box counts as the spinner's position.
  int typed = 0;
  if (associate_ != nullptr && ReadNumber(associate_->Text(), typed) && typed >= min_ &&
      typed <= max_)
    position_ = typed;
  position_ = static_cast<int>(
      std::clamp(static_cast<int64_t>(position_) + delta, int64_t{min_}, int64_t{max_}));
  if (associate_ != nullptr) associate_->SetText(FormatPosition(position_));
}

QString TUpDown::FormatPosition(int position) {
  const QLocale locale;
  const QString separator = locale.groupSeparator();
  const QString digits = QString::number(std::abs(static_cast<int64_t>(position)));
  QString text;
  for (qsizetype i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
    text += digits[i];
  }
  if (position < 0) text.prepend(u'-');
  return text;
}
