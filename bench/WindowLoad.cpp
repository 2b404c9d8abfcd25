// What the running window costs the processor, as a ratio of what its plain parts cost in the
// same run: a plain Qt window that shows the same kind of change (BaselineWindow) and a plain
// sound client, pacat, playing the program's format with the program's server buffer and request
// size. First the plain window is changed every 16, 30 and 50 ms while pacat plays; then the real
// window, with the real audio, is put through a 1 ms sweep (step 1) and through each preset for a
// few seconds each. For each the process's CPU share (all threads, from getrusage) and the timer
// ticks achieved per second are printed, and for the program its ratio to the plain parts: the
// sweep against the plain window changed once per screen frame (16 ms), with every tick kept; each
// preset against the plain window at the preset's period; budget 1.25x. The program's audio thread
// is set against pacat, whose whole process does the same work. On the UI thread the time is
// split into the timer handlers and the window's painting and flushing (the top-level window's
// update requests); with --server PID the CPU share of that process (the X server) over the same
// run is printed too.
//
// Run it under Xvfb (QT_QPA_PLATFORM=xcb DISPLAY=:N) to include the window system, or on the
// offscreen platform for the program's own work only, with a sound server to play to.
//
//   window_load [--seconds S] [--server PID] [--only sweep|0|1|2|still] [--paints 1]
//
// With --paints 1, every run also lists how many paint events each widget received.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <optional>

#include "audio/PulseAudioLibrary.h"
#include "bench/BaselineWindow.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/FramePacer.h"
#include "ui/toolkit/MessageBox.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"

namespace {

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// CPU seconds (user + system) from a stat file of /proc; nullopt if unreadable.
std::optional<double> StatCpuSeconds(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray line = file.readAll();
  // Fields after the command name in parentheses: state is field 3, utime 14, stime 15.
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  if (fields.size() < 13) return std::nullopt;
  const double ticks = fields[11].toDouble() + fields[12].toDouble();
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU seconds of another process.
std::optional<double> OtherProcessCpuSeconds(qint64 pid) {
  if (pid <= 0) return std::nullopt;
  return StatCpuSeconds(QStringLiteral("/proc/%1/stat").arg(pid));
}

// CPU seconds of this process's thread named `name`; nullopt if there is none.
std::optional<double> NamedThreadCpuSeconds(const QString& name) {
  for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs)) {
    QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name.toUtf8())
      return StatCpuSeconds(QStringLiteral("/proc/self/task/%1/stat").arg(task));
  }
  return std::nullopt;
}

// The plain sound client: pacat playing silence in the program's format, with the program's
// server buffer and request size.
class Pacat {
 public:
  Pacat() {
    process_.start(QStringLiteral("pacat"),
                   {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                    QStringLiteral("--rate=22050"), QStringLiteral("--channels=2"),
                    QStringLiteral("--latency-msec=%1").arg(PulseOutputDevice::kBufferMs),
                    QStringLiteral("--process-time-msec=%1").arg(PulseOutputDevice::kRequestMs),
                    QStringLiteral("/dev/zero")});
    process_.waitForStarted();
  }
  ~Pacat() {
    process_.kill();
    process_.waitForFinished();
  }
  std::optional<double> CpuSeconds() const { return OtherProcessCpuSeconds(process_.processId()); }

 private:
  QProcess process_;
};

// Time spent on the UI thread in the timer handlers and in the window's painting.
struct UiSplit {
  double handlers = 0;  // thread CPU seconds
  double painting = 0;
  long paints = 0;
};

// Times the top-level window's update requests: that is where Qt paints every dirty widget
// into the backing store and flushes it to the window system. Requests that the frame pacer
// holds back are timed too (they cost little) but not counted as paints.
class TimingApplication : public QApplication {
 public:
  using QApplication::QApplication;
  UiSplit split;
  TForm1* window = nullptr;

  bool countPaints = false;
  std::map<QString, long> paintsOf;  // widget (class and name) -> paint events

  bool notify(QObject* receiver, QEvent* event) override {
    if (countPaints && event->type() == QEvent::Paint)
      ++paintsOf[QStringLiteral("%1 %2").arg(QLatin1String(receiver->metaObject()->className()),
                                             receiver->objectName())];
    if (receiver != window || event->type() != QEvent::UpdateRequest)
      return QApplication::notify(receiver, event);
    const double start = ThreadCpuSeconds();
    const bool result = QApplication::notify(receiver, event);
    split.painting += ThreadCpuSeconds() - start;
    if (!window->FramePacer->Pending()) ++split.paints;  // not held back for the next frame
    return result;
  }
};

// Counts a timer's ticks and times its handler.
void Instrument(TTimer* timer, long& ticks, double& seconds) {
  timer->OnTimer = [handler = timer->OnTimer, &ticks, &seconds] {
    ++ticks;
    const double start = ThreadCpuSeconds();
    handler();
    seconds += ThreadCpuSeconds() - start;
  };
}

