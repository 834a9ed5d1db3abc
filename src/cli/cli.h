#ifndef VELTRANO_CLI_CLI_H_
#define VELTRANO_CLI_CLI_H_

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "port/drawing_pages.h"
#include "port/printer.h"

namespace veltrano {

// Exit statuses of the command-line tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Makes the canvas of a PDF file for `print`: the program supplies it, since
// drawing a PDF needs the platform's fonts. Null, with the reason, when the
// file cannot be started.
using PdfCanvasFactory = std::function<std::unique_ptr<PrinterCanvas>(
    const std::string& path, std::string* error)>;
void SetPdfCanvasFactory(PdfCanvasFactory factory);
const PdfCanvasFactory& GetPdfCanvasFactory();

// Makes a reader of PDF drawings' pages for the scenario verb "plan attach":
// the program supplies it (Poppler); without one, drawings cannot be
// attached.
using DrawingPagesFactory = std::function<std::unique_ptr<DrawingPages>()>;
void SetDrawingPagesFactory(DrawingPagesFactory factory);
const DrawingPagesFactory& GetDrawingPagesFactory();

// Runs `veltrano-cli` with the arguments after the program name.
int RunCli(const std::vector<std::string>& args, std::istream& in,
           std::ostream& out, std::ostream& err);

}  // namespace veltrano

#endif  // VELTRANO_CLI_CLI_H_
