// The generator's entry: the command line, the application, its title, the one window, the
// message loop. From the window's creation on, SIGTERM, SIGINT and SIGHUP close the window as
// the user would.
#include <QApplication>
#include <cstdio>

#include "app/CloseOnSignal.h"
#include "app/CommandLine.h"
#include "app/DesktopIdentity.h"
#include "app/MprisPlayer.h"
#include "audio/SdlAudioLibrary.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Fonts.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  const CommandLineOutcome commandLine = ReadCommandLine(arguments);
  if (!commandLine.openWindow) {
    std::fputs(commandLine.output.toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.error.toLocal8Bit().constData(), stderr);
    return commandLine.exitCode;
  }

  // Before Qt starts any thread: this sets environment variables.
  DescribeStreamToSoundServer();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vimbra-generator"));
  // No application display name: on X11 Qt would append it to the window's title.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
  RegisterFontSubstitutions();
  ApplyClassicLook();
  Application.Title = QString::fromUtf8(kProgramName);
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
