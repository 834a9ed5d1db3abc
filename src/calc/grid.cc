#include "calc/grid.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <utility>

namespace veltrano {
namespace {
const std::string kEmpty;

// True when every cell from `from` on is empty.
bool EmptyFrom(const std::vector<std::string>& row, std::size_t from) {
  for (std::size_t c = from; c < row.size(); ++c) {
    if (!row[c].empty()) return false;
  }
  return true;
}
}  // namespace

TextGrid::TextGrid(int rows, int cols) { Resize(rows, cols); }

const std::string& TextGrid::At(int row, int col) const {
  if (!InRange(row, col)) return kEmpty;
  const auto r = static_cast<std::size_t>(row);
  const auto c = static_cast<std::size_t>(col);
  if (r >= stored_.size() || c >= stored_[r].size()) return kEmpty;
  return stored_[r][c];
}

int TextGrid::StoredCols(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= stored_.size()) return 0;
  return static_cast<int>(stored_[static_cast<std::size_t>(row)].size());
}

std::uint64_t TextGrid::change_mark() const {
  if (changed_) {
    static std::atomic<std::uint64_t> last_mark{0};
    change_mark_ = last_mark.fetch_add(1, std::memory_order_relaxed) + 1;
    changed_ = false;
  }
  return change_mark_;
}

void TextGrid::Set(int row, int col, std::string_view text) {
  if (!InRange(row, col)) return;
  MarkChange();
  const auto r = static_cast<std::size_t>(row);
  const auto c = static_cast<std::size_t>(col);
  if (r >= stored_.size() || c >= stored_[r].size()) {
    if (text.empty()) return;
    if (r >= stored_.size()) stored_.resize(r + 1);
    // A row grows by doubling, so that filling it cell by cell does not
    // grow it cell by cell, and a wide row written at its start stays small.
    std::vector<std::string>& cells = stored_[r];
    if (c >= cells.size()) {
      const std::size_t wanted =
          std::max({c + 1, cells.size() * 2, static_cast<std::size_t>(8)});
      cells.resize(std::min(wanted, static_cast<std::size_t>(cols_)));
    }
  }
  stored_[r][c].assign(text);
}

void TextGrid::Resize(int rows, int cols) {
  MarkChange();
  const bool narrower = std::max(cols, 0) < cols_;
  rows_ = std::max(rows, 0);
  cols_ = std::max(cols, 0);
  const auto r = static_cast<std::size_t>(rows_);
  const auto c = static_cast<std::size_t>(cols_);
  if (stored_.size() > r) stored_.resize(r);
  // Growing by a row at a time must not touch every stored row.
  if (!narrower) return;
  for (std::vector<std::string>& row : stored_) {
    if (row.size() > c) row.resize(c);
  }
}

void TextGrid::ClearRange(int r1, int c1, int r2, int c2) {
  MarkChange();
  if (r1 > r2) std::swap(r1, r2);
  if (c1 > c2) std::swap(c1, c2);
  r1 = std::max(r1, 0);
  c1 = std::max(c1, 0);
  r2 = std::min(r2, static_cast<int>(stored_.size()) - 1);
  c2 = std::min(c2, cols_ - 1);
  for (int r = r1; r <= r2; ++r) {
    std::vector<std::string>& row = stored_[static_cast<std::size_t>(r)];
    const int last = std::min(c2, static_cast<int>(row.size()) - 1);
    for (int c = c1; c <= last; ++c) row[static_cast<std::size_t>(c)].clear();
  }
}

void TextGrid::InsertRow(int row) {
  if (row < 0 || row > rows_) return;
  MarkChange();
  const auto r = static_cast<std::size_t>(row);
  if (r < stored_.size()) {
    stored_.insert(stored_.begin() + static_cast<std::ptrdiff_t>(r),
                   std::vector<std::string>());
  }
  ++rows_;
}

void TextGrid::RemoveRow(int row) {
  if (row < 0 || row >= rows_) return;
  MarkChange();
  const auto r = static_cast<std::size_t>(row);
  if (r < stored_.size()) {
    stored_.erase(stored_.begin() + static_cast<std::ptrdiff_t>(r));
  }
  --rows_;
}

std::size_t TextGrid::MemoryBytes() const {
  std::size_t bytes = sizeof(TextGrid) + stored_.capacity() * sizeof(stored_[0]);
  for (const std::vector<std::string>& row : stored_) {
    bytes += row.capacity() * sizeof(std::string);
    for (const std::string& cell : row) {
      // Short texts live inside the string itself.
      if (cell.capacity() >= sizeof(std::string)) bytes += cell.capacity() + 1;
    }
  }
  return bytes;
}

bool TextGrid::operator==(const TextGrid& other) const {
  if (rows_ != other.rows_ || cols_ != other.cols_) return false;
  const std::size_t rows = std::max(stored_.size(), other.stored_.size());
  static const std::vector<std::string> kNoRow;
  for (std::size_t r = 0; r < rows; ++r) {
    const std::vector<std::string>& a =
        r < stored_.size() ? stored_[r] : kNoRow;
    const std::vector<std::string>& b =
        r < other.stored_.size() ? other.stored_[r] : kNoRow;
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t c = 0; c < common; ++c) {
      if (a[c] != b[c]) return false;
    }
    if (!EmptyFrom(a, common) || !EmptyFrom(b, common)) return false;
  }
  return true;
}

std::string RangeText(const TextGrid& grid, int top, int left, int bottom,
                      int right, std::string_view row_end) {
  std::string text;
  for (int r = top; r <= bottom; ++r) {
    if (r > top) text += row_end;
    for (int c = left; c <= right; ++c) {
      if (c > left) text += '\t';
      text += grid.At(r, c);
    }
  }
  return text;
}

}  // namespace veltrano
