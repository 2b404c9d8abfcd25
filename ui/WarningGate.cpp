#include "ui/Form1.h"
#include "ui/Images.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/PaintBox.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"

namespace {

constexpr TColor kWarningRed = 0x0000FB;

// The warning shown until it is acknowledged, its 25 lines as stored (trailing blanks included).
const char kWarning[] =
    "Внимание! \nИнфра и ультра звуки \nвоздействуют на \nчеловека по разному, что \n"
    "зависит как от \nустойчивости психики, \nтак и от характеристик \nоборудования(звуковой \n"
    "карты и динамиков). \nРазработчик не несет \nответственности за \nнегативный результат и \n"
    "предлогает предостеречь \nслабонервных, детей, \nбеременных, домашних \nживотных(особенно \n"
    "грызунов) от воздействия \nгенерируемого звука.\nПроявите особое \nвнимание к зонам \n"
    "'повышенной \nпсихочувствительности'!\nСледите за своим \nсамочувствием!\n"
    "Спасибо за внимание!";

}  // namespace

// The warning, its box "Ознакомился", the zone indicator with its first request, and the logo.
void TForm1::CreateWarning() {
  RichEdit1 =
      Place(new TRichEdit(this), 184, 240, 161, 41, DesignFont(QStringLiteral("Arial"), 11));
  RichEdit1->SetBackground(clWhite);
  RichEdit1->SetTextColor(clBlack);
  RichEdit1->setPlainText(QString::fromUtf8(kWarning));
  RichEdit1->moveCursor(QTextCursor::Start);
  CheckBox7 = Place(new TCheckBox(QStringLiteral("Ознакомился"), this), 184, 281, 161, 23);
  SetFontColor(CheckBox7, kWarningRed);
  CheckBox7->setToolTip(
      QStringLiteral("Программа не будет работать пока Вы не ознакомитесь с предупреждением!"));
  StaticText10 = Place(new TStaticText(QStringLiteral("Пожалуйста! Ознакомьтесь с текстом!"), this),
                       8, 304, 291, 51, Sans(true, 19));
  SetColor(StaticText10, kIndicatorOrange);
  SetFontColor(StaticText10, clWindowText);
  Image1 = Place(new QLabel(this), 308, 304, 157, 51, Sans());
  Image1->setPixmap(LogoImage());
}

// The warning gate: the first tick of "Ознакомился" unlocks the generator once and for all.
void TForm1::CheckBox7Click(QObject* /*sender*/) {
  if (!CheckBox7->Checked()) return;

  TCanvas& canvas = PB->Canvas();
  canvas.SetBrushColor(clBlack);
  canvas.SetFontColor(clGreen);  // the preview's labels
  canvas.SetFontSize(8);

  Button3->setEnabled(true);
  SpeedButton2->setEnabled(true);
  RadioGroup1->setEnabled(true);
  SetFontColor(RadioGroup1, clBlack);

  CheckBox4->setEnabled(true);
  CheckBox6->setEnabled(true);

  SetFontColor(CheckBox7, clBlack);
  RichEdit1->SetTextColor(clGray);
  RichEdit1->SetBackground(clSilver);
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

  StaticText10->setText(kSafeText);

  Brush();
}
