#include "app/MprisPlayer.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>

#include "app/DesktopIdentity.h"
#include "audio/Tone.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Controls.h"

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.vimbra_generator");
// The one track: the tone.
const QString kTrackId = QStringLiteral("/lab/kestrov/VimbraGenerator/tone");
// How long a moving frequency waits before it is announced, so that a fast sweep costs the
// desktop at most four messages a second.
constexpr int kSettleMs = 250;

}  // namespace

// The root interface.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ No)
  Q_PROPERTY(bool CanRaise READ Yes)
  Q_PROPERTY(bool HasTrackList READ No)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ None)
  Q_PROPERTY(QStringList SupportedMimeTypes READ None)
 public:
  explicit MprisRootAdaptor(MprisPlayer* player) : QDBusAbstractAdaptor(player), player_(player) {}
  bool No() const { return false; }
  bool Yes() const { return true; }
  QString Identity() const { return Application.Title; }
  QString DesktopEntry() const { return QString::fromLatin1(kDesktopEntry); }
  QStringList None() const { return {}; }

 public slots:
  void Raise() { player_->Raise(); }
  void Quit() {}

 private:
  MprisPlayer* player_;
};

// The player interface. Rate, volume and position are fixed: the tone has no speed, its level is
// the amplitude bar's, and it has no length to seek in.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ One)
  Q_PROPERTY(double MinimumRate READ One)
  Q_PROPERTY(double MaximumRate READ One)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ One)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ No)
  Q_PROPERTY(bool CanGoPrevious READ No)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPlay)
  Q_PROPERTY(bool CanSeek READ No)
  Q_PROPERTY(bool CanControl READ Yes)
 public:
  explicit MprisPlayerAdaptor(MprisPlayer* player)
      : QDBusAbstractAdaptor(player), player_(player) {}
  QString PlaybackStatus() const { return player_->PlaybackStatus(); }
  QVariantMap Metadata() const { return player_->Metadata(); }
  bool CanPlay() const { return player_->CanPlay(); }
  double One() const { return 1.0; }
  qlonglong Position() const { return 0; }
  bool No() const { return false; }
  bool Yes() const { return true; }

 public slots:
  void Play() { player_->Play(); }
  void Pause() { player_->Pause(); }
  void PlayPause() { player_->PlayPause(); }
  void Stop() { player_->Stop(); }
  void Next() {}
  void Previous() {}
  void Seek(qlonglong /*offset*/) {}
  void SetPosition(const QDBusObjectPath& /*track*/, qlonglong /*position*/) {}
  void OpenUri(const QString& /*uri*/) {}

 signals:
  void Seeked(qlonglong position);

 private:
  MprisPlayer* player_;
};

MprisPlayer::MprisPlayer(TForm1* form, QDBusConnection bus) : form_(form), bus_(std::move(bus)) {
  if (!bus_.isConnected()) return;
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
  if (!bus_.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) return;
  for (const QString& name :
       {kServiceName, kServiceName + QStringLiteral(".instance") +
                          QString::number(QCoreApplication::applicationPid())}) {
    if (bus_.registerService(name)) {
      serviceName_ = name;
      break;
    }
  }
  if (serviceName_.isEmpty()) {
    bus_.unregisterObject(kObjectPath);
    return;
  }
  toldCanPlay_ = CanPlay();
  toldStatus_ = PlaybackStatus();
  toldMetadata_ = Metadata();
  settle_ = new QTimer(this);
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(settle_, &QTimer::timeout, this, &MprisPlayer::Announce);
  connect(form_, &TForm1::ToneChanged, this, &MprisPlayer::FollowTone);
  connect(form_->CheckBox7, &QAbstractButton::toggled, this, &MprisPlayer::Announce);
}

MprisPlayer::~MprisPlayer() {
  if (serviceName_.isEmpty()) return;
  bus_.unregisterService(serviceName_);
  bus_.unregisterObject(kObjectPath);
}

void MprisPlayer::Raise() {
  form_->setWindowState(form_->windowState() & ~Qt::WindowMinimized);
  form_->show();
  form_->raise();
  form_->activateWindow();
}

void MprisPlayer::Play() {
  Later(&MprisPlayer::ClickStart);
}

void MprisPlayer::Pause() {
  Stop();
}

void MprisPlayer::PlayPause() {
  Later(&MprisPlayer::ClickStartOrStop);
}

void MprisPlayer::Stop() {
  Later(&MprisPlayer::ClickStop);
}

void MprisPlayer::Later(void (MprisPlayer::*click)()) {
  QMetaObject::invokeMethod(this, click, Qt::QueuedConnection);
}

void MprisPlayer::ClickStart() {
  form_->Button3->click();  // "Пуск"; a disabled button ignores the click
}

void MprisPlayer::ClickStop() {
  form_->SpeedButton1->click();  // "Стоп"
}

void MprisPlayer::ClickStartOrStop() {
  if (Playing)
    ClickStop();
  else
    ClickStart();
}

bool MprisPlayer::CanPlay() const {
  return form_->CheckBox7->Checked();  // the warning acknowledged
}

QString MprisPlayer::PlaybackStatus() const {
  return Playing ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

QVariantMap MprisPlayer::Metadata() const {
  const double heard = Frequency.load(std::memory_order_relaxed) / 2;
  return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(kTrackId))},
          {QStringLiteral("xesam:title"), QString::number(heard, 'g', 7) + QStringLiteral(" Гц")}};
}

void MprisPlayer::FollowTone() {
  if (PlaybackStatus() != toldStatus_)
    Announce();
  else if (!settle_->isActive())
    settle_->start();
}

void MprisPlayer::Announce() {
  if (serviceName_.isEmpty()) return;
  settle_->stop();  // whatever it waited for goes out now
  QVariantMap changed;
  if (const bool canPlay = CanPlay(); canPlay != toldCanPlay_) {
    changed[QStringLiteral("CanPlay")] = changed[QStringLiteral("CanPause")] = canPlay;
    toldCanPlay_ = canPlay;
  }
  if (QString status = PlaybackStatus(); status != toldStatus_) {
    changed[QStringLiteral("PlaybackStatus")] = status;
    toldStatus_ = std::move(status);
  }
  if (QVariantMap metadata = Metadata(); metadata != toldMetadata_) {
    changed[QStringLiteral("Metadata")] = metadata;
    toldMetadata_ = std::move(metadata);
  }
  if (changed.isEmpty()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << kPlayerInterface << changed << QStringList();
  bus_.send(signal);
}

#include "MprisPlayer.moc"
