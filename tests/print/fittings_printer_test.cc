// The printed entered-data list of the fittings takeoff: pages of 35
// lines numbered from 1, the column layout on the rounded column unit, the
// group band and header row, the rules, and the cells in their columns.
#include "print/fittings_printer.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "gtest/gtest.h"
#include "port/printer.h"

namespace veltrano::testing {
namespace {

constexpr double kHeight = 11340;
// (11340 - 1500) / 37 = 265.95, rounded to 266.
constexpr double kRowHeight = 266;

double TextY(int row) { return 1000 + row * kRowHeight + 45; }
std::string Code(int line) { return "AW-" + std::to_string(line); }

// A list of `rows` rows with its header row; each line's code tells its
// line number and its W is 1800.
TextGrid List(int rows) {
  TextGrid list(rows, 16);
  for (int c = 0; c < 16; ++c) list.Set(0, c, "列" + std::to_string(c));
  for (int r = 1; r < rows; ++r) {
    list.Set(r, 0, Code(r));
    list.Set(r, 1, "1800");
  }
  return list;
}

class FittingsPrinterTest : public ::testing::Test {
 protected:
  void Print(const TextGrid& list, double width = 16080) {
    canvas = RecordingCanvas(width, kHeight);
    PageFrame frame(canvas, FrameSettings{});
    frame.SetPage(5);
    FittingsPrinter(frame, list).PrintFittings();
  }
  // The codes printed on `page`, each with the row it stands in.
  std::vector<std::pair<std::string, double>> CodesOn(int page) const {
    std::vector<std::pair<std::string, double>> codes;
    for (const auto& t : canvas.pages()[static_cast<std::size_t>(page)].texts) {
      if (t.text.rfind("AW-", 0) == 0) codes.emplace_back(t.text, t.y);
    }
    return codes;
  }
  RecordingCanvas canvas;
};

TEST_F(FittingsPrinterTest, PagesOfThirtyFiveLinesNumberedFromOne) {
  struct Case {
    int rows;
    std::vector<int> lines_per_page;
  };
  for (const Case& c : {Case{20, {19}}, Case{35, {34}}, Case{36, {35}},
                        Case{71, {35, 35}}, Case{72, {35, 35, 1}}}) {
    SCOPED_TRACE(std::to_string(c.rows) + " rows");
    Print(List(c.rows));
    ASSERT_EQ(canvas.page_count(), static_cast<int>(c.lines_per_page.size()));
    int line = 1;
    for (int p = 0; p < canvas.page_count(); ++p) {
      EXPECT_NE(canvas.Find(p, " " + std::to_string(p + 1)), nullptr) << "page " << p;
      EXPECT_NE(canvas.Find(p, "【建具廻り】<<入力済みデータ一覧>>"), nullptr);
      const auto codes = CodesOn(p);
      ASSERT_EQ(static_cast<int>(codes.size()), c.lines_per_page[static_cast<std::size_t>(p)]);
      for (std::size_t i = 0; i < codes.size(); ++i, ++line) {
        EXPECT_EQ(codes[i].first, Code(line));
        EXPECT_EQ(codes[i].second, TextY(2 + static_cast<int>(i)));
      }
    }
  }
}

TEST_F(FittingsPrinterTest, EmptyTrailingLinesStillMakePages) {
  TextGrid list = List(40);
  list.ClearRange(20, 0, 39, 15);
  Print(list);
  EXPECT_EQ(canvas.page_count(), 2);
  // The second page has its frame and headers but no line printed.
  EXPECT_NE(canvas.Find(1, " 2"), nullptr);
  EXPECT_NE(canvas.Find(1, "枠廻りシール"), nullptr);
  EXPECT_TRUE(CodesOn(1).empty());
  for (const auto& t : canvas.pages()[0].texts) EXPECT_FALSE(t.text.empty());
}

TEST_F(FittingsPrinterTest, ColumnsOnTheRoundedUnitFillTheWidth) {
  // (16300 - 1500) / 16 = 925: the columns fill the width exactly.
  TextGrid list = List(2);
  list.Set(1, 3, "2");
  list.Set(1, 15, "3.25");
  Print(list, 16300);
  const std::vector<double> inner = {2125, 2950, 3775, 4300, 5225, 6050, 6975, 7800,
                                     8725, 9550, 10375, 11300, 12625, 13550, 14775};
  std::vector<double> columns;
  std::vector<double> groups;
  std::vector<std::pair<double, int>> rows;
  bool border = false;
  for (const RecordingCanvas::Line& l : canvas.pages()[0].lines) {
    if (l.rectangle) {
      border = l.x1 == 800 && l.y1 == 1000 && l.x2 == 15600 && l.y2 == kHeight - 500 &&
               l.width == 10;
    } else if (l.x1 == l.x2 && l.y1 == 1000 + kRowHeight && l.y2 == kHeight - 500) {
      columns.push_back(l.x1);
    } else if (l.x1 == l.x2 && l.y1 == 1000 && l.y2 == 1000 + kRowHeight) {
      groups.push_back(l.x1);
    } else if (l.y1 == l.y2 && l.x1 == 800 && l.x2 == 15600) {
      rows.emplace_back(l.y1, l.width);
    }
  }
  EXPECT_TRUE(border);
  EXPECT_EQ(columns, inner);
  EXPECT_EQ(groups, (std::vector<double>{4300, 6975, 8725, 11300, 13550}));
  ASSERT_EQ(rows.size(), 36u);
  for (int k = 1; k <= 36; ++k) {
    EXPECT_EQ(rows[static_cast<std::size_t>(k - 1)],
              (std::pair<double, int>{1000 + k * kRowHeight, k <= 2 ? 5 : 1}));
  }

  // Left 50 twips in, right 50 twips before the column's right edge,
  // centred; the last column ends at the right margin.
  const auto width = [](std::string_view text) {
    return static_cast<double>(ByteWidth(text)) * 90;
  };
  EXPECT_EQ(canvas.Find(0, Code(1))->x, 850);
  EXPECT_EQ(canvas.Find(0, "1800")->x, 2950 - 50 - width("1800"));
  EXPECT_EQ(canvas.Find(0, "2")->x, 3775 + (525 - width("2")) / 2);
  EXPECT_EQ(canvas.Find(0, "3.25")->x, 15600 - 50 - width("3.25"));
  EXPECT_EQ(canvas.Find(0, "3.25")->y, TextY(2));

  // The group titles over their columns, the headers in theirs.
  EXPECT_EQ(canvas.Find(0, "硝子シール")->x, 6975 + (1750 - width("硝子シール")) / 2);
  EXPECT_EQ(canvas.Find(0, "硝子シール")->y, TextY(0));
  EXPECT_EQ(canvas.Find(0, "サイズ")->x, 9550 + (825 - width("サイズ")) / 2);
  EXPECT_EQ(canvas.Find(0, "サイズ")->y, TextY(1));
  EXPECT_EQ(canvas.Find(0, "列0"), nullptr);
}

TEST_F(FittingsPrinterTest, ColumnUnitRoundsHalfToEven) {
  // (16100 - 1500) / 16 = 912.5, which rounds to 912: W ends at
  // 800 + 1312 + 812.
  Print(List(2), 16100);
  EXPECT_EQ(canvas.Find(0, "1800")->x, 2924 - 50 - 4 * 90);
}

}  // namespace
}  // namespace veltrano::testing
