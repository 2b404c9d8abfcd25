// The media control over a real bus: a private dbus-daemon started by the test, the window over
// the fake audio library, and a second connection that calls the player as a desktop would. The
// calls are asynchronous and the test runs the event loop while it waits, because the player
// answers on this same thread.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>
#include <csignal>

#include "app/MprisPlayer.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// A session bus of the test's own, gone with it.
struct PrivateBus {
  PrivateBus() {
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {"--session", "--print-address=1", "--print-pid=1", "--fork"});
    daemon.waitForFinished(10000);
    const QStringList lines =
        QString::fromUtf8(daemon.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    if (lines.size() == 2) {
      address = lines[0];
      pid = lines[1].toInt();
    }
  }
  ~PrivateBus() {
    if (pid > 0) kill(pid, SIGTERM);
  }
  QString address;
  pid_t pid = 0;
};

// The PlaybackStatus values that PropertiesChanged announced, in order.
class StatusListener : public QObject {
  Q_OBJECT
 public:
  QStringList announced;
 public slots:
  void Changed(const QString& /*interface*/, const QVariantMap& changed, const QStringList&) {
    if (changed.contains("PlaybackStatus")) announced << changed["PlaybackStatus"].toString();
  }
};

class MprisPlayerTest : public FormFixture {};

TEST_F(MprisPlayerTest, TheDesktopStartsAndStopsTheToneAsTheButtonsDo) {
  PrivateBus bus;
  ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
  const QString title = Application.Title;
  Application.Title = "Kestrov Lab Vimbra Generator";
  TForm1& form = CreateForm();
  MprisPlayer player(&form, QDBusConnection::connectToBus(bus.address, "mpris-test-player"));
  ASSERT_EQ(player.ServiceName(), "org.mpris.MediaPlayer2.vimbra_generator");

  QDBusConnection desktop = QDBusConnection::connectToBus(bus.address, "mpris-test-desktop");
  StatusListener listener;
  ASSERT_TRUE(desktop.connect(player.ServiceName(), kPath, kProperties, "PropertiesChanged",
                              &listener, SLOT(Changed(QString, QVariantMap, QStringList))));
  auto call = [&](const QString& interface, const QString& method, const QVariantList& args = {}) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(player.ServiceName(), kPath, interface, method);
    message.setArguments(args);
    QDBusPendingCall pending = desktop.asyncCall(message);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 10000))
      return QVariant("<no answer>");
    const QDBusMessage reply = pending.reply();
    if (reply.type() == QDBusMessage::ErrorMessage) return QVariant(reply.errorMessage());
    return reply.arguments().value(0);
  };
  auto property = [&](const QString& interface, const char* name) {
    return call(kProperties, "Get", {interface, QString(name)}).value<QDBusVariant>().variant();
  };

  EXPECT_EQ(property("org.mpris.MediaPlayer2", "Identity"), "Kestrov Lab Vimbra Generator");
  EXPECT_EQ(property("org.mpris.MediaPlayer2", "DesktopEntry"), "lab.kestrov.VimbraGenerator");
  EXPECT_EQ(property(kPlayer, "CanPlay"), false);
  call(kPlayer, "Play");
  EXPECT_TRUE(audio.CallsStartingWith("StreamPlay").empty()) << "played before the warning";
  EXPECT_EQ(property(kPlayer, "PlaybackStatus"), "Stopped");

  form.CheckBox7->SetChecked(true);
  EXPECT_EQ(property(kPlayer, "CanPlay"), true);
  call(kPlayer, "Play");
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 1u);
  EXPECT_FALSE(form.Button3->isEnabled());
  EXPECT_EQ(property(kPlayer, "PlaybackStatus"), "Playing");
  const QVariantMap metadata = qdbus_cast<QVariantMap>(property(kPlayer, "Metadata"));
  EXPECT_EQ(metadata["xesam:title"], "500 Гц");  // the tone heard is half the frequency value
  EXPECT_TRUE(metadata.contains("mpris:trackid"));

  call(kPlayer, "PlayPause");
  EXPECT_EQ(audio.CallsStartingWith("ChannelStop").size(), 1u);
  EXPECT_TRUE(form.Button3->isEnabled());
  EXPECT_EQ(property(kPlayer, "PlaybackStatus"), "Stopped");

  // The window's own buttons are announced too.
  form.Button3->click();
  EXPECT_TRUE(QTest::qWaitFor([&] { return listener.announced.size() == 3; }, 5000));
  EXPECT_EQ(listener.announced, (QStringList{"Playing", "Stopped", "Playing"}));
  call(kPlayer, "Stop");
  EXPECT_FALSE(form.SpeedButton1->isEnabled());
  Application.Title = title;
}

TEST_F(MprisPlayerTest, WithoutABusTheWindowRunsAsBefore) {
  TForm1& form = CreateUnlockedForm();
  MprisPlayer player(&form, QDBusConnection::connectToBus("unix:path=/nonexistent", "no-bus"));
  form.Button3->click();
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 1u) << player.ServiceName().toStdString();
}

}  // namespace

#include "MprisPlayerTest.moc"
