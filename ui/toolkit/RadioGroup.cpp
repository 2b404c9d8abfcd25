#include "ui/toolkit/RadioGroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <algorithm>

#include "ui/toolkit/Application.h"
#include "ui/toolkit/Fonts.h"

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
  setAlignment(Qt::AlignLeft);
  // The items form a button group of their own: Qt's automatic exclusivity otherwise searches
  // all radio buttons below the window and would uncheck an item when a radio button placed
  // directly on the window is checked (and the other way round).
  group_ = new QButtonGroup(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    group_->addButton(button, i);
    // The round indicator stays white whatever background the group is given.
    QPalette palette = button->palette();
    palette.setColor(QPalette::Base, Qt::white);
    button->setPalette(palette);
    connect(button, &QAbstractButton::toggled, this, [this, i](bool on) {
      // Only a user click gets here: the group's own updates run with syncing_ set.
      if (!on || syncing_) return;
      itemIndex_ = i;
      RunGuarded(OnClick);
    });
    buttons_.push_back(button);
  }
  ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int index) {
  index = std::clamp(index, -1, Count() - 1);
  if (index == itemIndex_) return;
  itemIndex_ = index;
  SyncButtons();
  if (OnClick) OnClick();
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void TRadioGroup::changeEvent(QEvent* event) {
  QGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) ArrangeButtons();
}

// One column, spread over the height below the caption the way a classic radio group spaces its
// items: what the caption's line leaves is split evenly, the remainder going half above.
void TRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  const int textHeight = TextCellHeight(font());
  const int count = Count();
  const int free = std::max(0, height() - textHeight - 5);
  const int buttonHeight = free / count;
  const int topMargin = textHeight + 1 + (free % count) / 2;
  for (int i = 0; i < count; ++i)
    buttons_[static_cast<size_t>(i)]->setGeometry(8, topMargin + i * buttonHeight, width() - 10,
                                                  buttonHeight);
}

void TRadioGroup::SyncButtons() {
  const QScopedValueRollback guard(syncing_, true);
  // Qt keeps one button of an exclusive group checked; unchecking all needs a moment without.
  group_->setExclusive(false);
  for (int i = 0; i < Count(); ++i) buttons_[static_cast<size_t>(i)]->setChecked(i == itemIndex_);
  group_->setExclusive(true);
}
