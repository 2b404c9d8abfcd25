#include <QLocale>
#include <QString>

#include "audio/AudioLibrary.h"
#include "audio/effects/AutoWah.h"
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

// The panel's rows, top to bottom, each a caption, its display and its track bar: where they
// stand, the bar's range and starting position, the effect box the row belongs to, and the record
// field the bar sets. The display shows and the record takes the bar's position / divisor.
struct EffectRow {
  TLabel* TForm1::*label;
  TStaticText* TForm1::*display;
  TTrackBar* TForm1::*bar;
  TCheckBox* TForm1::*box;
  float* field;
  const char* caption;
  int labelWidth, top, barWidth, min, max, position, divisor;
};
const EffectRow kRows[] = {
    {&TForm1::Label3, &TForm1::StaticText1, &TForm1::TrackBar1, &TForm1::CheckBox1,
     &EffectRecords.Flanger.Delay, "Delay", 57, 32, 121, 11, 31, 20, 10},
    {&TForm1::Label4, &TForm1::StaticText2, &TForm1::TrackBar2, &TForm1::CheckBox1,
     &EffectRecords.Flanger.WetDry, "WetDry", 57, 64, 121, 0, 10, 5, 1},
    {&TForm1::Label10, &TForm1::StaticText3, &TForm1::TrackBar3, &TForm1::CheckBox1,
     &EffectRecords.Flanger.BPM, "BPM", 41, 96, 121, 1, 2000, 1000, 1},
    {&TForm1::Label11, &TForm1::StaticText4, &TForm1::TrackBar4, &TForm1::CheckBox2,
     &EffectRecords.Echo.Delay, "Delay", 57, 160, 121, 1, 1000, 200, 1},
    {&TForm1::Label12, &TForm1::StaticText5, &TForm1::TrackBar5, &TForm1::CheckBox2,
     &EffectRecords.Echo.DryMix, "DryMix", 57, 192, 121, 0, 10, 1, 1},
    {&TForm1::Label13, &TForm1::StaticText6, &TForm1::TrackBar6, &TForm1::CheckBox2,
     &EffectRecords.Echo.WetMix, "WetMix", 57, 224, 121, 0, 10, 1, 1},
    {&TForm1::Label14, &TForm1::StaticText7, &TForm1::TrackBar7, &TForm1::CheckBox3,
     &EffectRecords.AutoWah.FidBack, "FidBack", 57, 288, 119, -10, 10, 0, 10},
    {&TForm1::Label15, &TForm1::StaticText8, &TForm1::TrackBar8, &TForm1::CheckBox3,
     &EffectRecords.AutoWah.DryMix, "DryMix", 57, 320, 121, -20, 20, 1, 10},
};

double ValueOf(const TForm1& form, const EffectRow& row) {
  return (form.*row.bar)->Position() / static_cast<double>(row.divisor);
}

// Shows a row's value: general number format (up to 15 significant digits, no trailing zeros)
// with the locale's decimal separator (QLocale()).
void ShowValue(const TForm1& form, int row) {
  const EffectRow& r = kRows[row];
  QString text = QString::number(ValueOf(form, r), 'g', 15);
  (form.*r.display)->setText(text.replace(QLatin1Char('.'), QLocale().decimalPoint()));
}

// Switches one effect on or off as its box says: the library call, then its rows' displays'
// colour, captions and track bars.
void SwitchEffect(const TForm1& form, TCheckBox* TForm1::*box, int effect) {
  const bool on = (form.*box)->Checked();
  if (on)
    Bass().DSP_Set(form.Stream, effect, 3);
  else
    Bass().DSP_Remove(form.Stream, effect);
  for (const EffectRow& row : kRows) {
    if (row.box != box) continue;
    SetFontColor(form.*row.display, on ? clBlack : clGray);
    (form.*row.label)->setEnabled(on);
    (form.*row.bar)->setVisible(on);
  }
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

  for (const EffectRow& row : kRows) {
    this->*row.label =
        Place(new TLabel(QString::fromUtf8(row.caption), this), 488, row.top, row.labelWidth, 17);
    (this->*row.label)->setEnabled(false);
    TStaticText* display = this->*row.display =
                               Place(new TStaticText(QString(), this), 544, row.top, 57, 17);
    SetColor(display, clSilver);
    SetFontColor(display, clGray);
    display->setFocusPolicy(Qt::NoFocus);
    TTrackBar* bar = this->*row.bar =
                         Place(new TTrackBar(this), 488, row.top + 16, row.barWidth, 17, normal);
    bar->SetRange(row.min, row.max);
    bar->SetPosition(row.position);
    bar->SetThumbLength(15);
    bar->hide();
    ShowValue(*this, static_cast<int>(&row - kRows));
  }
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
  SwitchEffect(*this, &TForm1::CheckBox1, kEffectFlanger);
}
void TForm1::CheckBox2Click(QObject* /*sender*/) {
  SwitchEffect(*this, &TForm1::CheckBox2, kEffectEcho);
}
void TForm1::CheckBox3Click(QObject* /*sender*/) {
  SwitchEffect(*this, &TForm1::CheckBox3, kEffectAutoWah);
}

// Parameter refresh: every ticked effect's record is rewritten from its track bars and sent,
// whether or not anything changed and whether or not the tone plays. The flanger's Rate is the
// fixed 44100; the auto-wah's fields without a bar hold the values the effect starts with.
void TForm1::Timer2Timer(QObject* /*sender*/) {
  for (const EffectRow& row : kRows) {
    if ((this->*row.box)->Checked()) *row.field = static_cast<float>(ValueOf(*this, row));
  }
  if (CheckBox1->Checked()) {
    FlangerParams.Rate = 44100;
    Bass().DSP_SetParameters(Stream, kEffectFlanger, &FlangerParams);
  }
  if (CheckBox2->Checked()) Bass().DSP_SetParameters(Stream, kEffectEcho, &EchoParams);
  if (CheckBox3->Checked()) {
    constexpr AutoWah::Params kStart;
    AutoWahParams.WetMix = kStart.wetMix;
    AutoWahParams.Rate = kStart.rateHz;
    AutoWahParams.Range = kStart.rangeOctaves;
    AutoWahParams.Freq = kStart.baseHz;
    Bass().DSP_SetParameters(Stream, kEffectAutoWah, &AutoWahParams);
  }
}

// One line a handler, each showing its own row.
// clang-format off
void TForm1::TrackBar1Change(QObject*) { ShowValue(*this, 0); }
void TForm1::TrackBar2Change(QObject*) { ShowValue(*this, 1); }
void TForm1::TrackBar3Change(QObject*) { ShowValue(*this, 2); }
void TForm1::TrackBar4Change(QObject*) { ShowValue(*this, 3); }
void TForm1::TrackBar5Change(QObject*) { ShowValue(*this, 4); }
void TForm1::TrackBar6Change(QObject*) { ShowValue(*this, 5); }
void TForm1::TrackBar7Change(QObject*) { ShowValue(*this, 6); }
void TForm1::TrackBar8Change(QObject*) { ShowValue(*this, 7); }
// clang-format on
