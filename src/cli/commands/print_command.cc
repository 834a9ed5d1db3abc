#include <algorithm>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "calc/text_util.h"
#include "cli/cli.h"
#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"
#include "print/print_dialog.h"

namespace veltrano {

namespace {

// A whole number written with digits only.
std::optional<int> WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 6 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return std::stoi(text);
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> items;
  for (std::string_view item : SplitFields(text)) items.emplace_back(item);
  return items;
}

class Print : public Command {
 public:
  Print()
      : Command("print",
                "[--base DIR] print FILE.xdt -o OUT.pdf KIND [--start-page N] "
                "[--rooms NAME,...] [--tables I,...]",
                "print into an A4 landscape PDF as the print dialog would (KIND: "
                "interior, exterior, fittings, summary); writes \"pages N\"") {}

  int Execute(const CommandLine& line, std::istream&, std::ostream& out,
              std::ostream& err) const override {
    const std::vector<std::string>& args = line.words;
    std::string file, pdf, kind, start_page;
    std::optional<std::string> rooms, boxes;
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::string& a = args[i];
      const bool has_value = i + 1 < args.size();
      if (a == "-o" && has_value) {
        pdf = args[++i];
      } else if (a == "--start-page" && has_value) {
        start_page = args[++i];
      } else if (a == "--rooms" && has_value) {
        rooms = args[++i];
      } else if (a == "--tables" && has_value) {
        boxes = args[++i];
      } else if (a.rfind("-", 0) == 0) {
        return UsageError(err, "print does not take " + a);
      } else if (file.empty()) {
        file = a;
      } else if (kind.empty()) {
        kind = a;
      } else {
        return UsageError(err, "print does not take " + a);
      }
    }
    if (file.empty()) return UsageError(err, "print needs FILE.xdt");
    if (pdf.empty()) return UsageError(err, "print needs -o OUT.pdf");
    int mode = -1;
    if (kind == "interior") mode = kPrintInteriorSheets;
    if (kind == "exterior") mode = kPrintExteriorSheets;
    if (kind == "fittings") mode = kPrintFittings;
    if (kind == "summary") mode = kPrintSummaries;
    if (mode < 0) return UsageError(err, "print needs KIND: interior, exterior, fittings or summary");
    const bool sheets = mode == kPrintInteriorSheets || mode == kPrintExteriorSheets;
    if (rooms && !sheets) return UsageError(err, "--rooms is for interior and exterior");
    if (boxes && mode != kPrintSummaries) return UsageError(err, "--tables is for summary");

    OpenedProject p(line.base, err);
    if (!StartAndOpen(p, file, std::nullopt)) return kExitFailure;
    Workspace& w = p.workspace;
    w.SwitchMode(mode);
    PrintDialog& dialog = w.print_dialog();
    dialog.Open(mode, w.session().project_name());
    if (sheets) {
      if (!start_page.empty()) dialog.SetStartPage(start_page);
      if (!rooms) {
        dialog.SelectAll();
      } else {
        for (const std::string& name : SplitCommas(*rooms)) {
          const std::optional<int> room = dialog.FindRoom(name);
          if (!room) {
            err << "veltrano-cli: " << name << " is not in the list\n";
            return kExitFailure;
          }
          dialog.AddSelected({*room});
        }
      }
    } else if (mode == kPrintSummaries) {
      if (!boxes) {
        dialog.TickAll();
      } else {
        for (const std::string& box : SplitCommas(*boxes)) {
          const std::optional<int> i = WholeNumber(box);
          if (!i || *i < 0 || *i >= kSummaryBoxes || !dialog.box_enabled(*i)) {
            err << "veltrano-cli: table " << box << " is not enabled\n";
            return kExitFailure;
          }
          dialog.SetTicked(*i, true);
        }
      }
    }
    if (!dialog.ReadyToPrint()) return kExitFailure;
    if (!GetPdfCanvasFactory()) {
      err << "veltrano-cli: PDF output is not available\n";
      return kExitFailure;
    }
    std::string error;
    std::unique_ptr<PrinterCanvas> canvas = GetPdfCanvasFactory()(pdf, &error);
    if (!canvas) {
      dialog.ReportFailure(error);
      return kExitFailure;
    }
    const int pages = dialog.PrintTo(*canvas);
    if (pages < 0) return kExitFailure;
    out << "pages " << pages << "\n";
    return kExitOk;
  }
};

}  // namespace

const Command& PrintCommand() {
  static const Print kCommand;
  return kCommand;
}

}  // namespace veltrano
