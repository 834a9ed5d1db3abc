#include "aggregate/summary_view.h"

#include <string>

#include "aggregate/export.h"
#include "aggregate/typed_export.h"
#include "calc/text_file.h"
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
  // Spreadsheets take the HTML form first: numbers stay numbers, and a
  // subtotal in parentheses is never read as a negative one.
  const std::string html = HtmlTable(ShownSheet());
  // The clipboard is emptied first, then given the text.
  if (!platform_.clipboard.Clear() ||
      !platform_.clipboard.PutTable(text, crlf_text, html)) {
    platform_.dialogs.ShowMessage(kTitleCheck, kClipboardBusyMessage,
                                  MessageIcon::kWarning);
    return false;
  }
  platform_.dialogs.ShowMessage(kTitleConfirm, kSentToClipboardMessage);
  return true;
}

namespace {

constexpr std::string_view kPartNames[kParts] = {"床", "巾木", "壁", "天井", "雑"};
constexpr std::string_view kFittingsSheet = "建具廻り";
constexpr std::string_view kWorkTypeSheet = "工種別";

std::string PartSheetName(int side, int part) {
  return std::string(side == 0 ? "内部 " : "外部 ") + std::string(kPartNames[part]);
}

}  // namespace

std::string SummaryView::ProjectName() const {
  return project_path_ ? project_path_().stem().string() : "";
}

std::string SummaryView::NamePrefix() const {
  const std::string name = ProjectName();
  return name.empty() ? "" : name + "_";
}

std::string SummaryView::ShownName() const {
  switch (mode_) {
    case kInteriorSummary:
    case kExteriorSummary:
      return PartSheetName(mode_, part_);
    case kFittingsSummary:
      return std::string(kFittingsSheet);
    default:
      return std::string(kWorkTypeSheet);
  }
}

SheetTable SummaryView::ShownSheet() const {
  if (mode_ == kWorkTypeSummary) return TypedWorkTypeTable(ExportedTable(), ShownName());
  return TypedSummaryTable(ShownTable(), ShownName());
}

std::vector<SheetTable> SummaryView::AllSheets() const {
  std::vector<SheetTable> sheets;
  for (int side = 0; side < 2; ++side) {
    for (int part = 0; part < kParts; ++part) {
      const TextGrid& table =
          side == 0 ? *tables_.interior_summaries()[part] : *tables_.exterior_summaries()[part];
      sheets.push_back(TypedSummaryTable(table, PartSheetName(side, part)));
    }
  }
  sheets.push_back(TypedSummaryTable(tables_.fittings_summary(), std::string(kFittingsSheet)));
  sheets.push_back(TypedWorkTypeTable(ReshapeWorkTypeTable(tables_.interior_summaries()[kWorkTypeTable]),
                                      std::string(kWorkTypeSheet)));
  return sheets;
}

void SummaryView::set_csv_utf8(bool on) {
  if (on == csv_utf8_) return;
  csv_utf8_ = on;
  ++revision_;
}

bool SummaryView::WriteWorkbook(const std::filesystem::path& path,
                                const std::vector<SheetTable>& sheets, std::string* error) const {
  if (writer_ == nullptr) {
    *error = "このプログラムはExcelファイルを書けません。";
    return false;
  }
  return writer_->WriteWorkbook(path, sheets, {ProjectName()}, error);
}

bool SummaryView::WriteCsv(const std::filesystem::path& path, bool utf8,
                           std::string* error) const {
  std::string bytes;
  return CsvBytes(ShownSheet(), utf8, &bytes, error) && WriteFileBytesAtomic(path, bytes, error);
}

bool SummaryView::SaveFile(
    std::string_view title, std::string_view filter, std::string_view extension,
    const std::string& suggested,
    const std::function<bool(const std::filesystem::path&, std::string*)>& write) {
  FileDialogRequest request;
  request.title = std::string(title);
  request.filter = std::string(filter);
  request.default_extension = std::string(extension);
  request.suggested_name = suggested + "." + std::string(extension);
  if (project_path_) request.folder = project_path_().parent_path();
  const std::optional<std::filesystem::path> chosen = platform_.files.ChooseFileToSave(request);
  if (!chosen || chosen->empty() || chosen->filename().empty()) return false;
  std::filesystem::path path = *chosen;
  if (path.extension().empty()) path += "." + std::string(extension);
  std::error_code ec;
  if (std::filesystem::exists(path, ec) &&
      platform_.dialogs.Ask(title, path.filename().string() + " は既に存在します。\n置き換えますか？",
                            Buttons::kYesNo, MessageIcon::kWarning) != Answer::kYes) {
    return false;
  }
  std::string error;
  if (!write(path, &error)) {
    platform_.dialogs.ShowMessage(kTitleError, "保存できませんでした。\n" + error,
                                  MessageIcon::kCritical);
    return false;
  }
  platform_.dialogs.ShowMessage(kTitleConfirm, path.filename().string() + " に保存しました。");
  return true;
}

bool SummaryView::SaveShownWorkbook() {
  return SaveFile("Excelファイルに保存", "*.xlsx", "xlsx",
                  NamePrefix() + ShownName(),
                  [this](const std::filesystem::path& path, std::string* error) {
                    return WriteWorkbook(path, {ShownSheet()}, error);
                  });
}

bool SummaryView::SaveAllWorkbook() {
  return SaveFile("全集計表を保存", "*.xlsx", "xlsx", NamePrefix() + "集計表",
                  [this](const std::filesystem::path& path, std::string* error) {
                    return WriteWorkbook(path, AllSheets(), error);
                  });
}

bool SummaryView::SaveCsv() {
  return SaveFile("CSV保存", "*.csv", "csv", NamePrefix() + ShownName(),
                  [this](const std::filesystem::path& path, std::string* error) {
                    return WriteCsv(path, csv_utf8_, error);
                  });
}

}  // namespace veltrano
