#include "cli/cli.h"

#include <istream>
#include <utility>
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands/command.h"

namespace veltrano {

namespace {

PdfCanvasFactory& Factory() {
  static PdfCanvasFactory factory;
  return factory;
}

DrawingPagesFactory& PagesFactory() {
  static DrawingPagesFactory factory;
  return factory;
}

}  // namespace

void SetDrawingPagesFactory(DrawingPagesFactory factory) { PagesFactory() = std::move(factory); }

const DrawingPagesFactory& GetDrawingPagesFactory() { return PagesFactory(); }

void SetPdfCanvasFactory(PdfCanvasFactory factory) { Factory() = std::move(factory); }

const PdfCanvasFactory& GetPdfCanvasFactory() { return Factory(); }

int RunCli(const std::vector<std::string>& all_args, std::istream& in,
           std::ostream& out, std::ostream& err) {
  CommandLine line{std::nullopt, all_args};
  std::vector<std::string>& args = line.words;
  if (args.size() >= 2 && args[0] == "--base") {
    line.base = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return UsageError(err, "no command given");
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    out << UsageText();
    return kExitOk;
  }
  if (const Command* command = FindCommand(name)) {
    return command->Execute(line, in, out, err);
  }
  return UsageError(err, "unknown command: " + name);
}

}  // namespace veltrano
