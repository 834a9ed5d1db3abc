#include "aggregate/export.h"

#include <string>

namespace veltrano {

namespace {

constexpr int kExportCols = 10;

// Splits the item name of a row at `colon`: the first piece stays in
// column 1, the second goes to column 2, the rest is dropped.
void SplitItem(TextGrid* t, int row, std::string_view colon) {
  const std::string item = t->At(row, 1);
  const std::size_t at = item.find(colon);
  if (at == std::string::npos) return;
  const std::string first = item.substr(0, at);
  std::string second = item.substr(at + colon.size());
  const std::size_t next = second.find(colon);
  if (next != std::string::npos) second.resize(next);
  t->Set(row, 1, first);
  t->Set(row, 2, second);
}

}  // namespace

std::string SummaryText(const TextGrid& table, std::string_view row_end) {
  return RangeText(table, 0, 0, table.rows() - 1, table.cols() - 1, row_end);
}

TextGrid ReshapeWorkTypeTable(const TextGrid& work) {
  TextGrid out(work.rows(), kExportCols);
  if (work.rows() > 1) {
    for (int r = 0; r < work.rows(); ++r) {
      for (int c = 0; c < work.cols() && c + 1 < kExportCols; ++c) {
        out.Set(r, c < 2 ? c : c + 1, work.At(r, c));
      }
    }
  }
  for (int r = 0; r < out.rows(); ++r) {
    SplitItem(&out, r, ":");
    SplitItem(&out, r, "：");
  }
  return out;
}

}  // namespace veltrano
