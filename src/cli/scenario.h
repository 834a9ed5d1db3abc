#ifndef VELTRANO_CLI_SCENARIO_H_
#define VELTRANO_CLI_SCENARIO_H_

// The scenario runner behind `veltrano-cli run SCRIPT`: it replays a plain
// text script of user actions against a workspace started on a base folder
// and checks what the user would see. docs/scenarios.md describes the
// language; the runner itself is in cli/scenario/.
//
// Every message box, question, beep and file dialog is written to the output
// stream as it comes:
//   message TITLE: TEXT
//   question TITLE: TEXT -> ANSWER
//   beep
//   file-dialog TITLE -> NAME            (or "-> cancel")
// Line breaks inside a text are written as "\n", as scripts write them.
// The run stops at the first failed expectation or unusable line.

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "config/folders.h"

namespace veltrano {

namespace scenario {
class Runner;
}  // namespace scenario

class ScenarioRunner {
 public:
  // The workspace is started on `folders` when Run begins; dialogs are
  // written to `out`.
  ScenarioRunner(Folders folders, std::ostream& out);
  ~ScenarioRunner();
  ScenarioRunner(const ScenarioRunner&) = delete;
  ScenarioRunner& operator=(const ScenarioRunner&) = delete;

  // Replays `script` (UTF-8). `name` names the script in failures. Returns
  // true when every line passed; otherwise failure() tells why.
  bool Run(std::string_view script, std::string_view name);

  // "NAME:LINE: what was expected and what was found", or "" after a run
  // that passed.
  const std::string& failure() const;
  // The line of the failure (from 1), or 0.
  int failure_line() const;

 private:
  std::unique_ptr<scenario::Runner> runner_;
};

}  // namespace veltrano

#endif  // VELTRANO_CLI_SCENARIO_H_
