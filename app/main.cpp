// The generator's entry: the command line, the application, its title, the one window, the
// message loop. From the window's creation on, SIGTERM, SIGINT and SIGHUP close the window as
// the user would.
#include <QApplication>
#include <cstdio>

#include "app/CloseOnSignal.h"
#include "app/CommandLine.h"
#include "app/DesktopIdentity.h"
#include "app/MprisPlayer.h"
#include "app/SleepInhibitor.h"
#include "audio/PulseAudioLibrary.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Fonts.h"

int main(int argc, char** argv) {
  const auto finish = [](const CommandLineOutcome& outcome) {  // prints, gives the exit status
    std::fputs(outcome.output.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.error.toLocal8Bit().constData(), stderr);
    return outcome.exitCode;
  };
  QCoreApplication::setApplicationName(QStringLiteral("vimbra-generator"));
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  if (const QString asked = HelpOrVersionAsked(arguments); !asked.isEmpty()) {
    const QCoreApplication core(argc, argv);  // needs no display; the help names the program
    return finish(ReadCommandLine({arguments.first(), asked}));
  }

  // Before Qt starts any thread: this sets environment variables.
  DescribeStreamToSoundServer();
  QApplication app(argc, argv);
  if (const CommandLineOutcome outcome = ReadCommandLine(QCoreApplication::arguments());
      !outcome.openWindow) {
    if (outcome.helpWithQtOptions) ShowHelpWithQtOptions(QCoreApplication::arguments());
    return finish(outcome);
  }
  // No application display name: on X11 Qt would append it to the window's title.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
  RegisterFontSubstitutions();
  ApplyClassicLook();
  Application.Title = QString::fromUtf8(kProgramName);
  AnnounceApplicationTitle();

  PulseAudioLibrary audio;
  SetBass(&audio);

  TForm1 form;  // runs FormCreate: audio start-up, default frequency and amplitude
  CloseOnSignal closeOnSignal;
  MprisPlayer mpris(&form);     // media keys and the desktop's media control, if there is a bus
  SleepInhibitor awake(&form);  // no suspend while the tone is heard, if there is a portal
  form.show();
  const int result = QApplication::exec();
  SetBass(nullptr);
  return result;
}
