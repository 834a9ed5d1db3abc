#ifndef VELTRANO_PORT_SPREADSHEET_H_
#define VELTRANO_PORT_SPREADSHEET_H_

#include <filesystem>
#include <string>
#include <vector>

namespace veltrano {

// A cell of a table as a spreadsheet takes it: a text, or a number with the
// digits it is shown with. A subtotal shown in parentheses is a positive
// number whose format adds them, never a negative one.
struct SheetCell {
  enum class Kind { kEmpty, kText, kNumber };
  Kind kind = Kind::kEmpty;
  std::string text;        // as the table shows it
  double number = 0;       // kNumber: the value
  int decimals = 0;        // kNumber: digits after the point, as shown
  bool grouped = false;    // kNumber: thousands separated, as shown
  bool bracketed = false;  // kNumber: shown in parentheses
  bool heading = false;    // a heading: bold
  bool wrap = false;       // a long name: wrapped in its column
  bool operator==(const SheetCell&) const = default;
};

// A spreadsheet's number format for a number cell, as it is shown:
// "#,##0.00", "0.0", "(#,##0)".
inline std::string NumberFormatOf(const SheetCell& cell) {
  std::string format = cell.grouped ? "#,##0" : "0";
  if (cell.decimals > 0) format += "." + std::string(static_cast<std::size_t>(cell.decimals), '0');
  return cell.bracketed ? "(" + format + ")" : format;
}

// A table for a spreadsheet: its name (the sheet's), its cells row by row
// (every row as long as the widest), the heading rows and columns that stay
// in view, and each column's width in characters.
struct SheetTable {
  std::string name;
  std::vector<std::vector<SheetCell>> rows;
  int heading_rows = 0;
  int heading_columns = 0;
  std::vector<double> column_widths;
  // Where printed pages begin, as the program's own printout cuts the
  // table: the first row or column (from 0) of each page after the first.
  std::vector<int> row_breaks;
  std::vector<int> column_breaks;
};

// What a workbook is printed with: A4 landscape, the project's name on the
// left of every page's header and the page number on the right.
struct SheetPrinting {
  std::string project_name;
};

// Writes workbooks (.xlsx): the program supplies the writer (a library
// beside the faces). The file is replaced whole or not at all.
class SpreadsheetWriter {
 public:
  virtual ~SpreadsheetWriter() = default;
  // Writes one sheet per table; false with the reason.
  virtual bool WriteWorkbook(const std::filesystem::path& path,
                             const std::vector<SheetTable>& tables,
                             const SheetPrinting& printing, std::string* error) = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_PORT_SPREADSHEET_H_
