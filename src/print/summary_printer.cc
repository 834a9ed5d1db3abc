#include "print/summary_printer.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "calc/cp932.h"

namespace veltrano {

namespace {

constexpr double kTextDrop = 45;  // a text's top below its line's top

// Part tables and the fittings summary: the name and places columns, then
// 12 item columns sharing the rest of the width; 37 lines, of which 8 are
// the heading.
constexpr double kNameWidth = 2350;
constexpr double kPlacesWidth = 500;
constexpr int kItemColumnsPerPage = 12;
constexpr int kSheetLines = 37;
constexpr int kSheetHeadingLines = 8;
constexpr int kSheetRowsPerPage = kSheetLines - kSheetHeadingLines;
// Table rows 0-3 are the ordinals or categories, work types, item names and
// totals; rooms, places or fittings follow. Columns 0 and 1 are the names
// and places, items start at column 2.
constexpr int kTableHeadingRows = 4;
constexpr int kFirstItemColumn = 2;
// An item's work type takes line 1, and line 2 for what passes 5
// characters; its name runs to line 6.
constexpr std::size_t kWorkTypeLineChars = 5;
constexpr int kLastItemNameLine = 6;

constexpr std::array<std::string_view, 5> kPartTitles = {"床項目", "巾木項目", "壁項目",
                                                         "天井項目", "雑項目"};

// The work-type table: a heading line and 35 rows a page; the remarks
// column takes what the others leave of the width.
constexpr int kWorkTypeLines = 36;
constexpr int kWorkTypeColumns = 9;
constexpr std::array<double, kWorkTypeColumns - 1> kWorkTypeWidths = {
    1950, 4500, 700, 700, 1000, 450, 850, 1400};
constexpr std::array<int, kWorkTypeColumns> kWorkTypeAlignments = {
    kAlignLeft,  kAlignLeft,   kAlignCentre, kAlignCentre, kAlignRight,
    kAlignCentre, kAlignRight, kAlignRight,  kAlignLeft};
constexpr std::array<std::string_view, kWorkTypeColumns> kWorkTypeHeadings = {
    "工種", "項目名", "区分", "部位", "数量", "単位", "単価", "金額", "備考"};

constexpr int kOuterRuleWidth = 5;
constexpr int kInnerRuleWidth = 1;

// Draws `text` in the cell from `left`, `width` wide, with `alignment` in
// `font`; an empty text draws nothing. A text wider than its cell is drawn
// smaller or cut, a number shows as "###", so that nothing runs over the
// cells beside it.
void PrintInCell(PageFrame& frame, std::string_view text, double left, double width,
                 int alignment, double y, const PrintFont& font = BodyFont()) {
  frame.PrintInCell(text, left, width, alignment, y, font);
}

bool IsVariationSelector(std::string_view ch) {
  // U+FE00-U+FE0F: EF B8 80-8F.
  return ch.size() == 3 && static_cast<unsigned char>(ch[0]) == 0xEF &&
         static_cast<unsigned char>(ch[1]) == 0xB8 &&
         (static_cast<unsigned char>(ch[2]) & 0xF0) == 0x80;
}

// The characters of a UTF-8 text as views into it. A variation selector
// stays with the character before it; a malformed byte is a character of
// its own.
std::vector<std::string_view> CharactersOf(std::string_view text) {
  std::vector<std::string_view> chars;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t n = lead >= 0xF8 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    n = std::min(n, text.size() - i);
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        n = k;
        break;
      }
    }
    const std::string_view ch = text.substr(i, n);
    if (IsVariationSelector(ch) && !chars.empty()) {
      chars.back() = std::string_view(chars.back().data(), chars.back().size() + n);
    } else {
      chars.push_back(ch);
    }
    i += n;
  }
  return chars;
}

