#include "ui/toolkit/Application.h"

#include <QAccessibleObject>
#include <QApplication>
#include <QWidget>
#include <cstdint>

#include "ui/toolkit/MessageBox.h"

TApplication Application;

namespace {

[[noreturn]] void ThrowNotAnInteger(const QString& text) {
  throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
}

// The application as screen readers see it: Qt's own, named by the application's title.
class TitledApplication : public QAccessibleApplication {
 public:
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && !Application.Title.isEmpty()) return Application.Title;
    return QAccessibleApplication::text(t);
  }
};

QAccessibleInterface* TitledApplicationFactory(const QString& /*className*/, QObject* object) {
  if (object == nullptr || object != QCoreApplication::instance()) return nullptr;
  return new TitledApplication;
}

}  // namespace

void AnnounceApplicationTitle() {
  QAccessible::installFactory(TitledApplicationFactory);
}

int StrToInt(const QString& text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  if (i == text.size()) ThrowNotAnInteger(text);
  // The magnitude is accumulated in 64 bits and checked after every digit, so any number of
  // leading zeros is fine and no overflow can happen before the range check.
  const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : int64_t{INT32_MAX};
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') ThrowNotAnInteger(text);
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > limit) ThrowNotAnInteger(text);
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

void ShowException(const std::exception& error) {
  QString message = QString::fromUtf8(error.what());
  if (!message.isEmpty() && !message.endsWith(u'.')) message += u'.';
  ShowMessageBox(QApplication::activeWindow(), Application.Title, message, MsgIcon::Error);
}

void RunGuarded(const std::function<void()>& handler) {
  if (!handler) return;
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error);
  }
}
