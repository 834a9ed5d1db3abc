#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "aggregate/summary_view.h"
#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::scenario {

namespace {

constexpr std::array<std::string_view, 4> kSummaryWords = {
    "interior", "exterior", "fittings", "worktype"};

// An entry of a list box, or "" for no choice when no word is given.
bool Choice(Runner& r, const Args& a, const std::vector<std::string>& list,
            std::string_view what, std::string* choice) {
  if (a.empty()) {
    choice->clear();
    return true;
  }
  if (std::find(list.begin(), list.end(), a[0].text) == list.end()) {
    return r.Fail("the " + std::string(what) + " has no entry " +
                  Quoted(a[0].text) + "; it holds " + QuotedList(list));
  }
  *choice = a[0].text;
  return true;
}

std::vector<std::string> RegisteredUnits(const Workspace& w) {
  std::vector<std::string> units;
  for (const std::string& unit : w.settings().panel().units()) {
    if (!unit.empty()) units.push_back(unit);
  }
  return units;
}

void DefineSummaryVerbs(Runner& r, Workspace& w) {
  constexpr Where kMain = Where::kMainWindow;
  SummaryView& view = w.summary_view();
  r.Define("summary", kMain, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "summary interior|exterior|fittings|worktype") ||
        !r.NeedAggregationPanel()) {
      return false;
    }
    const auto it =
        std::find(kSummaryWords.begin(), kSummaryWords.end(), a[0].text);
    if (it == kSummaryWords.end()) {
      return r.Fail("no summary named " + Quoted(a[0].text));
    }
    w.ChooseSummary(static_cast<int>(it - kSummaryWords.begin()));
    return true;
  });
  r.Define("summary-part", kMain, [&r, &view](const Args& a) {
    if (!r.Arity(a, 1, 1, "summary-part 床|巾木|壁|天井|雑") ||
        !r.NeedAggregationPanel()) {
      return false;
    }
    const auto it = std::find(kPartNames.begin(), kPartNames.end(), a[0].text);
    if (it == kPartNames.end()) {
      return r.Fail("no part named " + Quoted(a[0].text));
    }
    view.ChoosePart(static_cast<int>(it - kPartNames.begin()));
    return true;
  });
  r.Define("work-type", kMain, [&r, &w](const Args& a) {
    return r.Arity(a, 0, 1, "work-type [NAME]") && r.NeedAggregationPanel() &&
           Choice(r, a, w.settings().panel().aggregation_work_types(),
                  "work-type list", &r.window().work_type_choice);
  });
  r.Define("unit", kMain, [&r, &w](const Args& a) {
    return r.Arity(a, 0, 1, "unit [NAME]") && r.NeedAggregationPanel() &&
           Choice(r, a, RegisteredUnits(w), "unit list",
                  &r.window().unit_choice);
  });
  r.DefineAction("aggregate-start", kMain, &Runner::NeedAggregationPanel,
                 [&w, &view] {
                   switch (view.mode()) {
                     case kInteriorSummary:
                     case kExteriorSummary:
                       w.aggregation_dialog().OpenAggregationDialog(
                           view.mode());
                       break;
                     case kFittingsSummary:
                       w.fittings_summary().AggregateFittings();
                       break;
                     default:
                       w.work_type_table().StartAggregation(
                           w.settings().panel().aggregation_work_types(),
                           w.money_rounding());
                   }
                 });
  r.DefineAction("send", kMain, &Runner::NeedAggregationPanel,
                 [&view] { view.ExportSummary(); });
  r.Define("summary-click", kMain, [&r, &w, &view](const Args& a) {
    if (!r.Arity(a, 2, 2, "summary-click ROW COL") ||
        !r.NeedAggregationPanel()) {
      return false;
    }
    const TextGrid& shown = view.ShownTable();
    int row = 0, col = 0;
    if (!r.Count(a[0], 0, shown.rows() - 1, "the row", &row) ||
        !r.Count(a[1], 0, shown.cols() - 1, "the column", &col)) {
      return false;
    }
    const std::string& work_type = r.window().work_type_choice;
    switch (view.mode()) {
      case kInteriorSummary:
      case kExteriorSummary:
        w.part_summaries().AssignWorkType(view.mode(), view.part(), row, col,
                                          work_type);
        break;
      case kFittingsSummary:
        r.window().summary_column = col;
        w.fittings_summary().AssignWorkType(row, col, work_type);
        break;
      default:
        w.work_type_table().ClickCell(row, col, r.window().unit_choice,
                                      w.money_rounding());
    }
    return true;
  });
  r.DefineAction("summary-delete", kMain, &Runner::NeedAggregationPanel,
                 [&r, &w, &view] {
                   if (view.mode() == kFittingsSummary) {
                     w.fittings_summary().ClearWorkType(
                         r.window().summary_column);
                   } else if (view.mode() == kWorkTypeSummary) {
                     w.work_type_table().DeleteKey();
                   }
                 });
  r.Define("summary-type", kMain, [&r, &w, &view](const Args& a) {
    if (!r.Arity(a, 1, 1, "summary-type TEXT") || !r.NeedAggregationPanel()) {
      return false;
    }
    if (view.mode() != kWorkTypeSummary || !w.work_type_table().editor_shown()) {
      return r.Fail("the cell editor of the work-type table is not open");
    }
    w.work_type_table().EditorTextChanged(a[0].text);
    return true;
  });
  r.Define("summary-type-grid", kMain, [&r, &w, &view](const Args& a) {
    if (!r.Arity(a, 1, 1, "summary-type-grid TEXT") ||
        !r.NeedAggregationPanel()) {
      return false;
    }
    if (view.mode() != kWorkTypeSummary || w.work_type_table().editor_shown()) {
      return r.Fail("the work-type table is not shown with its editor closed");
    }
    w.work_type_table().TypeOnTable(a[0].text, r.window().unit_choice,
                                    w.money_rounding());
    return true;
  });
  r.Define("summary-key", kMain, [&r, &w, &view](const Args& a) {
    if (!r.Arity(a, 1, 1, "summary-key enter|down|up|delete") ||
        !r.NeedAggregationPanel()) {
      return false;
    }
    using Key = WorkTypeTable::EditorKey;
    Key key;
    if (a[0].text == "enter") {
      key = Key::kEnter;
    } else if (a[0].text == "down") {
      key = Key::kDown;
    } else if (a[0].text == "up") {
      key = Key::kUp;
    } else if (a[0].text == "delete") {
      key = Key::kDelete;
    } else {
      return r.Fail("expected enter, down, up or delete, not " +
                    Quoted(a[0].text));
    }
    if (view.mode() != kWorkTypeSummary || !w.work_type_table().editor_shown()) {
      return r.Fail("the cell editor of the work-type table is not open");
    }
    w.work_type_table().PressEditorKey(key, r.window().unit_choice,
                                       w.money_rounding());
    return true;
  });
}

