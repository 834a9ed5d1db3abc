#include <istream>
#include <ostream>
#include <string_view>

#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"

namespace veltrano {

namespace {

class Resave : public Command {
 public:
  Resave()
      : Command("resave", "[--base DIR] resave FILE.xdt -o OUT.xdt [--force]",
                "open a project and write it as \"Save\" does") {}

  int Execute(const CommandLine& line, std::istream&, std::ostream&,
              std::ostream& err) const override {
    return ResaveProject(line.base, line.words, err, false);
  }
};

}  // namespace

const Command& ResaveCommand() {
  static const Resave kCommand;
  return kCommand;
}

}  // namespace veltrano
