#include "fittings/entered_data.h"

#include <array>
#include <string>
#include <vector>
#include <string_view>

#include "calc/text_util.h"
#include "project/fittings_tables.h"

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
  // Rows with data, found once: the store of the largest project has some
  // 3,600 rows, and the list is rebuilt after every commit.
  std::vector<char> has_data(static_cast<std::size_t>(store.rows()));
  int with_data = 0;
  for (int r = 0; r < store.rows(); ++r) {
    has_data[static_cast<std::size_t>(r)] = StoreRowHasData(store, r);
    if (has_data[static_cast<std::size_t>(r)]) ++with_data;
  }
  if (1 + with_data > list->rows()) list->SetRows(1 + with_data);
  int next = 1;
  for (int r = 0; r < store.rows(); ++r) {
    if (!has_data[static_cast<std::size_t>(r)]) continue;
    const std::string& marker = store.At(r, 0);
    if (EqualsIgnoreCase(marker, FittingsStoreView::kDeleted)) continue;
    const bool first = !FittingsStoreView::Continues(store, r);
    list->Set(next, 0, first ? store.At(r, 1) : std::string());
    list->Set(next, 1, first ? store.At(r, 34) : std::string());
    list->Set(next, 2, first ? store.At(r + 1, 34) : std::string());
    list->Set(next, 3, first ? store.At(r + 2, 34) : std::string());
    for (std::size_t k = 0; k < kItemSource.size(); ++k) {
      list->Set(next, 4 + static_cast<int>(k), store.At(r, kItemSource[k]));
    }
    ++next;
  }
  if (next < list->rows()) {
    list->ClearRange(next, 0, list->rows() - 1, kEnteredDataCols - 1);
  }
}

}  // namespace veltrano
