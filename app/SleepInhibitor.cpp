#include "app/SleepInhibitor.h"

#include <QDBusMessage>
#include <QVariantMap>
#include <utility>

#include "ui/Form1.h"

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
constexpr uint kInhibitSuspend = 4;

}  // namespace

SleepInhibitor::SleepInhibitor(TForm1* form, QDBusConnection bus)
    : form_(form), bus_(std::move(bus)) {
  if (!bus_.isConnected()) return;
  connect(form_, &TForm1::ToneChanged, this, &SleepInhibitor::FollowTone);
  FollowTone();
}

SleepInhibitor::~SleepInhibitor() {
  Release();
}

void SleepInhibitor::FollowTone() {
  if (!form_->ToneHeard()) {
    Release();
    return;
  }
  if (!request_.isEmpty()) return;
  const QString token = QStringLiteral("vimbra_generator_%1").arg(++requests_);
  // The sender is the connection's unique name without its colon, dots turned to underscores.
  const QString sender = bus_.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
  request_ = kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
  QDBusMessage inhibit = QDBusMessage::createMethodCall(
      kPortal, kPortalPath, QStringLiteral("org.freedesktop.portal.Inhibit"),
      QStringLiteral("Inhibit"));
  inhibit << QString() << kInhibitSuspend
          << QVariantMap{{QStringLiteral("handle_token"), token},
                         {QStringLiteral("reason"), QStringLiteral("Воспроизводится тон")}};
  bus_.send(inhibit);
}

void SleepInhibitor::Release() {
  if (request_.isEmpty()) return;
  bus_.send(QDBusMessage::createMethodCall(kPortal, std::exchange(request_, QString()),
                                           QStringLiteral("org.freedesktop.portal.Request"),
                                           QStringLiteral("Close")));
}
