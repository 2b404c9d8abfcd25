// Test entry for everything that needs a QApplication (Qt's offscreen platform by default).
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include "ui/toolkit/Colors.h"
#include "ui/toolkit/Fonts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  RegisterFontSubstitutions();
  ApplyClassicLook();
  return RUN_ALL_TESTS();
}
