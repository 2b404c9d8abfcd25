#pragma once

#include <QObject>

class QSocketNotifier;

// Closes the application's windows when the process receives SIGTERM, SIGINT or SIGHUP, as if
// the user had closed them. This is how a session that ends, `kill`, or Ctrl+C in a terminal ask
// the program to quit: the window's close handler frees the audio library, so a playing tone
// fades out instead of stopping mid-wave, and the message loop ends with status 0.
//
// A signal handler may only do async-signal-safe work: it writes a byte into a pipe, and a
// socket notifier reads it on the UI thread. One instance at a time; the destructor gives the
// signals back their default action.
class CloseOnSignal : public QObject {
 public:
  explicit CloseOnSignal(QObject* parent = nullptr);
  ~CloseOnSignal() override;
  CloseOnSignal(const CloseOnSignal&) = delete;
  CloseOnSignal& operator=(const CloseOnSignal&) = delete;

 private:
  void OnSignalled();

  int readFd_ = -1;
  int writeFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
};
