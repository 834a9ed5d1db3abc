#ifndef VELTRANO_XLSX_XLSX_WRITER_H_
#define VELTRANO_XLSX_XLSX_WRITER_H_

#include <filesystem>
#include <string>
#include <vector>

#include "port/spreadsheet.h"

namespace veltrano {

// Workbooks written with libxlsxwriter: numbers as numbers in the format
// they are shown with (a subtotal a positive number in parentheses),
// headings bold, long names wrapped, column widths as given, the heading
// rows and columns frozen and printed on every page, A4 landscape with the
// project's name and the page number in the header. The workbook is made in
// a temporary file and put in place atomically.
class XlsxWriter : public SpreadsheetWriter {
 public:
  bool WriteWorkbook(const std::filesystem::path& path, const std::vector<SheetTable>& tables,
                     const SheetPrinting& printing, std::string* error) override;
};

}  // namespace veltrano

#endif  // VELTRANO_XLSX_XLSX_WRITER_H_
