#ifndef VELTRANO_PROJECT_PROJECT_TABLES_H_
#define VELTRANO_PROJECT_PROJECT_TABLES_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "project/project_rooms.h"
#include "project/shared_table.h"

namespace veltrano {

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

// Every table that belongs to the open project and is kept in its file.
struct ProjectTables {
  // The rooms and places, "Data" / "Gaib"; their names are the room
  // lists List1(0) and List1(1).
  ProjectRooms rooms;
  // The tables, each read with -> or * and changed through Edit().
  SharedTable fittings_register;   // TateguGrid: row 0 header, rows 1..599
  SharedTable fittings_store;      // TateguSaveGrid
  SharedTable work_type_memory;    // KouSyuSaveGrid
  SharedTable work_type_copy;      // SyukeiSaveGrid
  SharedTable unit_prices;         // TankaGrid
  // SyukeiGrid(0..4) interior part tables and SyukeiGrid(5) the work-type
  // table; GaibuSyukeiGrid(0..4); TateguSyukeiGrid.
  std::array<SharedTable, 6> interior_summaries;
  std::array<SharedTable, 5> exterior_summaries;
  SharedTable fittings_summary;

  // Every table, for what is done to each alike.
  std::array<SharedTable*, 17> Tables();
};

// Lays out the summary tables as at start-up: their heading rows and one
// empty item column.
void LayOutSummaryTables(ProjectTables* tables);

// Empties every table of the project as a new or freshly opened project
// has them; the unit-price table is kept when `keep_unit_prices` is set.
void ResetProjectTables(ProjectTables* tables, bool keep_unit_prices);

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PROJECT_TABLES_H_
