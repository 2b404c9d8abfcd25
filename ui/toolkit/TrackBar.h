#pragma once

#include <QSlider>
#include <functional>

class QStyle;

// A horizontal track bar. OnChange runs on every change of the position: user moves through
// RunGuarded, SetPosition directly; setting the position it already has runs nothing.
//
// The thumb is drawn by the track bar's style, the program's one (ClassicStyle), as a raised
// classic button ThumbLength() pixels tall, centred on the track, whatever the base style would
// draw; the base style still draws the groove and decides the thumb's width and where a click
// lands.
class TTrackBar : public QSlider {
  Q_OBJECT
 public:
  explicit TTrackBar(QWidget* parent = nullptr);
  int Position() const { return value(); }
  void SetRange(int min, int max);
  void SetPosition(int position);
  // Height of the thumb in pixels (15 by default), clamped to the bar's height when drawn.
  int ThumbLength() const { return thumbLength_; }
  void SetThumbLength(int length);
  std::function<void()> OnChange;

 private:
  bool setting_ = false;
  int thumbLength_ = 15;
};

// `base` with the track bars' thumb: a proxy style that owns `base` (as every QProxyStyle owns
// its base) and leaves everything but the track bars' thumb to it.
QStyle* WithTrackBarThumb(QStyle* base);
