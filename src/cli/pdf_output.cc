// The module of veltrano-cli's parts that draw with Qt: PDF output of
// `print` (drawing needs the platform's fonts, so Qt runs without a screen
// for it) and the pages of PDF drawings, read with Poppler.
#include <QGuiApplication>
#include <memory>
#include <string>

#include "cli/qt_parts.h"
#include "qt/pdf_drawing_pages.h"
#include "qt/printer_canvas.h"

namespace veltrano {

namespace {

// Qt, started without a screen the first time it is needed.
void StartQt() {
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static int argc = 1;
  static char name[] = "veltrano-cli";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

}  // namespace

void InstallQtParts(QtParts* parts) {
  // Qt's own notes (a missing runtime folder and the like) are not the
  // tool's output.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  parts->pdf_canvas = [](const std::string& path,
                         std::string* error) -> std::unique_ptr<PrinterCanvas> {
    StartQt();
    return QtPrinterCanvas::ForPdf(QString::fromStdString(path), error);
  };
  parts->drawing_pages = []() -> std::unique_ptr<DrawingPages> {
    StartQt();
    return std::make_unique<PdfDrawingPages>();
  };
}

}  // namespace veltrano

extern "C" __attribute__((visibility("default"))) void veltrano_install_qt_parts(
    veltrano::QtParts* parts) {
  veltrano::InstallQtParts(parts);
}
