#ifndef VELTRANO_AGGREGATE_WORK_TYPE_TABLE_H_
#define VELTRANO_AGGREGATE_WORK_TYPE_TABLE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "port/dialogs.h"
#include "project/history.h"
#include "project/project.h"
#include "project/summary_tables.h"

namespace veltrano {

// Money rounding of the amounts, Hasu(0..2).
enum class MoneyRounding { kUp = 0, kDown = 1, kHalfUp = 2 };

// The rounding of the option selected in the settings (0, 1 or 2); with
// none selected an amount keeps its whole part, as under 切り捨て.
inline MoneyRounding MoneyRoundingOf(int option) {
  return option == 0 || option == 2 ? static_cast<MoneyRounding>(option)
                                    : MoneyRounding::kDown;
}

// The amount text of a whole number of yen with thousands separators, "-"
// before a negative one, "" for zero ("12,500", "-1,480").
std::string AmountText(double whole);

// The work-type table SyukeiGrid(5): the column totals of every summary
// table grouped by work type in the order of the work-type list, with units,
// unit prices, amounts under the money rounding, subtotals and the total.
class WorkTypeTable {
 public:
  WorkTypeTable(Project& tables, Platform platform)
      : tables_(tables), platform_(platform) {}

  const TextGrid& table() const { return tables_.interior_summaries()[kWorkTypeTable]; }
  // Changes of the object and of the tables it shows and keeps.
  std::uint64_t revision() const {
    return revision_ + tables_.interior_summaries()[kWorkTypeTable].revision() +
           tables_.unit_prices().revision();
  }
  // The history its changes are recorded in, which the workspace connects.
  void SetHistory(ProjectHistory* history) { history_ = history; }

  // "集計開始" of the work-type panel: the question, then the table built
  // when any summary has been aggregated.
  void StartAggregation(const std::vector<std::string>& work_types,
                        MoneyRounding rounding);
  void BuildWorkTypeTable(const std::vector<std::string>& work_types,
                          MoneyRounding rounding);
  void ComputeAmounts(MoneyRounding rounding);
  void ComputeSubtotals();

  // The current cell, and the cell editor KousyubetuText laid over it.
  int current_row() const { return current_row_; }
  int current_col() const { return current_col_; }
  bool editor_shown() const { return editor_shown_; }
  const std::string& editor_text() const { return editor_text_; }
  // Counts the placings of the editor over a cell; each new one shows the
  // cell's text selected, so that typing replaces it.
  std::uint64_t editor_opening() const { return editor_opening_; }

  // A click on a cell: it becomes current; on a row with a quantity the
  // editor is placed (PlaceCellEditor) and the amounts and subtotals are
  // computed again. `unit` is the entry chosen in the unit list TaniList
  // ("" for none).
  void ClickCell(int row, int col, std::string_view unit,
                 MoneyRounding rounding);
  // The current cell moved without a click (the arrow keys on the table):
  // the editor closes, nothing is computed.
  void SetCurrentCell(int row, int col);
  // Hides the editor, then shows it over a unit-price cell (unless its row
  // is a subtotal or total row) or a remark cell, or writes the chosen unit
  // into a unit cell; the unit prices are saved either way.
  void PlaceCellEditor(std::string_view unit);
  // Every change of the editor's text goes into the current cell at once;
  // "&" and "(" are not typed (the editor's text is the cell's afterwards).
  // A remark that cannot go into a record is refused with a message and
  // the editor emptied; a unit price takes a number (NumberBox::kPrice) and
  // is refused as NumberBoxRefusal says.
  void EditorTextChanged(std::string_view text);
  enum class EditorKey { kEnter, kDown, kUp, kDelete };
  // Enter or Down moves to the row below, Up to the row above (not onto the
  // heading), Delete blanks the cell; each then places the editor and
  // computes again. In the unit-price column the rows without a quantity
  // (the 小計 and 合計 rows) are passed over; with no row to go to the
  // editor stays on its cell.
  void PressEditorKey(EditorKey key, std::string_view unit,
                      MoneyRounding rounding);
  // Refreshes the work-type table copy and the unit-price table from the
  // table ("単価保存", and before the project is written).
  void SaveUnitPrices();
  // The same before the project is written, which is no step of its own.
  void RefreshUnitPrices();
  // The table was put back to an earlier version: the editor closes and a
  // current cell the table no longer has is left.
  void TableRestored();
  // The Delete key on the table: the unit of the current row is blanked
  // unless it reads "小計". Nothing is computed again.
  void DeleteKey();
  // Text typed on the table with the editor closed: on a cell a click
  // would open, the editor opens there with the text; elsewhere a beep
  // says that the text has no place.
  void TypeOnTable(std::string_view text, std::string_view unit,
                   MoneyRounding rounding);

 private:
  // The table, to be changed.
  WorkTypeEstimate estimate() {
    return WorkTypeEstimate(tables_.interior_summaries()[kWorkTypeTable]);
  }
  // The name of the step of a change in a column of the table.
  static std::string_view StepNameOfColumn(int col);
  // What makes the keystrokes into the editor's cell, since it was placed
  // there, one step.
  std::string EditorStepKey() const;
  void CutToHeading();
  void RestoreUnitPrices();
  // PlaceCellEditor, ComputeAmounts and ComputeSubtotals.
  void PlaceAndCompute(std::string_view unit, MoneyRounding rounding);
  bool CurrentCellExists() const;
  // The row an editor key moves to in `step`'s direction (see
  // PressEditorKey); the current row when there is none.
  int RowAfter(int step) const;

  Project& tables_;
  Platform platform_;
  std::uint64_t revision_ = 0;
  ProjectHistory* history_ = nullptr;
  int current_row_ = 1;
  int current_col_ = 0;
  bool editor_shown_ = false;
  std::string editor_text_;
  std::uint64_t editor_opening_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_WORK_TYPE_TABLE_H_
