#ifndef VELTRANO_PROJECT_FITTINGS_TABLES_H_
#define VELTRANO_PROJECT_FITTINGS_TABLES_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.h"

namespace veltrano {

// One entry of the fittings register: code, W and H in millimetres, as
// typed.
struct FittingEntry {
  std::string code;
  std::string w;
  std::string h;
};

// The fittings register of a project (TateguGrid): the heading in row 0,
// then the fittings from row 1 on without a gap, at most 599. What can be
// read of it:
class FittingsRegisterView {
 public:
  explicit FittingsRegisterView(const SharedTable& table) : view_(table) {}

  const TextGrid& grid() const { return *view_; }
  // The row of a code (letter case ignored).
  std::optional<int> Find(std::string_view code) const;
  std::optional<FittingEntry> Entry(int row) const;
  std::vector<std::string> Codes() const;
  // The row the next fitting takes (the last row when full).
  int FirstFreeRow() const;
  bool Full() const;

 private:
  const SharedTable& view_;
};

// ... and its changes, each of which keeps it without a gap.
class FittingsRegisterTable : public FittingsRegisterView {
 public:
  explicit FittingsRegisterTable(SharedTable& table)
      : FittingsRegisterView(table), table_(table) {}

  // A fitting after the others.
  void Add(const FittingEntry& entry);
  void SetSize(int row, std::string_view w, std::string_view h);
  // A fitting put at `row`, the ones from there on moving down; a row below
  // the first free one is taken as the first free one.
  int InsertAt(int row, const FittingEntry& entry);
  // The fitting of `row` taken out, the ones below moving up.
  void RemoveAt(int row);
  void Clear();
  // The register made of these fittings (the first 599).
  void Replace(const std::vector<FittingEntry>& entries);

 private:
  SharedTable& table_;
};

// The committed fittings takeoff of a project (TateguSaveGrid): a block of
// six rows per fitting, the first naming its code in column 1 (the others
// "@"), the marker "Mado" in column 0, or "DelData" once deleted (a deleted
// block is not written). Columns 2-33 hold the calculation tables' rows,
// column 34 the fitting's W, H, count of places and "dm".
class FittingsStoreView {
 public:
  static constexpr int kBlockRows = 6;
  static constexpr std::string_view kLive = "Mado";
  static constexpr std::string_view kDeleted = "DelData";
  static constexpr std::string_view kContinued = "@";

  explicit FittingsStoreView(const SharedTable& table) : view_(table) {}

  const TextGrid& grid() const { return *view_; }
  // Row `row` continues the block above it (its code column is "@").
  static bool Continues(const TextGrid& store, int row) { return store.At(row, 1) == kContinued; }
  // Row `row` names a code: the first row of a block, whatever its marker.
  static bool NamesCode(const TextGrid& store, int row) {
    return !store.At(row, 1).empty() && !Continues(store, row);
  }
  // The first row of the block of a code, or -1.
  int BlockOf(std::string_view code) const;

 private:
  const SharedTable& view_;
};

// ... and its changes, block by block.
class FittingsStoreTable : public FittingsStoreView {
 public:
  explicit FittingsStoreTable(SharedTable& table) : FittingsStoreView(table), table_(table) {}

  // A cell of a block: its row (0-5) and column (2-34) in the block.
  struct BlockCell {
    int row;
    int col;
    std::string_view text;
  };
  // Commits a fitting's block, marked live or deleted: in place of the
  // code's block, or after the others; the cells given are written, the
  // others of a block in place keep what they hold.
  void Commit(std::string_view code, bool live, const std::vector<BlockCell>& cells);
  // Marks the code's block deleted.
  void Delete(std::string_view code);

 private:
  SharedTable& table_;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_FITTINGS_TABLES_H_
