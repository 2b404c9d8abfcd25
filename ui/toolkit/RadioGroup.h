#pragma once

#include <QGroupBox>
#include <QStringList>
#include <functional>
#include <vector>

class QButtonGroup;
class QRadioButton;

// A framed group of radio buttons in one column below the caption, evenly spaced as a classic
// radio group draws them. ItemIndex is the selected item, -1 for none. OnClick runs whenever
// the selection changes: a user click on another item (through RunGuarded) or SetItemIndex
// (directly). A click on the selected item, or setting the index it already has, runs nothing.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Button(int index) const { return buttons_.at(static_cast<size_t>(index)); }

  std::function<void()> OnClick;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ArrangeButtons();
  void SyncButtons();

  QButtonGroup* group_ = nullptr;
  std::vector<QRadioButton*> buttons_;
  int itemIndex_ = -1;
  bool syncing_ = false;
};
