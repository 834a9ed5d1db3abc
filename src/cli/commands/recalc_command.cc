#include <istream>
#include <ostream>
#include <string_view>

#include "cli/commands/command.h"
#include "cli/commands/opened_project.h"

namespace veltrano {

namespace {

class Recalc : public Command {
 public:
  std::string_view name() const override { return "recalc"; }
  std::string_view synopsis() const override {
    return "[--base DIR] recalc FILE.xdt -o OUT.xdt [--digits D]";
  }
  std::string_view description() const override {
    return "recalculate every room and place, then write as \"Save\" does";
  }

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
