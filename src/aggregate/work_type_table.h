#ifndef VELTRANO_AGGREGATE_WORK_TYPE_TABLE_H_
#define VELTRANO_AGGREGATE_WORK_TYPE_TABLE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "port/dialogs.h"
#include "project/project_tables.h"

namespace veltrano {

// Money rounding of the amounts, Hasu(0..2).
enum class MoneyRounding { kUp = 0, kDown = 1, kHalfUp = 2 };

// The amount text of a whole number of yen with thousands separators, "-"
// before a negative one, "" for zero ("12,500", "-1,480").
std::string AmountText(double whole);

// The work-type table SyukeiGrid(5): the column totals of every summary
// table grouped by work type in the order of the work-type list, with units,
// unit prices, amounts under the money rounding, subtotals and the total.
class WorkTypeTable {
 public:
  WorkTypeTable(ProjectTables& tables, Platform platform)
      : tables_(tables), platform_(platform) {}

  const TextGrid& table() const { return tables_.interior_summaries[kWorkTypeTable]; }
  std::uint64_t revision() const { return revision_; }

  // "集計開始" of the work-type panel: the question, then the table built
  // when any summary has been aggregated.
  void StartAggregation(const std::vector<std::string>& work_types,
                        MoneyRounding rounding);
  void BuildWorkTypeTable(const std::vector<std::string>& work_types,
                          MoneyRounding rounding);
  // The cell editor KousyubetuText over a unit-price or remark cell: every
  // change of its text goes into the cell at once ("&" and "(" are not
  // typed).
  void EditorTextChanged(int row, int col, std::string_view text);
  void ComputeAmounts(MoneyRounding rounding);
  void ComputeSubtotals();

 private:
  TextGrid& work() { return tables_.interior_summaries[kWorkTypeTable]; }
  void CutToHeading();
  void RestoreUnitPrices();

  ProjectTables& tables_;
  Platform platform_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_WORK_TYPE_TABLE_H_
