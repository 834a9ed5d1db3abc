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
  // `name` is the word that selects the command; `synopsis` and
  // `description`, how it is called and what it does, are one line each of
  // the usage text. All three are literals.
  constexpr Command(std::string_view name, std::string_view synopsis,
                    std::string_view description)
      : name_(name), synopsis_(synopsis), description_(description) {}
  virtual ~Command() = default;
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  std::string_view name() const { return name_; }
  std::string_view synopsis() const { return synopsis_; }
  std::string_view description() const { return description_; }

  // Runs the command; returns the exit status (kExitOk, kExitFailure or
  // kExitUsage of cli/cli.h).
  virtual int Execute(const CommandLine& line, std::istream& in,
                      std::ostream& out, std::ostream& err) const = 0;

 private:
  std::string_view name_;
  std::string_view synopsis_;
  std::string_view description_;
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
const Command& AggregateCommand();
const Command& ExportCommand();
const Command& RunCommand();
const Command& PrintCommand();
const Command& PlansCommand();

}  // namespace veltrano

#endif  // VELTRANO_CLI_COMMANDS_COMMAND_H_
