#include "ui/Form1.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Timer.h"

// The presets' controls, all disabled until "Заготовки" is enabled and ticked. Their timer runs
// from the start and acts only while a preset runs.
void TForm1::CreatePresetControls() {
  const QFont bold = Sans(true);
  CheckBox6 = Place(new TCheckBox(QStringLiteral("Заготовки"), this), 184, 192, 161, 25, bold);
  ComboBox1 = Place(new TComboBox({QStringLiteral("Серена"), QStringLiteral("Пытка Ультрозвуком"),
                                   QStringLiteral("Страх")},
                                  this),
                    184, 216, 161, 21, bold);
  ComboBox1->setCurrentIndex(0);
  ComboBox1->SetItemHeight(13);
  SetColor(ComboBox1, clSilver);
  SetFontColor(ComboBox1, clGray);
  SpeedButton6 =
      Place(new TSpeedButton(QStringLiteral("Пуск заготовки"), this), 352, 248, 113, 25, bold);
  SpeedButton7 =
      Place(new TSpeedButton(QStringLiteral("Стоп заготовки"), this), 352, 272, 113, 25, bold);
  SetEnabledAll({CheckBox6, ComboBox1, SpeedButton6, SpeedButton7}, false);
  ZagTimer = new TTimer(100, true, this);
}
