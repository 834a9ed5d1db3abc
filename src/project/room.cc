#include "project/room.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "calc/number_text.h"
#include "calc/text_util.h"

namespace veltrano {

RoomRow RoomRow::Empty() {
  RoomRow row;
  row.tail_.assign(kExtraColumn + 1, ',');
  return row;
}

RoomRow RoomRow::FromCells(const std::vector<std::string_view>& cells,
                           std::string_view extra) {
  RoomRow row;
  std::string& tail = row.tail_;
  tail.clear();
  std::size_t size = 2 + extra.size() + kLastStoredColumn;
  for (int c = 1; c <= kLastStoredColumn; ++c) {
    if (static_cast<std::size_t>(c) < cells.size()) size += cells[static_cast<std::size_t>(c)].size();
  }
  tail.reserve(size);
  tail += ',';
  for (int c = 1; c <= kLastStoredColumn; ++c) {
    if (static_cast<std::size_t>(c) < cells.size()) tail += cells[static_cast<std::size_t>(c)];
    tail += ',';
  }
  tail += extra;
  tail += ',';
  return row;
}

std::string_view RoomRow::Cell(int col) const {
  if (col < 1) return {};
  return FieldOf(tail_, col);
}

void RoomRow::Cells(std::vector<std::string_view>* cells) const {
  cells->assign(kExtraColumn + 1, std::string_view());
  // The tail starts with the separator before cell 1: field k is cell k.
  // Cells are a few bytes long, so the separators are found eight bytes at
  // a time (each separator byte of a word marked by its top bit) rather
  // than by a search per cell.
  static_assert(std::endian::native == std::endian::little);
  const char* const data = tail_.data();
  const std::size_t size = tail_.size();
  std::size_t start = 0;
  int field = 0;
  // Ends the field before the separator at `at`; true once the extra value
  // (the last cell wanted) has ended.
  const auto separator_at = [&](std::size_t at) {
    if (field > 0) (*cells)[static_cast<std::size_t>(field)] = std::string_view(data + start, at - start);
    start = at + 1;
    return ++field > kExtraColumn;
  };
  constexpr std::uint64_t kCommas = 0x2C2C2C2C2C2C2C2CULL;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, data + i, 8);
    const std::uint64_t x = word ^ kCommas;  // a separator byte becomes 0
    std::uint64_t marks = ~(((x & kLow7) + kLow7) | x | kLow7);
    while (marks != 0) {
      if (separator_at(i + (static_cast<unsigned>(std::countr_zero(marks)) >> 3))) return;
      marks &= marks - 1;
    }
  }
  for (; i < size; ++i) {
    if (data[i] == ',' && separator_at(i)) return;
  }
  separator_at(size);
}

int RoomRow::CellCount() const {
  return static_cast<int>(std::count(tail_.begin(), tail_.end(), ','));
}

void RoomRow::SetCell(int col, std::string_view text) { SetCells({{col, text}}); }

void RoomRow::SetCells(const std::vector<std::pair<int, std::string_view>>& texts) {
  // The tail starts with the separator before cell 1: field k is cell k.
  std::vector<std::string_view> fields = SplitFields(tail_);
  std::size_t size = tail_.size();
  for (const auto& [col, text] : texts) {
    if (col < 1) continue;
    const auto c = static_cast<std::size_t>(col);
    if (fields.size() <= c) fields.resize(c + 1);
    fields[c] = text;
    size += text.size() + 1;
  }
  std::string joined;
  joined.reserve(size + fields.size());
  for (std::size_t f = 0; f < fields.size(); ++f) {
    if (f > 0) joined += ',';
    joined += fields[f];
  }
  tail_ = std::move(joined);
}

Room::Room(std::string name) : name_(std::move(name)) {
  const RoomRow empty = RoomRow::Empty();
  rows_.fill(empty);
}

void Room::SetRow(int r, RoomRow row) {
  rows_[static_cast<std::size_t>(r - 1)] = std::move(row);
  if (heads_.empty()) return;
  std::erase_if(heads_, [r](const std::pair<int, std::string>& head) { return head.first == r; });
}

void Room::CellsByRow(std::vector<std::vector<std::string_view>>* rows) const {
  rows->resize(kItemRows + 1);
  (*rows)[0].clear();
  for (int r = 1; r <= kItemRows; ++r) row(r).Cells(&(*rows)[static_cast<std::size_t>(r)]);
}

long Room::PlacesCount() const {
  const long places = std::lround(LeadingNumber(Cell(1, kExtraColumn)));
  return places == 0 ? 1 : places;
}

RoomConditions Room::Conditions() const {
  RoomConditions c;
  c.places_count = std::string(Cell(1, kExtraColumn));
  for (int i = 0; i < 3; ++i) {
    c.parameters[static_cast<std::size_t>(i)] = std::string(Cell(2 + i, kExtraColumn));
  }
  c.done = static_cast<long>(LeadingNumber(Cell(5, kExtraColumn))) == 1;
  return c;
}

void RoomList::Append(Room room) {
  names_.push_back(room.name());
  rooms_.push_back(std::make_shared<const Room>(std::move(room)));
}

void RoomList::Insert(int i, std::shared_ptr<const Room> room) {
  if (i < 0 || i > size() || room == nullptr) return;
  names_.insert(names_.begin() + i, room->name());
  rooms_.insert(rooms_.begin() + i, std::move(room));
}

void RoomList::Put(int i, Room room) {
  if (i < 0 || i >= size()) return;
  names_[static_cast<std::size_t>(i)] = room.name();
  rooms_[static_cast<std::size_t>(i)] = std::make_shared<const Room>(std::move(room));
}

void RoomList::Rename(int i, std::string name) {
  if (i < 0 || i >= size()) return;
  Room renamed = at(i);
  renamed.Rename(std::move(name));
  Put(i, std::move(renamed));
}

std::shared_ptr<const Room> RoomList::Remove(int i) {
  if (i < 0 || i >= size()) return nullptr;
  std::shared_ptr<const Room> removed = std::move(rooms_[static_cast<std::size_t>(i)]);
  rooms_.erase(rooms_.begin() + i);
  names_.erase(names_.begin() + i);
  return removed;
}

void RoomList::Move(int from, int to) {
  if (from < 0 || from >= size() || to < 0 || to >= size() || from == to) return;
  std::shared_ptr<const Room> room = Remove(from);
  Insert(to, std::move(room));
}

void RoomList::Clear() {
  rooms_.clear();
  names_.clear();
}

}  // namespace veltrano
