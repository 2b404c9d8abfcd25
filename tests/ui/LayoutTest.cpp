// The window as created: title, size, every control's place, caption and initial state.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include "tests/support/FormFixture.h"
#include "ui/Form1.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"
#include "ui/toolkit/PaintBox.h"
#include "ui/toolkit/RadioGroup.h"
#include "ui/toolkit/ScrollBar.h"
#include "ui/toolkit/Timer.h"
#include "ui/toolkit/TrackBar.h"

namespace {

class LayoutTest : public FormFixture {};

TEST_F(LayoutTest, WindowTitleSizeAndColour) {
  TForm1& form = CreateForm();
  EXPECT_EQ(form.windowTitle(), "Vimbra generator v0.2");
  EXPECT_EQ(form.size(), QSize(471, 359));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());  // not resizable
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(Color(&form), 0xE2E4E7u);
}

TEST_F(LayoutTest, EveryControlStandsAtItsPlace) {
  TForm1& f = CreateForm();
  // The tone's controls, the sweep's and the presets' below them, and the effects panel.
  using Places = std::vector<std::pair<QWidget*, QRect>>;
  const Places tone = {{f.Button3, {8, 8, 113, 27}},        {f.SpeedButton1, {8, 34, 113, 27}},
                       {f.SpeedButton2, {8, 60, 113, 27}},  {f.SpeedButton3, {8, 86, 113, 26}},
                       {f.RadioGroup1, {128, 5, 145, 108}}, {f.Bevel1, {280, 9, 185, 103}},
                       {f.PB, {282, 9, 180, 102}},          {f.Label1, {8, 112, 377, 25}},
                       {f.ScrollBar1, {8, 136, 377, 12}},   {f.fq, {392, 134, 57, 16}},
                       {f.Label7, {448, 136, 15, 13}},      {f.Label2, {8, 144, 377, 33}},
                       {f.ScrollBar2, {8, 176, 377, 12}},   {f.amp, {392, 174, 57, 16}},
                       {f.Label5, {448, 176, 25, 13}}};
  const Places programs = {
      {f.CheckBox4, {8, 192, 161, 25}},      {f.RadioButton1, {16, 216, 97, 17}},
      {f.RadioButton2, {16, 232, 89, 17}},   {f.CheckBox5, {16, 248, 81, 17}},
      {f.Label6, {32, 264, 57, 18}},         {f.Edit1, {88, 264, 41, 17}},
      {f.UpDown1, {129, 264, 16, 17}},       {f.Label8, {144, 264, 25, 17}},
      {f.Label16, {32, 280, 57, 17}},        {f.Edit2, {88, 280, 41, 17}},
      {f.UpDown2, {129, 280, 16, 17}},       {f.Label17, {144, 280, 25, 17}},
      {f.Bevel6, {168, 200, 9, 97}},         {f.SpeedButton4, {352, 200, 113, 25}},
      {f.SpeedButton5, {352, 224, 113, 25}}, {f.CheckBox6, {184, 192, 161, 25}},
      {f.ComboBox1, {184, 216, 161, 21}},    {f.SpeedButton6, {352, 248, 113, 25}},
      {f.SpeedButton7, {352, 272, 113, 25}}, {f.RichEdit1, {184, 240, 161, 41}},
      {f.CheckBox7, {184, 281, 161, 23}},    {f.StaticText10, {8, 304, 291, 51}},
      {f.Image1, {308, 304, 157, 51}}};
  const Places effects = {{f.Bevel2, {473, -8, 7, 425}},       {f.CheckBox1, {480, 8, 121, 17}},
                          {f.Bevel3, {487, 25, 123, 105}},     {f.Label3, {488, 32, 57, 17}},
                          {f.StaticText1, {544, 32, 57, 17}},  {f.TrackBar1, {488, 48, 121, 17}},
                          {f.Label4, {488, 64, 57, 17}},       {f.StaticText2, {544, 64, 57, 17}},
                          {f.TrackBar2, {488, 80, 121, 17}},   {f.Label10, {488, 96, 41, 17}},
                          {f.StaticText3, {544, 96, 57, 17}},  {f.TrackBar3, {488, 112, 121, 17}},
                          {f.CheckBox2, {480, 136, 121, 17}},  {f.Bevel4, {487, 153, 123, 105}},
                          {f.Label11, {488, 160, 57, 17}},     {f.StaticText4, {544, 160, 57, 17}},
                          {f.TrackBar4, {488, 176, 121, 17}},  {f.Label12, {488, 192, 57, 17}},
                          {f.StaticText5, {544, 192, 57, 17}}, {f.TrackBar5, {488, 208, 121, 17}},
                          {f.Label13, {488, 224, 57, 17}},     {f.StaticText6, {544, 224, 57, 17}},
                          {f.TrackBar6, {488, 240, 121, 17}},  {f.CheckBox3, {480, 264, 113, 17}},
                          {f.Bevel5, {487, 281, 122, 75}},     {f.Label14, {488, 288, 57, 17}},
                          {f.StaticText7, {544, 288, 57, 17}}, {f.TrackBar7, {488, 304, 119, 17}},
                          {f.Label15, {488, 320, 57, 17}},     {f.StaticText8, {544, 320, 57, 17}},
                          {f.TrackBar8, {488, 336, 121, 17}}};
  for (const Places* places : {&tone, &programs, &effects}) {
    for (const auto& [widget, rect] : *places) {
      ASSERT_NE(widget, nullptr);
      EXPECT_EQ(widget->geometry(), rect)
          << widget->metaObject()->className() << " " << widget->objectName().toStdString();
    }
  }
}

