#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QTest>
#include <QWidget>
#include <csignal>

#include "app/CloseOnSignal.h"

namespace {

class ClosableWindow : public QWidget {
 public:
  int closeEvents = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closeEvents;
    QWidget::closeEvent(event);
  }
};

void (*CurrentHandler(int signal))(int) {
  struct sigaction action {};
  sigaction(signal, nullptr, &action);
  return action.sa_handler;
}

}  // namespace

TEST(CloseOnSignalTest, EachTerminationSignalClosesTheOpenWindowsAsTheUserWould) {
  CloseOnSignal closeOnSignal;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    ClosableWindow first;
    ClosableWindow second;
    first.show();
    second.show();
    ASSERT_EQ(raise(signal), 0);  // the process survives: the handler only queues the close
    EXPECT_TRUE(QTest::qWaitFor([&] { return !first.isVisible() && !second.isVisible(); }, 5000))
        << "signal " << signal << " left a window open";
    EXPECT_EQ(first.closeEvents, 1) << "signal " << signal;
    EXPECT_EQ(second.closeEvents, 1) << "signal " << signal;
  }
}

TEST(CloseOnSignalTest, SignalsBurstIntoOneCloseAndLeaveLaterWindowsAlone) {
  CloseOnSignal closeOnSignal;
  ClosableWindow window;
  window.show();
  for (int i = 0; i < 200; ++i) ASSERT_EQ(raise(SIGTERM), 0);  // more than a pipe read takes
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 5000));
  EXPECT_EQ(window.closeEvents, 1);

  ClosableWindow later;  // every queued request was consumed by that one close
  later.show();
  // A request left in the pipe would make it readable at once, and the loop's first pass would
  // close the window: 100 ms of the loop running is many passes.
  QTest::qWait(100);
  EXPECT_TRUE(later.isVisible());
}

TEST(CloseOnSignalTest, GivesTheSignalsTheirDefaultActionBack) {
  {
    CloseOnSignal closeOnSignal;
    EXPECT_NE(CurrentHandler(SIGTERM), SIG_DFL);
  }
  for (int signal : {SIGTERM, SIGINT, SIGHUP})
    EXPECT_EQ(CurrentHandler(signal), SIG_DFL) << "signal " << signal;
}
