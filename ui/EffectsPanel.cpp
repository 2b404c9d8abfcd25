#include <QLocale>
#include <QString>
#include <initializer_list>

#include "audio/AudioLibrary.h"
#include "ui/EffectRecords.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

EffectRecordBlock EffectRecords{};

namespace {

constexpr int kOpenWidth = 623;
constexpr int kClosedWidth = 478;

// Switches one effect group on or off as its box says: the library call, the displays' colour,
// the labels and the track bars.
void SwitchEffect(uint32_t stream, bool on, int effect, std::initializer_list<QWidget*> displays,
                  std::initializer_list<QWidget*> labels, std::initializer_list<QWidget*> bars) {
  if (on)
    Bass().DSP_Set(stream, effect, 3);
  else
    Bass().DSP_Remove(stream, effect);
  for (QWidget* display : displays) SetFontColor(display, on ? clBlack : clGray);
  for (QWidget* label : labels) label->setEnabled(on);
  for (QWidget* bar : bars) bar->setVisible(on);
}

// A display's text for a track bar value: general number format (up to 15 significant digits,
// no trailing zeros) with the locale's decimal separator (QLocale()).
QString FormatDisplayValue(double value) {
  QString text = QString::number(value, 'g', 15);
  return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

}  // namespace

// The panel right of the divider at x 473, outside the narrow window: each effect's box with its
// frame and rows of caption, display and track bar, and the parameter refresh's timer.
void TForm1::CreateEffectsPanel() {
  const QFont normal = Sans();
  Bevel2 = Place(new TBevel(TBevel::Shape::LeftLine, this), 473, -8, 7, 425, normal);
  Bevel3 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 487, 25, 123, 105, normal);
  Bevel4 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 487, 153, 123, 105, normal);
  Bevel5 = Place(new TBevel(TBevel::Shape::LoweredBox, this), 487, 281, 122, 75, normal);
  CheckBox1 = Place(new TCheckBox(QStringLiteral("Flanger"), this), 480, 8, 121, 17);
  CheckBox2 = Place(new TCheckBox(QStringLiteral("Echo"), this), 480, 136, 121, 17);
  CheckBox3 = Place(new TCheckBox(QStringLiteral("Auto Wah"), this), 480, 264, 113, 17);

  struct Row {
    TLabel** label;
    TStaticText** display;
    TTrackBar** bar;
    const char* caption;
    int labelWidth, top, barWidth, min, max, position;
  };
  const Row rows[] = {
      {&Label3, &StaticText1, &TrackBar1, "Delay", 57, 32, 121, 11, 31, 20},
      {&Label4, &StaticText2, &TrackBar2, "WetDry", 57, 64, 121, 0, 10, 5},
      {&Label10, &StaticText3, &TrackBar3, "BPM", 41, 96, 121, 1, 2000, 1000},
      {&Label11, &StaticText4, &TrackBar4, "Delay", 57, 160, 121, 1, 1000, 200},
      {&Label12, &StaticText5, &TrackBar5, "DryMix", 57, 192, 121, 0, 10, 1},
      {&Label13, &StaticText6, &TrackBar6, "WetMix", 57, 224, 121, 0, 10, 1},
      {&Label14, &StaticText7, &TrackBar7, "FidBack", 57, 288, 119, -10, 10, 0},
      {&Label15, &StaticText8, &TrackBar8, "DryMix", 57, 320, 121, -20, 20, 1},
  };
  for (const Row& row : rows) {
    *row.label =
        Place(new TLabel(QString::fromUtf8(row.caption), this), 488, row.top, row.labelWidth, 17);
    (*row.label)->setEnabled(false);
    *row.display = Place(new TStaticText(QString(), this), 544, row.top, 57, 17);
    SetColor(*row.display, clSilver);
    SetFontColor(*row.display, clGray);
    (*row.display)->setFocusPolicy(Qt::NoFocus);
    *row.bar = Place(new TTrackBar(this), 488, row.top + 16, row.barWidth, 17, normal);
    (*row.bar)->SetRange(row.min, row.max);
    (*row.bar)->SetPosition(row.position);
    (*row.bar)->SetThumbLength(15);
    (*row.bar)->hide();
  }
  // Each display shows what its handler shows for its bar's starting position.
  for (auto show : {&TForm1::TrackBar1Change, &TForm1::TrackBar2Change, &TForm1::TrackBar3Change,
                    &TForm1::TrackBar4Change, &TForm1::TrackBar5Change, &TForm1::TrackBar6Change,
                    &TForm1::TrackBar7Change, &TForm1::TrackBar8Change})
    (this->*show)(nullptr);
  Timer2 = new TTimer(250, true, this);
}

