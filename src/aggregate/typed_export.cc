#include "aggregate/typed_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

#include "aggregate/export.h"
#include "calc/cp932.h"
#include "calc/number_text.h"
#include "project/summary_tables.h"

namespace veltrano {

namespace {

// Column widths in characters: the widest text a column holds (wrapped
// names counting at most kWrapWidth), within these bounds.
constexpr double kNarrowest = 4;
constexpr double kWidest = 60;
constexpr double kWrapWidth = 16;
// The printout's pages: 29 rooms and 12 item columns to a page of a part
// or fittings table, 35 rows to a page of the work-type table.
constexpr int kRoomsPerPage = 29;
constexpr int kItemColumnsPerPage = 12;
constexpr int kWorkTypeRowsPerPage = 35;

std::vector<int> Breaks(int first, int step, int end) {
  std::vector<int> breaks;
  for (int at = first + step; at < end; at += step) breaks.push_back(at);
  return breaks;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](char c) { return c >= '0' && c <= '9'; });
}

SheetCell TextCell(const std::string& text) {
  SheetCell cell;
  if (!text.empty()) {
    cell.kind = SheetCell::Kind::kText;
    cell.text = text;
  }
  return cell;
}

// A number where the table shows one, else the text as it stands.
SheetCell NumberOrText(const std::string& text) {
  const std::optional<ShownNumber> number = ParseShownNumber(text);
  if (!number) return TextCell(text);
  SheetCell cell;
  cell.kind = SheetCell::Kind::kNumber;
  cell.text = text;
  cell.number = number->value;
  cell.decimals = number->decimals;
  cell.grouped = number->grouped;
  cell.bracketed = number->bracketed;
  return cell;
}

// Fills every row to the widest and fits the column widths.
void FitColumns(SheetTable* table) {
  std::size_t columns = 0;
  for (const auto& row : table->rows) columns = std::max(columns, row.size());
  table->column_widths.assign(columns, kNarrowest);
  for (auto& row : table->rows) {
    row.resize(columns);
    for (std::size_t c = 0; c < columns; ++c) {
      const double width = static_cast<double>(ByteWidth(row[c].text)) + 2;
      table->column_widths[c] =
          std::max(table->column_widths[c], row[c].wrap ? std::min(width, kWrapWidth) : width);
    }
  }
  for (double& width : table->column_widths) width = std::min(width, kWidest);
}

