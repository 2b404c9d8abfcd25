#include "tests/support/PrivateBus.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>

PrivateBus::PrivateBus() {
  daemon_.start(
      QStringLiteral("dbus-daemon"),
      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
  if (daemon_.waitForReadyRead(10000)) address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateBus::~PrivateBus() {
  for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
  daemon_.kill();
  daemon_.waitForFinished();
}

QDBusConnection PrivateBus::Connect(const QString& name) {
  connections_ << name + QLatin1Char(' ') + address_;
  return QDBusConnection::connectToBus(address_, connections_.last());
}

QVariant PrivateBus::Call(const QDBusConnection& from, const QString& service, const QString& path,
                          const QString& method, const QVariantList& args) {
  const qsizetype dot = method.lastIndexOf(QLatin1Char('.'));
  QDBusMessage message =
      QDBusMessage::createMethodCall(service, path, method.left(dot), method.mid(dot + 1));
  message.setArguments(args);
  const QDBusPendingCall pending = from.asyncCall(message);
  if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 10000))
    return QStringLiteral("timeout");
  const QDBusMessage reply = pending.reply();
  if (reply.type() == QDBusMessage::ErrorMessage) return reply.errorMessage();
  return reply.arguments().value(0);
}
