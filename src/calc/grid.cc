#include "calc/grid.h"

#include <algorithm>
#include <utility>

namespace veltrano {
namespace {
const std::string kEmpty;
}  // namespace

TextGrid::TextGrid(int rows, int cols) { Resize(rows, cols); }

const std::string& TextGrid::At(int row, int col) const {
  if (!InRange(row, col)) return kEmpty;
  return cells_[Index(row, col)];
}

void TextGrid::Set(int row, int col, std::string_view text) {
  if (!InRange(row, col)) return;
  cells_[Index(row, col)].assign(text);
}

void TextGrid::Resize(int rows, int cols) {
  rows = std::max(rows, 0);
  cols = std::max(cols, 0);
  if (rows == rows_ && cols == cols_) return;
  if (cols == cols_) {
    cells_.resize(static_cast<std::size_t>(rows) *
                  static_cast<std::size_t>(cols));
    rows_ = rows;
    return;
  }
  std::vector<std::string> cells(static_cast<std::size_t>(rows) *
                                 static_cast<std::size_t>(cols));
  const int keep_rows = std::min(rows, rows_);
  const int keep_cols = std::min(cols, cols_);
  for (int r = 0; r < keep_rows; ++r) {
    for (int c = 0; c < keep_cols; ++c) {
      cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) +
            static_cast<std::size_t>(c)] = std::move(cells_[Index(r, c)]);
    }
  }
  cells_ = std::move(cells);
  rows_ = rows;
  cols_ = cols;
}

void TextGrid::ClearRange(int r1, int c1, int r2, int c2) {
  if (r1 > r2) std::swap(r1, r2);
  if (c1 > c2) std::swap(c1, c2);
  r1 = std::max(r1, 0);
  c1 = std::max(c1, 0);
  r2 = std::min(r2, rows_ - 1);
  c2 = std::min(c2, cols_ - 1);
  for (int r = r1; r <= r2; ++r) {
    for (int c = c1; c <= c2; ++c) cells_[Index(r, c)].clear();
  }
}

void TextGrid::InsertRow(int row) {
  if (row < 0 || row > rows_) return;
  const auto at = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
  cells_.insert(at, static_cast<std::size_t>(cols_), std::string());
  ++rows_;
}

void TextGrid::RemoveRow(int row) {
  if (row < 0 || row >= rows_) return;
  const auto at = cells_.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
  cells_.erase(at, at + cols_);
  --rows_;
}

}  // namespace veltrano
