#ifndef VELTRANO_PROJECT_PROJECT_ROOMS_H_
#define VELTRANO_PROJECT_PROJECT_ROOMS_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "project/room.h"

namespace veltrano {

// One change to the rooms of a project, with what it takes to make it
// again or take it back.
struct RoomChange {
  enum class Kind { kInsert, kRemove, kRename, kMove, kCells };
  struct Cell {
    int row;
    int col;
    std::string before;
    std::string after;
  };

  Kind kind = Kind::kCells;
  int side = kInterior;
  int index = 0;  // the room concerned, where it is before the change
  int to = 0;     // kMove: its position after
  std::shared_ptr<const Room> room;       // kInsert, kRemove
  std::string before_name, after_name;    // kRename
  std::vector<Cell> cells;                // kCells, in row and column order
};

// Where the changes go as they are made: the history of changes.
class RoomChangeRecorder {
 public:
  virtual ~RoomChangeRecorder() = default;
  virtual void Record(RoomChange change) = 0;
};

// The rooms and places of a project. Every change goes through an
// operation, which tells the recorder what it changed.
class ProjectRooms {
 public:
  ProjectRooms() = default;
  // A copy holds the same rooms, and tells no recorder.
  ProjectRooms(const ProjectRooms& other) : sides_(other.sides_) {}
  ProjectRooms& operator=(const ProjectRooms& other) {
    sides_ = other.sides_;
    ++revision_;
    return *this;
  }
  const RoomList& side(int s) const { return sides_[static_cast<std::size_t>(s)]; }
  const std::vector<std::string>& names(int s) const { return side(s).names(); }
  int count(int s) const { return side(s).size(); }
  const Room& room(int s, int i) const { return side(s).at(i); }
  std::uint64_t revision() const { return revision_; }

  void set_recorder(RoomChangeRecorder* recorder) { recorder_ = recorder; }

  // True when a room of `side` has exactly this name: names are unique
  // within a side, letter case counting.
  bool NameTaken(int side, std::string_view name) const;
  // True when `side` holds as many rooms as it may (kMaxRooms).
  bool Full(int side) const;

  // Adds a room at the end of `side`; false, and nothing added, when its
  // name is taken or the side is full.
  bool Append(int side, Room room);
  // A room as a project file holds it: added whatever its name, since a
  // file written elsewhere may repeat one and must come back as it was.
  void AppendAsRead(int side, Room room);
  // Puts a room's content in place of room `index` (its name unchanged);
  // the cells that differ are what changed.
  void Store(int side, int index, Room room);
  // False, and nothing renamed, when another room of the side has the name.
  bool Rename(int side, int index, std::string name);
  void Remove(int side, int index);
  void Move(int side, int from, int to);
  // Empties both sides (a project replaced); this is no change to record.
  void Clear();

  // Makes a recorded change again (`forward`) or takes it back, without
  // recording it.
  void Apply(const RoomChange& change, bool forward);

 private:
  RoomList& Side(int s) { return sides_[static_cast<std::size_t>(s)]; }
  void Tell(RoomChange change);

  std::array<RoomList, 2> sides_;
  RoomChangeRecorder* recorder_ = nullptr;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PROJECT_ROOMS_H_
