#include <filesystem>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "calc/text_file.h"
#include "cli/cli.h"
#include "cli/commands/command.h"
#include "cli/scenario.h"
#include "config/folders.h"

namespace veltrano {

namespace {

class Run : public Command {
 public:
  Run()
      : Command("run", "[--base DIR] run SCRIPT",
                "replay a script of user actions (see docs/scenarios.md)") {}

  // Exit status 0 when the script passed, 1 when it failed, 2 for a usage
  // error.
  int Execute(const CommandLine& line, std::istream&, std::ostream& out,
              std::ostream& err) const override {
    if (line.words.size() != 2) {
      err << "veltrano-cli: usage: veltrano-cli [--base DIR] run SCRIPT\n";
      return kExitUsage;
    }
    const std::filesystem::path script_path(line.words[1]);
    std::string script, error;
    if (!ReadFileBytes(script_path, &script, &error)) {
      err << "veltrano-cli: " << error << '\n';
      return kExitFailure;
    }
    ScenarioRunner runner(ResolveFolders(line.base), out);
    const std::string name = script_path.filename().string();
    const bool passed = runner.Run(script, name);
    out.flush();
    if (!passed) {
      err << runner.failure() << '\n';
      return kExitFailure;
    }
    out << name << ": passed\n";
    return kExitOk;
  }
};

}  // namespace

const Command& RunCommand() {
  static const Run kCommand;
  return kCommand;
}

}  // namespace veltrano
