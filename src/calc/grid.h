#ifndef VELTRANO_CALC_GRID_H_
#define VELTRANO_CALC_GRID_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

class TextGrid;

// The text of the cells of rows top..bottom and columns left..right
// (inclusive): each row's cells joined by tabs, rows joined by `row_end`,
// nothing after the last row. The plain-text form of a table or range on
// the clipboard.
std::string RangeText(const TextGrid& grid, int top, int left, int bottom,
                      int right, std::string_view row_end);

// A table of texts addressed by row and column, as every table of the
// program is: takeoff sheets, the fittings register, summary tables and the
// hidden tables that persist with a project. Reading outside the table gives
// an empty text; writing outside it is ignored.
//
// Storage is lazy: a row holds cells up to about twice its last written one
// and rows after the last written row hold nothing, so that a large table
// that is mostly empty (a summary table sized by its file's size record)
// costs only what it holds.
class TextGrid {
 public:
  TextGrid() = default;
  TextGrid(int rows, int cols);

  int rows() const { return rows_; }
  int cols() const { return cols_; }

  const std::string& At(int row, int col) const;
  // The cells of `row` that may hold text: every cell from this column on
  // is empty. Lets a writer of a large, mostly empty table skip them.
  int StoredCols(int row) const;
  void Set(int row, int col, std::string_view text);
  bool InRange(int row, int col) const {
    return row >= 0 && row < rows_ && col >= 0 && col < cols_;
  }

  // Changes the size, keeping every cell that still fits; new cells are empty.
  void Resize(int rows, int cols);
  void SetRows(int rows) { Resize(rows, cols_); }
  void SetCols(int cols) { Resize(rows_, cols); }

  // Empties the cells of rows r1..r2 and columns c1..c2 (inclusive, in either
  // order, clipped to the table).
  void ClearRange(int r1, int c1, int r2, int c2);
  void Clear() { ClearRange(0, 0, rows_ - 1, cols_ - 1); }

  // Inserts an empty row before `row` (or appends at rows()), or removes one.
  void InsertRow(int row);
  void RemoveRow(int row);

  // Equal sizes and equal texts in every cell.
  bool operator==(const TextGrid& other) const;

  // About how many bytes the table holds in memory.
  std::size_t MemoryBytes() const;

  // A mark of the table's last change, unique among every table's changes:
  // a table whose mark is still the one noted has not changed since.
  std::uint64_t change_mark() const;

 private:
  // A change is noted cheaply; the mark is drawn when it is next asked for
  // (tables change cell by cell, many thousand times between two looks).
  void MarkChange() { changed_ = true; }

  int rows_ = 0;
  int cols_ = 0;
  // Stored rows: at most rows_, each with at most cols_ cells; what is not
  // stored is empty.
  std::vector<std::vector<std::string>> stored_;
  mutable std::uint64_t change_mark_ = 0;
  mutable bool changed_ = false;
};

}  // namespace veltrano

#endif  // VELTRANO_CALC_GRID_H_
