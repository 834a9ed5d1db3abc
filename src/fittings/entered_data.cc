#include "fittings/entered_data.h"

#include <array>
#include <string_view>

#include "calc/text_util.h"

namespace veltrano {
namespace {

constexpr std::array<std::string_view, kEnteredDataCols> kHeadings = {
    "符号", "W", "H", "ヶ所", "種別", "規格", "m2", "種別",
    "m", "種別", "サイズ", "m", "種別", "m", "種別", "m2"};
// Store columns shown in list columns 4..15.
constexpr std::array<int, 12> kItemSource = {2, 8, 9, 10, 14, 15,
                                             16, 21, 22, 27, 28, 33};

}  // namespace

void LayOutEnteredDataList(TextGrid* list) {
  *list = TextGrid(kEnteredDataMinRows, kEnteredDataCols);
  for (int c = 0; c < kEnteredDataCols; ++c) {
    list->Set(0, c, kHeadings[static_cast<std::size_t>(c)]);
  }
}

bool StoreRowHasData(const TextGrid& store, int row) {
  for (int c = 2; c <= 33; ++c) {
    if (!store.At(row, c).empty()) return true;
  }
  return false;
}

void RebuildEnteredDataList(const TextGrid& store, TextGrid* list) {
  if (list->cols() != kEnteredDataCols) LayOutEnteredDataList(list);
  int with_data = 0;
  for (int r = 0; r < store.rows(); ++r) {
    if (StoreRowHasData(store, r)) ++with_data;
  }
  if (1 + with_data > list->rows()) list->SetRows(1 + with_data);
  list->ClearRange(1, 0, list->rows() - 1, kEnteredDataCols - 1);
  int next = 1;
  for (int r = 0; r < store.rows(); ++r) {
    if (!StoreRowHasData(store, r) ||
        EqualsIgnoreCase(store.At(r, 0), "DelData")) {
      continue;
    }
    if (store.At(r, 1) != "@") {
      list->Set(next, 0, store.At(r, 1));
      list->Set(next, 1, store.At(r, 34));
      list->Set(next, 2, store.At(r + 1, 34));
      list->Set(next, 3, store.At(r + 2, 34));
    }
    for (std::size_t k = 0; k < kItemSource.size(); ++k) {
      list->Set(next, 4 + static_cast<int>(k), store.At(r, kItemSource[k]));
    }
    ++next;
  }
}

}  // namespace veltrano
