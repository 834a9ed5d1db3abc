#include "project/project_rooms.h"

#include <algorithm>
#include <utility>

namespace veltrano {

namespace {

bool ValidSide(int side) { return side == kInterior || side == kExterior; }

// The cells that differ between two versions of a room; `rows_differ`
// tells whether any row differs at all, if only in its form.
std::vector<RoomChange::Cell> DifferingCells(const Room& before, const Room& after,
                                             bool* rows_differ) {
  std::vector<RoomChange::Cell> cells;
  std::vector<std::string_view> a;
  std::vector<std::string_view> b;
  *rows_differ = false;
  for (int r = 1; r <= kItemRows; ++r) {
    if (before.row(r) == after.row(r)) continue;
    *rows_differ = true;
    before.row(r).Cells(&a);
    after.row(r).Cells(&b);
    for (int c = 1; c <= kExtraColumn; ++c) {
      const auto i = static_cast<std::size_t>(c);
      if (a[i] != b[i]) cells.push_back({r, c, std::string(a[i]), std::string(b[i])});
    }
  }
  return cells;
}

}  // namespace

void ProjectRooms::Tell(RoomChange change) {
  ++revision_;
  if (recorder_ != nullptr) recorder_->Record(std::move(change));
}

bool ProjectRooms::NameTaken(int side, std::string_view name) const {
  if (!ValidSide(side)) return false;
  const std::vector<std::string>& list = names(side);
  return std::find(list.begin(), list.end(), name) != list.end();
}

bool ProjectRooms::Full(int side) const {
  return ValidSide(side) && count(side) >= kMaxRooms[static_cast<std::size_t>(side)];
}

bool ProjectRooms::Append(int side, Room room) {
  if (!ValidSide(side) || Full(side) || NameTaken(side, room.name())) return false;
  AppendAsRead(side, std::move(room));
  return true;
}

void ProjectRooms::AppendAsRead(int side, Room room) {
  if (!ValidSide(side)) return;
  RoomList& list = Side(side);
  list.Append(std::move(room));
  RoomChange change;
  change.kind = RoomChange::Kind::kInsert;
  change.side = side;
  change.index = list.size() - 1;
  change.room = list.shared(change.index);
  Tell(std::move(change));
}

void ProjectRooms::Store(int side, int index, Room room) {
  if (!ValidSide(side) || index < 0 || index >= count(side)) return;
  RoomList& list = Side(side);
  room.Rename(list.at(index).name());
  bool rows_differ = false;
  std::vector<RoomChange::Cell> cells = DifferingCells(list.at(index), room, &rows_differ);
  if (cells.empty()) {
    // The same rows: nothing changes. The same cells in another form (a
    // room read from a file, stored from the sheet) change nothing that is
    // told.
    if (!rows_differ && list.at(index) == room) return;
    list.Put(index, std::move(room));
    ++revision_;
    return;
  }
  list.Put(index, std::move(room));
  RoomChange change;
  change.kind = RoomChange::Kind::kCells;
  change.side = side;
  change.index = index;
  change.cells = std::move(cells);
  Tell(std::move(change));
}

bool ProjectRooms::Rename(int side, int index, std::string name) {
  if (!ValidSide(side) || index < 0 || index >= count(side)) return false;
  if (room(side, index).name() == name) return true;
  if (NameTaken(side, name)) return false;
  RoomChange change;
  change.kind = RoomChange::Kind::kRename;
  change.side = side;
  change.index = index;
  change.before_name = room(side, index).name();
  change.after_name = name;
  Side(side).Rename(index, std::move(name));
  Tell(std::move(change));
  return true;
}

void ProjectRooms::Remove(int side, int index) {
  if (!ValidSide(side) || index < 0 || index >= count(side)) return;
  RoomChange change;
  change.kind = RoomChange::Kind::kRemove;
  change.side = side;
  change.index = index;
  change.room = Side(side).Remove(index);
  Tell(std::move(change));
}

void ProjectRooms::Move(int side, int from, int to) {
  if (!ValidSide(side) || from == to || from < 0 || to < 0 ||
      from >= count(side) || to >= count(side)) {
    return;
  }
  Side(side).Move(from, to);
  RoomChange change;
  change.kind = RoomChange::Kind::kMove;
  change.side = side;
  change.index = from;
  change.to = to;
  Tell(std::move(change));
}

void ProjectRooms::Clear() {
  ++revision_;
  for (RoomList& list : sides_) list.Clear();
}

void ProjectRooms::Apply(const RoomChange& change, bool forward) {
  if (!ValidSide(change.side)) return;
  ++revision_;
  RoomList& list = Side(change.side);
  switch (change.kind) {
    case RoomChange::Kind::kInsert:
    case RoomChange::Kind::kRemove:
      if ((change.kind == RoomChange::Kind::kInsert) == forward) {
        list.Insert(change.index, change.room);
      } else {
        list.Remove(change.index);
      }
      break;
    case RoomChange::Kind::kRename:
      list.Rename(change.index, forward ? change.after_name : change.before_name);
      break;
    case RoomChange::Kind::kMove:
      if (forward) {
        list.Move(change.index, change.to);
      } else {
        list.Move(change.to, change.index);
      }
      break;
    case RoomChange::Kind::kCells: {
      if (change.index < 0 || change.index >= list.size()) return;
      Room room = list.at(change.index);
      // The cells of one row come together (they were taken row by row):
      // each row is split and joined once.
      std::vector<std::pair<int, std::string_view>> texts;
      std::size_t i = 0;
      while (i < change.cells.size()) {
        const int row = change.cells[i].row;
        texts.clear();
        for (; i < change.cells.size() && change.cells[i].row == row; ++i) {
          const RoomChange::Cell& cell = change.cells[i];
          texts.emplace_back(cell.col, forward ? cell.after : cell.before);
        }
        RoomRow edited = room.row(row);
        edited.SetCells(texts);
        room.SetRow(row, std::move(edited));
      }
      list.Put(change.index, std::move(room));
      break;
    }
  }
}

}  // namespace veltrano