// Runs the event loop, waiting for events as the program's own loop does.
void RunFor(double seconds) {
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

// The measured stretch, under a name of its own so that a profiler can be limited to it
// (valgrind --tool=callgrind --toggle-collect='*RunMeasured*').
__attribute__((noinline)) void RunMeasured(double seconds) {
  RunFor(seconds);
}

// The plain parts' CPU shares: the window's for a change every `period` ms, and pacat's.
struct Baseline {
  int period;
  double window, pacat;
};

struct Report {
  const char* name;
  double wall;
  double cpu;
  std::optional<double> audioCpu;  // the audio thread's
  std::optional<double> serverCpu;
  long ticks;
  UiSplit ui;
  std::optional<Baseline> baseline;  // what the program's share is a ratio of
  double budget = 0;                 // the largest ratio allowed
  long ticksPerSecond = 0;           // the least ticks per second allowed, 0 for none
};

void Print(const Report& r) {
  const double share = r.cpu / r.wall;
  const double ticksPerSecond = static_cast<double>(r.ticks) / r.wall;
  std::printf("%s cpu %6.2f %%  ticks/s %7.1f  (handlers %5.2f %%, painting %5.2f %% in %ld paints",
              qPrintable(QString::fromUtf8(r.name).leftJustified(26)), 100 * share, ticksPerSecond,
              100 * r.ui.handlers / r.wall, 100 * r.ui.painting / r.wall, r.ui.paints);
  if (r.serverCpu) std::printf(", window system %5.2f %%", 100 * *r.serverCpu / r.wall);
  std::printf(")\n");
  if (r.baseline) {
    const double ratio = share / (r.baseline->window + r.baseline->pacat);
    // A tick or two lost to the measured stretch's ends is not a tick dropped.
    const bool ticksKept = ticksPerSecond >= 0.99 * static_cast<double>(r.ticksPerSecond);
    std::printf("%-26s %.2fx the plain window every %d ms and pacat (budget %.2fx%s): %s\n", "",
                ratio, r.baseline->period, r.budget, r.ticksPerSecond ? ", every tick kept" : "",
                ratio <= r.budget && ticksKept ? "within" : "OVER");
    if (r.audioCpu)
      std::printf("%-26s audio thread %5.2f %% against pacat %5.2f %%\n", "",
                  100 * *r.audioCpu / r.wall, 100 * r.baseline->pacat);
  }
  std::fflush(stdout);
}

double Share(double cpu0, const QElapsedTimer& clock) {
  return (ProcessCpuSeconds() - cpu0) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
}

// The plain window changed every `period` ms while pacat plays; prints and returns their shares.
Baseline MeasureBaseline(int period, double seconds) {
  const Pacat pacat;
  BaselineWindow plain;
  plain.show();
  RunFor(0.5);
  long ticks = 0;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    ++ticks;
    plain.Change();
  });
  timer.start(period);
  RunFor(0.3);
  ticks = 0;
  const std::optional<double> pacat0 = pacat.CpuSeconds();
  const double cpu0 = ProcessCpuSeconds();
  QElapsedTimer clock;
  clock.start();
  RunMeasured(seconds);
  const double share = Share(cpu0, clock);
  const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  const std::optional<double> pacat1 = pacat.CpuSeconds();
  const double pacatShare = pacat0 && pacat1 ? (*pacat1 - *pacat0) / wall : 0;
  std::printf("plain window, every %2d ms  cpu %6.2f %%  ticks/s %7.1f  pacat %5.2f %%\n", period,
              100 * share, static_cast<double>(ticks) / wall, 100 * pacatShare);
  std::fflush(stdout);
  return {period, share, pacatShare};
}

}  // namespace

