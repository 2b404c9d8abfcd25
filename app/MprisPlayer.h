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
//
// The window changes the tone by itself too (buttons, presets, the sweep); a quarter-second
// look at the shared values announces those changes, at most four times a second however fast
// the frequency moves. Changes made over the bus are announced at once.
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

  TForm1* form_;
  QDBusConnection bus_;
  QString serviceName_;
  QTimer* look_ = nullptr;
  bool toldCanPlay_ = false;
  QString toldStatus_;
  QVariantMap toldMetadata_;
};
