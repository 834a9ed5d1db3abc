#ifndef VELTRANO_AGGREGATE_FITTINGS_SUMMARY_H_
#define VELTRANO_AGGREGATE_FITTINGS_SUMMARY_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/grid.h"
#include "calc/rounding.h"
#include "port/dialogs.h"
#include "project/history.h"
#include "project/project.h"
#include "project/summary_tables.h"

namespace veltrano {

// The fittings summary table TateguSyukeiGrid: one row per committed
// fitting, one column per item of its glass, glass seal, frame seal, frame
// mortar and painting, grouped by category, with totals and work types.
class FittingsSummary {
 public:
  FittingsSummary(Project& tables, Platform platform)
      : tables_(tables), platform_(platform) {}

  const TextGrid& table() const { return tables_.fittings_summary(); }
  // Changes of the object and of the table it shows.
  std::uint64_t revision() const { return revision_ + tables_.fittings_summary().revision(); }
  // The history its changes are recorded in, which the workspace connects.
  void SetHistory(ProjectHistory* history) { history_ = history; }
  void SetDigits(DigitSetting digits) { digits_ = digits; }

  // "集計開始" of the fittings panel.
  void AggregateFittings();
  // A click on cell (`row`, `column`) with `work_type` chosen ("" for
  // none): assigns when the first fitting row is current afterwards (a
  // click on a heading row or on that row).
  void AssignWorkType(int row, int column, std::string_view work_type);
  // The Delete key on column `column`: its work type is blanked (the memory
  // keeps it).
  void ClearWorkType(int column);

 private:
  // Adds `quantity` to the item `name` of `category` on `row`, the item's
  // column appended when the table has none yet.
  void AddItem(SummaryTable* table, int row, int category, const std::string& name,
               const std::string& quantity);

  Project& tables_;
  Platform platform_;
  DigitSetting digits_;
  std::uint64_t revision_ = 0;
  ProjectHistory* history_ = nullptr;
};

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_FITTINGS_SUMMARY_H_