void TForm1::SetOuterWidth(int width) {
  const int frame = frameGeometry().width() - geometry().width();
  setFixedWidth(width - frame);
}

void TForm1::SwitchEffectBox(TCheckBox* box, bool on, void (TForm1::*handler)(QObject*)) {
  if (box->Checked() == on) return;
  box->SetChecked(on);
  (this->*handler)(box);
}

void TForm1::SpeedButton2Click(QObject* /*sender*/) {
  SetOuterWidth(kOpenWidth);
  SpeedButton2->setEnabled(false);
  SpeedButton3->setEnabled(true);
}

void TForm1::SpeedButton3Click(QObject* /*sender*/) {
  SetOuterWidth(kClosedWidth);
  SwitchEffectBox(CheckBox1, false, &TForm1::CheckBox1Click);
  SwitchEffectBox(CheckBox2, false, &TForm1::CheckBox2Click);
  SwitchEffectBox(CheckBox3, false, &TForm1::CheckBox3Click);
  SpeedButton2->setEnabled(true);
  SpeedButton3->setEnabled(false);
}

void TForm1::CheckBox1Click(QObject* /*sender*/) {
  SwitchEffect(Stream, CheckBox1->Checked(), kEffectFlanger,
               {StaticText1, StaticText2, StaticText3}, {Label3, Label4, Label10},
               {TrackBar1, TrackBar2, TrackBar3});
}

void TForm1::CheckBox2Click(QObject* /*sender*/) {
  SwitchEffect(Stream, CheckBox2->Checked(), kEffectEcho, {StaticText4, StaticText5, StaticText6},
               {Label11, Label12, Label13}, {TrackBar4, TrackBar5, TrackBar6});
}

void TForm1::CheckBox3Click(QObject* /*sender*/) {
  SwitchEffect(Stream, CheckBox3->Checked(), kEffectAutoWah, {StaticText7, StaticText8},
               {Label14, Label15}, {TrackBar7, TrackBar8});
}

// Parameter refresh: every ticked effect's record is rewritten from its track bars and sent,
// whether or not anything changed and whether or not the tone plays.
void TForm1::Timer2Timer(QObject* /*sender*/) {
  if (CheckBox1->Checked()) {
    FlangerParams.Rate = 44100;
    FlangerParams.Delay = static_cast<float>(TrackBar1->Position() / 10.0);
    FlangerParams.WetDry = static_cast<float>(TrackBar2->Position());
    FlangerParams.BPM = static_cast<float>(TrackBar3->Position());
    Bass().DSP_SetParameters(Stream, kEffectFlanger, &FlangerParams.Delay);
  }
  if (CheckBox2->Checked()) {
    EchoParams.Delay = static_cast<float>(TrackBar4->Position());
    EchoParams.DryMix = static_cast<float>(TrackBar5->Position());
    EchoParams.WetMix = static_cast<float>(TrackBar6->Position());
    Bass().DSP_SetParameters(Stream, kEffectEcho, &EchoParams.DryMix);
  }
  if (CheckBox3->Checked()) {
    AutoWahParams.Freq = 1000.0f;
    AutoWahParams.WetMix = 1.0f;
    AutoWahParams.Rate = 9.0f;
    AutoWahParams.Range = 9.0f;
    AutoWahParams.FidBack = static_cast<float>(TrackBar7->Position() / 10.0);
    AutoWahParams.DryMix = static_cast<float>(TrackBar8->Position() / 10.0);
    Bass().DSP_SetParameters(Stream, kEffectAutoWah, &AutoWahParams.DryMix);
  }
}

void TForm1::TrackBar1Change(QObject*) {
  StaticText1->setText(FormatDisplayValue(TrackBar1->Position() / 10.0));
}
void TForm1::TrackBar2Change(QObject*) {
  StaticText2->setText(FormatDisplayValue(TrackBar2->Position()));
}
void TForm1::TrackBar3Change(QObject*) {
  StaticText3->setText(FormatDisplayValue(TrackBar3->Position()));
}
void TForm1::TrackBar4Change(QObject*) {
  StaticText4->setText(FormatDisplayValue(TrackBar4->Position()));
}
void TForm1::TrackBar5Change(QObject*) {
  StaticText5->setText(FormatDisplayValue(TrackBar5->Position()));
}
void TForm1::TrackBar6Change(QObject*) {
  StaticText6->setText(FormatDisplayValue(TrackBar6->Position()));
}
void TForm1::TrackBar7Change(QObject*) {
  StaticText7->setText(FormatDisplayValue(TrackBar7->Position() / 10.0));
}
void TForm1::TrackBar8Change(QObject*) {
  StaticText8->setText(FormatDisplayValue(TrackBar8->Position() / 10.0));
}
