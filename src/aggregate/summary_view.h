#ifndef VELTRANO_AGGREGATE_SUMMARY_VIEW_H_
#define VELTRANO_AGGREGATE_SUMMARY_VIEW_H_

#include <cstdint>
#include <string_view>

#include "calc/grid.h"
#include "port/dialogs.h"
#include "project/project.h"

namespace veltrano {

// Which summary the aggregation panel shows.
enum SummaryMode : int {
  kInteriorSummary = 0,  // 内部集計
  kExteriorSummary = 1,  // 外部集計
  kFittingsSummary = 2,  // 建具廻り集計
  kWorkTypeSummary = 3,  // 工種別全体集計
};

inline constexpr std::string_view kSentToClipboardMessage =
    "集計表の内容を送りましたので、Excel上で〈貼り付け〉できます。";
inline constexpr std::string_view kClipboardBusyMessage =
    "他のアプリケーションがクリップボードを使用しているため、コピーできません。\n"
    "他のアプリケーションを終了するか、クリップボードを開放してください。";

// The summary view of the aggregation panel: the summary chosen with
// Command4(0..3) and the part chosen with SyukeiHyoji(0..4), and
// "Exceに送る" of the table shown.
class SummaryView {
 public:
  SummaryView(const Project& tables, Platform platform)
      : tables_(tables), platform_(platform) {}

  int mode() const { return mode_; }
  int part() const { return part_; }
  // Changes of the object and of the tables it shows.
  std::uint64_t revision() const;

  // ShowSummary after a summary or part choice. (The work-type list is
  // reloaded from its file by the caller.)
  void ChooseSummary(int mode);
  void ChoosePart(int part);
  // The table shown: the part table of the side in modes 0 and 1, the
  // fittings summary, or the work-type table.
  const TextGrid& ShownTable() const;
  // The unit list and its caption "【単位】" are shown with the work-type
  // table; the work-type list and "【工種】" with the other summaries.
  bool ShowsUnitList() const { return mode_ == kWorkTypeSummary; }

  // The table "Exceに送る" sends in the current mode: the shown part or
  // fittings table, or the work-type table reshaped (SendExcelGrid).
  TextGrid ExportedTable() const;
  // "Exceに送る": empties the clipboard, puts the table's text on it and
  // says so. A table of one row or none is not sent, except the work-type
  // table, which always sends at least one (empty) row. False when nothing
  // was sent; a clipboard that another program holds is reported.
  bool ExportSummary();

 private:
  const Project& tables_;
  Platform platform_;
  int mode_ = kInteriorSummary;
  int part_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_SUMMARY_VIEW_H_
