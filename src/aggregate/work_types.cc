#include "aggregate/work_types.h"

#include <cmath>
#include <string>

#include "calc/number_text.h"
#include "project/summary_tables.h"

namespace veltrano {

void RememberWorkTypes(Project* tables) {
  WorkTypeMemory memory(tables->work_type_memory());
  for (int p = 0; p < 5; ++p) memory.Remember(tables->interior_summaries()[p], 2 * p);
  for (int p = 0; p < 5; ++p) memory.Remember(tables->exterior_summaries()[p], 10 + 2 * p);
  memory.Remember(tables->fittings_summary(), 20);
}

void WriteSummaryTotals(SummaryTable* table, DigitSetting digits) {
  SummaryTable& t = *table;
  for (int c = kSummaryPlacesColumn; c < t.columns(); ++c) {
    float sum = 0;
    for (int r = kSummaryFirstRoomRow; r < t.rows(); ++r) {
      sum += ToSingle(LeadingNumber(t.Quantity(r, c)));
    }
    if (c == kSummaryPlacesColumn) {
      t.SetTotal(c, sum != 0 ? ShortestText(std::trunc(static_cast<double>(sum))) : "");
    } else {
      t.SetTotal(c, digits.FormatColumnTotal(sum));
    }
  }
}

void RecallWorkTypes(SummaryTable* table, const TextGrid& memory, int base) {
  SummaryTable& t = *table;
  for (int c = kSummaryFirstItemColumn; c < t.columns(); ++c) {
    if (t.ItemName(c).empty()) continue;
    for (int r = 0; r < memory.rows(); ++r) {
      if (memory.At(r, base) == t.ItemName(c)) t.SetWorkType(c, memory.At(r, base + 1));
    }
  }
}

void RefreshWorkTypeCopy(Project* tables) {
  const TextGrid& work = tables->interior_summaries()[kWorkTypeTable];
  const int rows = work.rows() > 1 ? work.rows() - 1 : 0;
  TextGrid copy(rows, kWorkTypeCopyCols);
  for (int r = 0; r < rows; ++r) {
    copy.Set(r, 0, "Syuk");
    for (int c = 0; c < kWorkTypeTableCols; ++c) {
      copy.Set(r, c + 1, work.At(r + 1, c));
    }
  }
  tables->work_type_copy() = std::move(copy);
}

void SaveUnitPrices(Project* tables) {
  RefreshWorkTypeCopy(tables);
  const TextGrid& copy = tables->work_type_copy();
  bool has_items = false;
  for (int r = 0; r < copy.rows() && !has_items; ++r) {
    has_items = !copy.At(r, 2).empty();
  }
  if (!has_items) return;
  TextGrid prices(1, kUnitPriceCols);
  std::string label;
  int next = 0;
  for (int r = 0; r < copy.rows(); ++r) {
    if (!copy.At(r, 1).empty()) label = std::string(TrimBlanks(copy.At(r, 1)));
    if (copy.At(r, 2).empty()) continue;
    prices.SetRows(next + 2);
    prices.Set(next, 0, label);
    prices.Set(next, 1, copy.At(r, 2));  // item
    prices.Set(next, 2, copy.At(r, 3));  // side
    prices.Set(next, 3, copy.At(r, 4));  // part
    prices.Set(next, 4, copy.At(r, 6));  // unit
    prices.Set(next, 5, copy.At(r, 7));  // unit price
    prices.Set(next, 6, copy.At(r, 9));  // remark
    ++next;
  }
  tables->unit_prices() = std::move(prices);
}

}  // namespace veltrano
