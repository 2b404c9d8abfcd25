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

#include "app/MprisPlayer.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"

namespace {

const QString kRoot = "org.mpris.MediaPlayer2";
const QString kPlayer = "org.mpris.MediaPlayer2.Player";

class MprisPlayerTest : public FormFixture {};

TEST_F(MprisPlayerTest, TheDesktopStartsAndStopsTheToneAsTheButtonsDo) {
  QProcess bus;  // its destructor kills the bus at the end of the test
  bus.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
  ASSERT_TRUE(bus.waitForReadyRead(10000)) << "dbus-daemon did not start";
  const QString address = QString::fromUtf8(bus.readLine()).trimmed();
  Application.Title = "Kestrov Lab Vimbra Generator";
  TForm1& form = CreateForm();
  MprisPlayer player(&form, QDBusConnection::connectToBus(address, "player " + address));
  ASSERT_EQ(player.ServiceName(), "org.mpris.MediaPlayer2.vimbra_generator");

  QDBusConnection desktop = QDBusConnection::connectToBus(address, "desktop " + address);
  auto call = [&](const QString& method, const QVariantList& args = {}) {
    const int dot = method.lastIndexOf('.');
    QDBusMessage message = QDBusMessage::createMethodCall(
        player.ServiceName(), "/org/mpris/MediaPlayer2", method.left(dot), method.mid(dot + 1));
    message.setArguments(args);
    QDBusPendingCall pending = desktop.asyncCall(message);
    if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 10000)) return QVariant("timeout");
    return pending.reply().arguments().value(0, pending.reply().errorMessage());
  };
  auto property = [&](const QString& interface, const QString& name) {
    return call("org.freedesktop.DBus.Properties.Get", {interface, name})
        .value<QDBusVariant>()
        .variant();
  };

  EXPECT_EQ(property(kRoot, "Identity"), "Kestrov Lab Vimbra Generator");
  EXPECT_EQ(property(kRoot, "DesktopEntry"), "lab.kestrov.VimbraGenerator");
  EXPECT_EQ(property(kPlayer, "CanPlay"), false);
  call(kPlayer + ".Play");
  EXPECT_TRUE(audio.CallsStartingWith("StreamPlay").empty()) << "played before the warning";

  form.CheckBox7->SetChecked(true);
  EXPECT_EQ(property(kPlayer, "CanPlay"), true);
  call(kPlayer + ".Play");
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 1u);
  EXPECT_EQ(property(kPlayer, "PlaybackStatus"), "Playing");
  const QVariantMap metadata = qdbus_cast<QVariantMap>(property(kPlayer, "Metadata"));
  EXPECT_EQ(metadata["xesam:title"], "500 Гц");  // the tone heard is half the frequency value
  EXPECT_TRUE(metadata.contains("mpris:trackid"));

  call(kPlayer + ".Stop");
  EXPECT_EQ(audio.CallsStartingWith("ChannelStop").size(), 1u);
  EXPECT_EQ(property(kPlayer, "PlaybackStatus"), "Stopped");
}

TEST_F(MprisPlayerTest, WithoutABusTheWindowRunsAsBefore) {
  TForm1& form = CreateUnlockedForm();
  MprisPlayer player(&form, QDBusConnection::connectToBus("unix:path=/nonexistent", "no-bus"));
  form.Button3->click();
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 1u) << player.ServiceName().toStdString();
}

}  // namespace
