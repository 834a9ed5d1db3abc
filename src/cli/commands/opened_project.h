#ifndef VELTRANO_CLI_COMMANDS_OPENED_PROJECT_H_
#define VELTRANO_CLI_COMMANDS_OPENED_PROJECT_H_

// A workspace for the commands that work on one project file (info, resave,
// recalc): messages go to standard error, the file dialog of "Open" takes
// the file named on the command line.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "port/dialogs.h"
#include "shell/workspace.h"

namespace veltrano {

// A workspace started on the base folder, with a project opened from FILE.
struct OpenedProject {
  StderrDialogs dialogs;
  QueuedFileDialogs files;
  Progress progress;
  MemoryClipboard clipboard;
  Workspace workspace;

  OpenedProject(const std::optional<std::string>& base, std::ostream& err);
};

// Starts the workspace and opens `file` as "Open" does; false when either
// fails (the messages have been written).
bool StartAndOpen(OpenedProject& p, const std::string& file,
                  std::optional<int> digits);

// Whether a command may write `out`: false, with the holder named on
// `err`, while another program that is still running has the project
// locked, unless `force` is given.
bool MayWriteOver(const std::string& out, bool force, std::ostream& err);

// `resave` and `recalc`: opens FILE, recalculates every room and place when
// `recalculate`, and writes OUT as "Save" does.
int ResaveProject(const std::optional<std::string>& base,
                  const std::vector<std::string>& args, std::ostream& err,
                  bool recalculate);

}  // namespace veltrano

#endif  // VELTRANO_CLI_COMMANDS_OPENED_PROJECT_H_
