#ifndef VELTRANO_AGGREGATE_TYPED_EXPORT_H_
#define VELTRANO_AGGREGATE_TYPED_EXPORT_H_

#include <optional>
#include <string>
#include <string_view>

#include "calc/grid.h"
#include "port/spreadsheet.h"

namespace veltrano {

// A number as a summary table shows it: "1,234.50", "-3.5", "(18,900)".
struct ShownNumber {
  double value = 0;
  int decimals = 0;
  bool grouped = false;
  bool bracketed = false;
};
// Nothing for any other text (blanks around it allowed).
std::optional<ShownNumber> ParseShownNumber(std::string_view text);

// A part or fittings summary table (four heading rows, the name and places
// columns) as a spreadsheet takes it: headings bold and text, item names
// wrapped, quantities, places and totals numbers.
SheetTable TypedSummaryTable(const TextGrid& table, std::string name);
// The work-type table as "Exceに送る" sends it (ReshapeWorkTypeTable): the
// heading row bold, 数量, 単価 and 金額 numbers, the parenthesised
// subtotals and total positive numbers shown in parentheses.
SheetTable TypedWorkTypeTable(const TextGrid& reshaped, std::string name);

// CSV of a table: cells joined by ",", quoted when they hold a comma, a
// quote or a line break; numbers as plain decimals with the digits shown
// (no separators, no parentheses); every row ended by CR LF. In code page
// 932 by default, or UTF-8 after a byte-order mark. False, with the first
// character code page 932 cannot hold, when `utf8` is not asked for.
bool CsvBytes(const SheetTable& table, bool utf8, std::string* bytes, std::string* error);

// The HTML form of a table on the clipboard, which spreadsheets take before
// plain text: the same cells, numbers carried as values with their format
// (Excel's x:num and mso-number-format, LibreOffice's sdval and sdnum), so
// that a subtotal is pasted as a positive number shown in parentheses.
std::string HtmlTable(const SheetTable& table);

}  // namespace veltrano

#endif  // VELTRANO_AGGREGATE_TYPED_EXPORT_H_
