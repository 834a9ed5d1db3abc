#include <istream>
#include <ostream>
#include <string_view>

#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"

namespace veltrano {

namespace {

class Recalc : public Command {
 public:
  Recalc()
      : Command(
            "recalc", "[--base DIR] recalc FILE.xdt -o OUT.xdt [--force] [--digits D]",
            "recalculate every room and place, then write as \"Save\" does") {}

  int Execute(const CommandLine& line, std::istream&, std::ostream&,
              std::ostream& err) const override {
    return ResaveProject(line.base, line.words, err, true);
  }
};

}  // namespace

const Command& RecalcCommand() {
  static const Recalc kCommand;
  return kCommand;
}

}  // namespace veltrano
