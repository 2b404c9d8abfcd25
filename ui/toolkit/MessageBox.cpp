#include "ui/toolkit/MessageBox.h"

#include <QMessageBox>
#include <utility>

#include "ui/toolkit/Colors.h"

namespace {

MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}

}  // namespace

void ShowMessageBox(QWidget* owner, const QString& title, const QString& text, MsgIcon icon) {
  if (Hook()) {
    // Copy first: the hook may replace itself while it runs.
    const MessageBoxHook hook = Hook();
    hook(MessageBoxCall{owner, title, text, icon});
    return;
  }
  QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);  // MsgIcon::Error
  // The box is a window of its own: it takes the program's colours and style, not the desktop's.
  KeepClassicLook(&box);
  box.exec();
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  return std::exchange(Hook(), std::move(hook));
}