void DefineDialogVerbs(Runner& r, Workspace& w) {
  constexpr Where kDialog = Where::kAggregationDialog;
  AggregationDialog& d = w.aggregation_dialog();
  r.DefineAction("aggregate-dialog all", kDialog, nullptr,
                 [&d] { d.SelectAll(); });
  // The positions of the named entries in `list`; false (and a failed
  // step naming `what`) for a name that is not there.
  auto positions_of = [&r](const Args& a, const std::vector<std::string>& list,
                           std::string_view what, std::vector<int>* positions) {
    for (const Token& t : a) {
      const auto it = std::find(list.begin(), list.end(), t.text);
      if (it == list.end()) {
        return r.Fail(std::string(what) + " no entry " + Quoted(t.text));
      }
      positions->push_back(static_cast<int>(it - list.begin()));
    }
    return true;
  };
  r.Define("aggregate-dialog add", kDialog, [&r, &d, positions_of](const Args& a) {
    std::vector<int> positions;
    if (!r.Arity(a, 1, 1000, "aggregate-dialog add NAME...") ||
        !positions_of(a, d.left(), "the list has", &positions)) {
      return false;
    }
    d.AddSelected(positions);
    return true;
  });
  r.Define("aggregate-dialog remove", kDialog, [&r, &d, positions_of](const Args& a) {
    std::vector<int> positions;
    if (!r.Arity(a, 1, 1000, "aggregate-dialog remove NAME...") ||
        !positions_of(a, d.right(), "the names to aggregate have", &positions)) {
      return false;
    }
    d.RemoveSelected(positions);
    return true;
  });
  r.DefineAction("aggregate-dialog clear", kDialog, nullptr,
                 [&d] { d.ClearSelection(); });
  r.DefineAction("aggregate-dialog execute", kDialog, nullptr,
                 [&d] { d.Execute(); });
  r.DefineAction("aggregate-dialog close", kDialog, nullptr,
                 [&d] { d.Close(); });
}

