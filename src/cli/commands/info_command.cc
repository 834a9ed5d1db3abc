#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "calc/text_util.h"
#include "cli/cli.h"
#include "cli/commands/arguments.h"
#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"
#include "project/fittings_tables.h"
#include "shell/workspace.h"

namespace veltrano {

namespace {

class Info : public Command {
 public:
  Info()
      : Command("info", "[--base DIR] info FILE.xdt",
                "print the counts and the room and place names of a project") {}

  int Execute(const CommandLine& line, std::istream&, std::ostream& out,
              std::ostream& err) const override {
    ProjectArgs parsed;
    if (std::string problem =
            ParseProjectArgs(line.words, false, false, &parsed);
        !problem.empty()) {
      return UsageError(err, problem);
    }
    OpenedProject p(line.base, err);
    if (!StartAndOpen(p, parsed.file, std::nullopt)) return kExitFailure;
    const Project& t = p.workspace.tables();
    int fittings = 0;
    for (int r = 1; r < t.fittings_register()->rows(); ++r) {
      if (!t.fittings_register()->At(r, 0).empty()) ++fittings;
    }
    int takeoffs = 0;
    for (int r = 0; r < t.fittings_store()->rows(); ++r) {
      const std::string& marker = t.fittings_store()->At(r, 0);
      if (EqualsIgnoreCase(marker, FittingsStoreView::kLive) &&
          FittingsStoreView::NamesCode(t.fittings_store(), r)) {
        ++takeoffs;
      }
    }
    out << "rooms " << t.rooms().names(0).size() << '\n';
    out << "places " << t.rooms().names(1).size() << '\n';
    out << "fittings " << fittings << '\n';
    out << "takeoffs " << takeoffs << '\n';
    for (const std::string& n : t.rooms().names(0)) out << "room " << n << '\n';
    for (const std::string& n : t.rooms().names(1)) out << "place " << n << '\n';
    return kExitOk;
  }
};

}  // namespace

const Command& InfoCommand() {
  static const Info kCommand;
  return kCommand;
}

}  // namespace veltrano
