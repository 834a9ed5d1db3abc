#include "project/summary_tables.h"

#include "project/project.h"

namespace veltrano {

void WorkTypeMemory::Remember(const TextGrid& summary, int base) {
  if (cells_.cols() < kWorkTypeMemoryCols) cells_.SetCols(kWorkTypeMemoryCols);
  for (int c = kSummaryFirstItemColumn; c < summary.cols(); ++c) {
    if (cells_.rows() < c) cells_.SetRows(cells_.rows() + 1);
    const std::string& work_type = summary.At(kSummaryWorkTypeRow, c);
    if (work_type.empty()) continue;
    cells_.Set(c - kSummaryFirstItemColumn, base, summary.At(kSummaryItemRow, c));
    cells_.Set(c - kSummaryFirstItemColumn, base + 1, work_type);
  }
}

}  // namespace veltrano