void DefineClipboardVerbs(Runner& r) {
  constexpr Where kAny = Where::kAnywhere;
  r.Define("clipboard", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 1, 1, "clipboard TEXT")) return false;
    r.clipboard().PutText(a[0].text, "");
    return true;
  });
  r.DefineAction("clipboard-busy", kAny, nullptr,
                 [&r] { r.clipboard().FailNextAccess(); });
  r.Define("expect clipboard", kAny, [&r](const Args& a) {
    return r.Arity(a, 1, 1, "expect clipboard TEXT") &&
           r.ExpectText("the clipboard", a[0].text, r.clipboard().text());
  });
  r.Define("expect clipboard-empty", kAny, [&r](const Args& a) {
    return r.Arity(a, 0, 0, "expect clipboard-empty") &&
           r.ExpectText("the clipboard", "", r.clipboard().text());
  });
}

void DefineAggregationExpectations(Runner& r, Workspace& w) {
  constexpr Where kAny = Where::kAnywhere;
  r.Define("expect summary-cells", kAny, [&r, &w](const Args& a) {
    const TextGrid& shown = w.summary_view().ShownTable();
    int row = 0, col = 0;
    if (!r.Arity(a, 3, 1000, "expect summary-cells ROW COL TEXT...") ||
        !r.Count(a[0], 0, 100000, "the row", &row) ||
        !r.Count(a[1], 0, 100000, "the column", &col)) {
      return false;
    }
    std::vector<std::string> found;
    for (std::size_t i = 2; i < a.size(); ++i) {
      found.push_back(shown.At(row, col + static_cast<int>(i) - 2));
    }
    return r.ExpectList("summary cells from " + a[0].text + "," + a[1].text,
                        Args(a.begin() + 2, a.end()), found);
  });
  r.Define("expect summary-size", kAny, [&r, &w](const Args& a) {
    const TextGrid& shown = w.summary_view().ShownTable();
    if (!r.Arity(a, 2, 2, "expect summary-size ROWS COLS")) return false;
    return r.ExpectText("the size of the summary", a[0].text + " " + a[1].text,
                        std::to_string(shown.rows()) + " " +
                            std::to_string(shown.cols()));
  });
  r.Define("expect summary-editor", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect summary-editor TEXT")) return false;
    const WorkTypeTable& t = w.work_type_table();
    if (!t.editor_shown()) {
      return r.Fail("expected the work-type editor open with " +
                    Quoted(a[0].text) + ", found it hidden");
    }
    return r.ExpectText("the work-type editor's text", a[0].text,
                        t.editor_text());
  });
  r.Define("expect summary-current", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 2, 2, "expect summary-current ROW COL")) return false;
    const WorkTypeTable& t = w.work_type_table();
    return r.ExpectText("the current cell of the work-type table",
                        a[0].text + " " + a[1].text,
                        std::to_string(t.current_row()) + " " +
                            std::to_string(t.current_col()));
  });
  r.Define("expect summary-editor-hidden", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "expect summary-editor-hidden")) return false;
    return r.Expect(!w.work_type_table().editor_shown(), "the work-type editor",
                    "hidden", "open");
  });
  r.Define("expect aggregate-dialog", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect aggregate-dialog TITLE|closed")) return false;
    const AggregationDialog& d = w.aggregation_dialog();
    return r.ExpectText("the aggregation dialog", a[0].text,
                        d.shown() ? std::string(d.title()) : "closed");
  });
  r.Define("expect aggregate-list", kAny, [&r, &w](const Args& a) {
    return r.ExpectList("the names to aggregate", a,
                        w.aggregation_dialog().right());
  });
}

}  // namespace

void DefineAggregationVerbs(Runner& r) {
  Workspace& w = r.workspace();
  DefineSummaryVerbs(r, w);
  DefineDialogVerbs(r, w);
  DefineClipboardVerbs(r);
  DefineAggregationExpectations(r, w);
}

}  // namespace veltrano::scenario
