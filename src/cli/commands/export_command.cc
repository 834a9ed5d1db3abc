#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "aggregate/export.h"
#include "aggregate/summary_view.h"
#include "cli/cli.h"
#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"

namespace veltrano {

namespace {

class Export : public Command {
 public:
  Export()
      : Command("export",
                "[--base DIR] export FILE.xdt TABLE [--lf | --xlsx OUT.xlsx | --csv OUT.csv [--utf8]]",
                "print the clipboard text of a summary table (interior-0..4, "
                "exterior-0..4, fittings, worktype), or write it as a spreadsheet file "
                "(TABLE all: every table, with --xlsx)") {}

  int Execute(const CommandLine& line, std::istream&, std::ostream& out,
              std::ostream& err) const override {
    const std::vector<std::string>& args = line.words;
    std::string file, table, xlsx, csv;
    bool lf = false;
    bool utf8 = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--lf") {
        lf = true;
      } else if (args[i] == "--utf8") {
        utf8 = true;
      } else if (args[i] == "--xlsx" || args[i] == "--csv") {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
          return UsageError(err, args[i] + " needs a file name");
        }
        (args[i] == "--xlsx" ? xlsx : csv) = args[i + 1];
        ++i;
      } else if (file.empty()) {
        file = args[i];
      } else if (table.empty()) {
        table = args[i];
      } else {
        return UsageError(err, "export does not take " + args[i]);
      }
    }
    if (file.empty() || table.empty()) {
      return UsageError(err, "export needs FILE.xdt and TABLE");
    }
    int part = -1;
    int side = -1;
    for (int s = 0; s < 2; ++s) {
      const std::string prefix = s == 0 ? "interior-" : "exterior-";
      if (table.size() == prefix.size() + 1 && table.rfind(prefix, 0) == 0 &&
          table.back() >= '0' && table.back() <= '4') {
        side = s;
        part = table.back() - '0';
      }
    }
    const bool all = table == "all";
    if (side < 0 && table != "fittings" && table != "worktype" && !all) {
      return UsageError(err, "unknown table " + table);
    }
    if (!xlsx.empty() + !csv.empty() + lf > 1) {
      return UsageError(err, "export takes one of --lf, --xlsx and --csv");
    }
    if (all && xlsx.empty()) return UsageError(err, "TABLE all is written with --xlsx only");
    if (utf8 && csv.empty()) return UsageError(err, "--utf8 goes with --csv");
    OpenedProject p(line.base, err);
    if (!StartAndOpen(p, file, std::nullopt)) return kExitFailure;
    // The table that "Exceに送る" of the panel sends.
    SummaryView& view = p.workspace.summary_view();
    view.ChooseSummary(side >= 0             ? side
                       : table == "fittings" ? kFittingsSummary
                       : all                 ? kInteriorSummary
                                             : kWorkTypeSummary);
    if (side >= 0) view.ChoosePart(part);
    if (!xlsx.empty() || !csv.empty()) {
      std::string error;
      const bool written = !xlsx.empty()
                               ? view.WriteWorkbook(xlsx, all ? view.AllSheets()
                                                              : std::vector{view.ShownSheet()},
                                                    &error)
                               : view.WriteCsv(csv, utf8, &error);
      if (!written) {
        err << "エラー: 保存できませんでした。\n" << error << '\n';
        return kExitFailure;
      }
      return kExitOk;
    }
    const TextGrid grid = view.ExportedTable();
    out << SummaryText(grid, lf ? "\r\n" : "\r");
    return kExitOk;
  }
};

}  // namespace

const Command& ExportCommand() {
  static const Export kCommand;
  return kCommand;
}

}  // namespace veltrano
