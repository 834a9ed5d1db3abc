#ifndef VELTRANO_PRINT_PAGE_FRAME_H_
#define VELTRANO_PRINT_PAGE_FRAME_H_

#include <array>
#include <optional>
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

// Which end of a text too long for its cell gives way to "…".
enum class CutSide { kEnd, kStart };

// The smallest a text is drawn to stay inside its cell, as a share of its
// font's size.
inline constexpr double kMinimumFontScale = 0.75;

// A text as it is drawn in its cell: the text (cut, or "###" for a number),
// the font (smaller than the cell's when the text would not fit) and its
// offset from the cell's left edge.
struct FittedText {
  std::string text;
  PrintFont font;
  double x = 0;
  bool shrunk = false;
  bool cut = false;
};

// Whether a cell text is a number: digits with an optional sign, thousands
// separators and decimals, possibly in parentheses (the subtotals of the
// work-type table). A number is never cut.
bool LooksLikeNumber(std::string_view text);

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
//
// A name is printed no wider than the page: the frame texts are cut once,
// when the frame is made for a print job, to the longest beginning that
// stands within the page where it is placed, by the width estimate the
// frame places them with (20 × s twips for every two bytes at s points).
// Names that fit are printed whole, at the positions they always had.
class PageFrame {
 public:
  PageFrame(PrinterCanvas& canvas, const FrameSettings& settings);

  PrinterCanvas& canvas() { return canvas_; }
  double width() const { return canvas_.PrintableWidth(); }
  double height() const { return canvas_.PrintableHeight(); }
  // The number printed on the current page.
  int page() const { return page_; }
  void SetPage(int page) { page_ = page; }

  // The offset of `text` in a cell `width` wide: centred, 50 twips from
  // the left edge, or ending 50 twips before the right edge.
  double AlignInCell(std::string_view text, double width, int alignment) const;
  // How `text` stands in a cell `width` wide set in `font`: where it fits
  // (from its aligned place it stays between the cell's edges) as it is,
  // at AlignInCell. Otherwise it is drawn smaller, down to
  // kMinimumFontScale of the font; if it still does not fit, a number
  // shows as "###" (as many as fit) in the cell's font and any other text
  // is cut at `cut` and marked with "…" in the smallest font. Leaves the
  // canvas's font at `font`.
  FittedText FitInCell(std::string_view text, double width, int alignment,
                       const PrintFont& font, CutSide cut = CutSide::kEnd);
  // Draws `text` as FitInCell fits it into the cell from `left` at `y`; an
  // empty text draws nothing.
  void PrintInCell(std::string_view text, double left, double width,
                   int alignment, double y, const PrintFont& font,
                   CutSide cut = CutSide::kEnd);
  // The frame of the current page. `title` is the page's title line (none
  // on summary pages, whose first heading line carries the table's title);
  // the line is cut to the page's width.
  void PrintPageFrame(std::string_view title, bool has_title_line = true);
  // Counts the page and starts a new one.
  void NextPage();

  // The longest beginning of `text` that a title line holds between the
  // left margin and the page's edge. A printout that builds its titles
  // from long names cuts the names with it once rather than on every page;
  // a title line keeps the same text either way.
  std::string_view TitleLineBeginning(std::string_view text) const;

 private:
  // A text of the frame as cut for the job, and where it starts.
  struct PlacedText {
    std::string text;
    double x = 0;
  };

  // The left edge of a frame text at a horizontal position (0 left,
  // 1 centre, 2 right).
  double FrameTextX(std::string_view text, int where) const;
  // The longest beginning of `text` that lies within the page at that
  // position; `before_rule` for the top right, which ends before the
  // page number's rule.
  PlacedText Placed(std::string_view text, int where, bool before_rule) const;

  PrinterCanvas& canvas_;
  int page_ = 1;
  // 上左: the project name and a blank in front of the title line, and
  // whether they fill it (then nothing of the title follows); on pages
  // without a title line the project name alone.
  std::string title_prefix_;
  bool title_prefix_fills_line_ = false;
  std::optional<PlacedText> top_left_;
  // 上中 or 上右.
  std::optional<PlacedText> top_;
  // Left, centre and right at the bottom: the project name, the company
  // name, or both joined.
  std::array<std::optional<PlacedText>, 3> bottom_;
};

// The longest beginning of `text`, in whole characters, that the width
// estimate of printed names (20 × size twips for every two bytes, as the
// page frame places its texts) puts within `room` twips at `size` points.
// Takes time in the length of that beginning only.
std::string_view BeginningWithin(std::string_view text, double room,
                                 double size);

// The fonts of the printouts.
PrintFont TitleFont();      // the title line: 10 points, bold
PrintFont BodyFont(bool bold = false);  // the bodies: 9 points

}  // namespace veltrano

#endif  // VELTRANO_PRINT_PAGE_FRAME_H_
