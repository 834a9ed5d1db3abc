#include "cli/scenario/verbs.h"

#include <ostream>

#include "cli/scenario/runner.h"
#include "shell/workspace.h"

namespace veltrano::scenario {

void DefineProjectVerbs(Runner& r) {
  Workspace& w = r.workspace();
  constexpr Where kMain = Where::kMainWindow;

  // ---- Toolbar, name dialog, close request, backup ------------------------
  r.Define("new", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "new")) return false;
    r.window().name_dialog_open = w.CommandNew();
    return true;
  });
  r.Define("name-dialog create", Where::kNameDialog, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "name-dialog create")) return false;
    w.session().NewProject();
    r.window().name_dialog_open = false;
    return true;
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
  r.Define("name-dialog close", Where::kNameDialog, [&r](const Args& a) {
    if (!r.Arity(a, 0, 0, "name-dialog close")) return false;
    r.window().name_dialog_open = false;
    return true;
  });
  r.Define("open", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "open")) return false;
    w.CommandOpen();
    return true;
  });
  r.Define("save", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "save")) return false;
    w.CommandSave();
    return true;
  });
  r.Define("print", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "print")) return false;
    r.window().print_opened = w.CommandPrint();
    if (*r.window().print_opened) r.out() << "print-dialog\n";
    return true;
  });
  r.Define("close", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "close")) return false;
    r.window().window_closed = w.RequestClose();
    if (r.window().window_closed) r.out() << "window closed\n";
    return true;
  });
  r.Define("backup", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "backup")) return false;
    w.BackUpProject();
    return true;
  });
}

}  // namespace veltrano::scenario
