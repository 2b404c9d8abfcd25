#include <cmath>

#include "audio/Tone.h"
#include "ui/Form1.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"

namespace {

const QString kDangerText = QStringLiteral("Зона повышеной психочувствительности");

// Nearest whole number, halves to even (the default floating-point rounding mode).
double RoundHalfEven(double value) {
  return std::nearbyint(value);
}

}  // namespace

// The zone group, and the frequency and amplitude with their captions, bars and value boxes.
// The captions come first: Label1 and Label2 reach into the group's and the bars' rows and the
// units lie under the boxes' edges, so the controls created after them lie above.
void TForm1::CreateZoneControls() {
  const QFont normal = Sans();
  const QFont bigSerif = DesignFont(QStringLiteral("Times New Roman"), 19, true);
  Label1 =
      Place(new TLabel(QStringLiteral("Частота (1-22050 Гц)"), this), 8, 112, 377, 25, bigSerif);
  SetFontColor(Label1, clBlack);
  Label7 = Place(new TLabel(QStringLiteral("Гц"), this), 448, 136, 15, 13);
  Label2 =
      Place(new TLabel(QStringLiteral("Амплитуда (0-100 %)"), this), 8, 144, 377, 33, bigSerif);
  Label5 = Place(new TLabel(QStringLiteral("%"), this), 448, 176, 25, 13);
  SetEnabledAll({Label1, Label7, Label2, Label5}, false);

  RadioGroup1 =
      Place(new TRadioGroup(QStringLiteral("Звуковая зона"),
                            {QStringLiteral("Весь спектор "), QStringLiteral("Слышимый звук"),
                             QStringLiteral("Ультра звук"), QStringLiteral("Инфра звук")},
                            this),
            128, 5, 145, 108);
  RadioGroup1->SetItemIndex(0);
  SetColor(RadioGroup1, clFormColor);
  SetFontColor(RadioGroup1, clGray);
  RadioGroup1->setEnabled(false);

  ScrollBar1 = Place(new TScrollBar(this), 8, 136, 377, 12, normal);
  ScrollBar1->SetParams(kStartFrequency, 1, 22050);
  ScrollBar1->SetSmallChange(1);
  ScrollBar1->SetLargeChange(1000);
  ScrollBar2 = Place(new TScrollBar(this), 8, 176, 377, 12, normal);
  ScrollBar2->SetParams(kStartAmplitude, 0, 32767);
  ScrollBar2->SetSmallChange(256);
  ScrollBar2->SetLargeChange(1024);
  for (TScrollBar* bar : {ScrollBar1, ScrollBar2}) {
    bar->setCursor(Qt::PointingHandCursor);
    bar->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    bar->hide();
  }
  fq = Place(new TEdit(QString::number(kStartFrequency), this), 392, 134, 57, 16);
  amp = Place(new TEdit(QStringLiteral("50"), this), 392, 174, 57, 16);
  for (TEdit* box : {fq, amp}) {
    SetColor(box, clSilver);
    SetFontColor(box, clGray);
    box->DeferDisplay = true;  // outputs only, rewritten on every move of their bar
  }
}

const QString TForm1::kSafeText = QStringLiteral("Зона психической безопасности");

void TForm1::ScrollBar1Change(QObject* /*sender*/) {
  const int position = ScrollBar1->Position();
  Frequency.store(position, std::memory_order_relaxed);
  ScheduleTone(TTimer::ChangeMoment());
  fq->SetText(QString::number(position));
  Brush();

  // Zone indicator: orange in the safe middle band, shading toward red at both ends.
  // Red is 255 and blue 0 throughout; green runs up to 160 toward the safe band.
  const double f = Frequency.load(std::memory_order_relaxed);
  TColor colour = kIndicatorOrange;
  const QString* text = &kSafeText;
  if (f <= 160 || f > 16000) {
    const double green = f <= 160 ? f : (22050 - f) / 38;
    colour = static_cast<TColor>(RoundHalfEven(green)) * 256 + 255;
    text = &kDangerText;
  }
  SetColor(StaticText10, colour);  // the colour first, then the text
  StaticText10->setText(*text);
  AnnounceTone();
}

void TForm1::ScrollBar2Change(QObject* /*sender*/) {
  const int position = ScrollBar2->Position();
  Amplitude.store(position, std::memory_order_relaxed);
  ScheduleTone(TTimer::ChangeMoment());
  amp->SetText(QString::number(position * 100 / 32767));
  Brush();
}

void TForm1::RadioGroup1Click(QObject* /*sender*/) {
  // Each set below is one scroll bar operation; the order keeps the maximum at or above the
  // minimum after every single set, from whichever band the bar starts.
  bool nominalWritten = true;
  switch (RadioGroup1->ItemIndex()) {
    case 0:  // full spectrum: the frequency is not changed
      ScrollBar1->SetMin(1);
      ScrollBar1->SetMax(22050);
      nominalWritten = false;
      break;
    case 1:  // audible
      Frequency.store(1000, std::memory_order_relaxed);
      ScrollBar1->SetPosition(1000);
      ScrollBar1->SetMin(160);
      ScrollBar1->SetMax(16000);
      break;
    case 2:  // ultrasound: raise the maximum before the minimum
      Frequency.store(18000, std::memory_order_relaxed);
      ScrollBar1->SetMax(22050);
      ScrollBar1->SetPosition(18000);
      ScrollBar1->SetMin(16000);
      break;
    case 3:  // infrasound: lower the minimum before the maximum
      Frequency.store(120, std::memory_order_relaxed);
      ScrollBar1->SetPosition(120);
      ScrollBar1->SetMin(1);
      ScrollBar1->SetMax(160);
      break;
    default:
      nominalWritten = false;
      break;
  }
  // Where the bar already stood where the nominal value was clamped to, it did not move and no
  // change event ran: follow the bar, so that what is heard always matches what is shown.
  if (nominalWritten) {
    Frequency.store(ScrollBar1->Position(), std::memory_order_relaxed);
    ScheduleTone(TTimer::ChangeMoment());
  }
  AnnounceTone();

  Label1->setText(
      QStringLiteral("Частота (%1-%2 Гц)").arg(ScrollBar1->Min()).arg(ScrollBar1->Max()));
}
