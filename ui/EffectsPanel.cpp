#include "ui/EffectsPanel.h"

#include <QLocale>
#include <QString>
#include <initializer_list>

#include "audio/AudioLibrary.h"
#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
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
  for (QWidget* display : displays) SetFontColor(display, on ? clBlack : 0x808080);
  for (QWidget* label : labels) label->setEnabled(on);
  for (QWidget* bar : bars) bar->setVisible(on);
}

}  // namespace

QString FormatDisplayValue(double value) {
  QString text = QString::number(value, 'g', 15);
  return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
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
