#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <vector>

#include "tests/support/MessageBoxCapture.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

// A bar like the window's frequency bar, shown, recording the position seen by each change event.
class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.setGeometry(8, 136, 377, 12);
    bar.SetParams(1000, 1, 22050);
    bar.SetLargeChange(1000);
    bar.OnChange = [this] { seen.push_back(bar.Position()); };
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  }

  void ExpectState(int position, int min, int max) {
    EXPECT_EQ(bar.Position(), position);
    EXPECT_EQ(bar.Min(), min);
    EXPECT_EQ(bar.Max(), max);
    EXPECT_EQ(QPoint(bar.value(), bar.minimum()), QPoint(position, min));  // Qt's side agrees
    EXPECT_EQ(bar.maximum(), max);
  }

  // Centre of one part of the bar (arrow, page area, thumb) as the style lays it out.
  QPoint Centre(QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.pageStep = 0;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
  }
  void Click(QStyle::SubControl part) { QTest::mouseClick(&bar, Qt::LeftButton, {}, Centre(part)); }

  TScrollBar bar;
  std::vector<int> seen;
};

TEST_F(ScrollBarTest, InvertedRangeIsRefusedWithNothingChanged) {
  bar.SetParams(100, 50, 160);
  seen.clear();
  EXPECT_THAT([&] { bar.SetMax(49); }, testing::ThrowsMessage<EToolkitError>(
                                           testing::StrEq("Scrollbar property out of range")));
  EXPECT_THROW(bar.SetMin(161), EToolkitError);
  EXPECT_THROW(bar.SetParams(-5, -10, -1), EToolkitError);  // below the page size 0
  ExpectState(100, 50, 160);
  EXPECT_TRUE(seen.empty());
}

TEST_F(ScrollBarTest, ChangeRunsAtOnceWhenAndOnlyWhenThePositionMoves) {
  bar.SetPosition(5000);
  bar.SetPosition(5000);
  bar.SetMin(160);  // range alone
  // From the ultrasound band down to infrasound, in the order that never inverts the range.
  bar.SetParams(20000, 16000, 22050);
  bar.SetPosition(120);  // clamped into the old band
  bar.SetMin(1);
  bar.SetMax(160);
  EXPECT_EQ(seen, (std::vector<int>{5000, 20000, 16000, 160}));
  ExpectState(160, 1, 160);
  // The handler runs inside the set, so its error reaches the caller.
  bar.OnChange = [] { throw std::runtime_error("from handler"); };
  EXPECT_THROW(bar.SetPosition(100), std::runtime_error);
  EXPECT_EQ(bar.Position(), 100);
}

TEST_F(ScrollBarTest, ArrowsAndPageClicksStepAndClamp) {
  for (QStyle::SubControl part : {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine,
                                  QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage})
    Click(part);
  bar.SetPosition(22000);
  Click(QStyle::SC_ScrollBarAddPage);
  Click(QStyle::SC_ScrollBarAddLine);  // at the end: nothing
  EXPECT_EQ(seen, (std::vector<int>{1001, 1000, 2000, 1000, 22000, 22050}));
  // An error from the handler is reported, not thrown into Qt.
  bar.OnChange = [] { throw EToolkitError("Scrollbar property out of range"); };
  MessageBoxCapture capture;
  Click(QStyle::SC_ScrollBarSubLine);
  EXPECT_EQ(bar.Position(), 22049);
  ASSERT_EQ(capture.boxes.size(), 1u);
  EXPECT_EQ(capture.boxes[0].text, "Scrollbar property out of range.");
}

TEST_F(ScrollBarTest, DraggingRunsChangeForEveryNewPosition) {
  bar.SetParams(1, 1, 10);
  seen.clear();
  const QPoint thumb = Centre(QStyle::SC_ScrollBarSlider);
  const int arrow = bar.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
  for (int x = thumb.x() + 4; x < bar.width() - arrow; x += 4)
    QTest::mouseMove(&bar, QPoint(x, thumb.y()));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(bar.width() - arrow - 2, thumb.y()));
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(ScrollBarTest, LargeChangeDoesNotSizeTheThumb) {
  // In a narrow band a page step of 1000 would make a thumb covering most of the bar; with a
  // page size of 0 the thumb stays small, so a click three quarters along is a page click.
  bar.SetParams(10, 1, 160);
  seen.clear();
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() * 3 / 4, bar.height() / 2));
  EXPECT_EQ(seen, std::vector<int>{160});
}

}  // namespace
