#include "project/fittings_tables.h"

#include <algorithm>

#include "calc/text_util.h"

namespace veltrano {

namespace {

constexpr int kFirstFitting = 1;

}  // namespace

std::optional<int> FittingsRegisterView::Find(std::string_view code) const {
  const TextGrid& reg = grid();
  for (int r = kFirstFitting; r < reg.rows(); ++r) {
    if (!reg.At(r, 0).empty() && EqualsIgnoreCase(reg.At(r, 0), code)) return r;
  }
  return std::nullopt;
}

std::optional<FittingEntry> FittingsRegisterView::Entry(int row) const {
  const TextGrid& reg = grid();
  if (row < kFirstFitting || row >= reg.rows() || reg.At(row, 0).empty()) return std::nullopt;
  return FittingEntry{reg.At(row, 0), reg.At(row, 1), reg.At(row, 2)};
}

std::vector<std::string> FittingsRegisterView::Codes() const {
  std::vector<std::string> codes;
  const TextGrid& reg = grid();
  for (int r = kFirstFitting; r < reg.rows() && !reg.At(r, 0).empty(); ++r) {
    codes.push_back(reg.At(r, 0));
  }
  return codes;
}

int FittingsRegisterView::FirstFreeRow() const {
  const TextGrid& reg = grid();
  for (int r = kFirstFitting; r < reg.rows(); ++r) {
    if (reg.At(r, 0).empty()) return r;
  }
  return kRegisterRows - 1;
}

bool FittingsRegisterView::Full() const { return !grid().At(kRegisterRows - 1, 0).empty(); }

void FittingsRegisterTable::Add(const FittingEntry& entry) {
  const int row = FirstFreeRow();
  TextGrid& reg = *table_.Edit();
  reg.Set(row, 0, entry.code);
  reg.Set(row, 1, entry.w);
  reg.Set(row, 2, entry.h);
}

void FittingsRegisterTable::SetSize(int row, std::string_view w, std::string_view h) {
  TextGrid& reg = *table_.Edit();
  reg.Set(row, 1, w);
  reg.Set(row, 2, h);
}

int FittingsRegisterTable::InsertAt(int row, const FittingEntry& entry) {
  const int at = std::min(row, FirstFreeRow());
  TextGrid& reg = *table_.Edit();
  for (int r = kRegisterRows - 1; r > at; --r) {
    for (int c = 0; c < kRegisterCols; ++c) reg.Set(r, c, reg.At(r - 1, c));
  }
  reg.Set(at, 0, entry.code);
  reg.Set(at, 1, entry.w);
  reg.Set(at, 2, entry.h);
  return at;
}

void FittingsRegisterTable::RemoveAt(int row) {
  if (row < kFirstFitting || row >= kRegisterRows) return;
  TextGrid& reg = *table_.Edit();
  for (int r = row; r < kRegisterRows - 1; ++r) {
    for (int c = 0; c < kRegisterCols; ++c) reg.Set(r, c, reg.At(r + 1, c));
  }
  for (int c = 0; c < kRegisterCols; ++c) reg.Set(kRegisterRows - 1, c, "");
}

void FittingsRegisterTable::Clear() {
  table_.Edit()->ClearRange(kFirstFitting, 0, kRegisterRows - 1, kRegisterCols - 1);
}

void FittingsRegisterTable::Replace(const std::vector<FittingEntry>& entries) {
  TextGrid& reg = *table_.Edit();
  reg.ClearRange(kFirstFitting, 0, kRegisterRows - 1, kRegisterCols - 1);
  const int fits = std::min(static_cast<int>(entries.size()), kMaxFittings);
  for (int k = 0; k < fits; ++k) {
    const FittingEntry& entry = entries[static_cast<std::size_t>(k)];
    reg.Set(k + kFirstFitting, 0, entry.code);
    reg.Set(k + kFirstFitting, 1, entry.w);
    reg.Set(k + kFirstFitting, 2, entry.h);
  }
}

int FittingsStoreView::BlockOf(std::string_view code) const {
  const TextGrid& store = grid();
  for (int r = 0; r < store.rows(); ++r) {
    if (store.At(r, 1) == code) return r;
  }
  return -1;
}

void FittingsStoreTable::Commit(std::string_view code, bool live,
                                const std::vector<BlockCell>& cells) {
  TextGrid& store = *table_.Edit();
  // A new block goes after the others (an empty store's single row is its
  // first); the rows are added even when the code's block is taken again.
  int block = 0;
  if (store.rows() == 1) {
    store.SetRows(kBlockRows);
  } else {
    block = store.rows();
    store.SetRows(store.rows() + kBlockRows);
  }
  const int found = BlockOf(code);
  if (found >= 0) block = found;
  for (int r = 0; r < kBlockRows; ++r) {
    store.Set(block + r, 0, live ? kLive : kDeleted);
    store.Set(block + r, 1, r == 0 ? code : kContinued);
  }
  for (const BlockCell& cell : cells) {
    if (cell.row < 0 || cell.row >= kBlockRows || cell.col < 2) continue;
    store.Set(block + cell.row, cell.col, cell.text);
  }
}

void FittingsStoreTable::Delete(std::string_view code) {
  const int block = BlockOf(code);
  if (block < 0) return;
  TextGrid& store = *table_.Edit();
  for (int r = 0; r < kBlockRows; ++r) store.Set(block + r, 0, kDeleted);
}

}  // namespace veltrano
