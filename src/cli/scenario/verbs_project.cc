#include <ostream>

#include "cli/scenario/runner.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"

namespace veltrano::scenario {

void DefineProjectVerbs(Runner& r) {
  Workspace& w = r.workspace();
  constexpr Where kMain = Where::kMainWindow;

  // ---- Toolbar, name dialog, close request, backup ------------------------
  r.DefineAction("new", kMain, nullptr,
                 [&r, &w] { r.window().name_dialog_open = w.CommandNew(); });
  r.DefineAction("name-dialog create", Where::kNameDialog, nullptr, [&r, &w] {
    w.session().NewProject();
    r.window().name_dialog_open = false;
  });
  r.Define("name-dialog save-as", Where::kNameDialog, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "name-dialog save-as")) return false;
    if (!w.session().project_open()) {
      return r.Fail(
          "the name dialog shows no save-as button while no project is open");
    }
    w.session().SaveProjectAs();
    r.window().name_dialog_open = false;
    return true;
  });
  r.DefineAction("name-dialog close", Where::kNameDialog, nullptr,
                 [&r] { r.window().name_dialog_open = false; });
  r.DefineAction("open", kMain, nullptr, [&w] { w.CommandOpen(); });
  r.Define("open-recent", kMain, [&r, &w](const Args& a) {
    const int count = static_cast<int>(w.recent_projects().entries().size());
    int n = 0;
    if (!r.Arity(a, 1, 1, "open-recent N")) return false;
    if (count == 0) return r.Fail("the list of recent projects is empty");
    if (!r.Count(a[0], 1, count, "the entry", &n)) return false;
    w.CommandOpenRecent(n - 1);
    return true;
  });
  r.DefineAction("save", kMain, nullptr, [&w] { w.CommandSave(); });
  r.DefineAction("print", kMain, nullptr, [&r, &w] {
    r.window().print_opened = w.CommandPrint();
    if (*r.window().print_opened) r.out() << "print-dialog\n";
  });
  r.DefineAction("close", kMain, nullptr, [&r, &w] {
    r.window().window_closed = w.RequestClose();
    if (r.window().window_closed) r.out() << "window closed\n";
  });
  r.DefineAction("backup", kMain, nullptr, [&w] { w.BackUpProject(); });
}

}  // namespace veltrano::scenario
