// The desktop pieces over a real bus: a private dbus-daemon started by the test, the window over
// the fake audio library, a second connection that calls the media control as a desktop would,
// and a stand-in for the desktop portal that takes the sleep requests. The calls are asynchronous
// and the test runs the event loop while it waits, because the pieces answer on this same thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QTest>
#include <functional>
#include <optional>

#include "app/MprisPlayer.h"
#include "app/SleepInhibitor.h"
#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

QStringList printed;  // what Qt was asked to print while the test listened

const QString kRoot = "org.mpris.MediaPlayer2";
const QString kPlayer = "org.mpris.MediaPlayer2.Player";
const QString kName = "org.mpris.MediaPlayer2.vimbra_generator";
const QString kPortal = "org.freedesktop.portal.Desktop";
const QString kPortalPath = "/org/freedesktop/portal/desktop";

// What the desktop hears: the media control's PropertiesChanged as "Name=value" (the metadata by
// its title) and, once it stands in for the portal on the bus, the sleep requests. Inhibit makes
// the request's path of the caller's unique name and token, as the real portal does, and only a
// Close on that path counts.
class StandInDesktop : public QDBusVirtualObject {
  Q_OBJECT
 public:
  QStringList heard;
  QString introspect(const QString& /*path*/) const override { return {}; }
  bool handleMessage(const QDBusMessage& call, const QDBusConnection& /*bus*/) override {
    const QVariantMap options = qdbus_cast<QVariantMap>(call.arguments().value(2));
    if (call.member() == "Inhibit") {
      request_ = kPortalPath + "/request/" + call.service().mid(1).replace('.', '_') + "/" +
                 options["handle_token"].toString();
      heard << QString("Inhibit(%1, %2)")
                   .arg(call.arguments()[1].toUInt())
                   .arg(options["reason"].toString());
    } else if (call.member() == "Close" && call.path() == std::exchange(request_, "")) {
      heard << "Close";
    }
    return true;
  }

 public slots:
  void Changed(const QString& /*interface*/, const QVariantMap& changed, const QStringList&) {
    for (auto it = changed.begin(); it != changed.end(); ++it) {
      const QVariant title = qdbus_cast<QVariantMap>(it.value()).value("xesam:title");
      heard << it.key() + "=" + (title.isValid() ? title : it.value()).toString();
    }
  }

 private:
  QString request_;
};

