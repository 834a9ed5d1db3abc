#ifndef VELTRANO_PROJECT_ROOM_H_
#define VELTRANO_PROJECT_ROOM_H_

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano {

// Sides of a project: interior rooms and exterior places.
inline constexpr int kInterior = 0;
inline constexpr int kExterior = 1;

// Capacity of a side: 500 rooms or 100 places.
inline constexpr std::array<int, 2> kMaxRooms = {500, 100};

// A room's takeoff: 50 item rows across five part blocks.
inline constexpr int kItemRows = 50;
inline constexpr int kParts = 5;
// Columns 1-27 are the part blocks; column 28 is the row's extra value
// (the count of places, the parameters A/S/L and the done mark of the
// first five rows).
inline constexpr int kLastStoredColumn = 27;
inline constexpr int kExtraColumn = kLastStoredColumn + 1;

// Parts in block order: 床, 巾木, 壁, 天井, 雑.
inline constexpr std::array<std::string_view, kParts> kPartNames = {
    "床", "巾木", "壁", "天井", "雑"};

// Formula column of each part; every other column of a block follows from it.
inline constexpr std::array<int, kParts> kFormulaColumn = {3, 9, 15, 20, 25};
inline constexpr std::array<int, kParts> kMarkColumn = {1, 6, 12, 18, 23};

inline constexpr int DeductionColumn(int formula_col) { return formula_col + 1; }
inline constexpr int ValueColumn(int formula_col) { return formula_col + 2; }
// 巾木 and 壁 carry fitting codes before the formula, so their item name
// stands two columns left of it.
inline constexpr bool HasFittingColumn(int part) { return part == 1 || part == 2; }
inline constexpr int ItemColumn(int part) {
  return kFormulaColumn[part] - (HasFittingColumn(part) ? 2 : 1);
}

inline constexpr std::string_view kSubtotalMarker = "小計";
inline constexpr std::string_view kDeductionMarker = "▲";
inline constexpr std::string_view kItemMarker = "○";

// What a room's first five rows carry in their extra value.
struct RoomConditions {
  std::string places_count;                // row 1
  std::array<std::string, 3> parameters;   // rows 2-4: A, S, L
  bool done = false;                       // row 5: "1" done, "0" not
};

// One item row of a room: cells 1-27 and the extra value (column 28).
// A row keeps its cells exactly as they were read or stored, including
// fields a later program may have added after the extra value, so that
// writing it back gives the same bytes.
class RoomRow {
 public:
  // A row that holds no field at all.
  RoomRow() = default;
  // A row of 27 empty cells and an empty extra value, as a new room has.
  static RoomRow Empty();
  // A row of the given cells (1-27, index 0 unused) and extra value, as
  // the takeoff sheet stores it.
  static RoomRow FromCells(const std::vector<std::string_view>& cells,
                           std::string_view extra);

  // Cell `col` (1-27) or the extra value (28); beyond a short row, "".
  std::string_view Cell(int col) const;
  // Every cell by column (index 0 empty, then 1-28), views into the row.
  void Cells(std::vector<std::string_view>* cells) const;
  // How many cells the row holds (a row read from a file may hold fewer
  // than 28, or more).
  int CellCount() const;
  // Puts a text into cell `col`; a short row is lengthened to reach it.
  void SetCell(int col, std::string_view text);
  // Puts texts into cells (by column, in column order) at once.
  void SetCells(const std::vector<std::pair<int, std::string_view>>& texts);

  bool operator==(const RoomRow&) const = default;

 private:
  friend class RoomRecords;
  // The record's text after the room's name, from the "," before cell 1.
  std::string tail_;
};

// A room (or place) of a side: its name and its 50 item rows.
class Room {
 public:
  // A room without name or fields, to be filled row by row.
  Room() = default;
  // A new room of empty rows, as the rooms dialog adds it.
  explicit Room(std::string name);

  const std::string& name() const { return name_; }
  void Rename(std::string name) { name_ = std::move(name); }

  // Rows 1-50.
  const RoomRow& row(int r) const { return rows_[static_cast<std::size_t>(r - 1)]; }
  void SetRow(int r, RoomRow row);
  std::string_view Cell(int r, int col) const { return row(r).Cell(col); }
  // Every cell of rows 1-50 by row and column (row 0 empty), views into
  // the room, which must not change while they are used.
  void CellsByRow(std::vector<std::vector<std::string_view>>* rows) const;

  // The count of places: a count that is empty, zero or not a number is
  // one place.
  long PlacesCount() const;
  // The extra values of the first rows as the sheet shows them.
  RoomConditions Conditions() const;

  bool operator==(const Room&) const = default;

 private:
  friend class RoomRecords;
  std::string name_;
  std::array<RoomRow, kItemRows> rows_;
  // The record tags (with their separator) of the rows read with another
  // spelling than the side's own, by row; a row put in place loses its own.
  std::vector<std::pair<int, std::string>> heads_;
};

// The rooms of one side in their order. Rooms are shared between copies of
// a list and never change once made: a list is copied cheaply (for the
// history of changes) and a change replaces the room it touches.
class RoomList {
 public:
  int size() const { return static_cast<int>(rooms_.size()); }
  bool empty() const { return rooms_.empty(); }
  const Room& at(int i) const { return *rooms_[static_cast<std::size_t>(i)]; }
  // The names, in order.
  const std::vector<std::string>& names() const { return names_; }
  const std::shared_ptr<const Room>& shared(int i) const {
    return rooms_[static_cast<std::size_t>(i)];
  }

  void Append(Room room);
  void Insert(int i, std::shared_ptr<const Room> room);
  // Puts a room in place of room `i`.
  void Put(int i, Room room);
  void Rename(int i, std::string name);
  std::shared_ptr<const Room> Remove(int i);
  // Takes room `from` out and puts it back at position `to`.
  void Move(int from, int to);
  void Clear();

 private:
  std::vector<std::shared_ptr<const Room>> rooms_;
  std::vector<std::string> names_;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_ROOM_H_
