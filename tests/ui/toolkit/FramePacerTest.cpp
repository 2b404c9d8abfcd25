#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QWidget>

#include "ui/toolkit/FramePacer.h"

namespace {

class PaintCounter : public QWidget {
 public:
  using QWidget::QWidget;
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

// Updates within one frame are painted together, once, when the frame is due.
TEST(FramePacerTest, UpdatesWithinAFrameArePaintedOnceWhenItIsDue) {
  QWidget window;
  window.resize(100, 100);
  auto* counter = new PaintCounter(&window);
  counter->resize(50, 50);
  auto* pacer = new TFramePacer(&window);
  EXPECT_GT(pacer->FrameInterval(), 0);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  counter->update();
  QCoreApplication::processEvents();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !pacer->Pending(); }, 10000));

  // A long frame: every update below comes within it.
  pacer->SetFrameInterval(3600 * 1000);
  const int before = counter->paints;
  for (int i = 0; i < 50; ++i) {
    counter->update();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(counter->paints, before);
  EXPECT_TRUE(pacer->Pending());

  pacer->SetFrameInterval(0);  // the frame is due now
  EXPECT_TRUE(QTest::qWaitFor([&] { return !pacer->Pending(); }, 10000));
  QCoreApplication::processEvents();
  EXPECT_EQ(counter->paints, before + 1);
}

}  // namespace
