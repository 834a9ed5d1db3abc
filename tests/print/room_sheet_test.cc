// A room's takeoff sheet on paper: the lines of each part column, long
// lines broken, page breaks at 36 and 73 lines, the titles of first and
// later pages, positions in the columns, and the page numbers.
#include "print/room_sheet.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "support/room_lines.h"

namespace veltrano {
namespace {

using ::testing::ElementsAre;

// A room of 50 sheet lines, added after the others: cells by "ROW:COL", the count of places and the
// parameters A, S, L in the last field of lines 1-4.
void PutRoom(Project* tables, const std::string& name,
             const std::vector<std::string>& extras,
             const std::map<std::string, std::string>& cells) {
  std::vector<std::string> lines;
  for (int r = 1; r <= 50; ++r) {
    std::string line = "Data," + std::string(r == 1 ? name : "@") + ",";
    for (int c = 1; c <= 27; ++c) {
      const auto it = cells.find(std::to_string(r) + ":" + std::to_string(c));
      if (it != cells.end()) line += it->second;
      line += ",";
    }
    const std::size_t e = static_cast<std::size_t>(r - 1);
    line += (e < extras.size() ? extras[e] : r <= 5 ? "" : "dm") + std::string(",");
    lines.push_back(line);
  }
  testing::AppendRoomLines(tables, kInterior, lines);
}

// Wall rows 1..n, each a formula and its value, closed by a subtotal.
std::map<std::string, std::string> WallFormulas(int n) {
  std::map<std::string, std::string> cells;
  for (int r = 1; r <= n; ++r) {
    cells[std::to_string(r) + ":15"] = "1";
    cells[std::to_string(r) + ":17"] = "1.00";
  }
  cells[std::to_string(n + 1) + ":15"] = "小計";
  cells[std::to_string(n + 1) + ":17"] = std::to_string(n) + ".00";
  return cells;
}

class RoomSheetTest : public ::testing::Test {
 protected:
  int Print(int index, int first_page = 1) {
    PageFrame frame(canvas, FrameSettings{});
    frame.SetPage(first_page);
    RoomSheetPrinter(frame, tables).PrintRoomSheet(index, kInterior);
    return frame.page();
  }
  Project tables;
  RecordingCanvas canvas;
};

TEST_F(RoomSheetTest, ABlockPrintsItsItemsFormulasSubtotalAndASeparator) {
  PutRoom(&tables, "事務室", {"2", "5.4", "", "2.7"},
          {{"1:12", "○"}, {"1:13", "PB張"}, {"1:15", "A*L"}, {"1:17", "14.58"},
           {"2:13", "開口"}, {"2:14", "D1"}, {"2:15", "0.8*2"}, {"2:16", "▲"},
           {"2:17", "-1.60"}, {"3:15", "小計"}, {"3:17", "12.98"},
           // After the last subtotal nothing is printed.
           {"4:12", "○"}, {"4:13", "下地"}});
  const auto columns = RoomSheetPrinter::BuildLines(tables, 0, kInterior);
  EXPECT_THAT(columns[2], ElementsAre("○PB張", "A*L=14.58", "▲0.8*2=-1.60:D1",
                                      "小計   12.98", "next"));
  EXPECT_TRUE(columns[0].empty());

  EXPECT_EQ(Print(0), 2);
  ASSERT_EQ(canvas.page_count(), 1);
  // Two places and the parameters that are set.
  EXPECT_NE(canvas.Find(0, "部屋名：事務室:ヶ所数： 2 A=5.4 L=2.7"), nullptr);
  EXPECT_NE(canvas.Find(0, " 1"), nullptr);
  // Items from the column's left edge, formulas ending at its right edge.
  const double column = (canvas.PrintableWidth() - 1500) / 5;
  const RecordingCanvas::Text* item = canvas.Find(0, "○PB張");
  ASSERT_NE(item, nullptr);
  EXPECT_DOUBLE_EQ(item->x, 800 + 2 * column + 50);
  const RecordingCanvas::Text* formula = canvas.Find(0, "A*L=14.58");
  ASSERT_NE(formula, nullptr);
  EXPECT_DOUBLE_EQ(formula->x + canvas.TextWidth("A*L=14.58"), 800 + 3 * column - 50);
  EXPECT_GT(formula->y, item->y);
  EXPECT_EQ(canvas.Find(0, "next"), nullptr);
  EXPECT_NE(canvas.Find(0, "壁"), nullptr);
}

TEST_F(RoomSheetTest, LongLinesBreakIntoPiecesOfTwentyNineBytes) {
  const std::string formula(40, '1');
  EXPECT_THAT(RoomSheetPrinter::BreakLine(formula),
              ElementsAre(std::string(29, '1'), std::string(18, ' ') + std::string(11, '1')));
  // Full-width characters count two bytes: 15 of them reach 30 bytes.
  std::string wide;
  for (int i = 0; i < 20; ++i) wide += "壁";
  const std::vector<std::string> pieces = RoomSheetPrinter::BreakLine(wide);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].size(), 15u * 3);
  EXPECT_EQ(pieces[1], std::string(19, ' ') + "壁壁壁壁壁");
  // At most three pieces; the third takes the rest.
  EXPECT_EQ(RoomSheetPrinter::BreakLine(std::string(100, '9')).size(), 3u);
  EXPECT_EQ(RoomSheetPrinter::BreakLine(std::string(29, '9')).size(), 1u);
}

