#include "xlsx/xlsx_writer.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <atomic>
#include <map>
#include <system_error>
#include <tuple>
#include <vector>

#include "calc/text_file.h"

namespace veltrano {

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kPaperA4 = 9;
// Numbers the temporary workbooks of this process.
std::atomic<int> next_workbook{0};

// One format per kind of cell, as the workbook wants them shared.
class Formats {
 public:
  explicit Formats(lxw_workbook* workbook) : workbook_(workbook) {}

  lxw_format* Of(const SheetCell& cell) {
    const bool number = cell.kind == SheetCell::Kind::kNumber;
    const auto key = std::make_tuple(number, number ? cell.decimals : 0, number && cell.grouped,
                                     number && cell.bracketed, cell.heading, cell.wrap);
    const auto it = formats_.find(key);
    if (it != formats_.end()) return it->second;
    lxw_format* format = workbook_add_format(workbook_);
    if (number) format_set_num_format(format, NumberFormatOf(cell).c_str());
    if (cell.heading) format_set_bold(format);
    if (cell.wrap) {
      format_set_text_wrap(format);
      format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
    }
    formats_.emplace(key, format);
    return format;
  }

 private:
  lxw_workbook* workbook_;
  std::map<std::tuple<bool, int, bool, bool, bool, bool>, lxw_format*> formats_;
};

// A header text: "&" is doubled, as the header codes take it.
std::string HeaderText(const std::string& name) {
  std::string escaped;
  for (const char c : name) {
    escaped += c;
    if (c == '&') escaped += '&';
  }
  // The header holds at most 255 characters, codes included.
  if (escaped.size() > 200) escaped.resize(200);
  return "&L" + escaped + "&R&P / &N";
}

// Page breaks as the writer takes them: the first row or column of each
// page after the first, at most 1023 (Excel's limit), ended by a 0; empty
// when there are none.
template <typename Index>
std::vector<Index> PageBreaks(const std::vector<int>& starts) {
  std::vector<Index> breaks;
  for (const int at : starts) {
    if (at > 0 && breaks.size() < 1023) breaks.push_back(static_cast<Index>(at));
  }
  if (!breaks.empty()) breaks.push_back(0);
  return breaks;
}

bool Failed(lxw_error status, std::string* error) {
  if (status == LXW_NO_ERROR) return false;
  *error = std::string("Excelファイルを作れませんでした（") + lxw_strerror(status) + "）。";
  return true;
}

}  // namespace

bool XlsxWriter::WriteWorkbook(const fs::path& path, const std::vector<SheetTable>& tables,
                               const SheetPrinting& printing, std::string* error) {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec) /
                        ("veltrano-" + std::to_string(::getpid()) + "-" +
                         std::to_string(next_workbook++) + ".xlsx");
  lxw_workbook* workbook = workbook_new(temp.c_str());
  if (workbook == nullptr) {
    *error = "Excelファイルを作れませんでした。";
    return false;
  }
  Formats formats(workbook);
  const std::string header = HeaderText(printing.project_name);
  bool ok = true;
  for (const SheetTable& table : tables) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, table.name.c_str());
    if (sheet == nullptr) {
      ok = false;
      *error = "Excelファイルのシート「" + table.name + "」を作れませんでした。";
      break;
    }
    for (std::size_t c = 0; c < table.column_widths.size(); ++c) {
      worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                           table.column_widths[c], nullptr);
    }
    for (std::size_t r = 0; r < table.rows.size() && ok; ++r) {
      for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
        const SheetCell& cell = table.rows[r][c];
        const auto row = static_cast<lxw_row_t>(r);
        const auto col = static_cast<lxw_col_t>(c);
        lxw_error status = LXW_NO_ERROR;
        switch (cell.kind) {
          case SheetCell::Kind::kNumber:
            status = worksheet_write_number(sheet, row, col, cell.number, formats.Of(cell));
            break;
          case SheetCell::Kind::kText:
            status = worksheet_write_string(sheet, row, col, cell.text.c_str(), formats.Of(cell));
            break;
          case SheetCell::Kind::kEmpty:
            break;
        }
        if (Failed(status, error)) {
          ok = false;
          break;
        }
      }
    }
    if (!ok) break;
    worksheet_freeze_panes(sheet, static_cast<lxw_row_t>(table.heading_rows),
                           static_cast<lxw_col_t>(table.heading_columns));
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, kPaperA4);
    worksheet_set_header(sheet, header.c_str());
    if (table.heading_rows > 0 && !table.rows.empty()) {
      worksheet_repeat_rows(sheet, 0, static_cast<lxw_row_t>(table.heading_rows - 1));
    }
    // The pages cut as the program's printout cuts them.
    std::vector<lxw_row_t> row_breaks = PageBreaks<lxw_row_t>(table.row_breaks);
    if (!row_breaks.empty()) worksheet_set_h_pagebreaks(sheet, row_breaks.data());
    std::vector<lxw_col_t> column_breaks = PageBreaks<lxw_col_t>(table.column_breaks);
    if (!column_breaks.empty()) worksheet_set_v_pagebreaks(sheet, column_breaks.data());
    if (table.heading_columns > 0 && !table.rows.empty()) {
      worksheet_repeat_columns(sheet, 0, static_cast<lxw_col_t>(table.heading_columns - 1));
    }
  }
  const lxw_error closed = workbook_close(workbook);
  if (ok && Failed(closed, error)) ok = false;
  std::string bytes;
  if (ok) ok = ReadFileBytes(temp, &bytes, error);
  fs::remove(temp, ec);
  if (!ok) return false;
  return WriteFileBytesAtomic(path, bytes, error);
}

}  // namespace veltrano
