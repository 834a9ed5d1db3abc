#ifndef VELTRANO_AGGREGATE_EXPORT_H_
#define VELTRANO_AGGREGATE_EXPORT_H_

#include <string>
#include <string_view>

#include "calc/grid.h"

namespace veltrano {

// The clipboard text of a table: each row's cells joined by tabs, rows
// joined by `row_end` (a carriage return on the clipboard), nothing after
// the last row.
std::string SummaryText(const TextGrid& table, std::string_view row_end = "\r");

// The work-type table as "Exceに送る" sends it (SendExcelGrid): an empty
// third column, item names split at ":" and then at "：" into the second
// and third columns.
TextGrid ReshapeWorkTypeTable(const TextGrid& work);

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_EXPORT_H_
