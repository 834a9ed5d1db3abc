#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::scenario {

namespace {

void DefineSheetCommandVerbs(Runner& r, Workspace& w) {
  constexpr Where kMain = Where::kMainWindow;
  r.Define("select", kMain, [&r, &w](const Args& a) {
    int row = 0, col = 0, row2 = 0, col2 = 0;
    if (!r.Arity(a, 4, 4, "select ROW COL ROW2 COL2") || !r.NeedTakeoff() ||
        !r.Cell(a, &row, &col) ||
        !r.Cell(Args(a.begin() + 2, a.end()), &row2, &col2)) {
      return false;
    }
    w.sheets().HideEditor();
    w.sheets().ClickSheet(row, col, /*right_button=*/false, /*range=*/true);
    w.sheets().ExtendSelection(row2, col2);
    return true;
  });
  r.Define("edit", kMain, [&r, &w](const Args& a) {
    static const std::array<std::string_view, 8> kCommands = {
        "rooms", "item-copy", "select-all", "delete",
        "copy",  "paste",     "insert-row", "delete-row"};
    if (!r.Arity(a, 1, 1,
                 "edit rooms|item-copy|select-all|delete|copy|paste|insert-row|"
                 "delete-row") ||
        !r.NeedTakeoff()) {
      return false;
    }
    const auto it = std::find(kCommands.begin(), kCommands.end(), a[0].text);
    if (it == kCommands.end()) return r.Fail("no edit command " + Quoted(a[0].text));
    SheetEditing& e = w.sheet_editing();
    switch (it - kCommands.begin()) {
      case 0:
        w.rooms().OpenRoomsDialog();
        break;
      case 1:
        w.item_copy().ToggleItemCopy();
        break;
      case 2:
        e.SelectAll();
        break;
      case 3:
        e.DeleteSelection();
        break;
      case 4:
        e.CopySelection();
        break;
      case 5:
        e.Paste();
        break;
      case 6:
        e.InsertRow();
        break;
      default:
        e.DeleteRow();
    }
    return true;
  });
}

// The item copy panel's verbs act while it is shown.
bool NeedCopyPanel(Runner& r, Workspace& w) {
  if (!r.NeedTakeoff()) return false;
  if (!w.item_copy().item_list_shown()) {
    return r.Fail("the item copy panel is hidden; use edit item-copy first");
  }
  return true;
}

void DefineItemCopyVerbs(Runner& r, Workspace& w) {
  constexpr Where kMain = Where::kMainWindow;
  ItemCopy& copy = w.item_copy();
  r.Define("copy-source", kMain, [&r, &w, &copy](const Args& a) {
    static const std::map<std::string, int> kSources = {
        {"other", ItemCopy::kOtherRoom},
        {"all", ItemCopy::kAllEntered},
        {"registered", ItemCopy::kRegistered}};
    if (!r.Arity(a, 1, 1, "copy-source other|all|registered") ||
        !NeedCopyPanel(r, w)) {
      return false;
    }
    const auto it = kSources.find(a[0].text);
    if (it == kSources.end()) return r.Fail("no source " + Quoted(a[0].text));
    copy.ChooseSource(it->second);
    return true;
  });
  r.Define("copy-choose", kMain, [&r, &w, &copy](const Args& a) {
    if (!r.Arity(a, 1, 1, "copy-choose NAME") || !NeedCopyPanel(r, w)) return false;
    if (!copy.choice_shown()) return r.Fail("the choice box is hidden for this source");
    copy.ChooseEntry(a[0].text);
    return true;
  });
  r.Define("copy-load", kMain, [&r, &w, &copy](const Args& a) {
    if (!r.Arity(a, 0, 0, "copy-load") || !NeedCopyPanel(r, w)) return false;
    if (copy.source() != ItemCopy::kAllEntered) {
      return r.Fail("\"読込開始\" is shown for copy-source all only");
    }
    copy.LoadAllEntered();
    return true;
  });
  r.Define("copy-part", kMain, [&r, &w, &copy](const Args& a) {
    if (!r.Arity(a, 1, 1, "copy-part 床|巾木|壁|天井|雑") || !NeedCopyPanel(r, w)) {
      return false;
    }
    const auto it = std::find(kPartNames.begin(), kPartNames.end(), a[0].text);
    if (it == kPartNames.end()) return r.Fail("no part named " + Quoted(a[0].text));
    copy.ChoosePart(static_cast<int>(it - kPartNames.begin()));
    return true;
  });
  r.Define("copy-select", kMain, [&r, &w, &copy](const Args& a) {
    if (!NeedCopyPanel(r, w)) return false;
    const std::vector<std::string>& list = copy.source_list(copy.part());
    std::vector<int> positions;
    for (const Token& t : a) {
      const auto it = std::find(list.begin(), list.end(), t.text);
      if (it == list.end()) {
        return r.Fail("the source list has no entry " + Quoted(t.text) +
                      "; it holds " + QuotedList(list));
      }
      positions.push_back(static_cast<int>(it - list.begin()));
    }
    copy.SelectEntries(positions);
    return true;
  });
  r.Define("copy-execute", kMain, [&r, &w, &copy](const Args& a) {
    if (!r.Arity(a, 0, 0, "copy-execute") || !NeedCopyPanel(r, w)) return false;
    copy.CopyItems();
    return true;
  });
  r.Define("copy-close", kMain, [&r, &w, &copy](const Args& a) {
    if (!r.Arity(a, 0, 0, "copy-close") || !NeedCopyPanel(r, w)) return false;
    copy.HideItemList();
    return true;
  });
}

void DefineTemplateVerbs(Runner& r, Workspace& w) {
  constexpr Where kDialog = Where::kTemplatesDialog;
  ItemTemplates& t = w.item_templates();
  r.DefineAction("templates open", Where::kMainWindow, &Runner::NeedSettingsPanel,
                 [&t] { t.Open(); });
  r.DefineAction("templates close", kDialog, nullptr, [&t] { t.Close(); });
  r.Define("templates name", kDialog, [&r, &t](const Args& a) {
    if (!r.Arity(a, 1, 1, "templates name TEXT")) return false;
    t.SetName(a[0].text);
    return true;
  });
  r.DefineAction("templates load", kDialog, nullptr, [&t] { t.Load(); });
  r.DefineAction("templates save", kDialog, nullptr, [&t] { t.Save(); });
  r.DefineAction("templates delete", kDialog, nullptr, [&t] { t.Delete(); });
  r.Define("templates cell", kDialog, [&r, &t](const Args& a) {
    int row = 0, col = 0;
    if (!r.Arity(a, 2, 2, "templates cell ROW COL") ||
        !r.Count(a[0], 1, kTemplateRows, "the row", &row) ||
        !r.Count(a[1], 1, kTemplateParts, "the column", &col)) {
      return false;
    }
    t.ClickCell(row, col);
    return true;
  });
  auto need_editor = [&r, &t] {
    return t.editor_shown() || r.Fail("the template table's editor is not open");
  };
  r.Define("templates type", kDialog, [&r, &t, need_editor](const Args& a) {
    if (!r.Arity(a, 1, 1, "templates type TEXT") || !need_editor()) return false;
    t.EditorTextChanged(a[0].text);
    return true;
  });
  r.Define("templates key", kDialog, [&r, &t, need_editor](const Args& a) {
    static const std::map<std::string, ItemTemplates::Key> kKeys = {
        {"enter", ItemTemplates::Key::kEnter},
        {"up", ItemTemplates::Key::kUp},
        {"down", ItemTemplates::Key::kDown}};
    if (!r.Arity(a, 1, 1, "templates key enter|up|down") || !need_editor()) {
      return false;
    }
    const auto it = kKeys.find(a[0].text);
    if (it == kKeys.end()) return r.Fail("no key " + Quoted(a[0].text));
    t.EditorKey(it->second);
    return true;
  });
  r.DefineAction("templates insert-row", kDialog, nullptr, [&t] { t.InsertRow(); });
  r.DefineAction("templates delete-row", kDialog, nullptr, [&t] { t.DeleteRow(); });
  r.DefineAction("templates delete-cell", kDialog, nullptr, [&t] { t.DeleteCell(); });
}

void DefineHistoryVerbs(Runner& r, Workspace& w) {
  r.DefineAction("undo", Where::kMainWindow, nullptr,
                 [&w] { w.Undo(); });
  r.DefineAction("redo", Where::kMainWindow, nullptr,
                 [&w] { w.Redo(); });
}

void DefineEditingExpectations(Runner& r, Workspace& w) {
  constexpr Where kAny = Where::kAnywhere;
  r.Define("expect undo", kAny, [&r, &w](const Args& a) {
    return r.Arity(a, 1, 1, "expect undo NAME") &&
           r.ExpectText("the step to undo", a[0].text, w.history().undo_name());
  });
  r.Define("expect redo", kAny, [&r, &w](const Args& a) {
    return r.Arity(a, 1, 1, "expect redo NAME") &&
           r.ExpectText("the step to redo", a[0].text, w.history().redo_name());
  });
  r.Define("expect selection", kAny, [&r, &w](const Args& a) {
    int row = 0, col = 0, row2 = 0, col2 = 0;
    if (!r.Arity(a, 4, 4, "expect selection ROW COL ROW2 COL2") ||
        !r.Cell(a, &row, &col) ||
        !r.Cell(Args(a.begin() + 2, a.end()), &row2, &col2)) {
      return false;
    }
    const CellRange s = w.sheets().selection();
    auto text = [](int a1, int b1, int a2, int b2) {
      return std::to_string(a1) + " " + std::to_string(b1) + " " +
             std::to_string(a2) + " " + std::to_string(b2);
    };
    return r.ExpectText("the selection",
                        text(std::min(row, row2), std::min(col, col2),
                             std::max(row, row2), std::max(col, col2)),
                        text(s.top, s.left, s.bottom, s.right));
  });
  r.Define("expect source-list", kAny, [&r, &w](const Args& a) {
    const ItemCopy& copy = w.item_copy();
    return r.ExpectList("the source list", a, copy.source_list(copy.part()));
  });
  r.Define("expect copy-panel", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect copy-panel shown|hidden")) return false;
    return r.ExpectText("the item copy panel", a[0].text,
                        w.item_copy().item_list_shown() ? "shown" : "hidden");
  });
  r.Define("expect copy-choices", kAny, [&r, &w](const Args& a) {
    return r.ExpectList("the choices", a, w.item_copy().choices());
  });
  r.Define("expect template-cells", kAny, [&r, &w](const Args& a) {
    int row = 0, col = 0;
    if (!r.Arity(a, 3, 8, "expect template-cells ROW COL TEXT...") ||
        !r.Count(a[0], 0, kTemplateRows, "the row", &row) ||
        !r.Count(a[1], 0, kTemplateParts, "the column", &col)) {
      return false;
    }
    std::vector<std::string> found;
    for (std::size_t i = 2; i < a.size(); ++i) {
      found.push_back(w.item_templates().table().At(row, col + static_cast<int>(i) - 2));
    }
    return r.ExpectList("template cells from " + a[0].text + "," + a[1].text,
                        Args(a.begin() + 2, a.end()), found);
  });
  r.Define("expect template-names", kAny, [&r, &w](const Args& a) {
    return r.ExpectList("the template names", a, w.item_templates().names());
  });
}

}  // namespace

void DefineEditingVerbs(Runner& r) {
  Workspace& w = r.workspace();
  DefineSheetCommandVerbs(r, w);
  DefineItemCopyVerbs(r, w);
  DefineTemplateVerbs(r, w);
  DefineHistoryVerbs(r, w);
  DefineEditingExpectations(r, w);
}

}  // namespace veltrano::scenario
