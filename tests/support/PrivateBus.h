#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

// A session bus of the test's own: a dbus-daemon started at construction and killed at
// destruction, and connections to it as other programs would have them, closed then too.
class PrivateBus {
 public:
  PrivateBus();
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool Started() const { return !address_.isEmpty(); }
  // A connection of its own, under a name unique to this bus.
  QDBusConnection Connect(const QString& name);

  // Calls "interface.method" at `path` of `service` and runs the event loop until the reply is
  // in, since the callee may answer on this thread: the reply's first value (null if none), its
  // error message, or "timeout" after 10 s.
  static QVariant Call(const QDBusConnection& from, const QString& service, const QString& path,
                       const QString& method, const QVariantList& args = {});

 private:
  QProcess daemon_;
  QString address_;
  QStringList connections_;
};