int main(int argc, char** argv) {
  TimingApplication app(argc, argv);
  double seconds = 5;
  qint64 serverPid = 0;
  QString only;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--seconds")) seconds = args[i + 1].toDouble();
    if (args[i] == QLatin1String("--server")) serverPid = args[i + 1].toLongLong();
    if (args[i] == QLatin1String("--only")) only = args[i + 1];
    if (args[i] == QLatin1String("--paints")) app.countPaints = args[i + 1] == QLatin1String("1");
  }

  RegisterFontSubstitutions();
  ApplyClassicLook();
  SetMessageBoxHook([](const MessageBoxCall& call) {
    std::fprintf(stderr, "message box: %s\n", qPrintable(call.text));
  });
  const bool sweep = only.isEmpty() || only == QLatin1String("sweep");
  auto presetRuns = [&](int preset) { return only.isEmpty() || only == QString::number(preset); };
  std::map<int, Baseline> baselines;  // period (ms) -> the plain window's share
  // The presets tick every 50 ms ("Серена", "Пытка Ультрозвуком") or 30 ms ("Страх").
  for (const auto& [period, needed] :
       {std::pair{16, sweep}, {50, presetRuns(0) || presetRuns(1)}, {30, presetRuns(2)}})
    if (needed) baselines[period] = MeasureBaseline(period, seconds);

  PulseAudioLibrary audio;
  SetBass(&audio);

  TForm1 form;
  form.show();
  app.window = &form;
  RunFor(0.5);
  form.CheckBox7->SetChecked(true);  // acknowledge the warning
  RunFor(0.5);
  std::printf("platform %s, at most one paint every %d ms\n",
              qPrintable(QGuiApplication::platformName()), form.FramePacer->FrameInterval());

  long sweepTicks = 0;
  long presetTicks = 0;
  double handlerSeconds = 0;
  Instrument(form.Timer1, sweepTicks, handlerSeconds);
  Instrument(form.ZagTimer, presetTicks, handlerSeconds);

  constexpr int kPresetPeriod = -1;  // the preset's own tick period, known once it runs
  // Ticks are counted of the timer that does the work (`ticks`); the handler time is that of
  // every timer that ticks meanwhile.
  auto measure = [&](const char* name, long& ticks, const std::function<void()>& start,
                     const std::function<void()>& stop, int period = 0, double budget = 0,
                     long ticksPerSecond = 0) {
    start();
    if (period == kPresetPeriod) period = static_cast<int>(form.ZagTimer->Interval());
    RunFor(0.3);  // settle: the first paints after a start
    ticks = 0;
    handlerSeconds = 0;
    app.split = {};
    app.paintsOf.clear();
    const std::optional<double> server0 = OtherProcessCpuSeconds(serverPid);
    const std::optional<double> audio0 = NamedThreadCpuSeconds(QStringLiteral("vimbra-audio"));
    const double cpu0 = ProcessCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    RunMeasured(seconds);
    const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double cpu = ProcessCpuSeconds() - cpu0;
    const std::optional<double> server1 = OtherProcessCpuSeconds(serverPid);
    const std::optional<double> audio1 = NamedThreadCpuSeconds(QStringLiteral("vimbra-audio"));
    std::optional<double> audioCpu;
    if (audio0 && audio1) audioCpu = *audio1 - *audio0;
    UiSplit ui = app.split;
    ui.handlers = handlerSeconds;
    std::optional<double> serverCpu;
    if (server0 && server1) serverCpu = *server1 - *server0;
    std::optional<Baseline> baseline;
    if (baselines.contains(period)) baseline = baselines[period];
    Print({name, wall, cpu, audioCpu, serverCpu, ticks, ui, baseline, budget, ticksPerSecond});
    for (const auto& [widget, paints] : app.paintsOf)
      std::printf("    %6ld paints  %s\n", paints, qPrintable(widget));
    stop();
    RunFor(0.3);
  };

  if (sweep) {
    measure(
        "sweep, step 1, 1 ms", sweepTicks,
        [&] {
          form.Button3Click(form.Button3);  // the tone plays, as a user listening to it
          form.ScrollBar1->SetPosition(1000);
          form.CheckBox4->SetChecked(true);
          form.RadioButton1->SetChecked(true);
          form.CheckBox5->SetChecked(true);
          form.Edit1->SetText(QStringLiteral("1"));
          form.Edit2->SetText(QStringLiteral("1"));
          form.SpeedButton4Click(form.SpeedButton4);
        },
        [&] {
          form.SpeedButton5Click(form.SpeedButton5);
          form.SpeedButton1Click(form.SpeedButton1);
        },
        16, 1.25, 1000);
  }

  form.CheckBox6->SetChecked(true);
  const char* const presets[] = {"preset 0 Серена", "preset 1 Пытка Ультрозвуком",
                                 "preset 2 Страх"};
  for (int preset = 0; preset < 3; ++preset) {
    if (!presetRuns(preset)) continue;
    measure(
        presets[preset], presetTicks,
        [&] {
          form.ComboBox1->setCurrentIndex(preset);
          form.SpeedButton6Click(form.SpeedButton6);
        },
        [&] { form.SpeedButton7Click(form.SpeedButton7); }, kPresetPeriod, 1.25);
  }

  // What the tone with flanger and auto-wah costs with nothing moving: the settings of
  // "Пытка Ультрозвуком" with its swing held.
  if (only.isEmpty() || only == QLatin1String("still")) {
    measure(
        "preset 1 effects, held", presetTicks,
        [&] {
          form.ComboBox1->setCurrentIndex(1);
          form.SpeedButton6Click(form.SpeedButton6);
          form.Swing.PresetActive = false;
        },
        [&] { form.SpeedButton7Click(form.SpeedButton7); });
  }

  form.close();
  SetBass(nullptr);
  return 0;
}
