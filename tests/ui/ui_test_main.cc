// The widget tests run under Qt's offscreen platform unless another one is
// asked for, with one QApplication for the whole run. The offscreen screen
// is 1600 x 1000 pixels at 96 dpi, the smallest desktop the program is
// made for.
#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "gtest/gtest.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
  QTemporaryDir config_dir;
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if ((platform.isEmpty() || platform == "offscreen") && config_dir.isValid()) {
    QFile config(config_dir.filePath("screens.json"));
    if (config.open(QIODevice::WriteOnly)) {
      config.write(
          R"({"screens": [{"name": "Screen1", "x": 0, "y": 0,)"
          R"( "width": 1600, "height": 1000, "logicalDpi": 96,)"
          R"( "logicalBaseDpi": 96, "dpr": 1}]})");
      config.close();
      qputenv("QT_QPA_PLATFORM",
              "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    }
  } else if (platform.isEmpty()) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // As the desktop program does at start-up.
  veltrano::InstallQtJapaneseTexts();
  return RUN_ALL_TESTS();
}
