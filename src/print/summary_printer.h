#ifndef VELTRANO_PRINT_SUMMARY_PRINTER_H_
#define VELTRANO_PRINT_SUMMARY_PRINTER_H_

#include <array>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "print/page_frame.h"
#include "project/project.h"

namespace veltrano {

// The boxes of the summary print dialog, in the order the tables print:
// the five interior part tables, the five exterior ones, the fittings
// summary and the work-type table.
inline constexpr int kSummaryPrintBoxes = 12;
inline constexpr int kFittingsSummaryBox = 10;
inline constexpr int kWorkTypeBox = 11;

// The printed summary tables: the part tables of both sides and the
// fittings summary as wide sheets of 12 item columns and 29 rows a page,
// and the work-type table as a list of 35 rows a page. The tables are
// printed as they stand; nothing is computed again.
class SummaryPrinter {
 public:
  SummaryPrinter(PageFrame& frame, const Project& tables)
      : frame_(frame), tables_(tables) {}

  // Prints every ticked table in the order of the boxes, each from a new
  // page. Each page ends with PageFrame::NextPage.
  void PrintSummaries(const std::array<bool, kSummaryPrintBoxes>& ticked);

 private:
  // The texts a part table or the fittings summary is headed with.
  struct SheetTitles {
    std::string_view title;      // line 0 of the name column
    std::string_view part;       // line 4
    std::string_view names;      // line 7 on the first row page
    std::string_view names_cont;  // line 7 on later row pages
  };

  // A part table or the fittings summary: row pages of 29 rows, each in
  // blocks of 12 item columns.
  void PrintSheet(const TextGrid& table, const SheetTitles& titles);
  // `names` are the rows' names as printed, cut to the page's width.
  void PrintSheetPage(const TextGrid& table, const SheetTitles& titles,
                      const std::vector<std::string_view>& names, int first_row,
                      int first_col, int last_col);
  // The heading of one item column: ordinal or category, work type, item
  // name in pieces that fit the column.
  void PrintItemHeading(const TextGrid& table, int col, double left,
                        double width, double line_height);

  // The work-type table, its pages numbered from 1.
  void PrintWorkTypeTable(const TextGrid& table);
  void PrintWorkTypeHeading(double line_height);
  void PrintWorkTypeRow(const TextGrid& table, int row, double y);

  PageFrame& frame_;
  const Project& tables_;
};

}  // namespace veltrano

#endif  // VELTRANO_PRINT_SUMMARY_PRINTER_H_
