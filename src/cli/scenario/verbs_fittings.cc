#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"

namespace veltrano::scenario {

namespace {

// The boxes InpText(0..2) by their words.
bool BoxIndex(Runner& r, const Token& t, int* index) {
  static const std::map<std::string, int> kBoxes = {
      {"code", 0}, {"w", 1}, {"h", 2}};
  const auto it = kBoxes.find(t.text);
  if (it == kBoxes.end()) {
    return r.Fail("expected code, w or h, not " + Quoted(t.text));
  }
  *index = it->second;
  return true;
}

// Table T (0-3), data row R (from 1) and column K (from 0) of the fittings
// calculation tables.
bool TableCell(Runner& r, const FittingsTakeoff& t, const Args& a, int* table,
               int* row, int* col) {
  if (!r.Count(a[0], 0, kFittingsTables - 1, "the table", table)) return false;
  const TextGrid& g = t.table(*table);
  return r.Count(a[1], 1, g.rows() - 1, "the row", row) &&
         r.Count(a[2], 0, g.cols() - 1, "the column", col);
}

std::vector<std::string> RowTexts(const TextGrid& g, int row, int from,
                                  std::size_t count) {
  std::vector<std::string> texts;
  for (int c = from; c < g.cols() && texts.size() < count; ++c) {
    texts.push_back(g.At(row, c));
  }
  return texts;
}

void DefineRegisterVerbs(Runner& r, Workspace& w) {
  constexpr Where kMain = Where::kMainWindow;
  FittingsRegister& reg = w.fittings_register();
  r.Define("fitting-box", kMain, [&r, &reg](const Args& a) {
    int box = 0;
    if (!r.Arity(a, 2, 2, "fitting-box code|w|h TEXT") ||
        !r.NeedRegisterPanel() || !BoxIndex(r, a[0], &box)) {
      return false;
    }
    reg.TypeBox(box, a[1].text);
    return true;
  });
  r.Define("fitting-key", kMain, [&r, &reg](const Args& a) {
    int box = 0;
    if (!r.Arity(a, 2, 2, "fitting-key code|w|h enter|delete") ||
        !r.NeedRegisterPanel() || !BoxIndex(r, a[0], &box)) {
      return false;
    }
    if (a[1].text == "enter") {
      reg.PressEnter(box);
    } else if (a[1].text == "delete") {
      reg.PressDelete(box);
    } else {
      return r.Fail("expected enter or delete, not " + Quoted(a[1].text));
    }
    return true;
  });
  r.DefineAction("fitting-ok", kMain, &Runner::NeedRegisterPanel,
                 [&reg] { reg.RegisterFitting(); });
  r.DefineAction("fitting-position", kMain, &Runner::NeedRegisterPanel,
                 [&reg] { reg.StartPositionPick(); });
  r.DefineAction("fitting-delete", kMain, &Runner::NeedRegisterPanel,
                 [&reg] { reg.DeleteSelected(); });
  r.DefineAction("fitting-delete-all", kMain, &Runner::NeedRegisterPanel,
                 [&reg] { reg.DeleteAll(); });
  r.DefineAction("fitting-read", kMain, &Runner::NeedRegisterPanel,
                 [&reg] { reg.ReadFromFile(); });
  r.Define("fitting-row", kMain, [&r, &reg](const Args& a) {
    int row = 0;
    if (!r.Arity(a, 1, 1, "fitting-row N") || !r.NeedRegisterPanel() ||
        !r.Count(a[0], 1, kMaxFittings, "the register row", &row)) {
      return false;
    }
    reg.ClickRow(row);
    return true;
  });
}

void DefineTakeoffVerbs(Runner& r, Workspace& w) {
  constexpr Where kMain = Where::kMainWindow;
  FittingsTakeoff& t = w.fittings_takeoff();
  r.Define("choose-fitting", kMain, [&r, &t](const Args& a) {
    if (!r.Arity(a, 1, 1, "choose-fitting CODE") || !r.NeedFittingsPanel()) {
      return false;
    }
    const std::vector<std::string>& codes = t.code_list();
    if (t.check_list_shown() ||
        std::find(codes.begin(), codes.end(), a[0].text) == codes.end()) {
      return r.Fail("the code list shows no " + Quoted(a[0].text));
    }
    t.ChooseFitting(a[0].text);
    return true;
  });
  r.Define("fittings-cell", kMain, [&r, &t](const Args& a) {
    int table = 0, row = 0, col = 0;
    if (!r.Arity(a, 3, 3, "fittings-cell T R K") || !r.NeedFittingsPanel() ||
        !TableCell(r, t, a, &table, &row, &col)) {
      return false;
    }
    t.OpenCell(table, row, col);
    return true;
  });
  r.Define("candidate", kMain, [&r, &t](const Args& a) {
    if (!r.Arity(a, 1, 1, "candidate TEXT") || !r.NeedFittingsPanel()) return false;
    if (t.shown_list() < 0) return r.Fail("no candidate list is shown");
    const std::vector<std::string>& items = t.candidate_list(t.shown_list());
    if (std::find(items.begin(), items.end(), a[0].text) == items.end()) {
      return r.Fail("the candidate list shows no " + Quoted(a[0].text));
    }
    t.ApplyCandidate(a[0].text);
    return true;
  });
  r.Define("candidate-dismiss", kMain, [&r, &t](const Args& a) {
    if (!r.Arity(a, 0, 0, "candidate-dismiss") || !r.NeedFittingsPanel()) {
      return false;
    }
    if (t.shown_list() < 0) return r.Fail("no candidate list is shown");
    t.DismissCandidates();
    return true;
  });
  auto need_editor = [&r, &t] {
    if (!r.NeedFittingsPanel()) return false;
    if (!t.editor_visible()) return r.Fail("the cell editor is not open");
    return true;
  };
  r.Define("fittings-type", kMain, [&r, &t, need_editor](const Args& a) {
    if (!r.Arity(a, 1, 1, "fittings-type TEXT") || !need_editor()) return false;
    t.EditorTextChanged(a[0].text);
    return true;
  });
  r.Define("fittings-enter", kMain, [&r, &t, need_editor](const Args& a) {
    if (!r.Arity(a, 0, 0, "fittings-enter") || !need_editor()) return false;
    t.EditorEnter();
    return true;
  });
  r.Define("fittings-places", kMain, [&r, &t](const Args& a) {
    if (!r.Arity(a, 1, 1, "fittings-places TEXT") || !r.NeedFittingsPanel()) {
      return false;
    }
    t.SetPlaces(a[0].text);
    return true;
  });
  r.DefineOnOff("sliding", kMain, &Runner::NeedFittingsPanel,
                [&t](bool on) { t.SetSliding(on); });
  r.DefineAction("fittings-clear", kMain, &Runner::NeedFittingsPanel,
                 [&t] { t.ClearTables(); });
  r.DefineAction("fittings-check", kMain, &Runner::NeedFittingsPanel,
                 [&t] { t.ToggleCheckList(); });
  r.DefineAction("commit", kMain, &Runner::NeedFittingsPanel,
                 [&t] { t.Commit(); });
  r.Define("entered", kMain, [&r, &t](const Args& a) {
    int row = 0, col = 0;
    const TextGrid& list = t.entered_data_list();
    if (!r.Arity(a, 2, 2, "entered ROW COL") || !r.NeedFittingsPanel() ||
        !r.Count(a[0], 1, list.rows() - 1, "the row", &row) ||
        !r.Count(a[1], 0, list.cols() - 1, "the column", &col)) {
      return false;
    }
    t.ClickEnteredList(row, col);
    return true;
  });
  constexpr Where kDialog = Where::kEnteredDialog;
  r.DefineAction("entered-dialog modify", kDialog, nullptr,
                 [&t] { t.EnteredDialogModify(); });
  r.DefineAction("entered-dialog delete", kDialog, nullptr,
                 [&t] { t.EnteredDialogDelete(); });
  r.DefineAction("entered-dialog close", kDialog, nullptr,
                 [&t] { t.EnteredDialogClose(); });
}

void DefineFittingsExpectations(Runner& r, Workspace& w) {
  constexpr Where kAny = Where::kAnywhere;
  const FittingsRegister& reg = w.fittings_register();
  const FittingsTakeoff& t = w.fittings_takeoff();
  r.Define("expect register", kAny, [&r, &reg](const Args& a) {
    int row = 0;
    if (!r.Arity(a, 4, 4, "expect register ROW CODE W H") ||
        !r.Count(a[0], 1, kMaxFittings, "the register row", &row)) {
      return false;
    }
    return r.ExpectList("register row " + a[0].text, Args(a.begin() + 1, a.end()),
                        RowTexts(reg.grid(), row, 0, 3));
  });
  r.Define("expect fitting-boxes", kAny, [&r, &reg](const Args& a) {
    if (!r.Arity(a, 3, 3, "expect fitting-boxes CODE W H")) return false;
    return r.ExpectList("fitting boxes", a, {reg.box(0), reg.box(1), reg.box(2)});
  });
  r.Define("expect register-info", kAny, [&r, &reg](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect register-info TEXT")) return false;
    return r.ExpectText("register information", a[0].text, reg.info());
  });
  r.Define("expect current-fitting", kAny, [&r, &t](const Args& a) {
    if (!r.Arity(a, 4, 4, "expect current-fitting CODE W H MODE")) return false;
    return r.ExpectList("current fitting", a,
                        {t.current_code(), t.current_w(), t.current_h(),
                         t.mode_text()});
  });
  r.Define("expect fittings-places", kAny, [&r, &t](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect fittings-places TEXT")) return false;
    return r.ExpectText("count of places", a[0].text, t.places());
  });
  r.Define("expect fittings-cells", kAny, [&r, &t](const Args& a) {
    int table = 0, row = 0, col = 0;
    if (!r.Arity(a, 4, 16, "expect fittings-cells T R K TEXT...") ||
        !TableCell(r, t, a, &table, &row, &col)) {
      return false;
    }
    const Args texts(a.begin() + 3, a.end());
    return r.ExpectList(
        "table " + a[0].text + " row " + a[1].text + " from column " + a[2].text,
        texts, RowTexts(t.table(table), row, col, texts.size()));
  });
  r.Define("expect entered-row", kAny, [&r, &t](const Args& a) {
    int row = 0;
    const TextGrid& list = t.entered_data_list();
    if (!r.Arity(a, 1, 17, "expect entered-row ROW TEXT...") ||
        !r.Count(a[0], 1, 100000, "the row", &row)) {
      return false;
    }
    const Args texts(a.begin() + 1, a.end());
    std::vector<std::string> found;
    if (row < list.rows()) found = RowTexts(list, row, 0, texts.size());
    while (found.size() < texts.size()) found.emplace_back();
    return r.ExpectList("entered-data row " + a[0].text, texts, found);
  });
  r.Define("expect code-list", kAny, [&r, &t](const Args& a) {
    return r.ExpectList("code list", a, t.code_list());
  });
  r.Define("expect check-list", kAny, [&r, &t](const Args& a) {
    return r.ExpectList("check list", a,
                        t.check_list_shown() ? t.check_list()
                                             : std::vector<std::string>{});
  });
}

}  // namespace

void DefineFittingsVerbs(Runner& r) {
  Workspace& w = r.workspace();
  DefineRegisterVerbs(r, w);
  DefineTakeoffVerbs(r, w);
  DefineFittingsExpectations(r, w);
}

}  // namespace veltrano::scenario
