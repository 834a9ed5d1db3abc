// The widget tests run under Qt's offscreen platform unless another one is
// asked for, with one QApplication for the whole run.
#include <QApplication>
#include <QByteArray>

#include "gtest/gtest.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
