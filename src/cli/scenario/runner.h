#ifndef VELTRANO_CLI_SCENARIO_RUNNER_H_
#define VELTRANO_CLI_SCENARIO_RUNNER_H_

// The runner behind ScenarioRunner: it reads a script line by line, finds
// each line's verb in its table and replays it on a workspace running on the
// scripted ports. The verbs themselves are defined per subsystem (verbs.h);
// this class gives them the workspace, the ports, the window's state and the
// helpers that check their arguments and report failures as
// "SCRIPT:LINE: what was expected and what was found".

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/scenario/script_ports.h"
#include "cli/scenario/script_reader.h"
#include "config/folders.h"
#include "port/dialogs.h"
#include "shell/workspace.h"

namespace veltrano::scenario {

// Where a verb can be given.
enum class Where {
  kAnywhere,     // expectations, queued answers, files: no user action
  kMainWindow,   // an action on the main window (no dialog open)
  kRoomsDialog,  // an action in the rooms dialog
  kNameDialog,   // an action in the name dialog
  kEnteredDialog,  // an action in the entered-fitting dialog
  kAggregationDialog,  // an action in the selection dialog of 集計開始
  kTemplatesDialog,    // an action in the template dialog
};

// What the scenario knows of the windows beyond the workspace.
struct WindowState {
  bool name_dialog_open = false;
  bool window_closed = false;
  std::optional<bool> print_opened;  // what the last print click did
  // The aggregation panel: the entries chosen in the work-type list and
  // the unit list ("" for none), and the current column of the fittings
  // summary table.
  std::string work_type_choice;
  std::string unit_choice;
  int summary_column = -1;
};

class Runner {
 public:
  // A verb's action on its arguments (the words after the verb's own);
  // false when it failed (after Fail).
  using Handler = std::function<bool(const Args&)>;

  Runner(Folders folders, std::ostream& out);
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  bool Run(std::string_view script, std::string_view name);
  const std::string& failure() const { return failure_; }
  int failure_line() const { return failure_line_; }

  // Adds a verb: one word, or two for the groups (rooms, name-dialog,
  // setting, import, expect).
  void Define(const std::string& words, Where where, Handler run);
  // A check of the runner that a verb needs before it acts, such as
  // &Runner::NeedTakeoff; null for none.
  using Need = bool (Runner::*)();
  // A verb without arguments (its usage is its words) that does `act`.
  void DefineAction(const std::string& words, Where where, Need need,
                    std::function<void()> act);
  // A verb taking on or off (its usage is its words and "on|off").
  void DefineOnOff(const std::string& words, Where where, Need need,
                   std::function<void(bool)> act);

  Workspace& workspace() { return ws_; }
  std::ostream& out() { return out_; }
  ScriptDialogs& dialogs() { return dialogs_; }
  ScriptFileDialogs& files() { return files_; }
  MemoryClipboard& clipboard() { return clipboard_; }
  WindowState& window() { return window_; }
  // The "|" lines after the current line.
  const std::vector<std::string>& block() const { return block_; }
  // The room list of a side.
  const std::vector<std::string>& Rooms(int side) const {
    return ws_.rooms().room_names(side);
  }

  // Ends the run with a failure on the current line; returns false.
  bool Fail(std::string what);
  // The checks below return false after a Fail when they do not hold.
  bool Arity(const Args& a, std::size_t least, std::size_t most,
             std::string_view usage);
  bool Count(const Token& t, int low, int high, std::string_view what,
             int* out);
  bool OnOff(const Token& t, bool* out);
  // ROW COL in a[0] and a[1].
  bool Cell(const Args& a, int* row, int* col);
  // A file named in a script: a plain name is in the Data folder; the
  // prefixes "backup:", "info:" and "base:" name the backup folder, the
  // settings folder and the base folder.
  bool FilePath(const Token& t, std::filesystem::path* out);
  bool NeedTakeoff();
  bool NeedSettingsPanel();
  bool NeedRegisterPanel();  // mode 3
  bool NeedFittingsPanel();  // mode 1
  bool NeedAggregationPanel();  // mode 2
  bool NeedEditor();
  bool ReadLines(const std::filesystem::path& path, const Token& name,
                 std::vector<std::string>* lines);

  bool Expect(bool ok, std::string_view what, std::string_view expected,
              std::string_view found);
  bool ExpectText(std::string_view what, const std::string& expected,
                  const std::string& found);
  bool ExpectList(std::string_view what, const Args& a,
                  const std::vector<std::string>& found);
  // The message boxes, questions and beeps shown since the last check that
  // no expectation has taken yet.
  std::vector<std::string> Untaken() const;
  std::string UntakenText() const;
  // Takes the first untaken one of `kind` that fits; marks a check.
  bool TakeShown(ShownKind kind, const std::function<bool(const Shown&)>& fits,
                 const std::string& expected);
  // A dialog expectation ran: the next action starts a new round of them.
  void MarkChecked() { checked_ = true; }

 private:
  struct Verb {
    Where where;
    Handler run;
  };

  bool RunLine(const Args& tokens);

  Folders folders_;
  std::ostream& out_;
  ScriptDialogs dialogs_;
  ScriptFileDialogs files_;
  Progress progress_;
  MemoryClipboard clipboard_;
  Workspace ws_;

  std::map<std::string, Verb> verbs_;
  std::string name_;
  int line_ = 0;
  std::string failure_;
  int failure_line_ = 0;
  std::vector<std::string> block_;  // the "|" lines after the current line
  int block_line_ = 0;              // the line of the first of them
  bool checked_ = false;  // a dialog expectation ran since the last action
  bool queuing_start_answers_ = false;  // the script's leading answer lines
  WindowState window_;
};

}  // namespace veltrano::scenario

#endif  // VELTRANO_CLI_SCENARIO_RUNNER_H_
