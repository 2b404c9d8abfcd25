#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QStyle>
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

QImage Picture(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The control's picture with the caching style and with the application's own.
std::pair<QImage, QImage> CachedAndPlain(QWidget& widget) {
  const QImage cached = Picture(widget);
  QStyle* caching = widget.style();
  widget.setStyle(QApplication::style());
  const QImage plain = Picture(widget);
  widget.setStyle(caching);
  if (cached != plain) {
    plain.save("/tmp/pc-plain.png");
  }
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
          const auto [cached, plain] = CachedAndPlain(bar);
          ASSERT_EQ(cached, plain) << size.width() << "x" << size.height() << " at "
                                   << bar.Position() << (enabled ? "" : ", disabled");
        }
      }
    }
  }
}

TEST(PartCacheTest, EditBoxesLookTheSameWithAnyTextAndState) {
  QWidget parent;
  parent.setAutoFillBackground(true);
  QPalette red = parent.palette();
  red.setColor(QPalette::Window, Qt::red);
  parent.setPalette(red);
  TEdit edit(QStringLiteral("1000"), &parent);
  edit.resize(57, 21);
  ASSERT_EQ(edit.style(), PartCachingStyle());
  for (const QString& text : {QStringLiteral("1000"), QStringLiteral("22050"), QString()}) {
    edit.SetText(text);
    for (const bool enabled : {true, false}) {
      edit.setEnabled(enabled);
      for (const bool readOnly : {false, true}) {
        edit.setReadOnly(readOnly);
        const auto [cached, plain] = CachedAndPlain(edit);
        ASSERT_EQ(cached, plain) << text.toStdString() << (enabled ? "" : ", disabled")
                                 << (readOnly ? ", read-only" : "");
      }
    }
  }
  // A see-through ground lets the parent's red through: that panel is drawn in place.
  QPalette clear = edit.palette();
  clear.setColor(QPalette::Base, Qt::transparent);
  edit.setPalette(clear);
  const auto [cached, plain] = CachedAndPlain(edit);
  EXPECT_EQ(cached, plain);
  EXPECT_EQ(cached.pixelColor(edit.width() / 2, 3), QColor(Qt::red));
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
