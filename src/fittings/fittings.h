#ifndef VELTRANO_FITTINGS_FITTINGS_H_
#define VELTRANO_FITTINGS_FITTINGS_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "calc/grid.h"
#include "project/project_tables.h"

namespace veltrano {

// The fittings side of the open project beyond its register and store
// (which are project tables): the line cache of the register, the
// entered-data list, the four calculation tables of the fittings takeoff
// and the hint of the register panel.
class Fittings {
 public:
  explicit Fittings(const ProjectTables& tables);

  const TextGrid& entered_data_list() const { return entered_data_; }   // TateguDataGrid
  const TextGrid& calc_table(int i) const { return calc_tables_[i]; }   // TateguKeisanGrid(i)
  std::uint64_t revision() const { return revision_; }

  // A new or opened project replaced the open one.
  void ProjectReplaced();
  // An opened project's fittings takeoff store was read.
  void StoreRead();

 private:
  const ProjectTables& tables_;
  TextGrid entered_data_;
  std::array<TextGrid, 4> calc_tables_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_FITTINGS_FITTINGS_H_
