#include "app/CloseOnSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The write end of the pipe, for the signal handler; -1 while no instance exists.
volatile sig_atomic_t gWriteFd = -1;

extern "C" void WriteSignalByte(int /*signal*/) {
  const int savedErrno = errno;
  const char byte = 1;
  // A full pipe already holds a pending request, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(gWriteFd, &byte, 1);
  errno = savedErrno;
}

void SetAction(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = handler == SIG_DFL ? 0 : SA_RESTART;
  for (int signal : kSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

CloseOnSignal::CloseOnSignal(QObject* parent) : QObject(parent) {
  std::array<int, 2> fds{};
  if (pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;  // signals keep their default
  readFd_ = fds[0];
  writeFd_ = fds[1];
  notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &CloseOnSignal::OnSignalled);
  gWriteFd = writeFd_;
  SetAction(&WriteSignalByte);
}

CloseOnSignal::~CloseOnSignal() {
  if (readFd_ < 0) return;
  SetAction(SIG_DFL);
  gWriteFd = -1;
  delete notifier_;
  close(readFd_);
  close(writeFd_);
}

void CloseOnSignal::OnSignalled() {
  std::array<char, 64> bytes{};
  while (read(readFd_, bytes.data(), bytes.size()) > 0) {
  }
  QApplication::closeAllWindows();
}
