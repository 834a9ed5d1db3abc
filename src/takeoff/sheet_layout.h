#ifndef VELTRANO_TAKEOFF_SHEET_LAYOUT_H_
#define VELTRANO_TAKEOFF_SHEET_LAYOUT_H_

#include <array>
#include <string_view>

#include "calc/grid.h"
#include "project/room.h"

namespace veltrano {

// A takeoff sheet: a header row and 50 item rows; a row-number column, five
// part blocks side by side and a filler column.
inline constexpr int kSheetRows = 51;
inline constexpr int kSheetCols = 29;

enum class ColumnKind { kNone, kMark, kItem, kFormula, kFittings, kDeduction, kValue };

ColumnKind KindOfColumn(int col);

// The part whose block holds the column, or -1 for columns 0 and 28.
int PartOfColumn(int col);

// Writes the header row and the row numbers of an empty sheet; `side` 0 is
// the interior sheet ("項目( 内部 )"), 1 the exterior sheet ("項目( 外部 )").
void LayOutSheet(int side, TextGrid* sheet);

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_SHEET_LAYOUT_H_
