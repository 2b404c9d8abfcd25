// The suspend request against a stand-in portal on a private bus: the window over the fake audio
// library, whose output the test takes away and gives back as the real library reports it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QVariantMap>
#include <functional>
#include <optional>

#include "app/SleepInhibitor.h"
#include "tests/support/FormFixture.h"
#include "tests/support/PrivateBus.h"
#include "ui/Form1.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/ScrollBar.h"

// The request of a stand-in portal: it writes its Close into the portal's log.
class StandInRequest : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
 public:
  StandInRequest(QStringList* log, QObject* parent) : QObject(parent), log_(log) {}
 public slots:
  void Close() { *log_ << "Close"; }

 private:
  QStringList* log_;
};

// The desktop portal's Inhibit as the real one offers it: the request's path is made of the
// caller's unique name and its token, and a request object answers there.
class StandInPortal : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
 public:
  QStringList log;

  explicit StandInPortal(QDBusConnection bus) : bus_(std::move(bus)) {
    bus_.registerObject("/org/freedesktop/portal/desktop", this, QDBusConnection::ExportAllSlots);
    bus_.registerService("org.freedesktop.portal.Desktop");
  }
 public slots:
  QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options) {
    const QString path = "/org/freedesktop/portal/desktop/request/" +
                         message().service().mid(1).replace('.', '_') + "/" +
                         options.value("handle_token").toString();
    bus_.registerObject(path, new StandInRequest(&log, this), QDBusConnection::ExportAllSlots);
    log << QString("Inhibit(\"%1\", %2, %3)")
               .arg(window)
               .arg(flags)
               .arg(options["reason"].toString());
    return QDBusObjectPath(path);
  }
  // Answered after every call sent before it on the same connection.
  void Sync() {}

 private:
  QDBusConnection bus_;
};

namespace {

QStringList printed;  // what Qt was asked to print while a test listened

class SleepInhibitorTest : public FormFixture {};

TEST_F(SleepInhibitorTest, AsksWhileTheToneIsHeardAndLetsGoOtherwise) {
  PrivateBus bus;
  ASSERT_TRUE(bus.Started()) << "dbus-daemon did not start";
  StandInPortal portal(bus.Connect("portal"));
  TForm1& form = CreateUnlockedForm();
  const QDBusConnection program = bus.Connect("program");
  std::optional<SleepInhibitor> inhibitor(std::in_place, &form, program);

  const QString asked = "Inhibit(\"\", 4, Воспроизводится тон)";
  const struct {
    const char* step;
    std::function<void()> act;
    QString portalSaw;
  } steps[] = {
      {"Пуск", [&] { form.Button3->click(); }, asked},
      {"the frequency moved", [&] { form.ScrollBar1->SetPosition(3000); }, ""},
      {"the output lost", [&] { audio.outputWatcher(true); }, "Close"},
      {"Стоп while lost", [&] { form.SpeedButton1->click(); }, ""},
      {"Пуск while lost", [&] { form.Button3->click(); }, ""},
      {"the output back", [&] { audio.outputWatcher(false); }, asked},
      {"Стоп", [&] { form.SpeedButton1->click(); }, "Close"},
      {"Пуск again", [&] { form.Button3->click(); }, asked},
      {"the program ends", [&] { inhibitor.reset(); }, "Close"},
  };
  for (const auto& s : steps) {
    portal.log.clear();
    s.act();
    QCoreApplication::processEvents();  // the library's news reaches the window
    PrivateBus::Call(program, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                     "org.freedesktop.portal.Inhibit.Sync");
    EXPECT_EQ(portal.log.join(", ").toStdString(), s.portalSaw.toStdString()) << s.step;
  }
}

// Without a portal, or without a bus at all, the window plays and stops as before, and nothing
// is printed.
TEST_F(SleepInhibitorTest, WithoutAPortalNothingHappens) {
  PrivateBus bus;
  TForm1& form = CreateUnlockedForm();
  printed.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { printed << text; });
  for (const QDBusConnection& connection :
       {bus.Connect("program"), QDBusConnection::connectToBus("unix:path=/nonexistent", "none")}) {
    {
      SleepInhibitor inhibitor(&form, connection);
      form.Button3->click();
      form.SpeedButton1->click();
      form.Button3->click();
    }
    // Whatever the bus answered has arrived once this round trip is back.
    PrivateBus::Call(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                     "org.freedesktop.DBus.GetId");
    form.SpeedButton1->click();
  }
  qInstallMessageHandler(previous);
  EXPECT_EQ(printed.join("\n").toStdString(), "");
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 4u);
  EXPECT_EQ(audio.CallsStartingWith("ChannelStop").size(), 4u);
}

}  // namespace

#include "SleepInhibitorTest.moc"
