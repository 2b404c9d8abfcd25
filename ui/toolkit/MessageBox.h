#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program shows errors only.
enum class MsgIcon { Error };

struct MessageBoxCall {
  QWidget* owner = nullptr;
  QString title;
  QString text;
  MsgIcon icon = MsgIcon::Error;
};

// Every modal message box of the program goes through this function: a box owned by `owner`
// with the given title, text, icon and a single OK button. It returns when the box is closed.
void ShowMessageBox(QWidget* owner, const QString& title, const QString& text, MsgIcon icon);

// Tests replace the real box: while a hook is installed, ShowMessageBox calls it instead of
// showing anything. Returns the previous hook; an empty hook restores the real box.
using MessageBoxHook = std::function<void(const MessageBoxCall&)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
