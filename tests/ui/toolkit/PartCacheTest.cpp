#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QStyle>
#include <QTest>
#include <QWidget>

#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/PartCache.h"
#include "ui/toolkit/ScrollBar.h"

// The cached parts must give exactly the pixels that drawing through the application's style
// gives: each case draws a control with the caching style and then with the plain style and
// compares the two pictures.
namespace {

// The widget and its children painted onto an image, as onto the window's backing store: a
// part that lets its ground through is then drawn over the pixels beneath it.
QImage Picture(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  widget.render(&image);
  return image;
}

// The picture of `shown` (the control or a parent of it) with the control drawn through the
// caching style and through the application's own.
std::pair<QImage, QImage> CachedAndPlain(QWidget& control, QWidget& shown) {
  const QImage cached = Picture(shown);
  QStyle* caching = control.style();
  control.setStyle(QApplication::style());
  const QImage plain = Picture(shown);
  control.setStyle(caching);
  return {cached, plain};
}

TEST(PartCacheTest, ScrollBarsLookTheSameAtEveryPositionSizeAndState) {
  QWidget parent;
  TScrollBar bar(&parent);
  ASSERT_EQ(bar.style(), PartCachingStyle());
  for (const QSize size : {QSize(385, 17), QSize(120, 17), QSize(60, 24)}) {
    bar.resize(size);
    for (const bool enabled : {true, false}) {
      bar.setEnabled(enabled);
      bar.SetParams(0, 0, 997);
      // Both ends (arrows may look different there), and positions all along the groove;
      // the same positions twice, the second time from the cache.
      for (int round = 0; round < 2; ++round) {
        for (int position = 0; position <= 997; position += 31) {
          bar.SetPosition(position == 992 ? 997 : position);
          const auto [cached, plain] = CachedAndPlain(bar, bar);
          ASSERT_EQ(cached, plain) << size.width() << "x" << size.height() << " at "
                                   << bar.Position() << (enabled ? "" : ", disabled");
        }
      }
    }
  }
  // An arrow held down is drawn sunken, and the thumb under the mouse lit.
  bar.setEnabled(true);
  bar.resize(385, 17);
  bar.SetPosition(500);
  for (const QPoint at : {QPoint(5, 8), QPoint(380, 8), QPoint(bar.width() / 2, 8)}) {
    QTest::mousePress(&bar, Qt::LeftButton, {}, at);
    const auto [cached, plain] = CachedAndPlain(bar, bar);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, at);
    ASSERT_EQ(cached, plain) << "pressed at " << at.x();
  }
}

TEST(PartCacheTest, EditBoxesLookTheSameWithAnyTextAndState) {
  // The parent's ground is a pattern, so that every pixel beneath the box's corners differs
  // from its neighbours.
  QWidget parent;
  parent.setAutoFillBackground(true);
  QImage pattern(7, 5, QImage::Format_RGB32);
  for (int y = 0; y < pattern.height(); ++y)
    for (int x = 0; x < pattern.width(); ++x) pattern.setPixel(x, y, qRgb(40 * x, 50 * y, 200));
  QPalette ground = parent.palette();
  ground.setBrush(QPalette::Window, QBrush(pattern));
  parent.setPalette(ground);
  parent.resize(80, 30);
  TEdit edit(QStringLiteral("1000"), &parent);
  edit.setGeometry(7, 4, 57, 21);
  ASSERT_EQ(edit.style(), PartCachingStyle());
  for (const QString& text : {QStringLiteral("1000"), QStringLiteral("22050"), QString()}) {
    edit.SetText(text);
    for (const bool enabled : {true, false}) {
      edit.setEnabled(enabled);
      for (const bool readOnly : {false, true}) {
        edit.setReadOnly(readOnly);
        const auto [cached, plain] = CachedAndPlain(edit, parent);
        ASSERT_EQ(cached, plain) << text.toStdString() << (enabled ? "" : ", disabled")
                                 << (readOnly ? ", read-only" : "");
      }
    }
  }
  // A see-through ground lets the parent's pattern through.
  QPalette clear = edit.palette();
  clear.setColor(QPalette::Base, Qt::transparent);
  edit.setPalette(clear);
  const auto [cached, plain] = CachedAndPlain(edit, parent);
  EXPECT_EQ(cached, plain);
  const QPoint inside(edit.x() + edit.width() / 2, edit.y() + 3);
  EXPECT_EQ(cached.pixel(inside), pattern.pixel(inside.x() % 7, inside.y() % 5));
}

class PartCacheWindowTest : public FormFixture {};

// The whole window, in the states a sweep and a preset pass through, painted with the cached
// parts and with every control drawn through the application's style.
TEST_F(PartCacheWindowTest, TheWindowLooksTheSame) {
  TForm1& f = CreateUnlockedForm();
  PaintWindow();
  const QList<QWidget*> cachedControls = [&] {
    QList<QWidget*> found;
    for (QWidget* w : f.findChildren<QWidget*>())
      if (w->style() == PartCachingStyle()) found << w;
    return found;
  }();
  ASSERT_GE(cachedControls.size(), 4);  // the two bars and their value boxes at least
  for (const int position : {1000, 1, 7777, 22050}) {
    f.ScrollBar1->SetPosition(position);
    f.ScrollBar2->SetPosition(position % 101);
    const QImage cached = Picture(f);
    for (QWidget* w : cachedControls) w->setStyle(QApplication::style());
    const QImage plain = Picture(f);
    for (QWidget* w : cachedControls) w->setStyle(PartCachingStyle());
    ASSERT_EQ(cached, plain) << "frequency " << position;
  }
}

}  // namespace
