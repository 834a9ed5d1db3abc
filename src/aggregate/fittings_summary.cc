#include "aggregate/fittings_summary.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "aggregate/work_types.h"
#include "calc/number_text.h"
#include "calc/text_util.h"

namespace veltrano {

namespace {

constexpr int kFirstRow = 4;
constexpr int kFirstItemColumn = 2;
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

void FittingsSummary::AddItem(int row, int category, const std::string& name,
                              const std::string& quantity) {
  TextGrid& t = *tables_.fittings_summary().Edit();
  int column = -1;
  for (int c = kFirstItemColumn; c < t.cols() && column < 0; ++c) {
    if (t.At(2, c) == name) column = c;
  }
  if (column < 0) {
    column = t.cols();
    t.SetCols(column + 1);
    t.Set(2, column, name);
  }
  const float sum = ToSingle(LeadingNumber(t.At(row, column))) +
                    ToSingle(LeadingNumber(quantity));
  t.Set(row, column, digits_.FormatCell(sum));
  t.Set(0, column, kCategories[static_cast<std::size_t>(category)]);
}

void FittingsSummary::AggregateFittings() {
  HistoryStep step(history_, "集計");
  ++revision_;
  TextGrid& t = *tables_.fittings_summary().Edit();
  const TextGrid& store = tables_.fittings_store();
  t.Resize(kFirstRow + 1, 2);
  t.ClearRange(kFirstRow, 0, kFirstRow, 1);
  t.Set(3, 1, "");

  // The live blocks, in store order.
  std::vector<int> blocks;
  for (int r = 0; r < store.rows(); ++r) {
    const std::string& code = store.At(r, 1);
    if (code.empty() || code == "@" || store.At(r, 0) == "DelData") continue;
    blocks.push_back(r);
  }
  int next = kFirstRow;
  for (int start : blocks) {
    t.SetRows(next + 1);
    t.Set(next, 0, store.At(start, 1));
    t.Set(next, 1, store.At(start + 2, 34));
    ++next;
  }
  for (int category = 0; category < static_cast<int>(kCategories.size()); ++category) {
    const CategoryColumns& c = kColumns[static_cast<std::size_t>(category)];
    for (int start : blocks) {
      int row = -1;
      for (int r = kFirstRow; r < t.rows() && row < 0; ++r) {
        if (t.At(r, 0) == store.At(start, 1)) row = r;
      }
      if (row < 0) continue;
      for (int b = start; b < start + c.rows && b < store.rows(); ++b) {
        if (store.At(b, c.kind).empty()) continue;
        AddItem(row, category, ItemName(category, store, b), store.At(b, c.quantity));
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
  TextGrid& t = *tables_.fittings_summary().Edit();
  if (row > 4 || t.cols() <= kFirstItemColumn || column < kFirstItemColumn ||
      column >= t.cols() || t.At(2, column).empty() || work_type.empty()) {
    return;
  }
  ++revision_;
  t.Set(1, column, work_type);
  RememberWorkTypes(&tables_);
}

void FittingsSummary::ClearWorkType(int column) {
  HistoryStep step(history_, "工種");
  TextGrid& t = *tables_.fittings_summary().Edit();
  if (column < kFirstItemColumn || column >= t.cols()) return;
  ++revision_;
  t.Set(1, column, "");
}

}  // namespace veltrano
