#ifndef VELTRANO_AGGREGATE_WORK_TYPES_H_
#define VELTRANO_AGGREGATE_WORK_TYPES_H_

#include "project/project_tables.h"

namespace veltrano {

// Writes the work types assigned to the item columns of every summary table
// into the work-type memory, so that they return after re-aggregation.
void RememberWorkTypes(ProjectTables* tables);

// Refreshes the work-type table copy: one row per row of the work-type
// table below its heading, "Syuk" followed by that row's cells.
void RefreshWorkTypeCopy(ProjectTables* tables);

// Refreshes the copy, then rebuilds the unit-price table from it: one row
// per item row (work-type label carried down, item, side, part, unit, unit
// price, remark) and an empty last row. While the work-type table has no
// item rows the unit-price table is left as it is, so that the remembered
// prices survive a new project or a blanked table.
void SaveUnitPrices(ProjectTables* tables);

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_WORK_TYPES_H_
