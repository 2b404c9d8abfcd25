#include <algorithm>

#include "audio/Tone.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"

bool IsDigits(const QString& text) {
  return !text.isEmpty() &&
         std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

namespace {

// What a step or period box holds, as a value from 1 to 65536. Returns false for a text that
// is not all digits; throws EConvertError for digits beyond the 32-bit range.
bool ParseBoxValue(const QString& text, int32_t& value) {
  if (!IsDigits(text)) return false;
  const int v = StrToInt(text);
  value = v >= 65536 ? 65536 : v;
  if (v == 0) value = 1;
  return true;
}

}  // namespace

// The sweep program's controls, all disabled until "Установить программу" is enabled and ticked.
// Its labels and divider come first: the divider reaches under the program's box, which lies
// above it.
void TForm1::CreateSweepControls() {
  Label6 = Place(new TLabel(QStringLiteral("с шагом"), this), 32, 264, 57, 18);
  Label8 = Place(new TLabel(QStringLiteral("Гц"), this), 144, 264, 25, 17);
  Label16 = Place(new TLabel(QStringLiteral("длинной"), this), 32, 280, 57, 17);
  Label17 = Place(new TLabel(QStringLiteral("мс"), this), 144, 280, 25, 17);
  Bevel6 = Place(new TBevel(TBevel::Shape::RightLine, this), 168, 200, 9, 97, Sans());

  CheckBox4 = Place(new TCheckBox(QStringLiteral("Установить программу"), this), 8, 192, 161, 25);
  RadioButton1 = Place(new TRadioButton(QStringLiteral("Возрастание"), this), 16, 216, 97, 17);
  RadioButton2 = Place(new TRadioButton(QStringLiteral("Убывание"), this), 16, 232, 89, 17);
  RadioButton1->SetChecked(true);
  CheckBox5 = Place(new TCheckBox(QStringLiteral("Реверс"), this), 16, 248, 81, 17);
  Edit1 = Place(new TEdit(QString::number(SweepProgram::kStartStep), this), 88, 264, 41, 17);
  Edit2 = Place(new TEdit(QString::number(kStartSweepPeriod), this), 88, 280, 41, 17);
  for (TEdit* box : {Edit1, Edit2}) {
    SetColor(box, clSilver);
    SetFontColor(box, clGray);
  }
  UpDown1 = Place(new TUpDown(Edit1, 0, 100, 1, this), 129, 264, 16, 17, Sans());
  UpDown2 = Place(new TUpDown(Edit2, 0, 10000, 100, this), 129, 280, 16, 17, Sans());
  SpeedButton4 = Place(new TSpeedButton(QStringLiteral("Пуск программы"), this), 352, 200, 113, 25);
  SpeedButton5 = Place(new TSpeedButton(QStringLiteral("Стоп программы"), this), 352, 224, 113, 25);
  SetEnabledAll({CheckBox4, RadioButton1, RadioButton2, CheckBox5, Label6, Label8, Label16, Label17,
                 SpeedButton4, SpeedButton5},
                false);
  Timer1 = new TTimer(kStartSweepPeriod, false, this);
}

void TForm1::Edit1Change(QObject* /*sender*/) {
  int32_t value = 0;
  if (ParseBoxValue(Edit1->Text(), value))
    Sweep.SweepStep = value;
  else if (!Edit1->Text().isEmpty())
    Edit1->SetText(QString::number(Sweep.SweepStep));  // puts the current step back
}

void TForm1::Edit2Change(QObject* /*sender*/) {
  int32_t value = 0;
  if (ParseBoxValue(Edit2->Text(), value))
    Timer1->SetInterval(static_cast<unsigned>(value));
  else if (!Edit2->Text().isEmpty())
    Edit2->SetText(QString::number(Timer1->Interval()));  // puts the current period back
}

void TForm1::CheckBox4Click(QObject* /*sender*/) {
  // While a preset runs, the box only keeps the tick the click gave it.
  if (SpeedButton7->isEnabled()) return;
  // While the sweep runs, the box cannot be unticked.
  if (SpeedButton5->isEnabled()) CheckBox4->SetChecked(true);
  const bool set = CheckBox4->Checked();
  for (QWidget* control : std::initializer_list<QWidget*>{
           RadioButton1, RadioButton2, CheckBox5, Label6, Label16, Label8, Label17, SpeedButton4})
    control->setEnabled(set);
  SetFontColor(Edit1, set ? clBlack : clGray);
  SetFontColor(Edit2, set ? clBlack : clGray);
}

void TForm1::SpeedButton4Click(QObject* /*sender*/) {
  Timer1->SetEnabled(true);
  SpeedButton5->setEnabled(true);
  SpeedButton4->setEnabled(false);
}

void TForm1::SpeedButton5Click(QObject* /*sender*/) {
  Timer1->SetEnabled(false);
  SpeedButton4->setEnabled(true);
  SpeedButton5->setEnabled(false);
}

// One sweep tick: the bar moves, or at an end Frequency and the direction turn round.
void TForm1::Timer1Timer(QObject* /*sender*/) {
  const SweepTick tick = Sweep.Tick(ScrollBar1->Min(), ScrollBar1->Max(), ScrollBar1->Position(),
                                    Frequency.load(std::memory_order_relaxed),
                                    RadioButton1->Checked(), CheckBox5->Checked());
  if (tick.position) ScrollBar1->SetPosition(*tick.position);
  if (!tick.turn) return;
  Frequency.store(tick.frequency, std::memory_order_relaxed);
  ScheduleTone(TTimer::ChangeMoment());
  AnnounceTone();
  RadioButton1->SetChecked(!RadioButton1->Checked());
  RadioButton2->SetChecked(!RadioButton1->Checked());
}
