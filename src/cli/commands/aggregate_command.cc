#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "aggregate/work_type_table.h"
#include "calc/text_util.h"
#include "cli/cli.h"
#include "cli/commands/arguments.h"
#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"
#include "config/settings.h"

namespace veltrano {

namespace {

// Names after "interior=" or "exterior=", split at commas, repeats kept.
std::vector<std::string> NamesAfter(std::string_view step) {
  std::vector<std::string> names;
  const std::string_view list = step.substr(step.find('=') + 1);
  for (std::string_view name : SplitFields(list)) names.emplace_back(name);
  return names;
}

bool IsStep(std::string_view word) {
  return word == "interior" || word == "exterior" || word == "fittings" ||
         word == "worktype" || word.rfind("interior=", 0) == 0 ||
         word.rfind("exterior=", 0) == 0;
}

class Aggregate : public Command {
 public:
  Aggregate()
      : Command("aggregate",
                "[--base DIR] aggregate FILE.xdt -o OUT.xdt [--force] [--digits D] "
                "[--rounding R] STEP...",
                "run aggregation steps (interior, exterior, interior=NAME,..., "
                "exterior=NAME,..., fittings, worktype), then write as \"Save\" "
                "does") {}

  int Execute(const CommandLine& line, std::istream&, std::ostream&,
              std::ostream& err) const override {
    const std::vector<std::string>& args = line.words;
    std::string file, out;
    std::optional<int> digits, rounding;
    std::vector<std::string> steps;
    bool force = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "-o" && i + 1 < args.size()) {
        out = args[++i];
      } else if (a == "--force") {
        force = true;
      } else if (a == "--digits" && i + 1 < args.size()) {
        digits = ParseDigits(args[++i]);
        if (!digits) return UsageError(err, "--digits takes 0, 1 or 2");
      } else if (a == "--rounding" && i + 1 < args.size()) {
        rounding = ParseDigits(args[++i]);
        if (!rounding) return UsageError(err, "--rounding takes 0, 1 or 2");
      } else if (file.empty() && !IsStep(a) && a.rfind("-", 0) != 0) {
        file = a;
      } else if (IsStep(a)) {
        steps.push_back(a);
      } else {
        return UsageError(err, "aggregate does not take " + a);
      }
    }
    if (file.empty()) return UsageError(err, "aggregate needs FILE.xdt");
    if (out.empty()) return UsageError(err, "aggregate needs -o OUT.xdt");
    if (steps.empty()) return UsageError(err, "aggregate needs a STEP");
    if (!MayWriteOver(out, force, err)) return kExitFailure;

    OpenedProject p(line.base, err);
    if (!StartAndOpen(p, file, digits)) return kExitFailure;
    Workspace& w = p.workspace;
    if (rounding) w.settings().SetMoneyRounding(*rounding);
    w.SwitchMode(kModeAggregation);
    for (const std::string& step : steps) {
      if (step == "fittings") {
        w.fittings_summary().AggregateFittings();
      } else if (step == "worktype") {
        w.settings().ReloadWorkTypeList();
        w.work_type_table().StartAggregation(
            w.settings().panel().aggregation_work_types(),
            MoneyRoundingOf(w.settings().panel().money_rounding()));
      } else {
        const int side = step.rfind("interior", 0) == 0 ? kInterior : kExterior;
        w.part_summaries().AggregateSide(
            side, step.find('=') == std::string::npos ? w.rooms().room_names(side)
                                                      : NamesAfter(step));
      }
    }
    w.SaveUnitPrices();
    return w.session().WriteProjectTo(out) ? kExitOk : kExitFailure;
  }
};

}  // namespace

const Command& AggregateCommand() {
  static const Aggregate kCommand;
  return kCommand;
}

}  // namespace veltrano
