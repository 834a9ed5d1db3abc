#ifndef VELTRANO_PRINT_PAGE_FRAME_H_
#define VELTRANO_PRINT_PAGE_FRAME_H_

#include <string>
#include <string_view>

#include "config/settings.h"
#include "port/printer.h"

namespace veltrano {

// Margins of every printout, in twips inside the printable area.
inline constexpr double kLeftMargin = 800;
inline constexpr double kRightMargin = 700;
inline constexpr double kTopMargin = 1000;
inline constexpr double kBottomMargin = 500;

// Alignment in a printed cell (AlignInCell).
enum CellAlignment : int { kAlignCentre = 0, kAlignLeft = 1, kAlignRight = 2 };

// What the page frame prints besides the page's title: the settings of the
// settings panel ("物件名印刷有" and its position, "会社名印刷有", the
// company name and its position) and the project name of the main window.
struct FrameSettings {
  bool print_project_name = false;
  int project_name_position = -1;  // 上左 上中 上右 下左 下中 下右
  bool print_company_name = false;
  std::string company_name;
  int company_name_position = -1;  // 下左 下中 下右
  std::string project_name;

  static FrameSettings Of(const SettingsPanel& panel, std::string project_name);
};

// The page counter and the frame of every printed page: the title line,
// the page number over its rule, and the project and company names where
// the settings put them.
class PageFrame {
 public:
  PageFrame(PrinterCanvas& canvas, FrameSettings settings)
      : canvas_(canvas), settings_(std::move(settings)) {}

  PrinterCanvas& canvas() { return canvas_; }
  double width() const { return canvas_.PrintableWidth(); }
  double height() const { return canvas_.PrintableHeight(); }
  // The number printed on the current page.
  int page() const { return page_; }
  void SetPage(int page) { page_ = page; }

  // The offset of `text` in a cell `width` wide: centred, 50 twips from
  // the left edge, or ending 50 twips before the right edge.
  double AlignInCell(std::string_view text, double width, int alignment) const;
  // The frame of the current page. `title` is the page's title line (none
  // on summary pages, whose first heading line carries the table's title).
  void PrintPageFrame(std::string_view title, bool has_title_line = true);
  // Counts the page and starts a new one.
  void NextPage();

 private:
  // The left edge of a frame text at a horizontal position (0 left,
  // 1 centre, 2 right).
  double FrameTextX(std::string_view text, int where) const;

  PrinterCanvas& canvas_;
  FrameSettings settings_;
  int page_ = 1;
};

// The fonts of the printouts.
PrintFont TitleFont();      // the title line: 10 points, bold
PrintFont BodyFont(bool bold = false);  // the bodies: 9 points

}  // namespace veltrano

#endif  // VELTRANO_PRINT_PAGE_FRAME_H_
