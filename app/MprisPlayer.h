#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QTimer;
class TForm1;

// The desktop's media control and media keys for the window: MPRIS 2 on the session bus, under
// org.mpris.MediaPlayer2.vimbra_generator (".instance<pid>" appended when another copy of the
// program holds that name), object /org/mpris/MediaPlayer2.
//
// Play, Pause, PlayPause and Stop click "Пуск" and "Стоп": they do what the buttons do, the
// buttons' states follow, and a disabled button ignores them, so before "Ознакомился" is ticked
// Play does nothing (CanPlay is false). A tone has no pause: started again, it begins from its
// first sample. Pause therefore stops it as "Стоп" does, and the status is Playing or Stopped.
// The track is the tone heard, half the frequency value, and its title says so ("500 Гц").
// The clicks run once the bus call has returned, in the order the calls came: "Пуск" may open
// the modal "BASS Error" box, and the desktop must not wait for its reply until that is closed.
//
// The window announces its tone (TForm1::ToneChanged) and the player passes it on: a start or a
// stop at once, a moving frequency at most four times a second however fast the sweep moves it.
//
// Without a bus, or when no name can be had, it does nothing and says nothing.
class MprisPlayer : public QObject {
  Q_OBJECT
 public:
  explicit MprisPlayer(TForm1* form, QDBusConnection bus = QDBusConnection::sessionBus());
  ~MprisPlayer() override;

  // The name taken on the bus; empty when there is none.
  QString ServiceName() const { return serviceName_; }

  // org.mpris.MediaPlayer2.
  void Raise();

  // org.mpris.MediaPlayer2.Player.
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  bool CanPlay() const;
  QString PlaybackStatus() const;
  QVariantMap Metadata() const;

 private:
  // Sends PropertiesChanged for whatever differs from what the bus was last told.
  void Announce();
  // Passes the window's announcement on: at once for the status, after a while for the rest.
  void FollowTone();
  // Runs `click` once the bus call in progress has returned.
  void Later(void (MprisPlayer::*click)());
  void ClickStart();
  void ClickStop();
  void ClickStartOrStop();

  TForm1* form_;
  QDBusConnection bus_;
  QString serviceName_;
  QTimer* settle_ = nullptr;
  bool toldCanPlay_ = false;
  QString toldStatus_;
  QVariantMap toldMetadata_;
};
