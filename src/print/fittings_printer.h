#ifndef VELTRANO_PRINT_FITTINGS_PRINTER_H_
#define VELTRANO_PRINT_FITTINGS_PRINTER_H_

#include "calc/grid.h"
#include "print/page_frame.h"

namespace veltrano {

// The printed entered-data list of the fittings takeoff (TateguDataGrid):
// 16 columns under five group titles, 35 lines a page, pages numbered
// from 1. The list's row 0 is its header row and is not printed; the
// printed headers are the form's own.
class FittingsPrinter {
 public:
  FittingsPrinter(PageFrame& frame, const TextGrid& entered_data)
      : frame_(frame), list_(entered_data) {}

  // Prints every line of the list, empty trailing lines included, each
  // page ended with PageFrame::NextPage.
  void PrintFittings();

 private:
  // The page whose first line is list row `first_line`.
  void PrintPage(int first_line);

  PageFrame& frame_;
  const TextGrid& list_;
};

}  // namespace veltrano

#endif  // VELTRANO_PRINT_FITTINGS_PRINTER_H_
