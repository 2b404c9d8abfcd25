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
  AnnounceTone();
  RadioButton1->SetChecked(!RadioButton1->Checked());
  RadioButton2->SetChecked(!RadioButton1->Checked());
}
