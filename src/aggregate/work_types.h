#ifndef VELTRANO_AGGREGATE_WORK_TYPES_H_
#define VELTRANO_AGGREGATE_WORK_TYPES_H_

#include "calc/grid.h"
#include "calc/rounding.h"
#include "project/project.h"
#include "project/summary_tables.h"

namespace veltrano {

// Writes the work types assigned to the item columns of every summary table
// into the work-type memory, so that they return after re-aggregation.
void RememberWorkTypes(Project* tables);

// Row 3 of a summary table from the rows below it (row 4 on): the count of
// places (column 1) as a whole number, blank when it is 0, and the total of
// every item column by the totals rule of the digit setting.
void WriteSummaryTotals(SummaryTable* table, DigitSetting digits);

// Row 1 of a summary table: for every item column, the work type the
// memory's columns `base` and `base` + 1 hold for its item name (row 2),
// compared exactly; the last matching memory row wins.
void RecallWorkTypes(SummaryTable* table, const TextGrid& memory, int base);

// Refreshes the work-type table copy: one row per row of the work-type
// table below its heading, "Syuk" followed by that row's cells.
void RefreshWorkTypeCopy(Project* tables);

// Refreshes the copy, then rebuilds the unit-price table from it: one row
// per item row (work-type label carried down, item, side, part, unit, unit
// price, remark) and an empty last row. While the work-type table has no
// item rows the unit-price table is left as it is, so that the remembered
// prices survive a new project or a blanked table.
void SaveUnitPrices(Project* tables);

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_WORK_TYPES_H_
