#ifndef VELTRANO_CLI_COMMANDS_COMMAND_H_
#define VELTRANO_CLI_COMMANDS_COMMAND_H_

// The top-level commands of `veltrano-cli`: one class each behind Command,
// listed once in Commands(), which serves both the dispatch in RunCli and
// the usage text. docs/cli.md describes them.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// What a command is given: the base folder named with --base, if any, and
// its words, of which words[0] is the command's own name.
struct CommandLine {
  std::optional<std::string> base;
  std::vector<std::string> words;
};

class Command {
 public:
  virtual ~Command() = default;

  // The word that selects the command.
  virtual std::string_view name() const = 0;
  // How it is called and what it does, one line each, for the usage text.
  virtual std::string_view synopsis() const = 0;
  virtual std::string_view description() const = 0;

  // Runs the command; returns the exit status (kExitOk, kExitFailure or
  // kExitUsage of cli/cli.h).
  virtual int Execute(const CommandLine& line, std::istream& in,
                      std::ostream& out, std::ostream& err) const = 0;
};

// Every command, in the order the usage text lists them.
const std::vector<const Command*>& Commands();

// The command named `name`, or null.
const Command* FindCommand(std::string_view name);

// The usage text `--help` writes.
const std::string& UsageText();

// Writes "veltrano-cli: PROBLEM", a blank line and the usage text to `err`;
// returns kExitUsage.
int UsageError(std::ostream& err, std::string_view problem);

// The commands, one file each.
const Command& EvalCommand();
const Command& TotalCommand();
const Command& InfoCommand();
const Command& ResaveCommand();
const Command& RecalcCommand();
const Command& RunCommand();

}  // namespace veltrano

#endif  // VELTRANO_CLI_COMMANDS_COMMAND_H_