// Pieces of `text` of at most `max_bytes` code page 932 bytes each, broken
// between characters; a character wider than `max_bytes` is a piece alone.
std::vector<std::string_view> BreakByBytes(std::string_view text, std::size_t max_bytes) {
  std::vector<std::string_view> pieces;
  const char* start = nullptr;
  std::size_t length = 0;
  std::size_t bytes = 0;
  for (const std::string_view ch : CharactersOf(text)) {
    const std::size_t width = ByteWidth(ch);
    if (start != nullptr && bytes + width > max_bytes) {
      pieces.emplace_back(start, length);
      start = nullptr;
    }
    if (start == nullptr) {
      start = ch.data();
      length = 0;
      bytes = 0;
    }
    length += ch.size();
    bytes += width;
  }
  if (start != nullptr) pieces.emplace_back(start, length);
  return pieces;
}

}  // namespace

void SummaryPrinter::PrintSummaries(const std::array<bool, kSummaryPrintBoxes>& ticked) {
  for (int part = 0; part < 5; ++part) {
    if (!ticked[static_cast<std::size_t>(part)]) continue;
    PrintSheet(tables_.interior_summaries()[static_cast<std::size_t>(part)],
               {"【内部集計表】", kPartTitles[static_cast<std::size_t>(part)],
                "部屋名＼合計", "部屋名"});
  }
  for (int part = 0; part < 5; ++part) {
    if (!ticked[static_cast<std::size_t>(5 + part)]) continue;
    PrintSheet(tables_.exterior_summaries()[static_cast<std::size_t>(part)],
               {"【外部集計表】", kPartTitles[static_cast<std::size_t>(part)],
                "場所名＼合計", "場所名"});
  }
  if (ticked[kFittingsSummaryBox]) {
    PrintSheet(tables_.fittings_summary(),
               {"【建具廻り集計表】", "積算項目", "符号＼合計", "符号"});
  }
  if (ticked[kWorkTypeBox]) {
    PrintWorkTypeTable(tables_.interior_summaries()[kWorkTypeTable]);
  }
}

void SummaryPrinter::PrintSheet(const TextGrid& table, const SheetTitles& titles) {
  const int items = std::max(0, table.cols() - kFirstItemColumn);
  const int blocks = std::max(1, (items + kItemColumnsPerPage - 1) / kItemColumnsPerPage);
  const int rows = std::max(0, table.rows() - kTableHeadingRows);
  const int row_pages = std::max(1, (rows + kSheetRowsPerPage - 1) / kSheetRowsPerPage);
  // Each row's name comes on the page of every column block: what of it
  // would stand beyond the page's edge is cut off here, once.
  const double name_room = frame_.width() - kLeftMargin -
                           frame_.AlignInCell("", kNameWidth, kAlignLeft);
  std::vector<std::string_view> names(static_cast<std::size_t>(table.rows()));
  for (int row = kTableHeadingRows; row < table.rows(); ++row) {
    names[static_cast<std::size_t>(row)] =
        BeginningWithin(table.At(row, 0), name_room, BodyFont().size);
  }
  for (int r = 0; r < row_pages; ++r) {
    for (int b = 0; b < blocks; ++b) {
      const int first_col = kFirstItemColumn + b * kItemColumnsPerPage;
      const int last_col = std::min(first_col + kItemColumnsPerPage, table.cols()) - 1;
      PrintSheetPage(table, titles, names,
                     kTableHeadingRows + r * kSheetRowsPerPage, first_col,
                     last_col);
    }
  }
}

