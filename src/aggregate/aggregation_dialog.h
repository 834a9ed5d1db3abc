#ifndef VELTRANO_AGGREGATE_AGGREGATION_DIALOG_H_
#define VELTRANO_AGGREGATE_AGGREGATION_DIALOG_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aggregate/part_summaries.h"
#include "port/dialogs.h"
#include "project/project.h"

namespace veltrano {

// The selection dialog SyukeiForm of "集計開始": the rooms or places of a
// side on the left, the names to aggregate on the right (each once, since a
// name listed twice would be counted twice), and "集計実行".
class AggregationDialog {
 public:
  AggregationDialog(const Project& tables, PartSummaries& summaries,
                    Platform platform)
      : tables_(tables), summaries_(summaries), platform_(platform) {}

  bool shown() const { return shown_; }
  int side() const { return side_; }
  std::uint64_t revision() const { return revision_; }
  // "内部集計" or "外部集計".
  std::string_view title() const;
  // Captions of List1(0) and List1(1).
  std::string_view left_caption() const;
  std::string_view right_caption() const;
  // The rooms or places of the side, in the main window's order.
  const std::vector<std::string>& left() const;
  const std::vector<std::string>& right() const { return right_; }

  // OpenAggregationDialog: the dialog for side 0 (interior) or 1
  // (exterior) with an empty right list.
  void OpenAggregationDialog(int side);
  // "全選択": the right list becomes the whole left list.
  void SelectAll();
  // "⇒": the left entries at these positions, in left-list order, are
  // appended to the right list, but for those it holds already.
  void AddSelected(std::vector<int> positions);
  // "⇐": the right entries at these positions leave the right list.
  void RemoveSelected(std::vector<int> positions);
  // "クリア".
  void ClearSelection();
  // "集計実行": with an empty right list says so and stays open; otherwise
  // aggregates the side for the right list and closes. True when the side
  // was aggregated.
  bool Execute();
  // "閉じる": clears the progress caption and closes.
  void Close();

 private:
  const Project& tables_;
  PartSummaries& summaries_;
  Platform platform_;
  bool shown_ = false;
  int side_ = kInterior;
  std::vector<std::string> right_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_AGGREGATION_DIALOG_H_
