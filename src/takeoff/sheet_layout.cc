#include "takeoff/sheet_layout.h"

#include <string>


namespace veltrano {

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
