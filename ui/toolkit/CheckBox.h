#pragma once

#include <QCheckBox>
#include <QRadioButton>
#include <functional>

// A check box whose OnClick runs whenever its tick changes: on a user click (through
// RunGuarded) and when the program sets Checked (directly, before SetChecked returns).
// Setting the tick it already has runs nothing.
class TCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  explicit TCheckBox(const QString& caption, QWidget* parent = nullptr);
  bool Checked() const { return isChecked(); }
  void SetChecked(bool checked);
  std::function<void()> OnClick;

 private:
  bool setting_ = false;
};

// A radio button: checking it unchecks the other radio buttons of the same parent. OnClick runs
// when it becomes checked (user click through RunGuarded, SetChecked(true) directly).
class TRadioButton : public QRadioButton {
  Q_OBJECT
 public:
  explicit TRadioButton(const QString& caption, QWidget* parent = nullptr);
  bool Checked() const { return isChecked(); }
  void SetChecked(bool checked);
  std::function<void()> OnClick;

 private:
  bool setting_ = false;
};