// The number text of a cell without separators or parentheses, with the
// digits it is shown with.
std::string PlainNumber(const SheetCell& cell) {
  std::string out;
  for (const char c : std::string_view(TrimBlanks(cell.text))) {
    if (c != ',' && c != '(' && c != ')') out += c;
  }
  return out;
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::optional<ShownNumber> ParseShownNumber(std::string_view text) {
  text = TrimBlanks(text);
  ShownNumber shown;
  if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    shown.bracketed = true;
    text = text.substr(1, text.size() - 2);
  }
  bool negative = false;
  if (!shown.bracketed && !text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (point != std::string_view::npos && !AllDigits(fraction)) return std::nullopt;
  // The whole part: digits, or groups of three after the first.
  std::string digits;
  if (whole.find(',') != std::string_view::npos) {
    shown.grouped = true;
    std::size_t start = 0;
    bool first = true;
    while (true) {
      const std::size_t comma = whole.find(',', start);
      const std::string_view group = whole.substr(start, comma - start);
      if (!AllDigits(group) || (first ? group.size() > 3 : group.size() != 3)) return std::nullopt;
      digits += group;
      first = false;
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
  } else {
    if (!AllDigits(whole)) return std::nullopt;
    digits = whole;
  }
  if (digits.size() > 15 || fraction.size() > 6) return std::nullopt;
  const std::string number = digits + (fraction.empty() ? "" : "." + std::string(fraction));
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  shown.value = negative ? -value : value;
  shown.decimals = static_cast<int>(fraction.size());
  return shown;
}

SheetTable TypedSummaryTable(const TextGrid& grid, std::string name) {
  SheetTable table;
  table.name = std::move(name);
  table.heading_rows = std::min(grid.rows(), kSummaryFirstRoomRow);
  table.heading_columns = std::min(grid.cols(), kSummaryFirstItemColumn);
  for (int r = 0; r < grid.rows(); ++r) {
    std::vector<SheetCell> row;
    for (int c = 0; c < grid.cols(); ++c) {
      const std::string& text = grid.At(r, c);
      const bool value_cell = (r == kSummaryTotalRow || r >= kSummaryFirstRoomRow) &&
                              c >= kSummaryPlacesColumn;
      SheetCell cell = value_cell ? NumberOrText(text) : TextCell(text);
      cell.heading = r < kSummaryFirstRoomRow || c == kSummaryNameColumn;
      cell.wrap = r == kSummaryItemRow && c >= kSummaryFirstItemColumn;
      row.push_back(std::move(cell));
    }
    table.rows.push_back(std::move(row));
  }
  FitColumns(&table);
  table.row_breaks = Breaks(kSummaryFirstRoomRow, kRoomsPerPage, grid.rows());
  table.column_breaks = Breaks(kSummaryFirstItemColumn, kItemColumnsPerPage, grid.cols());
  return table;
}

SheetTable TypedWorkTypeTable(const TextGrid& reshaped, std::string name) {
  // The reshaped columns: 工種, 項目名, (the name's second piece), 区分,
  // 部位, 数量, 単位, 単価, 金額, 備考.
  constexpr int kQuantity = 5;
  constexpr int kUnitPrice = 7;
  constexpr int kAmount = 8;
  SheetTable table;
  table.name = std::move(name);
  table.heading_rows = std::min(reshaped.rows(), 1);
  for (int r = 0; r < reshaped.rows(); ++r) {
    std::vector<SheetCell> row;
    for (int c = 0; c < reshaped.cols(); ++c) {
      const std::string& text = reshaped.At(r, c);
      const bool value_cell = r >= 1 && (c == kQuantity || c == kUnitPrice || c == kAmount);
      SheetCell cell = value_cell ? NumberOrText(text) : TextCell(text);
      cell.heading = r == 0;
      cell.wrap = r >= 1 && (c == 1 || c == 2);
      row.push_back(std::move(cell));
    }
    table.rows.push_back(std::move(row));
  }
  FitColumns(&table);
  table.row_breaks = Breaks(1, kWorkTypeRowsPerPage, reshaped.rows());
  return table;
}

bool CsvBytes(const SheetTable& table, bool utf8, std::string* bytes, std::string* error) {
  std::string text;
  for (const auto& row : table.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) text += ',';
      const SheetCell& cell = row[c];
      if (cell.kind == SheetCell::Kind::kNumber) {
        text += PlainNumber(cell);
      } else if (cell.text.find_first_of(",\"\r\n") != std::string::npos) {
        text += '"';
        for (const char ch : cell.text) {
          if (ch == '"') text += '"';
          text += ch;
        }
        text += '"';
      } else {
        text += cell.text;
      }
    }
    text += "\r\n";
  }
  if (utf8) {
    *bytes = "\xEF\xBB\xBF" + text;
    return true;
  }
  std::string first;
  if (!Utf8ToCp932(text, bytes, &first)) {
    *error = "「" + first + "」はシフトJISで書けません。UTF-8で保存してください。";
    return false;
  }
  return true;
}

std::string HtmlTable(const SheetTable& table) {
  std::string html =
      "<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><head>"
      "<meta charset=\"utf-8\"></head><body><table>\n";
  for (const auto& row : table.rows) {
    html += "<tr>";
    for (const SheetCell& cell : row) {
      if (cell.kind == SheetCell::Kind::kNumber) {
        const std::string value = PlainNumber(cell);
        const std::string format = NumberFormatOf(cell);
        // The text shown where the format is not read: the number without
        // parentheses, so that it is never taken for a negative one.
        std::string shown = std::string(TrimBlanks(cell.text));
        if (cell.bracketed) shown = shown.substr(1, shown.size() - 2);
        html += "<td x:num=\"" + value + "\" sdval=\"" + value + "\" sdnum=\"1041;0;" +
                Escaped(format) + "\" style=\"mso-number-format:'" + Escaped(format) +
                "';text-align:right\">" + Escaped(shown) + "</td>";
      } else if (cell.heading) {
        html += "<td style=\"font-weight:bold\">" + Escaped(cell.text) + "</td>";
      } else {
        html += "<td>" + Escaped(cell.text) + "</td>";
      }
    }
    html += "</tr>\n";
  }
  html += "</table></body></html>\n";
  return html;
}

}  // namespace veltrano