TEST_F(RoomSheetTest, PagesBreakAfterThirtySixAndSeventyThreeLines) {
  EXPECT_EQ(RoomSheetPrinter::PagesFor(36), 1);
  EXPECT_EQ(RoomSheetPrinter::PagesFor(37), 2);
  EXPECT_EQ(RoomSheetPrinter::PagesFor(73), 2);
  EXPECT_EQ(RoomSheetPrinter::PagesFor(74), 3);
  EXPECT_EQ(RoomSheetPrinter::PagesFor(111), 4);

  // 34 formulas, the subtotal: 35 lines and a separator, one page; the
  // room with one place has no count in its title.
  PutRoom(&tables, "廊下", {"1"}, WallFormulas(34));
  // Two blocks of 35 lines and a third line block: 36 + 37 + more.
  std::map<std::string, std::string> long_room = WallFormulas(48);
  PutRoom(&tables, "倉庫", {"0"}, long_room);
  const auto columns = RoomSheetPrinter::BuildLines(tables, 1, kInterior);
  ASSERT_EQ(columns[2].size(), 50u);

  EXPECT_EQ(Print(0, 5), 6);
  EXPECT_NE(canvas.Find(0, "部屋名：廊下"), nullptr);
  EXPECT_NE(canvas.Find(0, " 5"), nullptr);
  EXPECT_EQ(Print(1, 6), 8);
  ASSERT_EQ(canvas.page_count(), 3);
  EXPECT_NE(canvas.Find(1, "部屋名：倉庫"), nullptr);  // a count of 0 is one place
  EXPECT_NE(canvas.Find(2, "部屋名：(倉庫)"), nullptr);
  EXPECT_NE(canvas.Find(2, " 7"), nullptr);
  EXPECT_EQ(canvas.Find(2, "壁"), nullptr);  // no part headings after page 1
  // Line 36, the first of page 2, is the 36th formula.
  const RecordingCanvas::Text* first = canvas.Find(2, "1=1.00");
  ASSERT_NE(first, nullptr);
  EXPECT_DOUBLE_EQ(first->y, 1000 + 45);
  EXPECT_NE(canvas.Find(2, "小計   48.00"), nullptr);
}

TEST_F(RoomSheetTest, AHugeNameOrParameterIsCutInTheTitleOfEveryPage) {
  // Two megabytes of room name: three pages, each title as much of it as
  // the title line holds from the left margin to the page's edge.
  std::string name;
  while (name.size() < (2 << 20)) name += "大広間b";
  // 25 formulas of three lines each and the subtotal: 76 lines.
  std::map<std::string, std::string> long_formulas = WallFormulas(25);
  for (int r = 1; r <= 25; ++r)
    long_formulas[std::to_string(r) + ":15"] = std::string(70, '1');
  PutRoom(&tables, name, {"2", "1.5"}, long_formulas);
  // A short name with a huge parameter.
  PutRoom(&tables, "納戸",
          {"1", "", std::string(1 << 20, '7')}, WallFormulas(2));
  EXPECT_EQ(Print(0), 4);
  EXPECT_EQ(Print(1, 4), 5);
  ASSERT_EQ(canvas.page_count(), 4);

  const double w = canvas.PrintableWidth();
  const auto title = [this](int page) {
    return canvas.pages()[static_cast<std::size_t>(page)].texts.at(0);
  };
  const std::vector<std::pair<int, std::string>> wholes = {
      {0, "部屋名：" + name + ":ヶ所数： 2 A=1.5"},
      {1, "部屋名：(" + name + ") A=1.5"},
      {2, "部屋名：(" + name + ") A=1.5"},
      {3, "部屋名：納戸 S=" + std::string(1 << 20, '7')}};
  for (const auto& [page, whole] : wholes) {
    const RecordingCanvas::Text t = title(page);
    EXPECT_TRUE(whole.starts_with(t.text)) << page;
    EXPECT_EQ(t.x, 800);
    // Within the page, and short of its edge by less than a character.
    const double width =
        10 * t.font.size * static_cast<double>(ByteWidth(t.text));
    EXPECT_LE(800 + width, w) << page;
    EXPECT_GT(800 + width, w - 2 * 10 * t.font.size) << page;
  }
  EXPECT_EQ(title(1).text, title(2).text);
  EXPECT_NE(title(0).text, title(1).text);
}

}  // namespace
}  // namespace veltrano
