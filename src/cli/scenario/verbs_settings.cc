#include <string>

#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"

namespace veltrano::scenario {

void DefineSettingsVerbs(Runner& r) {
  Workspace& w = r.workspace();
  constexpr Where kMain = Where::kMainWindow;

  // ---- Settings panel -----------------------------------------------------
  r.Define("setting digits", kMain, [&r, &w](const Args& a) {
    int digits = 0;
    if (!r.Arity(a, 1, 1, "setting digits 0|1|2") || !r.NeedSettingsPanel() ||
        !r.Count(a[0], 0, 2, "the digit setting", &digits)) {
      return false;
    }
    w.settings().SetDigits(digits);
    return true;
  });
  r.DefineOnOff("setting save-on-switch", kMain, &Runner::NeedSettingsPanel,
                [&w](bool on) { w.settings().SetSaveOnSwitch(on); });
  r.DefineAction("import choose", kMain, &Runner::NeedSettingsPanel,
                 [&w] { w.importer().ChooseImportSource(); });
  auto tick = [&r, &w](bool on) {
    return [&r, &w, on](const Args& a) {
      if (!r.Arity(a, 1, 2,
                   on ? "import tick interior|exterior..."
                      : "import untick interior|exterior...") ||
          !r.NeedSettingsPanel()) {
        return false;
      }
      for (const Token& t : a) {
        if (t.text == "interior") {
          w.importer().SetSide(kInterior, on);
        } else if (t.text == "exterior") {
          w.importer().SetSide(kExterior, on);
        } else {
          return r.Fail("expected interior or exterior, not " + Quoted(t.text));
        }
      }
      return true;
    };
  };
  r.Define("import tick", kMain, tick(true));
  r.Define("import untick", kMain, tick(false));
  r.DefineAction("import execute", kMain, &Runner::NeedSettingsPanel,
                 [&w] { w.importer().ImportRooms(); });
}

}  // namespace veltrano::scenario
