#include "takeoff/sheet_layout.h"

#include <cmath>
#include <string>

#include "calc/number_text.h"
#include "calc/text_util.h"

namespace veltrano {

void ReadStoredRows(const RoomStore& store, int room_index,
                    std::vector<std::vector<std::string_view>>* rows) {
  rows->resize(kItemRows + 1);
  (*rows)[0].clear();
  for (int r = 1; r <= kItemRows; ++r) {
    const std::vector<std::string_view> fields =
        SplitFields(store.Line(kLinesPerRoom * room_index + r - 1));
    std::vector<std::string_view>& cells = (*rows)[static_cast<std::size_t>(r)];
    cells.assign(kLastStoredColumn + 2, std::string_view());
    // Field 0 is the record tag, field 1 the room's name or "@".
    for (int c = 1; c <= kLastStoredColumn + 1; ++c) {
      const std::size_t f = static_cast<std::size_t>(c) + 1;
      if (f < fields.size()) cells[static_cast<std::size_t>(c)] = fields[f];
    }
  }
}

long StoredPlacesCount(const RoomStore& store, int room_index) {
  const std::string_view stored =
      FieldOf(store.Line(kLinesPerRoom * room_index), kLastStoredColumn + 2);
  const long places = std::lround(LeadingNumber(stored));
  return places == 0 ? 1 : places;
}

ColumnKind KindOfColumn(int col) {
  switch (col) {
    case 1: case 6: case 12: case 18: case 23: return ColumnKind::kMark;
    case 2: case 7: case 13: case 19: case 24: return ColumnKind::kItem;
    case 3: case 9: case 15: case 20: case 25: return ColumnKind::kFormula;
    case 8: case 14: return ColumnKind::kFittings;
    case 4: case 10: case 16: case 21: case 26: return ColumnKind::kDeduction;
    case 5: case 11: case 17: case 22: case 27: return ColumnKind::kValue;
    default: return ColumnKind::kNone;
  }
}

int PartOfColumn(int col) {
  if (col < 1 || col > kLastStoredColumn) return -1;
  for (int p = kParts - 1; p >= 0; --p) {
    if (col >= kMarkColumn[p]) return p;
  }
  return -1;
}

void LayOutSheet(int side, TextGrid* sheet) {
  sheet->Resize(kSheetRows, kSheetCols);
  sheet->Clear();
  const std::string_view item = side == 0 ? "項目( 内部 )" : "項目( 外部 )";
  for (int p = 0; p < kParts; ++p) {
    const int f = kFormulaColumn[p];
    sheet->Set(0, kMarkColumn[p], kPartNames[p]);
    sheet->Set(0, ItemColumn(p), item);
    if (HasFittingColumn(p)) sheet->Set(0, f - 1, "建具");
    sheet->Set(0, f, "計算式");
    sheet->Set(0, DeductionColumn(f), "減");
    sheet->Set(0, ValueColumn(f), "値");
  }
  for (int r = 1; r <= kItemRows; ++r) sheet->Set(r, 0, std::to_string(r));
}

}  // namespace veltrano
