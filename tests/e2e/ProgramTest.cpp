#include "tests/e2e/ProgramTest.h"

#include <QTest>
#include <iostream>

#include "tests/support/FormFixture.h"

void ProgramTest::OpenWindow() {
  ResetProgramState();
  previousAudio_ = SetBass(&audio);
  previousHook_ = SetMessageBoxHook([this](const MessageBoxCall& call) {
    boxes.push_back(call);
    std::cout << "[ box        ] " << call.title.toStdString() << ": " << call.text.toStdString()
              << '\n';
  });
  installed_ = true;
  form = std::make_unique<TForm1>();  // FormCreate: the audio start-up
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  ASSERT_TRUE(boxes.empty()) << "the audio start-up failed";
}

void ProgramTest::TearDown() {
  if (!installed_) return;
  form.reset();
  audio.Free();
  SetMessageBoxHook(previousHook_);
  SetBass(previousAudio_);
  EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
}
