#ifndef VELTRANO_CLI_QT_PARTS_H_
#define VELTRANO_CLI_QT_PARTS_H_

// The parts of veltrano-cli that draw with Qt (PDF output of `print`, the
// pages of PDF drawings for `plan attach`) live in a module of their own,
// "veltrano-cli-qt.so", loaded the first time one is needed: the commands
// that need neither start without loading Qt and its many libraries.

#include "cli/cli.h"

namespace veltrano {

// What the module hands over: its factories.
struct QtParts {
  PdfCanvasFactory pdf_canvas;
  DrawingPagesFactory drawing_pages;
};

// The module's one entry point (C linkage, so that it is found by name).
using InstallQtPartsFunction = void (*)(QtParts* parts);
inline constexpr char kInstallQtPartsSymbol[] = "veltrano_install_qt_parts";
inline constexpr char kQtPartsModule[] = "veltrano-cli-qt.so";

}  // namespace veltrano

#endif  // VELTRANO_CLI_QT_PARTS_H_
