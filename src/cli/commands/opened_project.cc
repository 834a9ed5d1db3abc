#include "cli/commands/opened_project.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/commands/arguments.h"
#include "cli/commands/command.h"
#include "config/folders.h"
#include "json/plans_json.h"
#include "xlsx/xlsx_writer.h"
#include "port/this_process.h"
#include "project/project_lock.h"

namespace veltrano {

OpenedProject::OpenedProject(const std::optional<std::string>& base,
                             std::ostream& err)
    : dialogs(err),
      workspace(ResolveFolders(base), Platform{dialogs, files, progress, clipboard}) {
  // The commands read whatever holds the file and look at its lock only
  // before they write.
  workspace.session().set_locking(false);
  workspace.set_offers_recovery(false);
  workspace.set_remembers_recent(false);
  static const PlansJson kPlansFormat;
  workspace.set_plans_format(&kPlansFormat);
  static XlsxWriter spreadsheets;
  workspace.set_spreadsheet_writer(&spreadsheets);
}

bool StartAndOpen(OpenedProject& p, const std::string& file,
                  std::optional<int> digits) {
  if (!p.workspace.Startup()) return false;
  if (digits) p.workspace.settings().SetDigits(*digits);
  p.files.Push(file);
  p.workspace.session().OpenProject();
  return p.workspace.session().project_open();
}

bool MayWriteOver(const std::string& out, bool force, std::ostream& err) {
  if (force) return true;
  const LockLook look = LookAtLock(out, ThisProcess(), SecondsNow());
  if (look.standing != LockStanding::kLive) return true;
  err << "この物件は " << look.holder.Named() << "が開いています。\n"
      << out << " is locked by " << look.holder.user << " on " << look.holder.host
      << " (process " << look.holder.pid << "); --force writes over it\n";
  return false;
}

int ResaveProject(const std::optional<std::string>& base,
                  const std::vector<std::string>& args, std::ostream& err,
                  bool recalculate) {
  ProjectArgs parsed;
  if (std::string problem = ParseProjectArgs(args, true, recalculate, &parsed);
      !problem.empty()) {
    return UsageError(err, problem);
  }
  OpenedProject p(base, err);
  if (!StartAndOpen(p, parsed.file, parsed.digits)) return kExitFailure;
  if (!MayWriteOver(parsed.out, parsed.force, err)) return kExitFailure;
  Workspace& w = p.workspace;
  if (recalculate) {
    w.SwitchMode(kModeInterior);
    w.sheets().RecalculateAll();
    w.SwitchMode(kModeExterior);
    w.sheets().RecalculateAll();
  }
  w.SaveUnitPrices();
  return w.session().WriteProjectTo(parsed.out) ? kExitOk : kExitFailure;
}

}  // namespace veltrano
