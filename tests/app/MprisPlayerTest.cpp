// The media control over a real bus: a private dbus-daemon started by the test, the window over
// the fake audio library, and a second connection that calls the player as a desktop would. The
// calls are asynchronous and the test runs the event loop while it waits, because the player
// answers on this same thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>
#include <functional>

#include "app/MprisPlayer.h"
#include "tests/support/FormFixture.h"
#include "tests/support/PrivateBus.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

const QString kRoot = "org.mpris.MediaPlayer2";
const QString kPlayer = "org.mpris.MediaPlayer2.Player";
const QString kPath = "/org/mpris/MediaPlayer2";
const QString kName = "org.mpris.MediaPlayer2.vimbra_generator";

}  // namespace

// What the desktop hears of the player: each PropertiesChanged as "Name=value" texts, the
// metadata by its title.
class PropertiesRecorder : public QObject {
  Q_OBJECT
 public:
  QStringList changes;

 public slots:
  void Changed(const QString& /*interface*/, const QVariantMap& changed,
               const QStringList& /*invalidated*/) {
    for (auto it = changed.begin(); it != changed.end(); ++it) {
      const QVariant title = qdbus_cast<QVariantMap>(it.value()).value("xesam:title");
      changes << it.key() + "=" + (title.isValid() ? title : it.value()).toString();
    }
  }
};

namespace {

class MprisPlayerTest : public FormFixture {
 protected:
  PrivateBus bus;
  QDBusConnection desktop = bus.Connect("desktop");

  QVariant Call(const QString& method, const QVariantList& args = {}) {
    return PrivateBus::Call(desktop, kName, kPath, method, args);
  }
  QVariant Property(const QString& interface, const QString& name) {
    return Call("org.freedesktop.DBus.Properties.Get", {interface, name})
        .value<QDBusVariant>()
        .variant();
  }
};

TEST_F(MprisPlayerTest, TheDesktopStartsAndStopsTheToneAsTheButtonsDo) {
  ASSERT_TRUE(bus.Started()) << "dbus-daemon did not start";
  Application.Title = "Kestrov Lab Vimbra Generator";
  TForm1& form = CreateForm();
  MprisPlayer player(&form, bus.Connect("player"));
  ASSERT_EQ(player.ServiceName(), kName);
  MprisPlayer second(&form, bus.Connect("second"));  // another copy of the program
  EXPECT_EQ(second.ServiceName(),
            kName + ".instance" + QString::number(QCoreApplication::applicationPid()));
  EXPECT_EQ(Property(kRoot, "Identity"), "Kestrov Lab Vimbra Generator");
  EXPECT_EQ(Property(kRoot, "DesktopEntry"), "lab.kestrov.VimbraGenerator");
  EXPECT_EQ(Property(kPlayer, "CanPlay"), false);
  PropertiesRecorder recorder;
  ASSERT_TRUE(desktop.connect(kName, kPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
                              &recorder, SLOT(Changed(QString, QVariantMap, QStringList))));

  // Each step, by the desktop or in the window, with what the desktop is told and the library
  // calls made so far. The tone heard is half the frequency value.
  const struct {
    const char* step;
    std::function<void()> act;
    QString told;
    size_t plays, stops;
  } steps[] = {
      {"Play before the warning", [&] { Call(kPlayer + ".Play"); }, "", 0, 0},
      {"the warning ticked", [&] { form.CheckBox7->SetChecked(true); },
       "CanPause=true, CanPlay=true", 0, 0},
      {"Play", [&] { Call(kPlayer + ".Play"); }, "PlaybackStatus=Playing", 1, 0},
      {"the frequency moved in the window", [&] { form.ScrollBar1->SetPosition(3000); },
       "Metadata=1500 Гц", 1, 0},
      {"PlayPause while playing", [&] { Call(kPlayer + ".PlayPause"); }, "PlaybackStatus=Stopped",
       1, 1},
      {"PlayPause while stopped", [&] { Call(kPlayer + ".PlayPause"); }, "PlaybackStatus=Playing",
       2, 1},
      {"Стоп in the window", [&] { form.SpeedButton1->click(); }, "PlaybackStatus=Stopped", 2, 2},
      {"Пуск in the window", [&] { form.Button3->click(); }, "PlaybackStatus=Playing", 3, 2},
      {"Pause", [&] { Call(kPlayer + ".Pause"); }, "PlaybackStatus=Stopped", 3, 3},
      {"Raise", [&] { Call(kRoot + ".Raise"); }, "", 3, 3},
  };
  for (const auto& s : steps) {
    recorder.changes.clear();
    s.act();
    QCoreApplication::processEvents();  // the presses queued by the bus calls
    (void)QTest::qWaitFor([&] { return recorder.changes.join(", ") == s.told; }, 5000);
    EXPECT_EQ(recorder.changes.join(", ").toStdString(), s.told.toStdString()) << s.step;
    EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), s.plays) << s.step;
    EXPECT_EQ(audio.CallsStartingWith("ChannelStop").size(), s.stops) << s.step;
  }
  EXPECT_TRUE(form.isVisible()) << "Raise did not show the window";
  EXPECT_EQ(Property(kPlayer, "PlaybackStatus"), "Stopped");
  EXPECT_TRUE(qdbus_cast<QVariantMap>(Property(kPlayer, "Metadata")).contains("mpris:trackid"));
}

// "Пуск" pressed over the bus when the start fails: the desktop has its reply while the error box
// is still open, since a modal box can stay open for as long as the user likes.
TEST_F(MprisPlayerTest, ThePressRunsAfterTheReply) {
  audio.playResult = false;
  TForm1& form = CreateUnlockedForm();
  MprisPlayer player(&form, bus.Connect("player"));
  QDBusMessage play = QDBusMessage::createMethodCall(kName, kPath, kPlayer, "Play");
  const QDBusPendingCall pending = desktop.asyncCall(play);
  bool repliedWhileOpen = false;
  SetMessageBoxHook([&](const MessageBoxCall&) {
    repliedWhileOpen = QTest::qWaitFor([&] { return pending.isFinished(); }, 5000);
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !audio.CallsStartingWith("StreamPlay").empty(); }));
  EXPECT_TRUE(repliedWhileOpen);
}

TEST_F(MprisPlayerTest, WithoutABusTheWindowRunsAsBefore) {
  TForm1& form = CreateUnlockedForm();
  MprisPlayer player(&form, QDBusConnection::connectToBus("unix:path=/nonexistent", "no-bus"));
  form.Button3->click();
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 1u) << player.ServiceName().toStdString();
}

}  // namespace

#include "MprisPlayerTest.moc"
