// The generator's entry: the application, its title, the one window, the message loop. From the
// window's creation on, SIGTERM, SIGINT and SIGHUP close the window as the user would.
#include <QApplication>

#include "app/CloseOnSignal.h"
#include "app/MprisPlayer.h"
#include "audio/SdlAudioLibrary.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Fonts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vimbra-generator"));
  QGuiApplication::setDesktopFileName(QStringLiteral("lab.kestrov.VimbraGenerator"));
  RegisterFontSubstitutions();
  ApplyClassicDisabledText();
  Application.Title = QStringLiteral("Kestrov Lab Vimbra Generator");
  AnnounceApplicationTitle();

  SdlAudioLibrary audio;
  SetBass(&audio);

  TForm1 form;  // runs FormCreate: audio start-up, default frequency and amplitude
  CloseOnSignal closeOnSignal;
  MprisPlayer mpris(&form);  // media keys and the desktop's media control, if there is a bus
  form.show();
  const int result = QApplication::exec();
  SetBass(nullptr);
  return result;
}
