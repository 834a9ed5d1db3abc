#include "aggregate/aggregation_dialog.h"

#include <algorithm>

namespace veltrano {

std::string_view AggregationDialog::title() const {
  return side_ == kInterior ? "内部集計" : "外部集計";
}

std::string_view AggregationDialog::left_caption() const {
  return side_ == kInterior ? "部屋名一覧" : "場所一覧";
}

std::string_view AggregationDialog::right_caption() const {
  return side_ == kInterior ? "集計する部屋名一覧" : "集計する場所一覧";
}

const std::vector<std::string>& AggregationDialog::left() const {
  return tables_.rooms().names(side_);
}

void AggregationDialog::OpenAggregationDialog(int side) {
  if (side != kInterior && side != kExterior) return;
  ++revision_;
  side_ = side;
  right_.clear();
  shown_ = true;
}

void AggregationDialog::SelectAll() {
  if (!shown_) return;
  ++revision_;
  right_ = left();
}

void AggregationDialog::AddSelected(std::vector<int> positions) {
  if (!shown_) return;
  ++revision_;
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()),
                  positions.end());
  const std::vector<std::string>& names = left();
  for (int at : positions) {
    if (at < 0 || at >= static_cast<int>(names.size())) continue;
    const std::string& name = names[static_cast<std::size_t>(at)];
    if (std::find(right_.begin(), right_.end(), name) == right_.end()) {
      right_.push_back(name);
    }
  }
}

void AggregationDialog::RemoveSelected(std::vector<int> positions) {
  if (!shown_) return;
  ++revision_;
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()),
                  positions.end());
  // From the bottom, so that the positions above stay where they were.
  for (auto at = positions.rbegin(); at != positions.rend(); ++at) {
    if (*at >= 0 && *at < static_cast<int>(right_.size())) {
      right_.erase(right_.begin() + *at);
    }
  }
}

void AggregationDialog::ClearSelection() {
  if (!shown_) return;
  ++revision_;
  right_.clear();
}

bool AggregationDialog::Execute() {
  if (!shown_) return false;
  if (right_.empty()) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  "部屋または場所が選択されていません。");
    return false;
  }
  ++revision_;
  // The dialog is out of sight while the rooms are added up, and closes
  // after the closing message.
  shown_ = false;
  summaries_.AggregateSide(side_, right_);
  right_.clear();
  return true;
}

void AggregationDialog::Close() {
  ++revision_;
  platform_.progress.ShowStatus("");
  shown_ = false;
  right_.clear();
}

}  // namespace veltrano
