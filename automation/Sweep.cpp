#include <limits>

#include "audio/Tone.h"
#include "automation/Automation.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"

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

void TForm1::Edit1Change(QObject* /*sender*/) {
  int32_t value = 0;
  if (ParseBoxValue(Edit1->Text(), value))
    SweepStep = value;
  else if (!Edit1->Text().isEmpty())
    Edit1->SetText(QString::number(SweepStep));  // puts the current step back
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

// One sweep tick: move the bar by the step while Frequency lies strictly inside the range; at
// an end, rest there, or with "Реверс" nudge Frequency one Hz inside and flip the direction.
void TForm1::Timer1Timer(QObject* /*sender*/) {
  const double max = ScrollBar1->Max();
  const double min = ScrollBar1->Min();
  const double frequency = Frequency.load(std::memory_order_relaxed);
  if (max > frequency && min < frequency) {
    const int direction = RadioButton1->Checked() ? 1 : -1;
    ScrollBar1->SetPosition(ScrollBar1->Position() + direction * SweepStep);
    return;
  }
  if (!CheckBox5->Checked()) return;
  if (max == Frequency.load(std::memory_order_relaxed))
    Frequency.store(max - 1, std::memory_order_relaxed);
  if (min == Frequency.load(std::memory_order_relaxed))
    Frequency.store(min + 1, std::memory_order_relaxed);
  AnnounceTone();
  RadioButton1->SetChecked(!RadioButton1->Checked());
  RadioButton2->SetChecked(!RadioButton1->Checked());
}
