#ifndef VELTRANO_AGGREGATE_PART_SUMMARIES_H_
#define VELTRANO_AGGREGATE_PART_SUMMARIES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calc/grid.h"
#include "calc/rounding.h"
#include "port/dialogs.h"
#include "project/history.h"
#include "project/project.h"
#include "project/summary_tables.h"

namespace veltrano {

// The part summary tables of both sides, SyukeiGrid(0..4) and
// GaibuSyukeiGrid(0..4): the chosen rooms or places by the marked items of
// their takeoff sheets, each quantity times the room's count of places,
// with column totals and the work types the memory brings back.
class PartSummaries {
 public:
  PartSummaries(Project& tables, Platform platform)
      : tables_(tables), platform_(platform) {}

  const TextGrid& table(int side, int part) const;
  // The progress caption SyukeiInfo.
  const std::string& caption() const { return caption_; }
  // Changes of the object and of the tables it shows.
  std::uint64_t revision() const;
  // The history its changes are recorded in, which the workspace connects.
  void SetHistory(ProjectHistory* history) { history_ = history; }

  void SetDigits(DigitSetting digits) { digits_ = digits; }

  // "集計実行": the five tables of the side anew for these rooms or places,
  // in this order (a name may come twice). Names that are not in the side's
  // list are skipped.
  void AggregateSide(int side, const std::vector<std::string>& names);
  // Adds the room at `room_index` of the side into its row of each part
  // table.
  void AccumulateRoom(int side, int room_index);
  // A click on cell (`row`, `column`) of a part table with `work_type`
  // chosen in the work-type list ("" for none). The click assigns when it
  // leaves the first room row current: on the four heading rows (which
  // cannot be current) or on that row itself.
  void AssignWorkType(int side, int part, int row, int column,
                      std::string_view work_type);

 private:
  SummaryTable EditTable(int side, int part);
  void AccumulatePart(int side, int part,
                      const std::vector<std::vector<std::string_view>>& rows,
                      const std::string& name, int places);

  Project& tables_;
  Platform platform_;
  DigitSetting digits_;
  std::string caption_;
  std::uint64_t revision_ = 0;
  ProjectHistory* history_ = nullptr;
  // The stored rows of the room being added up (kept to reuse its memory).
  std::vector<std::vector<std::string_view>> room_rows_;
  // While a side is aggregated, the room rows of each name in its part
  // tables (every part table names the same rows then); otherwise empty,
  // and the rows are searched.
  std::unordered_map<std::string, std::vector<int>> rows_of_name_;
};

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_PART_SUMMARIES_H_
