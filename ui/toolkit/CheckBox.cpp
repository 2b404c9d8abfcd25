#include "ui/toolkit/CheckBox.h"

#include <QScopedValueRollback>

#include "ui/toolkit/Application.h"

TCheckBox::TCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
  connect(this, &QAbstractButton::toggled, this, [this](bool) {
    if (!setting_) RunGuarded(OnClick);
  });
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == isChecked()) return;
  {
    const QScopedValueRollback guard(setting_, true);
    setChecked(checked);
  }
  if (OnClick) OnClick();
}

TRadioButton::TRadioButton(const QString& caption, QWidget* parent)
    : QRadioButton(caption, parent) {
  connect(this, &QAbstractButton::toggled, this, [this](bool on) {
    if (on && !setting_) RunGuarded(OnClick);
  });
}

void TRadioButton::SetChecked(bool checked) {
  if (checked == isChecked()) return;
  {
    const QScopedValueRollback guard(setting_, true);
    if (checked) {
      setChecked(true);  // unchecks the other radio buttons of the same parent
    } else {
      // Qt refuses to uncheck the checked button of an exclusive set; the program may.
      setAutoExclusive(false);
      setChecked(false);
      setAutoExclusive(true);
    }
  }
  if (checked && OnClick) OnClick();
}
