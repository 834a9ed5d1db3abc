#ifndef VELTRANO_PROJECT_SUMMARY_TABLES_H_
#define VELTRANO_PROJECT_SUMMARY_TABLES_H_

#include <string>
#include <string_view>

#include "calc/grid.h"
#include "project/shared_table.h"

namespace veltrano {

// The layout of a summary table: the part tables SyukeiGrid(0..4) and
// GaibuSyukeiGrid(0..4), and the fittings summary TateguSyukeiGrid.
inline constexpr int kSummaryHeadingRow = 0;   // ordinals, or the categories
inline constexpr int kSummaryWorkTypeRow = 1;  // the work type of each item
inline constexpr int kSummaryItemRow = 2;      // the item names
inline constexpr int kSummaryTotalRow = 3;     // the totals
inline constexpr int kSummaryFirstRoomRow = 4;  // a room, place or fitting each
inline constexpr int kSummaryNameColumn = 0;
inline constexpr int kSummaryPlacesColumn = 1;
inline constexpr int kSummaryFirstItemColumn = 2;

// A summary table being changed. Its size is the one the file declares;
// a cell outside it is not written. Made for one change at a time: the
// table is taken from the project when the editor is made.
class SummaryTable {
 public:
  explicit SummaryTable(SharedTable& table) : cells_(*table.Edit()) {}

  const TextGrid& cells() const { return cells_; }
  int rows() const { return cells_.rows(); }
  int columns() const { return cells_.cols(); }
  const std::string& ItemName(int column) const { return cells_.At(kSummaryItemRow, column); }
  const std::string& WorkType(int column) const { return cells_.At(kSummaryWorkTypeRow, column); }
  const std::string& RowName(int row) const { return cells_.At(row, kSummaryNameColumn); }
  const std::string& Quantity(int row, int column) const { return cells_.At(row, column); }

  // The declared size; cells that no longer fit go, new cells are empty.
  void Resize(int rows, int columns) { cells_.Resize(rows, columns); }
  // Empties every cell from `first_row` down and `first_column` right.
  void ClearFrom(int first_row, int first_column) {
    cells_.ClearRange(first_row, first_column, cells_.rows() - 1, cells_.cols() - 1);
  }
  void SetHeading(int column, std::string_view text) { cells_.Set(kSummaryHeadingRow, column, text); }
  void SetWorkType(int column, std::string_view text) { cells_.Set(kSummaryWorkTypeRow, column, text); }
  void SetItemName(int column, std::string_view text) { cells_.Set(kSummaryItemRow, column, text); }
  void SetTotal(int column, std::string_view text) { cells_.Set(kSummaryTotalRow, column, text); }
  void SetRowName(int row, std::string_view text) { cells_.Set(row, kSummaryNameColumn, text); }
  void SetPlaces(int row, std::string_view text) { cells_.Set(row, kSummaryPlacesColumn, text); }
  void SetQuantity(int row, int column, std::string_view text) { cells_.Set(row, column, text); }

 private:
  TextGrid& cells_;
};

// The columns of the work-type table SyukeiGrid(5): the estimate by work
// type, row 0 its headings.
enum EstimateColumn : int {
  kEstimateLabel = 0,  // the work type, on its first row
  kEstimateItem,
  kEstimateSide,
  kEstimatePart,
  kEstimateQuantity,
  kEstimateUnit,
  kEstimateUnitPrice,
  kEstimateAmount,
  kEstimateRemark,
};

// The work-type table being changed; as SummaryTable, one change at a time.
class WorkTypeEstimate {
 public:
  explicit WorkTypeEstimate(SharedTable& table) : cells_(*table.Edit()) {}

  const TextGrid& cells() const { return cells_; }
  int rows() const { return cells_.rows(); }
  const std::string& At(int row, int column) const { return cells_.At(row, column); }

  // Rows below the heading are added empty or removed from the end.
  void SetRows(int rows) { cells_.SetRows(rows < 1 ? 1 : rows); }
  // Empties every row below the heading.
  void ClearRows() { cells_.ClearRange(1, 0, cells_.rows() - 1, cells_.cols() - 1); }
  // Row 0, the headings, is not written.
  void Set(int row, int column, std::string_view text) {
    if (row >= 1) cells_.Set(row, column, text);
  }

 private:
  TextGrid& cells_;
};

// The work types remembered by item name, KouSyuSaveGrid: for each summary
// table two columns from its `base`, the item name and its work type.
class WorkTypeMemory {
 public:
  explicit WorkTypeMemory(SharedTable& table) : cells_(*table.Edit()) {}

  // Writes the work type of every item column of `summary` that has one
  // into its row of the memory: the item in column c on row c - 2. The
  // memory grows a row at a time as the columns need it.
  void Remember(const TextGrid& summary, int base);

 private:
  TextGrid& cells_;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_SUMMARY_TABLES_H_
