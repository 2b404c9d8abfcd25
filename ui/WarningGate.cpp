#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/PaintBox.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"

// The warning gate: the first tick of "Ознакомился" unlocks the generator once and for all.
void TForm1::CheckBox7Click(QObject* /*sender*/) {
  if (!CheckBox7->Checked()) return;

  TCanvas& canvas = PB->Canvas();
  canvas.SetBrushColor(clBlack);
  canvas.SetFontColor(0x008000);
  canvas.SetFontSize(8);

  Button3->setEnabled(true);
  SpeedButton2->setEnabled(true);
  RadioGroup1->setEnabled(true);
  SetFontColor(RadioGroup1, clBlack);

  CheckBox4->setEnabled(true);
  CheckBox6->setEnabled(true);

  SetFontColor(CheckBox7, clBlack);
  RichEdit1->SetTextColor(0x808080);
  RichEdit1->SetBackground(0xC0C0C0);
  CheckBox7->setEnabled(false);

  ScrollBar1->show();
  ScrollBar2->show();
  UnlockShortcuts();

  Label5->setEnabled(true);
  Label7->setEnabled(true);
  Label1->setEnabled(true);
  Label2->setEnabled(true);

  SetFontColor(amp, clBlack);
  SetFontColor(fq, clBlack);

  StaticText10->setText(QStringLiteral("Зона психической безопасности"));

  Brush();
}
