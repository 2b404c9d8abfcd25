#include "tests/e2e/ProgramTest.h"

#include <QAbstractButton>
#include <QTest>

#include "ui/toolkit/Controls.h"
#include "ui/toolkit/Edit.h"

void ProgramTest::OpenWindow() {
  CreateForm();  // FormCreate: the audio start-up
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  ASSERT_TRUE(boxes.empty()) << "the audio start-up failed";
}

void ProgramTest::TearDown() {
  if (!form) return;  // the window never opened
  form.reset();
  audio.Free();
  EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
}

void Click(TSpeedButton* button) {
  ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void Click(QAbstractButton* box) {
  ASSERT_TRUE(box->isEnabled()) << box->text().toStdString();
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

void TypeInto(TEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}