class MprisPlayerTest : public FormFixture {
 protected:
  // The private bus. It starts none of the machine's own services (a real portal, say) when a
  // name is called; it is killed at the end of the test.
  QTemporaryFile config;
  QProcess daemon;
  QString address = [this] {
    config.open();
    config.write(R"(<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>
        <policy context="default"><allow send_destination="*" eavesdrop="true"/>
        <allow eavesdrop="true"/><allow own="*"/></policy></busconfig>)");
    config.close();
    daemon.start("dbus-daemon",
                 {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
    return daemon.waitForReadyRead(10000) ? QString::fromUtf8(daemon.readLine()).trimmed() : "";
  }();
  QDBusConnection desktop = Connect("desktop");
  ~MprisPlayerTest() override {
    daemon.kill();
    daemon.waitForFinished();
  }

  QDBusConnection Connect(const QString& name) {
    return QDBusConnection::connectToBus(address, name + " " + address);
  }
  // Calls "interface.method" of the media control and waits for the reply's first value.
  QVariant Call(const QString& method, const QVariantList& args = {}) {
    const int dot = method.lastIndexOf('.');
    QDBusMessage message = QDBusMessage::createMethodCall(kName, "/org/mpris/MediaPlayer2",
                                                          method.left(dot), method.mid(dot + 1));
    message.setArguments(args);
    QDBusPendingCall pending = desktop.asyncCall(message);
    (void)QTest::qWaitFor([&] { return pending.isFinished(); }, 10000);
    return pending.reply().arguments().value(0);
  }
  QVariant Property(const QString& interface, const QString& name) {
    return Call("org.freedesktop.DBus.Properties.Get", {interface, name})
        .value<QDBusVariant>()
        .variant();
  }
};

TEST_F(MprisPlayerTest, TheDesktopFollowsAndDrivesTheTone) {
  ASSERT_FALSE(address.isEmpty()) << "dbus-daemon did not start";
  Application.Title = "Kestrov Lab Vimbra Generator";
  TForm1& form = CreateForm();
  const QDBusConnection program = Connect("program");
  MprisPlayer player(&form, program);
  ASSERT_EQ(player.ServiceName(), kName);
  MprisPlayer second(&form, Connect("second"));  // another copy of the program
  EXPECT_EQ(second.ServiceName(),
            kName + ".instance" + QString::number(QCoreApplication::applicationPid()));
  std::optional<SleepInhibitor> awake(std::in_place, &form, program);
  EXPECT_EQ(Property(kRoot, "Identity"), "Kestrov Lab Vimbra Generator");
  EXPECT_EQ(Property(kRoot, "DesktopEntry"), "lab.kestrov.VimbraGenerator");
  EXPECT_EQ(Property(kPlayer, "CanPlay"), false);
  StandInDesktop heard;  // the portal once it takes the name
  desktop.registerVirtualObject(kPortalPath, &heard, QDBusConnection::SubPath);
  ASSERT_TRUE(desktop.connect(kName, "/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties",
                              "PropertiesChanged", &heard,
                              SLOT(Changed(QString, QVariantMap, QStringList))));

  // Each step, by the desktop or in the window, and what the desktop hears of it, in sorted order.
  // The tone heard is half the frequency value.
  const auto bus = [&](const QString& method) { return [&, method] { Call(kPlayer + method); }; };
  const QString asked = "Inhibit(4, Воспроизводится тон)";
  const struct {
    const char* step;
    std::function<void()> act;
    QString heard;
  } steps[] = {
      {"Play before the warning", bus(".Play"), ""},
      {"the warning ticked", [&] { form.CheckBox7->SetChecked(true); },
       "CanPause=true, CanPlay=true"},
      {"Play, no portal yet", bus(".Play"), "PlaybackStatus=Playing"},
      {"PlayPause while playing", bus(".PlayPause"), "PlaybackStatus=Stopped"},
      {"the portal comes", [&] { desktop.registerService(kPortal); }, ""},
      {"PlayPause while stopped", bus(".PlayPause"), asked + ", PlaybackStatus=Playing"},
      {"the frequency moved", [&] { form.ScrollBar1->SetPosition(3000); }, "Metadata=1500 Гц"},
      {"the output lost", [&] { audio.outputWatcher(true); }, "Close"},
      {"the output back", [&] { audio.outputWatcher(false); }, asked},
      {"Stop", bus(".Stop"), "Close, PlaybackStatus=Stopped"},
      {"Play", bus(".Play"), asked + ", PlaybackStatus=Playing"},
      {"the program ends", [&] { awake.reset(); }, "Close"},
  };
  printed.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { printed << text; });
  for (const auto& s : steps) {
    heard.heard.clear();
    s.act();
    const auto told = [&] { return (heard.heard.sort(), heard.heard.join(", ")); };
    (void)QTest::qWaitFor([&] { return told() == s.heard; }, 5000);
    EXPECT_EQ(told().toStdString(), s.heard.toStdString()) << s.step;
  }
  qInstallMessageHandler(previous);
  EXPECT_EQ(printed.join("\n").toStdString(), "");
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 3u);
  EXPECT_EQ(audio.CallsStartingWith("ChannelStop").size(), 2u);
  Call(kRoot + ".Raise");
  EXPECT_TRUE(form.isVisible()) << "Raise did not show the window";
  EXPECT_TRUE(qdbus_cast<QVariantMap>(Property(kPlayer, "Metadata")).contains("mpris:trackid"));
}

// "Пуск" pressed over the bus when the start fails: the desktop has its reply while the error box
// is still open, since a modal box can stay open for as long as the user likes.
TEST_F(MprisPlayerTest, ThePressRunsAfterTheReply) {
  audio.playResult = false;
  TForm1& form = CreateUnlockedForm();
  MprisPlayer player(&form, Connect("player"));
  const QDBusPendingCall play = desktop.asyncCall(
      QDBusMessage::createMethodCall(kName, "/org/mpris/MediaPlayer2", kPlayer, "Play"));
  bool repliedWhileOpen = false;
  SetMessageBoxHook([&](const MessageBoxCall&) {
    repliedWhileOpen = QTest::qWaitFor([&] { return play.isFinished(); }, 5000);
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !audio.CallsStartingWith("StreamPlay").empty(); }));
  EXPECT_TRUE(repliedWhileOpen);
}

TEST_F(MprisPlayerTest, WithoutABusTheWindowRunsAsBefore) {
  TForm1& form = CreateUnlockedForm();
  const QDBusConnection none = QDBusConnection::connectToBus("unix:path=/nonexistent", "no-bus");
  MprisPlayer player(&form, none);
  SleepInhibitor awake(&form, none);
  form.Button3->click();
  EXPECT_EQ(audio.CallsStartingWith("StreamPlay").size(), 1u) << player.ServiceName().toStdString();
}

}  // namespace

#include "MprisPlayerTest.moc"
