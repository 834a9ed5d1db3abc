#ifndef VELTRANO_PROJECT_PROJECT_TABLES_H_
#define VELTRANO_PROJECT_PROJECT_TABLES_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"

namespace veltrano {

// Sides of a project: interior rooms and exterior places.
inline constexpr int kInterior = 0;
inline constexpr int kExterior = 1;

inline constexpr int kLinesPerRoom = 50;
// Capacity of a side: 500 rooms or 100 places.
inline constexpr std::array<int, 2> kMaxRooms = {500, 100};
// Record tag of a side's sheet lines.
inline constexpr std::array<std::string_view, 2> kSheetTag = {"Data", "Gaib"};
// The name field of a room's lines after its first: the first names the
// room, the 49 others carry this marker.
inline constexpr std::string_view kContinuationName = "@";
inline bool NamesARoom(std::string_view name_field) {
  return name_field != kContinuationName;
}

// Fittings register: a header row and 599 entry rows of code, W and H.
inline constexpr int kRegisterRows = 600;
inline constexpr int kRegisterCols = 3;
inline constexpr int kMaxFittings = kRegisterRows - 1;

inline constexpr int kFittingsStoreCols = 35;   // TateguSaveGrid
inline constexpr int kWorkTypeMemoryCols = 22;  // KouSyuSaveGrid
inline constexpr int kWorkTypeCopyCols = 10;    // SyukeiSaveGrid
inline constexpr int kUnitPriceCols = 7;        // TankaGrid
inline constexpr int kWorkTypeTableCols = 9;    // SyukeiGrid(5)
inline constexpr int kWorkTypeTable = 5;        // index of SyukeiGrid(5)

// The sheet lines of one side: 50 consecutive lines per room, rooms in the
// order of the side's room list, no gaps. Lines past the end read empty.
class RoomStore {
 public:
  RoomStore() = default;

  const std::string& Line(int i) const;
  // Number of lines up to the first empty one.
  int size() const { return static_cast<int>(lines_.size()); }
  bool empty() const { return lines_.empty(); }
  int RoomCount() const { return size() / kLinesPerRoom; }

  // Puts a line at position i; a line past the end extends the store, which
  // then stays contiguous (positions between are filled with "").
  void SetLine(int i, std::string line);
  void Append(std::string line) { lines_.push_back(std::move(line)); }
  // Drops every line from position i on.
  void Truncate(int i);
  void Clear() { lines_.clear(); }
  // The names of the rooms the store holds, in order: the name fields of
  // the lines that name a room.
  std::vector<std::string> RoomNames() const;

  const std::vector<std::string>& lines() const { return lines_; }
  std::vector<std::string>& mutable_lines() { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// Every table that belongs to the open project and is kept in its file.
struct ProjectTables {
  std::array<RoomStore, 2> stores;                    // "Data" / "Gaib"
  std::array<std::vector<std::string>, 2> room_names;  // List1(0), List1(1)
  TextGrid fittings_register;   // TateguGrid: row 0 header, rows 1..599
  TextGrid fittings_store;      // TateguSaveGrid
  TextGrid work_type_memory;    // KouSyuSaveGrid
  TextGrid work_type_copy;      // SyukeiSaveGrid
  TextGrid unit_prices;         // TankaGrid
  // SyukeiGrid(0..4) interior part tables and SyukeiGrid(5) the work-type
  // table; GaibuSyukeiGrid(0..4); TateguSyukeiGrid.
  std::array<TextGrid, 6> interior_summaries;
  std::array<TextGrid, 5> exterior_summaries;
  TextGrid fittings_summary;
};

// Lays out the summary tables as at start-up: their heading rows and one
// empty item column.
void LayOutSummaryTables(ProjectTables* tables);

// Empties every table of the project as a new or freshly opened project
// has them; the unit-price table is kept when `keep_unit_prices` is set.
void ResetProjectTables(ProjectTables* tables, bool keep_unit_prices);

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PROJECT_TABLES_H_
