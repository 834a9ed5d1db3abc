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

// The width of a drawn text in the font it was drawn in.
double DrawnWidth(const RecordingCanvas::Text& t) {
  return static_cast<double>(ByteWidth(t.text)) * 10 * t.font.size;
}

TEST_F(FittingsPrinterTest, TextsStayInsideTheirCellsAndNumbersAreNeverCut) {
  // The default seal kind beside its length, a mortar kind far too long
  // for its column, and lengths too long to be read at any size.
  TextGrid list = List(3);
  list.Set(1, 4, "FL5");
  list.Set(1, 6, "3.12");
  list.Set(1, 7, "変成シリコン");
  list.Set(1, 8, "16.4");
  list.Set(1, 9, "変成シリコン");
  list.Set(1, 10, "10x10");
  list.Set(1, 11, "12345678901.25");
  list.Set(1, 12, "モルタル詰め（防水剤入り）外部側");
  list.Set(1, 13, "7.2");
  list.Set(2, 8, "1234567890.5");
  Print(list);
  ASSERT_EQ(canvas.page_count(), 1);
  const RecordingCanvas::Page& page = canvas.pages()[0];

  // The cells' edges are the page's column rules, the border on either
  // side.
  std::vector<double> edges = {800};
  for (const RecordingCanvas::Line& l : page.lines) {
    if (!l.rectangle && l.x1 == l.x2 && l.y2 == kHeight - 500) edges.push_back(l.x1);
  }
  edges.push_back(16080 - 700);
  ASSERT_EQ(edges.size(), 17u);
  // Every text of the header row and the data lines ends before the
  // right edge of the cell it starts in, and starts inside the page.
  int checked = 0;
  for (const RecordingCanvas::Text& t : page.texts) {
    if (t.y < TextY(1)) continue;
    ASSERT_GE(t.x, 800) << t.text;
    std::size_t c = 0;
    while (c + 1 < edges.size() && edges[c + 1] <= t.x) ++c;
    EXPECT_LE(t.x + DrawnWidth(t), edges[c + 1] + 1e-6) << t.text;
    ++checked;
  }
  EXPECT_GT(checked, 16 + 12);

  // Texts that fit stand as always, in the font of the list.
  const auto width = [](std::string_view text) {
    return static_cast<double>(ByteWidth(text)) * 90;
  };
  const RecordingCanvas::Text* length = canvas.Find(0, "16.4");
  ASSERT_NE(length, nullptr);
  EXPECT_EQ(length->x, edges[9] - 50 - width("16.4"));
  EXPECT_EQ(length->font, (PrintFont{"ＭＳ 明朝", 9, true}));
  EXPECT_EQ(canvas.Find(0, "7.2")->x, edges[14] - 50 - width("7.2"));
  EXPECT_EQ(canvas.Find(0, "FL5")->font.size, 9);

  // "変成シリコン" is drawn whole, smaller, centred in its column; not
  // below three quarters of the font.
  std::vector<const RecordingCanvas::Text*> kinds;
  for (const RecordingCanvas::Text& t : page.texts) {
    if (t.text == "変成シリコン") kinds.push_back(&t);
  }
  ASSERT_EQ(kinds.size(), 2u);
  for (const RecordingCanvas::Text* kind : kinds) {
    EXPECT_LT(kind->font.size, 9);
    EXPECT_GE(kind->font.size, 9 * 0.75);
    EXPECT_TRUE(kind->font.bold);
  }
  EXPECT_NEAR(kinds[0]->x - edges[7], edges[8] - kinds[0]->x - DrawnWidth(*kinds[0]), 1e-6);

  // The mortar kind is cut with "…" at three quarters of the font.
  const RecordingCanvas::Text* mortar = nullptr;
  for (const RecordingCanvas::Text& t : page.texts) {
    if (t.text.starts_with("モルタル")) mortar = &t;
  }
  ASSERT_NE(mortar, nullptr);
  EXPECT_TRUE(mortar->text.ends_with("…")) << mortar->text;
  EXPECT_TRUE(std::string("モルタル詰め（防水剤入り）外部側")
                  .starts_with(mortar->text.substr(0, mortar->text.size() - 3)));
  EXPECT_EQ(mortar->font.size, 9 * 0.75);

  // A number is never cut: one that fits at three quarters is drawn so,
  // one that does not shows "###" across its cell, in the cell's font.
  const RecordingCanvas::Text* smaller = canvas.Find(0, "1234567890.5");
  ASSERT_NE(smaller, nullptr);
  EXPECT_GE(smaller->font.size, 9 * 0.75);
  for (const RecordingCanvas::Text& t : page.texts) {
    EXPECT_FALSE(t.text.find("12345678901") != std::string::npos) << t.text;
  }
  const RecordingCanvas::Text* hashes = nullptr;
  for (const RecordingCanvas::Text& t : page.texts) {
    if (t.text.starts_with("#")) hashes = &t;
  }
  ASSERT_NE(hashes, nullptr);
  EXPECT_EQ(hashes->text.find_first_not_of('#'), std::string::npos);
  EXPECT_EQ(hashes->font.size, 9);
  EXPECT_GE(hashes->x, edges[11]);
  // As many as the cell holds from its right inset.
  EXPECT_EQ(hashes->text.size(),
            static_cast<std::size_t>((edges[12] - edges[11] - 50) / 90));
}

TEST_F(FittingsPrinterTest, ColumnUnitRoundsHalfToEven) {
  // (16100 - 1500) / 16 = 912.5, which rounds to 912: W ends at
  // 800 + 1312 + 812.
  Print(List(2), 16100);
  EXPECT_EQ(canvas.Find(0, "1800")->x, 2924 - 50 - 4 * 90);
}

}  // namespace
}  // namespace veltrano::testing