TEST_F(LayoutTest, CaptionsAndTexts) {
  TForm1& f = CreateForm();
  EXPECT_EQ(f.Button3->text(), "Пуск");
  EXPECT_EQ(f.SpeedButton1->text(), "Стоп");
  EXPECT_EQ(f.SpeedButton2->text(), "Эффекты");
  EXPECT_EQ(f.SpeedButton3->text(), "Чистый  ");
  EXPECT_EQ(f.RadioGroup1->title(), "Звуковая зона");
  ASSERT_EQ(f.RadioGroup1->Count(), 4);
  EXPECT_EQ(f.RadioGroup1->Button(0)->text(), "Весь спектор ");
  EXPECT_EQ(f.RadioGroup1->Button(3)->text(), "Инфра звук");
  EXPECT_EQ(f.RadioGroup1->ItemIndex(), 0);
  EXPECT_EQ(f.Label1->text(), "Частота (1-22050 Гц)");
  EXPECT_EQ(f.Label2->text(), "Амплитуда (0-100 %)");
  EXPECT_EQ(f.fq->Text(), "1000");
  EXPECT_EQ(f.amp->Text(), "50");
  EXPECT_EQ(f.StaticText10->text(), "Пожалуйста! Ознакомьтесь с текстом!");
  EXPECT_EQ(f.CheckBox7->text(), "Ознакомился");
  EXPECT_EQ(f.CheckBox7->toolTip(),
            "Программа не будет работать пока Вы не ознакомитесь с предупреждением!");
  EXPECT_EQ(f.ComboBox1->count(), 3);
  EXPECT_EQ(f.ComboBox1->itemText(1), "Пытка Ультрозвуком");
  EXPECT_FALSE(f.ComboBox1->isEditable());
  EXPECT_EQ(f.Edit1->Text(), "1");
  EXPECT_EQ(f.Edit2->Text(), "100");
  const QStringList displays = {f.StaticText1->text(), f.StaticText2->text(), f.StaticText3->text(),
                                f.StaticText4->text(), f.StaticText5->text(), f.StaticText6->text(),
                                f.StaticText7->text(), f.StaticText8->text()};
  EXPECT_EQ(displays, (QStringList{"2", "5", "1000", "200", "1", "1", "0", "0.1"}));
}

TEST_F(LayoutTest, TheWarningHasItsTwentyFiveLinesWithTrailingBlanks) {
  TForm1& f = CreateForm();
  const QStringList lines = f.RichEdit1->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 25);
  const std::pair<int, const char*> expected[] = {
      {0, "Внимание! "},    {12, "предлогает предостеречь "}, {17, "генерируемого звука."},
      {20, "'повышенной "}, {21, "психочувствительности'!"},  {24, "Спасибо за внимание!"}};
  for (auto [line, text] : expected) EXPECT_EQ(lines[line], QString::fromUtf8(text)) << line;
  EXPECT_FALSE(f.RichEdit1->isReadOnly());
}

