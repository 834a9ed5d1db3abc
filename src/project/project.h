#ifndef VELTRANO_PROJECT_PROJECT_H_
#define VELTRANO_PROJECT_PROJECT_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "project/plans.h"
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

// The open project: its rooms and places and every table kept in its file.
// The rooms change only through their operations, a table only through its
// Edit(); the history of changes is told of both.
class Project {
 public:
  // The rooms and places, "Data" / "Gaib"; their names are the room lists
  // List1(0) and List1(1).
  ProjectRooms& rooms() { return rooms_; }
  const ProjectRooms& rooms() const { return rooms_; }
  // TateguGrid: row 0 the heading, rows 1..599 the fittings.
  SharedTable& fittings_register() { return fittings_register_; }
  const SharedTable& fittings_register() const { return fittings_register_; }
  // TateguSaveGrid: the committed fittings takeoff, six rows per fitting.
  SharedTable& fittings_store() { return fittings_store_; }
  const SharedTable& fittings_store() const { return fittings_store_; }
  // KouSyuSaveGrid: the work types remembered by item.
  SharedTable& work_type_memory() { return work_type_memory_; }
  const SharedTable& work_type_memory() const { return work_type_memory_; }
  // SyukeiSaveGrid: the copy of the work-type table.
  SharedTable& work_type_copy() { return work_type_copy_; }
  const SharedTable& work_type_copy() const { return work_type_copy_; }
  // TankaGrid: the unit prices.
  SharedTable& unit_prices() { return unit_prices_; }
  const SharedTable& unit_prices() const { return unit_prices_; }
  // SyukeiGrid(0..4), the interior part tables, and SyukeiGrid(5), the
  // work-type table.
  std::array<SharedTable, 6>& interior_summaries() { return interior_summaries_; }
  const std::array<SharedTable, 6>& interior_summaries() const { return interior_summaries_; }
  // GaibuSyukeiGrid(0..4).
  std::array<SharedTable, 5>& exterior_summaries() { return exterior_summaries_; }
  const std::array<SharedTable, 5>& exterior_summaries() const { return exterior_summaries_; }
  // TateguSyukeiGrid.
  SharedTable& fittings_summary() { return fittings_summary_; }
  const SharedTable& fittings_summary() const { return fittings_summary_; }

  // The drawings attached to the project and what was measured on them
  // (kept beside the project file, not in it).
  SharedValue<PlanSet>& plans() { return plans_; }
  const SharedValue<PlanSet>& plans() const { return plans_; }

  // Every table, for what is done to each alike.
  std::array<SharedTable*, 17> Tables();
  std::array<const SharedTable*, 17> Tables() const;
  // Every part kept in versions (the tables and the drawings), for the
  // history.
  std::vector<SharedPart*> Parts();
  std::vector<const SharedPart*> Parts() const;

  // A copy of the project as it stands that shares every room and table
  // with it: made in a moment whatever the project's size, and unchanged by
  // later changes (a table's next change copies it first). It tells no
  // recorder, and may be read on another thread while this one changes.
  Project Snapshot() const;

  // Lays out the summary tables as at start-up: their heading rows and one
  // empty item column.
  void LayOutSummaryTables();
  // Empties every part as a new or freshly opened project has them; the
  // unit-price table is kept when `keep_unit_prices` is set.
  void Reset(bool keep_unit_prices);

 private:
  ProjectRooms rooms_;
  SharedTable fittings_register_;
  SharedTable fittings_store_;
  SharedTable work_type_memory_;
  SharedTable work_type_copy_;
  SharedTable unit_prices_;
  std::array<SharedTable, 6> interior_summaries_;
  std::array<SharedTable, 5> exterior_summaries_;
  SharedTable fittings_summary_;
  SharedValue<PlanSet> plans_;
};



}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PROJECT_H_
