#ifndef VELTRANO_AGGREGATE_SUMMARY_VIEW_H_
#define VELTRANO_AGGREGATE_SUMMARY_VIEW_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "port/dialogs.h"
#include "port/spreadsheet.h"
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

  // Spreadsheet files. The writer of workbooks comes from the program
  // (none: "Excelファイルに保存" says it cannot); `project_path` gives the
  // open project's file: its name heads the pages and names the files,
  // which the file dialog offers in its folder.
  void set_spreadsheet_writer(SpreadsheetWriter* writer) { writer_ = writer; }
  void set_project_path(std::function<std::filesystem::path()> project_path) {
    project_path_ = std::move(project_path);
  }
  // The table "Exceに送る" sends, typed for a spreadsheet.
  SheetTable ShownSheet() const;
  // Every summary table, a sheet each: interior and exterior parts, the
  // fittings summary and the work-type estimate (as "Exceに送る" sends it).
  std::vector<SheetTable> AllSheets() const;
  // "Excelファイルに保存" (the shown table) and "全集計表を保存" (every
  // table): a workbook where the file dialog says. "CSV保存": the shown
  // table as CSV, in code page 932 unless UTF-8 is asked for
  // (set_csv_utf8). False when cancelled or not written (said).
  bool SaveShownWorkbook();
  bool SaveAllWorkbook();
  bool SaveCsv();
  bool csv_utf8() const { return csv_utf8_; }
  void set_csv_utf8(bool on);
  // What those write, for the command line too: false with the reason.
  bool WriteWorkbook(const std::filesystem::path& path, const std::vector<SheetTable>& sheets,
                     std::string* error) const;
  bool WriteCsv(const std::filesystem::path& path, bool utf8, std::string* error) const;

 private:
  // The file dialog and the write of a save; false when cancelled or not
  // written (said).
  bool SaveFile(std::string_view title, std::string_view filter, std::string_view extension,
                const std::string& suggested,
                const std::function<bool(const std::filesystem::path&, std::string*)>& write);
  // "内部 床", "工種別", ...: the name of the table shown.
  std::string ShownName() const;
  // The open project's name ("" when none is open), and the start of the
  // files' names it gives ("山田邸_").
  std::string ProjectName() const;
  std::string NamePrefix() const;

  const Project& tables_;
  Platform platform_;
  int mode_ = kInteriorSummary;
  int part_ = 0;
  SpreadsheetWriter* writer_ = nullptr;
  std::function<std::filesystem::path()> project_path_;
  bool csv_utf8_ = false;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_SUMMARY_VIEW_H_
