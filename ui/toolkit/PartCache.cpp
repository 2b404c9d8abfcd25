#include "ui/toolkit/PartCache.h"

#include <QApplication>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/toolkit/SharedStyle.h"

namespace {

// What a cached part's pixels depend on. Two parts with equal keys are drawn alike by the style.
struct PartKey {
  int kind = 0;  // the style element (and the piece of a complex control)
  QSize size;
  qreal pixelRatio = 1;
  int state = 0;
  int active = 0;  // sub-controls under the mouse or pressed
  int direction = 0;
  qint64 palette = 0;
  int extra = 0;  // element-specific: a bar's orientation and ends reached, or line widths

  bool operator==(const PartKey& other) const {
    return kind == other.kind && size == other.size && pixelRatio == other.pixelRatio &&
           state == other.state && active == other.active && direction == other.direction &&
           palette == other.palette && extra == other.extra;
  }
};

class PartCachingStyleImpl : public QProxyStyle {
 public:
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || bar == nullptr || bar->subControls != SC_All || !Caches()) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    // The bar is drawn piece by piece in the style's order: the groove, whatever else the style
    // draws (the pages beside the thumb), the thumb, then the buttons at the ends, which cover
    // the thumb's edge when it reaches them. The groove, the thumb and the buttons each look
    // the same wherever they stand, so each comes from its image.
    PartKey key = KeyOf(*bar, painter);
    key.active = static_cast<int>(bar->activeSubControls);
    key.extra = bar->orientation | (bar->upsideDown ? 0x10 : 0) |
                (bar->sliderPosition <= bar->minimum ? 0x20 : 0) |
                (bar->sliderPosition >= bar->maximum ? 0x40 : 0);
    auto piece = [&](SubControls pieces) {
      QStyleOptionSlider only = *bar;
      only.subControls = pieces;
      return only;
    };
    auto drawPiece = [&](SubControl sub) {
      const QStyleOptionSlider only = piece(sub);
      // A piece may draw a pixel or two beyond its own rectangle (the thumb's outline does):
      // its image takes in a margin around it, within the bar.
      constexpr int kMargin = 4;
      const QRect area = sub == SC_ScrollBarGroove
                             ? bar->rect
                             : subControlRect(control, bar, sub, widget)
                                   .adjusted(-kMargin, -kMargin, kMargin, kMargin)
                                   .intersected(bar->rect);
      if (area.isEmpty()) return true;
      PartKey pieceKey = key;
      pieceKey.kind = CC_ScrollBar * 0x100 + static_cast<int>(sub);
      pieceKey.size = area.size();
      return DrawPart(pieceKey, area, painter, [&](QPainter* p) {
        QProxyStyle::drawComplexControl(control, &only, p, widget);
      });
    };
    if (!drawPiece(SC_ScrollBarGroove)) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    constexpr SubControls kCached =
        SC_ScrollBarGroove | SC_ScrollBarSlider | SC_ScrollBarSubLine | SC_ScrollBarAddLine;
    const QStyleOptionSlider rest = piece(SC_All & ~kCached);
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);
    for (const SubControl sub : {SC_ScrollBarSlider, SC_ScrollBarSubLine, SC_ScrollBarAddLine}) {
      if (!drawPiece(sub)) {
        const QStyleOptionSlider only = piece(sub);
        QProxyStyle::drawComplexControl(control, &only, painter, widget);
      }
    }
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || frame == nullptr || !Caches()) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    PartKey key = KeyOf(*frame, painter);
    key.kind = PE_PanelLineEdit;
    key.extra =
        frame->lineWidth | (frame->midLineWidth << 8) | (static_cast<int>(frame->features) << 16);
    const bool drawn = DrawPart(key, frame->rect, painter, [&](QPainter* p) {
      QProxyStyle::drawPrimitive(element, option, p, widget);
    });
    if (!drawn) QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

 private:
  // Whether the parts are cached over this base style. The pieces of a bar are taken to look
  // the same wherever they stand, and a part to depend on nothing but its options: true of
  // Fusion, which the tests compare pixel for pixel, but not of every style (some grey out an
  // arrow at the end of the bar, some animate a hover). Other styles draw as they always did.
  bool Caches() const { return baseStyle()->name().compare(u"fusion", Qt::CaseInsensitive) == 0; }

  struct Part {
    PartKey key;
    QImage ground;  // for a part that lets the ground through: the pixels it was drawn over
    QImage image;   // null: the part lets the ground through (when `ground` is null too)
    uint64_t lastUse = 0;
  };
  // Draws the part with the painter's coordinates as the widget's.
  using Draw = std::function<void(QPainter*)>;

  static PartKey KeyOf(const QStyleOption& option, const QPainter* painter) {
    PartKey key;
    key.size = option.rect.size();
    key.pixelRatio = painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1.0;
    key.state = static_cast<int>(option.state);
    key.direction = option.direction;
    key.palette = option.palette.cacheKey();
    return key;
  }

  // Copies the part that fills `area` from its image, making the image first if need be. A part
  // that covers its area has one image; one that lets the ground through has one for each ground
  // it was drawn over, read from the image being painted. False when the part must be drawn in
  // place.
  bool DrawPart(const PartKey& key, const QRect& area, QPainter* painter, const Draw& draw) const {
    if (area.isEmpty()) return false;
    const Part* part = Find(key, {});
    if (part == nullptr) {
      auto plain = [&](Qt::GlobalColor colour) {
        QImage ground(area.size() * key.pixelRatio, QImage::Format_ARGB32_Premultiplied);
        ground.setDevicePixelRatio(key.pixelRatio);
        ground.fill(colour);
        return ground;
      };
      QImage overBlack = Render(area, painter, draw, plain(Qt::black));
      const bool covers = overBlack == Render(area, painter, draw, plain(Qt::white));
      part = &Keep({key, {}, covers ? overBlack : QImage()});
    }
    if (part->image.isNull()) {
      const QImage ground = PixelsBeneath(painter, area);
      if (ground.isNull()) return false;
      part = Find(key, ground);
      if (part == nullptr) part = &Keep({key, ground, Render(area, painter, draw, ground)});
    }
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->drawImage(area.topLeft(), part->image);
    painter->restore();
    return true;
  }

  // What the part draws within `area`, drawn over a copy of `ground` (an image of the area's
  // size) with the painter's pen, brush and font.
  static QImage Render(const QRect& area, const QPainter* target, const Draw& draw, QImage ground) {
    QPainter p(&ground);
    p.setPen(target->pen());
    p.setBrush(target->brush());
    p.setFont(target->font());
    p.setRenderHints(target->renderHints());
    p.translate(-area.topLeft());
    draw(&p);
    p.end();
    return ground;
  }

  // The pixels that `rect` covers on the image being painted, as painted so far (the parent's
  // ground under a widget), or a null image when the painter does not draw on an image or the
  // rectangle does not map onto whole pixels of it.
  static QImage PixelsBeneath(const QPainter* painter, const QRect& rect) {
    QPaintEngine* engine = painter->paintEngine();
    if (engine == nullptr || engine->type() != QPaintEngine::Raster) return {};
    const QPaintDevice* device = engine->paintDevice();
    if (device == nullptr || device->devType() != QInternal::Image) return {};
    const auto* image = static_cast<const QImage*>(device);
    const QTransform transform = painter->deviceTransform();
    if (image->devicePixelRatio() != 1.0 || transform.type() > QTransform::TxTranslate ||
        transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy()))
      return {};
    const QRect at = transform.mapRect(rect);
    if (!image->rect().contains(at)) return {};
    return image->copy(at);
  }

  const Part* Find(const PartKey& key, const QImage& ground) const {
    for (Part& part : parts_) {
      if (!(part.key == key) || part.ground != ground) continue;
      part.lastUse = ++uses_;
      return &part;
    }
    return nullptr;
  }

  // Adds a part, in place of the least recently used one when the cache is full. Pointers to
  // parts stay valid until the next Keep().
  const Part& Keep(Part part) const {
    constexpr size_t kMaxParts = 32;  // a few sizes, states and grounds of a few controls
    part.lastUse = ++uses_;
    if (parts_.size() < kMaxParts) return parts_.emplace_back(std::move(part));
    Part& oldest =
        *std::min_element(parts_.begin(), parts_.end(),
                          [](const Part& a, const Part& b) { return a.lastUse < b.lastUse; });
    oldest = std::move(part);
    return oldest;
  }

  mutable std::vector<Part> parts_;
  mutable uint64_t uses_ = 0;  // counts the parts found or kept, for their lastUse
};

}  // namespace

QStyle* PartCachingStyle() {
  return SharedStyle<PartCachingStyleImpl>();
}