TEST_F(LayoutTest, LockedUntilTheWarningIsAcknowledged) {
  TForm1& f = CreateForm();
  for (QWidget* w :
       Widgets{f.Button3,      f.SpeedButton1, f.SpeedButton2, f.SpeedButton3, f.RadioGroup1,
               f.Label1,       f.Label2,       f.Label5,       f.Label7,       f.CheckBox4,
               f.CheckBox6,    f.RadioButton1, f.RadioButton2, f.CheckBox5,    f.SpeedButton4,
               f.SpeedButton5, f.ComboBox1,    f.SpeedButton6, f.SpeedButton7, f.Label3,
               f.Label15})
    EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
  for (QWidget* w : Widgets{f.CheckBox7, f.RichEdit1, f.fq, f.amp, f.Edit1, f.Edit2, f.UpDown1,
                            f.UpDown2, f.CheckBox1, f.CheckBox2, f.CheckBox3})
    EXPECT_TRUE(w->isEnabled()) << w->metaObject()->className();
  for (QWidget* w : Widgets{f.ScrollBar1, f.ScrollBar2, f.TrackBar1})
    EXPECT_TRUE(w->isHidden()) << w->metaObject()->className();
  for (QWidget* w : Widgets{f.fq, f.amp, f.RadioGroup1, f.StaticText3})
    EXPECT_EQ(FontColor(w), clGray) << w->metaObject()->className();
  EXPECT_EQ(FontColor(f.CheckBox7), 0x0000FBu);
  EXPECT_EQ(Color(f.StaticText10), 0x00A0FFu);
  EXPECT_TRUE(f.RadioButton1->Checked());
  EXPECT_FALSE(f.RadioButton2->Checked());
  // Disabled controls write in the classic grey.
  EXPECT_EQ(FromQColor(f.RadioGroup1->palette().color(QPalette::Disabled, QPalette::WindowText)),
            clGray);
  EXPECT_EQ(FromQColor(f.ComboBox1->palette().color(QPalette::Disabled, QPalette::ButtonText)),
            clGray);
  EXPECT_EQ(f.ComboBox1->view()->sizeHintForRow(0), 13);
}

TEST_F(LayoutTest, BarsTimersAndFocusOrder) {
  TForm1& f = CreateForm();
  EXPECT_EQ(f.ScrollBar2->singleStep(), 256);
  EXPECT_EQ(f.ScrollBar2->pageStep(), 1024);
  EXPECT_EQ(f.UpDown2->Max(), 10000);
  EXPECT_EQ(f.UpDown2->Position(), 100);

  // The sweep's timer waits for its start; the effects' refresh and the presets' swing run.
  EXPECT_EQ(std::pair(f.Timer1->Enabled(), f.Timer1->Interval()), std::pair(false, 100u));
  EXPECT_EQ(std::pair(f.Timer2->Enabled(), f.Timer2->Interval()), std::pair(true, 250u));
  EXPECT_EQ(std::pair(f.ZagTimer->Enabled(), f.ZagTimer->Interval()), std::pair(true, 100u));

  // Each bar's range and position.
  auto range = [](const auto* b) { return std::array{b->minimum(), b->maximum(), b->Position()}; };
  const std::pair<std::array<int, 3>, std::array<int, 3>> ranges[] = {
      {range(f.ScrollBar1), {1, 22050, 1000}}, {range(f.ScrollBar2), {0, 32767, 16864}},
      {range(f.TrackBar1), {11, 31, 20}},      {range(f.TrackBar2), {0, 10, 5}},
      {range(f.TrackBar3), {1, 2000, 1000}},   {range(f.TrackBar4), {1, 1000, 200}},
      {range(f.TrackBar5), {0, 10, 1}},        {range(f.TrackBar6), {0, 10, 1}},
      {range(f.TrackBar7), {-10, 10, 0}},      {range(f.TrackBar8), {-20, 20, 1}}};
  for (size_t i = 0; i < std::size(ranges); ++i)
    EXPECT_EQ(ranges[i].first, ranges[i].second) << "row " << i;

  const std::vector<QWidget*> order = {f.CheckBox1, f.TrackBar1, f.TrackBar2, f.TrackBar3,
                                       f.CheckBox2, f.TrackBar4, f.TrackBar5, f.TrackBar6,
                                       f.CheckBox3, f.TrackBar7, f.TrackBar8};
  // Focus visits the next widget in the chain that takes focus.
  auto nextFocusable = [](QWidget* w) {
    do w = w->nextInFocusChain();
    while (w->focusPolicy() == Qt::NoFocus);
    return w;
  };
  for (size_t i = 1; i < order.size(); ++i) EXPECT_EQ(nextFocusable(order[i - 1]), order[i]) << i;
  EXPECT_EQ(f.StaticText1->focusPolicy(), Qt::NoFocus);
}

