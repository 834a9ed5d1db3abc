#include "aggregate/fittings_summary.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "aggregate/work_types.h"
#include "calc/number_text.h"
#include "calc/text_util.h"
#include "project/fittings_tables.h"
#include "project/summary_tables.h"

namespace veltrano {

namespace {

constexpr int kFirstRow = kSummaryFirstRoomRow;
constexpr int kFirstItemColumn = kSummaryFirstItemColumn;
constexpr int kMemoryBase = 20;
constexpr std::array<std::string_view, 5> kCategories = {
    "硝子", "硝子シール", "枠シール", "枠詰", "塗装・貼物"};

// Where a category's kind, its second name part, its quantity lie in a
// store row, and how many rows of a block it reads.
struct CategoryColumns {
  int kind;
  int second;  // -1: none
  int quantity;
  int rows;
};
constexpr std::array<CategoryColumns, 5> kColumns = {{
    {2, 8, 9, 6},     // glass: kind ":" pane-area class, total area
    {10, -1, 14, 6},  // glass seal: kind ":G", total length
    {15, 16, 21, 4},  // frame seal: kind ":" size, total length
    {22, -1, 27, 4},  // frame mortar: kind, total length
    {28, -1, 33, 6},  // painting: kind, total area
}};

std::string ItemName(int category, const TextGrid& store, int row) {
  const CategoryColumns& c = kColumns[static_cast<std::size_t>(category)];
  const std::string& kind = store.At(row, c.kind);
  if (category == 1) return kind + ":G";
  std::string name(TrimBlanks(kind));
  if (c.second >= 0) {
    name += ":";
    name += TrimBlanks(store.At(row, c.second));
  }
  return name;
}

}  // namespace

void FittingsSummary::AddItem(SummaryTable* table, int row, int category,
                              const std::string& name, const std::string& quantity) {
  SummaryTable& t = *table;
  int column = -1;
  for (int c = kFirstItemColumn; c < t.columns() && column < 0; ++c) {
    if (t.ItemName(c) == name) column = c;
  }
  if (column < 0) {
    column = t.columns();
    t.Resize(t.rows(), column + 1);
    t.SetItemName(column, name);
  }
  const float sum = ToSingle(LeadingNumber(t.Quantity(row, column))) +
                    ToSingle(LeadingNumber(quantity));
  t.SetQuantity(row, column, digits_.FormatCell(sum));
  t.SetHeading(column, kCategories[static_cast<std::size_t>(category)]);
}

void FittingsSummary::AggregateFittings() {
  HistoryStep step(history_, "集計");
  ++revision_;
  SummaryTable t(tables_.fittings_summary());
  const TextGrid& store = tables_.fittings_store();
  t.Resize(kFirstRow + 1, 2);
  t.ClearFrom(kFirstRow, kSummaryNameColumn);
  t.SetTotal(kSummaryPlacesColumn, "");

  // The live blocks, in store order.
  std::vector<int> blocks;
  for (int r = 0; r < store.rows(); ++r) {
    if (!FittingsStoreView::NamesCode(store, r) ||
        store.At(r, 0) == FittingsStoreView::kDeleted) {
      continue;
    }
    blocks.push_back(r);
  }
  int next = kFirstRow;
  for (int start : blocks) {
    t.Resize(next + 1, t.columns());
    t.SetRowName(next, store.At(start, 1));
    t.SetPlaces(next, store.At(start + 2, 34));
    ++next;
  }
  for (int category = 0; category < static_cast<int>(kCategories.size()); ++category) {
    const CategoryColumns& c = kColumns[static_cast<std::size_t>(category)];
    for (int start : blocks) {
      int row = -1;
      for (int r = kFirstRow; r < t.rows() && row < 0; ++r) {
        if (t.RowName(r) == store.At(start, 1)) row = r;
      }
      if (row < 0) continue;
      for (int b = start; b < start + c.rows && b < store.rows(); ++b) {
        if (store.At(b, c.kind).empty()) continue;
        AddItem(&t, row, category, ItemName(category, store, b), store.At(b, c.quantity));
      }
    }
  }

  WriteSummaryTotals(&t, digits_);
  RecallWorkTypes(&t, tables_.work_type_memory(), kMemoryBase);
  if (!store.At(0, 0).empty()) {
    platform_.dialogs.Beep();
    platform_.dialogs.ShowMessage("建具廻り集計", "終了しました。");
  }
}

void FittingsSummary::AssignWorkType(int row, int column,
                                     std::string_view work_type) {
  HistoryStep step(history_, "工種");
  const TextGrid& t = tables_.fittings_summary();
  if (row > 4 || t.cols() <= kFirstItemColumn || column < kFirstItemColumn ||
      column >= t.cols() || t.At(kSummaryItemRow, column).empty() || work_type.empty()) {
    return;
  }
  ++revision_;
  SummaryTable(tables_.fittings_summary()).SetWorkType(column, work_type);
  RememberWorkTypes(&tables_);
}

void FittingsSummary::ClearWorkType(int column) {
  HistoryStep step(history_, "工種");
  if (column < kFirstItemColumn || column >= tables_.fittings_summary()->cols()) return;
  ++revision_;
  SummaryTable(tables_.fittings_summary()).SetWorkType(column, "");
}

}  // namespace veltrano