void SummaryPrinter::PrintSheetPage(const TextGrid& table,
                                    const SheetTitles& titles,
                                    const std::vector<std::string_view>& names,
                                    int first_row, int first_col,
                                    int last_col) {
  PrinterCanvas& canvas = frame_.canvas();
  const double line_height = (frame_.height() - kTopMargin - kBottomMargin) / kSheetLines;
  const double item_width =
      (frame_.width() - kLeftMargin - kRightMargin - kNameWidth - kPlacesWidth) /
      kItemColumnsPerPage;
  const double places_left = kLeftMargin + kNameWidth;
  const double items_left = places_left + kPlacesWidth;
  const double right = frame_.width() - kRightMargin;
  const double bottom = frame_.height() - kBottomMargin;
  const auto text_y = [&](int line) { return kTopMargin + line * line_height + kTextDrop; };
  const bool first_row_page = first_row == kTableHeadingRows;

  frame_.PrintPageFrame("", /*has_title_line=*/false);

  // The rules: the body, the columns, and the foot of the heading.
  canvas.DrawRect(kLeftMargin, kTopMargin, right, bottom, kOuterRuleWidth);
  const double heading_foot = kTopMargin + kSheetHeadingLines * line_height;
  canvas.DrawLine(kLeftMargin, heading_foot, right, heading_foot, kOuterRuleWidth);
  canvas.DrawLine(places_left, kTopMargin, places_left, bottom, kInnerRuleWidth);
  for (int k = 0; k < kItemColumnsPerPage; ++k) {
    const double x = items_left + k * item_width;
    canvas.DrawLine(x, kTopMargin, x, bottom, kInnerRuleWidth);
  }

  // The heading of the name and places columns.
  canvas.SetFont(BodyFont(true));
  PrintInCell(frame_, titles.title, kLeftMargin, kNameWidth, kAlignLeft, text_y(0), BodyFont(true));
  PrintInCell(frame_, "工種", kLeftMargin, kNameWidth, kAlignLeft, text_y(1), BodyFont(true));
  PrintInCell(frame_, titles.part, kLeftMargin, kNameWidth, kAlignLeft, text_y(4), BodyFont(true));
  PrintInCell(frame_, first_row_page ? titles.names : titles.names_cont, kLeftMargin,
              kNameWidth, kAlignLeft, text_y(7), BodyFont(true));
  PrintInCell(frame_, "ヶ所", places_left, kPlacesWidth, kAlignCentre, text_y(0), BodyFont(true));

  // The heading of each item column, with the totals on the first row page.
  for (int col = first_col; col <= last_col; ++col) {
    const double left = items_left + (col - first_col) * item_width;
    PrintItemHeading(table, col, left, item_width, line_height);
  }
  canvas.SetFont(BodyFont());
  if (first_row_page) {
    PrintInCell(frame_, table.At(kTableHeadingRows - 1, 1), places_left, kPlacesWidth,
                kAlignRight, text_y(7));
    for (int col = first_col; col <= last_col; ++col) {
      PrintInCell(frame_, table.At(kTableHeadingRows - 1, col),
                  items_left + (col - first_col) * item_width, item_width, kAlignRight,
                  text_y(7));
    }
  }

  // The rows.
  for (int i = 0; i < kSheetRowsPerPage; ++i) {
    const int row = first_row + i;
    if (row >= table.rows()) break;
    const double y = text_y(kSheetHeadingLines + i);
    PrintInCell(frame_, names[static_cast<std::size_t>(row)], kLeftMargin,
                kNameWidth, kAlignLeft, y);
    PrintInCell(frame_, table.At(row, 1), places_left, kPlacesWidth, kAlignRight, y);
    for (int col = first_col; col <= last_col; ++col) {
      PrintInCell(frame_, table.At(row, col), items_left + (col - first_col) * item_width,
                  item_width, kAlignRight, y);
    }
  }

  frame_.NextPage();
}