// Tab from the first control walks every control that takes the keyboard in the window's order,
// the effects panel in its rows' order, the frequency and amplitude boxes last, and then comes
// round to the start. Hidden track bars are passed over.
TEST_F(LayoutTest, TabWalksTheWholeWindowWithTheValueBoxesLast) {
  TForm1& f = CreateUnlockedForm();
  f.CheckBox4->SetChecked(true);  // the sweep's controls
  f.CheckBox6->SetChecked(true);  // the presets' controls
  f.show();
  f.SpeedButton2Click(f.SpeedButton2);  // the effects panel
  QApplication::setActiveWindow(&f);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));

  QWidget* first = f.RadioGroup1->Button(0);
  auto walk = [&] {
    std::vector<QWidget*> visited;
    first->setFocus(Qt::TabFocusReason);
    for (QWidget* at = QApplication::focusWidget(); at != nullptr && visited.size() < 60;) {
      visited.push_back(at);
      QTest::keyClick(at, Qt::Key_Tab);
      at = QApplication::focusWidget();
      if (at == first) break;
    }
    return visited;
  };
  auto names = [](const std::vector<QWidget*>& widgets) {
    QStringList list;
    for (QWidget* w : widgets)
      list << QString(w->metaObject()->className()) + ":" + w->property("text").toString();
    return list.join(", ").toStdString();
  };

  // "Ознакомился" is disabled once ticked.
  const std::vector<QWidget*> main = {first,   f.CheckBox4, f.RadioButton1, f.CheckBox5, f.Edit1,
                                      f.Edit2, f.CheckBox6, f.ComboBox1,    f.RichEdit1};
  std::vector<QWidget*> expected = main;
  expected.insert(expected.end(), {f.CheckBox1, f.CheckBox2, f.CheckBox3, f.fq, f.amp});
  std::vector<QWidget*> visited = walk();
  EXPECT_EQ(visited, expected) << names(visited);

  for (TCheckBox* box : {f.CheckBox1, f.CheckBox2, f.CheckBox3}) box->SetChecked(true);
  expected = main;
  expected.insert(expected.end(),
                  {f.CheckBox1, f.TrackBar1, f.TrackBar2, f.TrackBar3, f.CheckBox2, f.TrackBar4,
                   f.TrackBar5, f.TrackBar6, f.CheckBox3, f.TrackBar7, f.TrackBar8, f.fq, f.amp});
  visited = walk();
  EXPECT_EQ(visited, expected) << names(visited);
}

// A screen reader hears the program by its title and every control that shows no caption of its
// own by the captions it sits by; the frequency bar's name follows its caption.
TEST_F(LayoutTest, ScreenReadersHearEveryControlByTheCaptionItSitsBy) {
  Application.Title = "Kestrov Lab Vimbra Generator";
  AnnounceApplicationTitle();  // as the program's entry does
  TForm1& f = CreateForm();
  const struct {
    QObject* control;
    const char* expected;
    QAccessible::Text text = QAccessible::Name;
  } rows[] = {
      {qApp, "Kestrov Lab Vimbra Generator"},
      {f.PB, "Форма волны"},
      {f.Image1, "Логотип"},
      {f.ScrollBar1, "Частота (1-22050 Гц)"},
      {f.fq, "Частота, Гц"},
      {f.ScrollBar2, "Амплитуда (0-100 %)"},
      {f.amp, "Амплитуда, %"},
      {f.Edit1, "Шаг программы, Гц"},
      {f.UpDown1->UpButton(), "Шаг программы: больше"},
      {f.UpDown1->DownButton(), "Шаг программы: меньше"},
      {f.Edit2, "Длина шага программы, мс"},
      {f.UpDown2->UpButton(), "Длина шага программы: больше"},
      {f.UpDown2->DownButton(), "Длина шага программы: меньше"},
      {f.ComboBox1, "Серена"},
      {f.ComboBox1, "Заготовки", QAccessible::Description},
      {f.ComboBox1->view(), "Заготовки"},
      {f.RichEdit1, "Предупреждение"},
      {f.RichEdit1->verticalScrollBar(), "Предупреждение: прокрутка по вертикали"},
      {f.RichEdit1->horizontalScrollBar(), "Предупреждение: прокрутка по горизонтали"},
      {f.StaticText10, "Пожалуйста! Ознакомьтесь с текстом!"},
      {f.StaticText10, "Индикатор звуковой зоны", QAccessible::Description},
      {f.TrackBar1, "Flanger: Delay"},
      {f.TrackBar2, "Flanger: WetDry"},
      {f.TrackBar3, "Flanger: BPM"},
      {f.TrackBar4, "Echo: Delay"},
      {f.TrackBar5, "Echo: DryMix"},
      {f.TrackBar6, "Echo: WetMix"},
      {f.TrackBar7, "Auto Wah: FidBack"},
      {f.TrackBar8, "Auto Wah: DryMix"},
  };
  auto said = [](QObject* control, QAccessible::Text text) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face != nullptr ? face->text(text) : QStringLiteral("<not accessible>");
  };
  for (const auto& row : rows)
    EXPECT_EQ(said(row.control, row.text), QString::fromUtf8(row.expected))
        << row.control->metaObject()->className() << " " << row.expected;

  f.CheckBox7->SetChecked(true);
  f.RadioGroup1->SetItemIndex(2);
  EXPECT_EQ(said(f.ScrollBar1, QAccessible::Name), "Частота (16000-22050 Гц)");
}

}  // namespace
