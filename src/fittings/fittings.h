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

  const std::vector<std::string>& line_cache() const { return line_cache_; }
  const TextGrid& entered_data_list() const { return entered_data_; }   // TateguDataGrid
  const TextGrid& calc_table(int i) const { return calc_tables_[i]; }   // TateguKeisanGrid(i)
  const std::string& register_info() const { return register_info_; }  // Info
  std::uint64_t revision() const { return revision_; }

  // The register as "Tate" lines, one per row down to the first empty code.
  void RebuildLineCache();
  // The register panel's hint as it is when nothing is being entered.
  void ShowRestingInfo();
  // A new or opened project replaced the open one.
  void ProjectReplaced();
  // An opened project's fittings takeoff store was read.
  void StoreRead();

 private:
  const ProjectTables& tables_;
  std::vector<std::string> line_cache_;
  TextGrid entered_data_;
  std::array<TextGrid, 4> calc_tables_;
  std::string register_info_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_FITTINGS_FITTINGS_H_
