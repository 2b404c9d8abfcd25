#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class TForm1;

// Keeps the computer from suspending while the tone is heard (speaker and room tests, hearing
// tests and long listening run for longer than the desktop's idle time). Through the desktop
// portal (org.freedesktop.portal.Inhibit on the session bus) it asks the desktop not to suspend
// when the window's tone starts being heard, and lets the request go when the tone stops, when
// the sound output is lost, and when the program ends. Only suspending is held off: the screen
// may still blank and lock.
//
// The bus calls are sent without waiting for a reply, so a slow or missing portal never holds
// the window. The request carries a token of ours, which makes its object path known at once
// (/org/freedesktop/portal/desktop/request/<sender>/<token>, as the portal defines it), so it
// can be let go even before the portal has taken it.
//
// Without a bus or a portal it does nothing and says nothing.
class SleepInhibitor : public QObject {
  Q_OBJECT
 public:
  explicit SleepInhibitor(TForm1* form, QDBusConnection bus = QDBusConnection::sessionBus());
  ~SleepInhibitor() override;

 private:
  // Asks for a request or lets it go as the window's tone is heard or not.
  void FollowTone();
  void Release();

  TForm1* form_;
  QDBusConnection bus_;
  // The object path of the request asked for; empty while there is none.
  QString request_;
  int requests_ = 0;  // numbers the tokens
};
