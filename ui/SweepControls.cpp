#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/Timer.h"

// The sweep program's controls, all disabled until "Установить программу" is enabled and ticked.
// Its labels and divider come first: the divider reaches under the program's box, which lies
// above it.
void TForm1::CreateSweepControls() {
  const QFont normal = Sans();
  const QFont bold = Sans(true);
  Label6 = Place(new TLabel(QStringLiteral("с шагом"), this), 32, 264, 57, 18, bold);
  Label8 = Place(new TLabel(QStringLiteral("Гц"), this), 144, 264, 25, 17, bold);
  Label16 = Place(new TLabel(QStringLiteral("длинной"), this), 32, 280, 57, 17, bold);
  Label17 = Place(new TLabel(QStringLiteral("мс"), this), 144, 280, 25, 17, bold);
  Bevel6 = Place(new TBevel(TBevel::Shape::RightLine, this), 168, 200, 9, 97, normal);

  CheckBox4 =
      Place(new TCheckBox(QStringLiteral("Установить программу"), this), 8, 192, 161, 25, bold);
  RadioButton1 =
      Place(new TRadioButton(QStringLiteral("Возрастание"), this), 16, 216, 97, 17, bold);
  RadioButton2 = Place(new TRadioButton(QStringLiteral("Убывание"), this), 16, 232, 89, 17, bold);
  RadioButton1->SetChecked(true);
  CheckBox5 = Place(new TCheckBox(QStringLiteral("Реверс"), this), 16, 248, 81, 17, bold);
  Edit1 = Place(new TEdit(QStringLiteral("1"), this), 88, 264, 41, 17, bold);
  Edit2 = Place(new TEdit(QStringLiteral("100"), this), 88, 280, 41, 17, bold);
  for (TEdit* box : {Edit1, Edit2}) {
    SetColor(box, clSilver);
    SetFontColor(box, clGray);
  }
  UpDown1 = Place(new TUpDown(Edit1, 0, 100, 1, this), 129, 264, 16, 17, normal);
  UpDown2 = Place(new TUpDown(Edit2, 0, 10000, 100, this), 129, 280, 16, 17, normal);
  SpeedButton4 =
      Place(new TSpeedButton(QStringLiteral("Пуск программы"), this), 352, 200, 113, 25, bold);
  SpeedButton5 =
      Place(new TSpeedButton(QStringLiteral("Стоп программы"), this), 352, 224, 113, 25, bold);
  SetEnabledAll({CheckBox4, RadioButton1, RadioButton2, CheckBox5, Label6, Label8, Label16, Label17,
                 SpeedButton4, SpeedButton5},
                false);
  Timer1 = new TTimer(100, false, this);
}
