#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <string_view>

#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::scenario {

namespace {

constexpr std::array<std::string_view, 5> kPartWords = {"床", "巾木", "壁",
                                                        "天井", "雑"};

}  // namespace

void DefineSheetVerbs(Runner& r) {
  Workspace& w = r.workspace();
  constexpr Where kMain = Where::kMainWindow;

  // ---- Modes and the takeoff sheet ----------------------------------------
  r.Define("mode", kMain, [&r, &w](const Args& a) {
    int mode = 0;
    if (!r.Arity(a, 1, 1, "mode 0..5") ||
        !r.Count(a[0], 0, 5, "the mode", &mode))
      return false;
    w.SwitchMode(mode);
    return true;
  });
  auto click = [&r, &w](bool right) {
    return [&r, &w, right](const Args& a) {
      int row = 0, col = 0;
      if (!r.Arity(a, 2, 2, right ? "right-click ROW COL" : "click ROW COL") ||
          !r.NeedTakeoff() || !r.Cell(a, &row, &col)) {
        return false;
      }
      w.sheets().ClickSheet(row, col, right);
      return true;
    };
  };
  r.Define("click", kMain, click(false));
  r.Define("right-click", kMain, click(true));
  r.Define("type", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "type TEXT") || !r.NeedEditor()) return false;
    w.sheets().EditorTextChanged(a[0].text);
    return true;
  });
  r.Define("press", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "press enter|up|down|tab|escape|f2")) return false;
    const std::string& key = a[0].text;
    static const std::map<std::string, EditorKey> kKeys = {
        {"enter", EditorKey::kEnter},
        {"up", EditorKey::kUp},
        {"down", EditorKey::kDown},
        {"tab", EditorKey::kTab},
        {"escape", EditorKey::kEscape}};
    if (key == "f2") {
      // F2 on the sheet, with the editor closed.
      if (!r.NeedTakeoff()) return false;
      if (w.sheets().editor_visible())
        return r.Fail("the cell editor is open already");
      w.sheets().EditCurrentCell();
      return true;
    }
    const auto it = kKeys.find(key);
    if (it == kKeys.end()) {
      return r.Fail("press takes enter, up, down, tab, escape or f2, not " +
                    Quoted(key));
    }
    if (!r.NeedEditor()) return false;
    w.sheets().EditorKeyPressed(it->second);
    return true;
  });
  r.Define("type-grid", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "type-grid TEXT") || !r.NeedTakeoff()) return false;
    if (w.sheets().editor_visible())
      return r.Fail("the cell editor is open already");
    if (a[0].text.empty()) return r.Fail("type-grid needs a text to type");
    w.sheets().TypeIntoCurrentCell(a[0].text);
    return true;
  });
  r.Define("fill", kMain, [&r, &w](const Args& a) {
    int row = 0, col = 0;
    if (!r.Arity(a, 3, 3, "fill ROW COL TEXT") || !r.NeedTakeoff() ||
        !r.Cell(a, &row, &col)) {
      return false;
    }
    w.sheets().ClickSheet(row, col, false);
    if (!w.sheets().editor_visible()) {
      return r.Fail("no cell editor opened at " + a[0].text + "," + a[1].text);
    }
    w.sheets().EditorTextChanged(a[2].text);
    w.sheets().EditorKeyPressed(EditorKey::kEnter);
    return true;
  });
  r.Define("param", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 2, 2, "param A|S|L TEXT") || !r.NeedTakeoff()) return false;
    static const std::map<std::string, int> kLetters = {
        {"A", 0}, {"S", 1}, {"L", 2}};
    const auto it = kLetters.find(a[0].text);
    if (it == kLetters.end())
      return r.Fail("param takes A, S or L, not " + Quoted(a[0].text));
    w.sheets().SetParameter(w.side() * 3 + it->second, a[1].text);
    return true;
  });
  r.Define("places", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "places TEXT")) return false;
    if (w.mode() != kModeInterior)
      return r.Fail("the places box is shown in mode 0 only");
    w.sheets().SetPlacesBox(a[0].text);
    return true;
  });
  r.DefineOnOff("done-mark", kMain, &Runner::NeedTakeoff,
                [&w](bool on) { w.sheets().SetDoneMark(on); });
  r.DefineAction("recalculate", kMain, &Runner::NeedTakeoff,
                 [&w] { w.sheets().RecalculateAll(); });
  r.DefineAction("clear-values", kMain, &Runner::NeedTakeoff,
                 [&w] { w.sheets().ClearAllValues(); });
  r.Define("part", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "part 床|巾木|壁|天井|雑") || !r.NeedTakeoff())
      return false;
    const auto it = std::find(kPartWords.begin(), kPartWords.end(), a[0].text);
    if (it == kPartWords.end())
      return r.Fail("no part named " + Quoted(a[0].text));
    w.sheets().ShowPart(static_cast<int>(it - kPartWords.begin()));
    return true;
  });
  r.Define("arrow", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "arrow left|right") || !r.NeedTakeoff()) return false;
    if (a[0].text != "left" && a[0].text != "right") {
      return r.Fail("arrow takes left or right, not " + Quoted(a[0].text));
    }
    w.sheets().ScrollColumns(a[0].text == "left" ? -1 : 1);
    return true;
  });
}

}  // namespace veltrano::scenario
