#include "print/fittings_printer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

namespace veltrano {

namespace {

constexpr std::string_view kTitle = "【建具廻り】<<入力済みデータ一覧>>";

// The body: the group band, the header row and 35 data lines.
constexpr int kBodyRows = 37;
constexpr int kHeaderRow = 1;
constexpr int kFirstDataRow = 2;
constexpr int kLinesPerPage = kBodyRows - kFirstDataRow;
constexpr double kTextDrop = 45;  // a text's top below its row's top

constexpr int kBorderWidth = 10;
constexpr int kHeaderRuleWidth = 5;
constexpr int kRuleWidth = 1;

// A column: its header, its width as the column unit plus `extra`, and the
// alignment of its cells.
struct Column {
  std::string_view header;
  double extra;
  int alignment;
};
constexpr int kColumns = 16;
constexpr std::array<Column, kColumns> kColumnsOfList = {{
    {"符号", 400, kAlignLeft},
    {"Ｗ", -100, kAlignRight},
    {"Ｈ", -100, kAlignRight},
    {"ヶ所", -400, kAlignCentre},
    {"種別", 0, kAlignRight},
    {"規格", -100, kAlignCentre},
    {"m2", 0, kAlignRight},
    {"種別", -100, kAlignCentre},
    {"m", 0, kAlignRight},
    {"種別", -100, kAlignCentre},
    {"サイズ", -100, kAlignCentre},
    {"m", 0, kAlignRight},
    {"種別", 400, kAlignCentre},
    {"m", 0, kAlignRight},
    {"種別", 300, kAlignCentre},
    {"m2", -100, kAlignRight},
}};

// A group title over columns `first` to `last`.
struct Group {
  std::string_view title;
  int first;
  int last;
};
constexpr std::array<Group, 6> kGroups = {{
    {"符号・サイズ", 0, 3},
    {"硝子", 4, 6},
    {"硝子シール", 7, 8},
    {"枠廻りシール", 9, 11},
    {"枠詰め", 12, 13},
    {"塗装・貼物", 14, 15},
}};

// The left edges of the columns and the right edge of the last one.
std::array<double, kColumns + 1> ColumnEdges(double unit) {
  std::array<double, kColumns + 1> edges{};
  edges[0] = kLeftMargin;
  for (std::size_t c = 0; c < kColumns; ++c) {
    edges[c + 1] = edges[c] + unit + kColumnsOfList[c].extra;
  }
  return edges;
}

}  // namespace

void FittingsPrinter::PrintFittings() {
  const int lines = std::max(0, list_.rows() - 1);
  const int pages = lines < kLinesPerPage ? 1 : (lines + kLinesPerPage - 1) / kLinesPerPage;
  frame_.SetPage(1);
  for (int p = 0; p < pages; ++p) {
    PrintPage(p * kLinesPerPage + 1);
    frame_.NextPage();
  }
}

void FittingsPrinter::PrintPage(int first_line) {
  PrinterCanvas& canvas = frame_.canvas();
  const double right = frame_.width() - kRightMargin;
  const double bottom = frame_.height() - kBottomMargin;
  const double row_height = std::nearbyint((bottom - kTopMargin) / kBodyRows);
  const double unit = std::nearbyint((right - kLeftMargin) / kColumns);
  const std::array<double, kColumns + 1> edges = ColumnEdges(unit);
  const auto row_top = [&](int row) { return kTopMargin + row * row_height; };

  canvas.DrawRect(kLeftMargin, kTopMargin, right, bottom, kBorderWidth);
  frame_.PrintPageFrame(kTitle);

  // The rules: a line under each row, the heavier ones under the group
  // band and the header row; the columns below the band, and in the band
  // only between groups.
  for (int k = 1; k < kBodyRows; ++k) {
    canvas.DrawLine(kLeftMargin, row_top(k), right, row_top(k),
                    k <= kFirstDataRow ? kHeaderRuleWidth : kRuleWidth);
  }
  for (std::size_t c = 1; c < kColumns; ++c) {
    canvas.DrawLine(edges[c], row_top(kHeaderRow), edges[c], bottom, kRuleWidth);
  }
  for (std::size_t g = 0; g + 1 < kGroups.size(); ++g) {
    const double x = edges[static_cast<std::size_t>(kGroups[g].last) + 1];
    canvas.DrawLine(x, row_top(0), x, row_top(kHeaderRow), kRuleWidth);
  }

  // Every text stays inside its cell: a kind wider than its column is
  // drawn smaller or cut rather than over the quantity beside it.
  const PrintFont font = BodyFont(true);
  canvas.SetFont(font);
  for (const Group& group : kGroups) {
    const double left = edges[static_cast<std::size_t>(group.first)];
    const double width = edges[static_cast<std::size_t>(group.last) + 1] - left;
    frame_.PrintInCell(group.title, left, width, kAlignCentre, row_top(0) + kTextDrop, font);
  }
  for (std::size_t c = 0; c < kColumns; ++c) {
    frame_.PrintInCell(kColumnsOfList[c].header, edges[c], edges[c + 1] - edges[c],
                       kAlignCentre, row_top(kHeaderRow) + kTextDrop, font);
  }

  for (int i = 0; i < kLinesPerPage; ++i) {
    const int line = first_line + i;
    if (line >= list_.rows()) break;
    const double y = row_top(kFirstDataRow + i) + kTextDrop;
    for (std::size_t c = 0; c < kColumns; ++c) {
      frame_.PrintInCell(list_.At(line, static_cast<int>(c)), edges[c],
                         edges[c + 1] - edges[c], kColumnsOfList[c].alignment, y, font);
    }
  }
}

}  // namespace veltrano
