#include "aggregate/summary_view.h"

#include <string>

#include "aggregate/export.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

void SummaryView::ChooseSummary(int mode) {
  if (mode < kInteriorSummary || mode > kWorkTypeSummary) return;
  ++revision_;
  mode_ = mode;
}

void SummaryView::ChoosePart(int part) {
  if (part < 0 || part >= kParts) return;
  ++revision_;
  part_ = part;
}

std::uint64_t SummaryView::revision() const {
  std::uint64_t sum = revision_ + tables_.fittings_summary().revision();
  for (const SharedTable& t : tables_.interior_summaries()) sum += t.revision();
  for (const SharedTable& t : tables_.exterior_summaries()) sum += t.revision();
  return sum;
}

const TextGrid& SummaryView::ShownTable() const {
  switch (mode_) {
    case kInteriorSummary:
      return tables_.interior_summaries()[part_];
    case kExteriorSummary:
      return tables_.exterior_summaries()[part_];
    case kFittingsSummary:
      return tables_.fittings_summary();
    default:
      return tables_.interior_summaries()[kWorkTypeTable];
  }
}

TextGrid SummaryView::ExportedTable() const {
  if (mode_ == kWorkTypeSummary) return ReshapeWorkTypeTable(ShownTable());
  return ShownTable();
}

bool SummaryView::ExportSummary() {
  const TextGrid table = ExportedTable();
  if (mode_ != kWorkTypeSummary && table.rows() <= 1) return false;
  const std::string text = SummaryText(table, "\r");
  const std::string crlf_text = SummaryText(table, "\r\n");
  // The clipboard is emptied first, then given the text.
  if (!platform_.clipboard.Clear() ||
      !platform_.clipboard.PutText(text, crlf_text)) {
    platform_.dialogs.ShowMessage(kTitleCheck, kClipboardBusyMessage,
                                  MessageIcon::kWarning);
    return false;
  }
  platform_.dialogs.ShowMessage(kTitleConfirm, kSentToClipboardMessage);
  return true;
}

}  // namespace veltrano