void SummaryPrinter::PrintItemHeading(const TextGrid& table, int col, double left,
                                      double width, double line_height) {
  const auto text_y = [&](int line) { return kTopMargin + line * line_height + kTextDrop; };
  frame_.canvas().SetFont(BodyFont(true));
  PrintInCell(frame_, table.At(0, col), left, width, kAlignCentre, text_y(0),
              BodyFont(true));

  frame_.canvas().SetFont(BodyFont());
  const std::string& work_type = table.At(1, col);
  const std::vector<std::string_view> chars = CharactersOf(work_type);
  int next_line = 2;
  if (chars.size() > kWorkTypeLineChars) {
    const std::string_view last = chars[kWorkTypeLineChars - 1];
    const std::size_t split =
        static_cast<std::size_t>(last.data() + last.size() - work_type.data());
    PrintInCell(frame_, std::string_view(work_type).substr(0, split), left, width, kAlignLeft,
                text_y(1));
    PrintInCell(frame_, std::string_view(work_type).substr(split), left, width, kAlignLeft,
                text_y(2));
    next_line = 3;
  } else {
    PrintInCell(frame_, work_type, left, width, kAlignLeft, text_y(1));
  }

  // The item name in pieces as wide as the column holds (after the cell's
  // left inset); line 6 takes whatever is left.
  const std::string& name = table.At(2, col);
  const double byte_width = frame_.canvas().TextWidth("0");
  const double room = width - frame_.AlignInCell("", width, kAlignLeft);
  const std::size_t max_bytes =
      byte_width > 0 ? std::max<std::size_t>(2, static_cast<std::size_t>(room / byte_width))
                     : name.size();
  const std::vector<std::string_view> pieces = BreakByBytes(name, max_bytes);
  for (std::size_t i = 0; i < pieces.size(); ++i, ++next_line) {
    if (next_line == kLastItemNameLine) {
      const std::size_t from = static_cast<std::size_t>(pieces[i].data() - name.data());
      PrintInCell(frame_, std::string_view(name).substr(from), left, width, kAlignLeft,
                  text_y(next_line));
      break;
    }
    PrintInCell(frame_, pieces[i], left, width, kAlignLeft, text_y(next_line));
  }
}

void SummaryPrinter::PrintWorkTypeTable(const TextGrid& table) {
  const double line_height = (frame_.height() - kTopMargin - kBottomMargin) / kWorkTypeLines;
  const int rows_per_page = kWorkTypeLines - 1;
  frame_.SetPage(1);
  int used = 0;  // rows printed on the current page
  const auto start_page = [&] {
    frame_.PrintPageFrame("", /*has_title_line=*/false);
    PrintWorkTypeHeading(line_height);
  };
  if (table.rows() <= 1) start_page();
  for (int row = 1; row < table.rows(); ++row) {
    if (used == 0) start_page();
    ++used;
    PrintWorkTypeRow(table, row, kTopMargin + used * line_height + kTextDrop);
    if (used == rows_per_page) {
      frame_.NextPage();
      used = 0;
    }
  }
  if (used > 0 || table.rows() <= 1) frame_.NextPage();
}

void SummaryPrinter::PrintWorkTypeHeading(double line_height) {
  PrinterCanvas& canvas = frame_.canvas();
  const double right = frame_.width() - kRightMargin;
  const double bottom = frame_.height() - kBottomMargin;
  canvas.DrawRect(kLeftMargin, kTopMargin, right, bottom, kOuterRuleWidth);
  canvas.DrawLine(kLeftMargin, kTopMargin + line_height, right, kTopMargin + line_height,
                  kOuterRuleWidth);
  canvas.SetFont(BodyFont(true));
  double left = kLeftMargin;
  for (int c = 0; c < kWorkTypeColumns; ++c) {
    const double width = c + 1 < kWorkTypeColumns
                             ? kWorkTypeWidths[static_cast<std::size_t>(c)]
                             : right - left;
    if (c > 0) canvas.DrawLine(left, kTopMargin, left, bottom, kInnerRuleWidth);
    PrintInCell(frame_, kWorkTypeHeadings[static_cast<std::size_t>(c)], left, width,
                kAlignCentre, kTopMargin + kTextDrop, BodyFont(true));
    left += width;
  }
}

void SummaryPrinter::PrintWorkTypeRow(const TextGrid& table, int row, double y) {
  frame_.canvas().SetFont(BodyFont());
  const double right = frame_.width() - kRightMargin;
  double left = kLeftMargin;
  for (int c = 0; c < kWorkTypeColumns; ++c) {
    const double width = c + 1 < kWorkTypeColumns
                             ? kWorkTypeWidths[static_cast<std::size_t>(c)]
                             : right - left;
    PrintInCell(frame_, table.At(row, c), left, width,
                kWorkTypeAlignments[static_cast<std::size_t>(c)], y);
    left += width;
  }
}

}  // namespace veltrano
