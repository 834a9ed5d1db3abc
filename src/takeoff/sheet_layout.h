#ifndef VELTRANO_TAKEOFF_SHEET_LAYOUT_H_
#define VELTRANO_TAKEOFF_SHEET_LAYOUT_H_

#include <array>
#include <string_view>

#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "project/project_tables.h"

namespace veltrano {

// A takeoff sheet: a header row and 50 item rows; a row-number column, five
// part blocks side by side and a filler column.
inline constexpr int kSheetRows = 51;
inline constexpr int kSheetCols = 29;
inline constexpr int kItemRows = 50;
inline constexpr int kLastStoredColumn = 27;
inline constexpr int kParts = 5;

// Parts in block order: 床, 巾木, 壁, 天井, 雑.
inline constexpr std::array<std::string_view, kParts> kPartNames = {
    "床", "巾木", "壁", "天井", "雑"};

// Formula column of each part; every other column of a block follows from it.
inline constexpr std::array<int, kParts> kFormulaColumn = {3, 9, 15, 20, 25};
inline constexpr std::array<int, kParts> kMarkColumn = {1, 6, 12, 18, 23};

inline constexpr int DeductionColumn(int formula_col) { return formula_col + 1; }
inline constexpr int ValueColumn(int formula_col) { return formula_col + 2; }
// 巾木 and 壁 carry fitting codes before the formula, so their item name
// stands two columns left of it.
inline constexpr bool HasFittingColumn(int part) { return part == 1 || part == 2; }
inline constexpr int ItemColumn(int part) {
  return kFormulaColumn[part] - (HasFittingColumn(part) ? 2 : 1);
}

inline constexpr std::string_view kSubtotalMarker = "小計";
inline constexpr std::string_view kDeductionMarker = "▲";
inline constexpr std::string_view kItemMarker = "○";

enum class ColumnKind { kNone, kMark, kItem, kFormula, kFittings, kDeduction, kValue };

ColumnKind KindOfColumn(int col);

// The part whose block holds the column, or -1 for columns 0 and 28.
int PartOfColumn(int col);

// The 50 stored rows of the room at `room_index` of a room store: cells by
// sheet column (1-28, the last the line's extra field), as views into the
// store's lines, which must not change while they are used. Row 0 is
// empty.
void ReadStoredRows(const RoomStore& store, int room_index,
                    std::vector<std::vector<std::string_view>>* rows);

// The count of places of a stored room, from the extra value of its first
// line: a count that is empty, zero or not a number is one place.
long StoredPlacesCount(const RoomStore& store, int room_index);

// Writes the header row and the row numbers of an empty sheet; `side` 0 is
// the interior sheet ("項目( 内部 )"), 1 the exterior sheet ("項目( 外部 )").
void LayOutSheet(int side, TextGrid* sheet);

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_SHEET_LAYOUT_H_
