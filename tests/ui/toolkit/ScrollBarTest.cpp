#include <gtest/gtest.h>

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <vector>

#include "tests/ui/toolkit/MessageBoxCapture.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

// A bar like the window's frequency bar, recording the position seen by each change event.
class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.setGeometry(8, 136, 377, 12);
    bar.SetParams(1000, 1, 22050);
    bar.SetSmallChange(1);
    bar.SetLargeChange(1000);
    bar.OnChange = [this] { seen.push_back(bar.Position()); };
  }

  void ExpectState(int position, int min, int max) {
    EXPECT_EQ(bar.Position(), position);
    EXPECT_EQ(bar.Min(), min);
    EXPECT_EQ(bar.Max(), max);
    // The Qt side shows the same.
    EXPECT_EQ(bar.value(), position);
    EXPECT_EQ(bar.minimum(), min);
    EXPECT_EQ(bar.maximum(), max);
  }

  // Centre of one part of the bar (arrow, page area, thumb) as the style lays it out.
  QPoint Centre(QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = 0;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
  }

  TScrollBar bar;
  std::vector<int> seen;
};

TEST_F(ScrollBarTest, MaximumBelowMinimumIsRefusedWithNothingChanged) {
  bar.SetParams(100, 50, 160);
  seen.clear();
  try {
    bar.SetMax(49);
    FAIL() << "no error";
  } catch (const EToolkitError& error) {
    EXPECT_STREQ(error.what(), "Scrollbar property out of range");
  }
  EXPECT_THROW(bar.SetMin(161), EToolkitError);
  EXPECT_THROW(bar.SetParams(100, 200, 150), EToolkitError);
  ExpectState(100, 50, 160);
  EXPECT_TRUE(seen.empty());
  // Equal bounds are fine: the position is pinned.
  bar.SetMin(160);
  ExpectState(160, 160, 160);
}

TEST_F(ScrollBarTest, MaximumBelowZeroPageSizeIsRefused) {
  EXPECT_THROW(bar.SetParams(-5, -10, -1), EToolkitError);
  ExpectState(1000, 1, 22050);
}

TEST_F(ScrollBarTest, ChangeRunsOnlyWhenThePositionMoves) {
  bar.SetPosition(5000);
  bar.SetPosition(5000);
  bar.SetMin(160);         // range alone
  bar.SetMax(16000);       // range alone
  bar.SetPosition(-7);     // clamped to 160
  bar.SetPosition(99999);  // clamped to 16000
  EXPECT_EQ(seen, (std::vector<int>{5000, 160, 16000}));
  ExpectState(16000, 160, 16000);
}

TEST_F(ScrollBarTest, NarrowingTheRangeDragsThePositionAlong) {
  // From the ultrasound band down to infrasound, in the order that never inverts the range.
  bar.SetParams(20000, 16000, 22050);
  seen.clear();
  bar.SetPosition(120);
  bar.SetMin(1);
  bar.SetMax(160);
  EXPECT_EQ(seen, (std::vector<int>{16000, 160}));
  ExpectState(160, 1, 160);
}

TEST_F(ScrollBarTest, ChangeRunsBeforeTheSetReturnsAndItsErrorsPropagate) {
  bar.OnChange = [this] {
    seen.push_back(bar.Position());
    throw std::runtime_error("from handler");
  };
  MessageBoxCapture capture;
  EXPECT_THROW(bar.SetPosition(2000), std::runtime_error);
  EXPECT_EQ(seen, std::vector<int>{2000});
  EXPECT_EQ(bar.Position(), 2000);
  EXPECT_TRUE(capture.boxes.empty());
}

TEST_F(ScrollBarTest, HandlerMayMoveTheBarAgain) {
  bar.OnChange = [this] {
    seen.push_back(bar.Position());
    if (bar.Position() > 3000) bar.SetPosition(3000);
  };
  bar.SetPosition(4000);
  EXPECT_EQ(seen, (std::vector<int>{4000, 3000}));
  ExpectState(3000, 1, 22050);
}

TEST_F(ScrollBarTest, ArrowsStepBySmallChangeAndPageClicksByLargeChange) {
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(bar.Position(), 1001);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(QStyle::SC_ScrollBarSubLine));
  EXPECT_EQ(bar.Position(), 1000);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(QStyle::SC_ScrollBarAddPage));
  EXPECT_EQ(bar.Position(), 2000);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(QStyle::SC_ScrollBarSubPage));
  EXPECT_EQ(bar.Position(), 1000);
  EXPECT_EQ(seen, (std::vector<int>{1001, 1000, 2000, 1000}));
}

TEST_F(ScrollBarTest, UserInputIsClampedAndRunsNothingAtTheEnd) {
  bar.SetParams(22000, 1, 22050);
  seen.clear();
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(QStyle::SC_ScrollBarAddPage));
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(seen, std::vector<int>{22050});
  EXPECT_EQ(bar.Position(), 22050);
}

TEST_F(ScrollBarTest, DraggingRunsChangeForEveryNewPosition) {
  bar.SetParams(1, 1, 10);
  seen.clear();
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  const QPoint thumb = Centre(QStyle::SC_ScrollBarSlider);
  const int groove = bar.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
  for (int x = thumb.x() + 4; x < bar.width() - groove; x += 4)
    QTest::mouseMove(&bar, QPoint(x, thumb.y()));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(bar.width() - groove - 2, thumb.y()));
  EXPECT_EQ(bar.Position(), 10);
  // Every step on the way, in order, each once.
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(ScrollBarTest, UserInputErrorsAreReportedNotThrown) {
  bar.OnChange = [] { throw EToolkitError("Scrollbar property out of range"); };
  MessageBoxCapture capture;
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(QStyle::SC_ScrollBarAddLine));
  EXPECT_EQ(bar.Position(), 1001);
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].text, "Scrollbar property out of range.");
}

TEST_F(ScrollBarTest, LargeChangeDoesNotSizeTheThumb) {
  // In a narrow band a page step of 1000 would make a thumb covering most of the bar; with a
  // page size of 0 the thumb stays small, so a click three quarters along is a page click.
  bar.SetParams(10, 1, 160);
  seen.clear();
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() * 3 / 4, bar.height() / 2));
  EXPECT_EQ(seen, std::vector<int>{160});
}

}  // namespace
