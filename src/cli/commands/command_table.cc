#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "cli/commands/command.h"

namespace veltrano {

const std::vector<const Command*>& Commands() {
  static const std::vector<const Command*> kCommands = {
      &EvalCommand(),   &TotalCommand(),  &InfoCommand(),
      &ResaveCommand(), &RecalcCommand(), &AggregateCommand(),
      &ExportCommand(), &PrintCommand(), &PlansCommand(), &RunCommand()};
  return kCommands;
}

const Command* FindCommand(std::string_view name) {
  for (const Command* command : Commands()) {
    if (command->name() == name) return command;
  }
  return nullptr;
}

const std::string& UsageText() {
  static const std::string kUsage = [] {
    std::string text =
        "usage: veltrano-cli COMMAND [OPTIONS]\n"
        "\n"
        "commands:\n";
    for (const Command* command : Commands()) {
      text += "  ";
      text += command->synopsis();
      text += "\n      ";
      text += command->description();
      text += '\n';
    }
    text +=
        "\n"
        "D is the calculation-digits setting: 0, 1 or 2 (default 0).\n"
        "DIR is the base folder (default: $VELTRANO_BASE, else ~/Veltrano).\n";
    return text;
  }();
  return kUsage;
}

int UsageError(std::ostream& err, std::string_view problem) {
  err << "veltrano-cli: " << problem << "\n\n" << UsageText();
  return kExitUsage;
}

}  // namespace veltrano
