#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "cli/commands/arguments.h"
#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"
#include "shell/workspace.h"
#include "project/room.h"

namespace veltrano {

namespace {

constexpr std::string_view kSideWords[] = {"interior", "exterior"};

class Plans : public Command {
 public:
  Plans()
      : Command("plans", "[--base DIR] plans FILE.xdt",
                "print the measurements on the project's drawings: "
                "N PAGE KIND VALUE SIDE ROOM ROW COLUMN") {}

  int Execute(const CommandLine& line, std::istream&, std::ostream& out,
              std::ostream& err) const override {
    ProjectArgs parsed;
    if (std::string problem = ParseProjectArgs(line.words, false, false, &parsed);
        !problem.empty()) {
      return UsageError(err, problem);
    }
    OpenedProject p(line.base, err);
    if (!StartAndOpen(p, parsed.file, std::nullopt)) return kExitFailure;
    if (p.workspace.session().plans_damaged()) return kExitFailure;
    const PlanTakeoff& takeoff = p.workspace.plan_takeoff();
    const PlanSet& plans = takeoff.plans();
    for (std::size_t i = 0; i < plans.measurements().size(); ++i) {
      const PlanMeasurement& m = plans.measurements()[i];
      const std::optional<Measured> measured = plans.MeasureOf(static_cast<int>(i));
      out << i + 1 << ' ' << m.page + 1 << ' ' << MeasureKindWord(m.kind) << ' '
          << (measured ? SentText(m.kind, *measured) : "-") << ' ';
      // A cell retyped or emptied since holds the measurement no longer.
      if (m.link && takeoff.LinkHolds(static_cast<int>(i))) {
        out << kSideWords[m.link->side] << ' ' << m.link->room << ' ' << m.link->row << ' '
            << kFormulaColumn[static_cast<std::size_t>(m.link->part)] << '\n';
      } else {
        out << "- - - -\n";
      }
    }
    return kExitOk;
  }
};

}  // namespace

const Command& PlansCommand() {
  static const Plans kCommand;
  return kCommand;
}

}  // namespace veltrano
