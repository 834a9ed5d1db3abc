// The printed summary tables: part tables in blocks of 12 item columns and
// pages of 29 rooms, their headings line by line, the work-type table in
// pages of 35 rows numbered from 1, and the column positions.
#include "print/summary_printer.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "calc/cp932.h"
#include "gtest/gtest.h"
#include "port/printer.h"

namespace veltrano::testing {
namespace {

// The recording canvas's printable area.
constexpr double kWidth = 16080;
constexpr double kHeight = 11340;
// Part tables: 37 line slots; the work-type table: 36.
constexpr int kSheetLines = 37;
constexpr int kListLines = 36;
constexpr double kItemWidth = (kWidth - 800 - 700 - 2850) / 12;

double LineHeight(int lines) { return (kHeight - 1500) / lines; }
double TextY(int line, int lines) { return 1000 + line * LineHeight(lines) + 45; }

std::string Ordinal(int item) { return " " + std::to_string(item) + "     "; }
std::string Room(int room) { return "室" + std::to_string(room); }
std::string Cell(int room, int item) { return std::to_string(room) + "-" + std::to_string(item); }
std::string Total(int item) { return "計" + std::to_string(item); }

// A part table of `items` item columns and `rooms` rooms, every cell
// telling where it stands.
TextGrid PartTable(int items, int rooms, std::string_view names_cell = "部屋名＼合計 ") {
  TextGrid t(4 + rooms, 2 + items);
  t.Set(2, 0, "床項目  ");
  t.Set(3, 0, names_cell);
  t.Set(3, 1, std::to_string(rooms));
  for (int i = 1; i <= items; ++i) {
    t.Set(0, 1 + i, Ordinal(i));
    t.Set(1, 1 + i, "工種" + std::to_string(i));
    t.Set(2, 1 + i, "品目" + std::to_string(i));
    t.Set(3, 1 + i, Total(i));
  }
  for (int r = 1; r <= rooms; ++r) {
    t.Set(3 + r, 0, Room(r));
    t.Set(3 + r, 1, "1");
    for (int i = 1; i <= items; ++i) t.Set(3 + r, 1 + i, Cell(r, i));
  }
  return t;
}

std::array<bool, kSummaryPrintBoxes> Ticked(std::initializer_list<int> boxes) {
  std::array<bool, kSummaryPrintBoxes> ticked{};
  for (int box : boxes) ticked[static_cast<std::size_t>(box)] = true;
  return ticked;
}

// `text` is printed on `page` in line slot `line` of `lines`.
::testing::AssertionResult OnLine(const RecordingCanvas& canvas, int page,
                                  std::string_view text, int line, int lines = kSheetLines) {
  const RecordingCanvas::Text* t = canvas.Find(page, text);
  if (t == nullptr) {
    return ::testing::AssertionFailure() << "\"" << text << "\" not on page " << page;
  }
  if (t->y != TextY(line, lines)) {
    return ::testing::AssertionFailure()
           << "\"" << text << "\" on page " << page << " at y " << t->y << ", line "
           << line << " is at " << TextY(line, lines);
  }
  return ::testing::AssertionSuccess();
}

// The texts of `page` standing in `line` from x `left` up to `right`.
std::vector<const RecordingCanvas::Text*> TextsIn(const RecordingCanvas& canvas, int page,
                                                  double left, double right, int line) {
  std::vector<const RecordingCanvas::Text*> texts;
  for (const RecordingCanvas::Text& t : canvas.pages()[static_cast<std::size_t>(page)].texts) {
    if (t.x >= left && t.x < right && t.y == TextY(line, kSheetLines)) texts.push_back(&t);
  }
  return texts;
}

class SummaryPrinterTest : public ::testing::Test {
 protected:
  void Print(std::initializer_list<int> boxes) {
    SummaryPrinter(frame, tables).PrintSummaries(Ticked(boxes));
  }
  Project tables;
  RecordingCanvas canvas;
  PageFrame frame{canvas, FrameSettings{}};
};

TEST_F(SummaryPrinterTest, PartTableByRowPagesThenBlocksOfTwelveItems) {
  tables.interior_summaries()[0] = PartTable(30, 40);
  Print({0});
  ASSERT_EQ(canvas.page_count(), 6);
  struct PageOf {
    int first_room, last_room, first_item, last_item;
  };
  const std::array<PageOf, 6> expected = {{{1, 29, 1, 12},
                                           {1, 29, 13, 24},
                                           {1, 29, 25, 30},
                                           {30, 40, 1, 12},
                                           {30, 40, 13, 24},
                                           {30, 40, 25, 30}}};
  for (int p = 0; p < 6; ++p) {
    SCOPED_TRACE("page " + std::to_string(p));
    const PageOf& e = expected[static_cast<std::size_t>(p)];
    const bool first_row_page = p < 3;
    EXPECT_NE(canvas.Find(p, " " + std::to_string(p + 1)), nullptr);

    EXPECT_TRUE(OnLine(canvas, p, "【内部集計表】", 0));
    EXPECT_TRUE(OnLine(canvas, p, "ヶ所", 0));
    EXPECT_TRUE(OnLine(canvas, p, "工種", 1));
    EXPECT_TRUE(OnLine(canvas, p, "床項目", 4));
    EXPECT_TRUE(OnLine(canvas, p, first_row_page ? "部屋名＼合計" : "部屋名", 7));
    EXPECT_EQ(canvas.Find(p, first_row_page ? "部屋名" : "部屋名＼合計"), nullptr);
    EXPECT_EQ(canvas.Find(p, "部屋名＼合計 "), nullptr);  // not the padded cell

    // The rooms of the row page, from line 8.
    EXPECT_TRUE(OnLine(canvas, p, Room(e.first_room), 8));
    EXPECT_TRUE(OnLine(canvas, p, Room(e.last_room), 8 + e.last_room - e.first_room));
    EXPECT_EQ(canvas.Find(p, Room(e.first_room - 1)), nullptr);
    EXPECT_EQ(canvas.Find(p, Room(e.last_room + 1)), nullptr);

    // The items of the block, headed on lines 0-2.
    for (int item : {e.first_item, e.last_item}) {
      EXPECT_TRUE(OnLine(canvas, p, Ordinal(item), 0));
      EXPECT_TRUE(OnLine(canvas, p, "工種" + std::to_string(item), 1));
      EXPECT_TRUE(OnLine(canvas, p, "品目" + std::to_string(item), 2));
    }
    EXPECT_EQ(canvas.Find(p, Ordinal(e.first_item - 1)), nullptr);
    EXPECT_EQ(canvas.Find(p, Ordinal(e.last_item + 1)), nullptr);
    EXPECT_TRUE(OnLine(canvas, p, Cell(e.first_room, e.first_item), 8));
    EXPECT_TRUE(OnLine(canvas, p, Cell(e.last_room, e.last_item),
                       8 + e.last_room - e.first_room));
    int cells = 0;
    for (const std::string& text : canvas.TextsOf(p)) {
      if (text.find('-') != std::string::npos) ++cells;
    }
    EXPECT_EQ(cells, (e.last_room - e.first_room + 1) * (e.last_item - e.first_item + 1));

    // The totals head the first row page only.
    if (first_row_page) {
      EXPECT_TRUE(OnLine(canvas, p, Total(e.first_item), 7));
      EXPECT_TRUE(OnLine(canvas, p, Total(e.last_item), 7));
      EXPECT_TRUE(OnLine(canvas, p, "40", 7));
    } else {
      EXPECT_EQ(canvas.Find(p, Total(e.first_item)), nullptr);
      EXPECT_EQ(canvas.Find(p, "40"), nullptr);
    }
  }
}

TEST_F(SummaryPrinterTest, ColumnPositionsAndRules) {
  tables.interior_summaries()[0] = PartTable(30, 2);
  tables.interior_summaries()[0].Edit()->Set(4, 1, "12");
  Print({0});
  ASSERT_EQ(canvas.page_count(), 3);
  const double items_left = 800 + 2350 + 500;
  // Half-width characters are 90 twips wide at 9 points, full-width 180.
  const auto right_aligned = [](double column_right, std::string_view text) {
    return column_right - 50 - static_cast<double>(ByteWidth(text)) * 90;
  };

  // Names from the left margin, places right-aligned in theirs.
  EXPECT_EQ(canvas.Find(0, Room(1))->x, 850);
  EXPECT_EQ(canvas.Find(0, "【内部集計表】")->x, 850);
  EXPECT_EQ(canvas.Find(0, "12")->x, right_aligned(3650, "12"));
  EXPECT_EQ(canvas.Find(0, "2")->x, right_aligned(3650, "2"));  // places total

  // The first and last item column of a full block and of the last block.
  EXPECT_EQ(canvas.Find(0, Cell(1, 1))->x, right_aligned(items_left + kItemWidth, Cell(1, 1)));
  EXPECT_EQ(canvas.Find(0, "品目1")->x, items_left + 50);
  EXPECT_EQ(canvas.Find(0, Cell(2, 12))->x, right_aligned(kWidth - 700, Cell(2, 12)));
  EXPECT_EQ(canvas.Find(0, Total(12))->x, right_aligned(kWidth - 700, Total(12)));
  EXPECT_EQ(canvas.Find(0, "品目12")->x, items_left + 11 * kItemWidth + 50);
  EXPECT_EQ(canvas.Find(2, Cell(1, 25))->x, right_aligned(items_left + kItemWidth, Cell(1, 25)));
  EXPECT_EQ(canvas.Find(2, Cell(1, 30))->x,
            right_aligned(items_left + 6 * kItemWidth, Cell(1, 30)));

  // A box around the body, a rule under the heading and between columns.
  const double bottom = kHeight - 500;
  const double heading_foot = 1000 + 8 * LineHeight(kSheetLines);
  bool box = false;
  bool heading_rule = false;
  std::vector<double> columns;
  for (const RecordingCanvas::Line& l : canvas.pages()[0].lines) {
    if (l.rectangle) {
      box = box || (l.x1 == 800 && l.y1 == 1000 && l.x2 == kWidth - 700 && l.y2 == bottom);
    } else if (l.y1 == l.y2 && l.y1 == heading_foot) {
      heading_rule = l.x1 == 800 && l.x2 == kWidth - 700;
    } else if (l.x1 == l.x2 && l.y1 == 1000 && l.y2 == bottom) {
      columns.push_back(l.x1);
    }
  }
  EXPECT_TRUE(box);
  EXPECT_TRUE(heading_rule);
  std::vector<double> expected_columns = {3150};
  for (int k = 0; k < 12; ++k) expected_columns.push_back(items_left + k * kItemWidth);
  EXPECT_EQ(columns, expected_columns);
}

// The width of a drawn text in the font it was drawn in.
double DrawnWidth(const RecordingCanvas::Text& t) {
  return static_cast<double>(ByteWidth(t.text)) * 10 * t.font.size;
}

// The left edges of the page's columns (its vertical rules and the left
// border) and the right border.
std::vector<double> ColumnEdges(const RecordingCanvas& canvas, int page) {
  std::vector<double> edges = {800};
  for (const RecordingCanvas::Line& l : canvas.pages()[static_cast<std::size_t>(page)].lines) {
    if (!l.rectangle && l.x1 == l.x2) edges.push_back(l.x1);
  }
  edges.push_back(kWidth - 700);
  return edges;
}

// Every text of the page below the frame ends before the right edge of
// the column it starts in.
void ExpectInsideTheirColumns(const RecordingCanvas& canvas, int page) {
  const std::vector<double> edges = ColumnEdges(canvas, page);
  for (const RecordingCanvas::Text& t : canvas.pages()[static_cast<std::size_t>(page)].texts) {
    if (t.y < 1000) continue;
    ASSERT_GE(t.x, 800) << t.text;
    std::size_t c = 0;
    while (c + 1 < edges.size() && edges[c + 1] <= t.x) ++c;
    EXPECT_LE(t.x + DrawnWidth(t), edges[c + 1] + 1e-6) << t.text << " on page " << page;
  }
}

TEST_F(SummaryPrinterTest, AHugeRoomNameIsCutToItsCellOnEveryPage) {
  // Two megabytes of name in the first row, on the pages of three column
  // blocks; the name beside it is printed whole.
  tables.interior_summaries()[0] = PartTable(30, 2);
  std::string name;
  while (name.size() < (2 << 20)) name += "会議室A";
  tables.interior_summaries()[0].Edit()->Set(4, 0, name);
  Print({0});
  ASSERT_EQ(canvas.page_count(), 3);
  const double first_row_y = TextY(8, kSheetLines);
  std::string printed;
  for (int page = 0; page < 3; ++page) {
    std::vector<const RecordingCanvas::Text*> names =
        TextsIn(canvas, page, 800, 3150, 8);
    ASSERT_EQ(names.size(), 1u);
    const RecordingCanvas::Text& t = *names[0];
    EXPECT_EQ(t.y, first_row_y);
    EXPECT_EQ(t.x, 850);
    if (page == 0) printed = t.text;
    EXPECT_EQ(t.text, printed);
    EXPECT_EQ(t.font.size, 9 * 0.75);
    EXPECT_TRUE(OnLine(canvas, page, Room(2), 9));
    ExpectInsideTheirColumns(canvas, page);
  }
  // A beginning of the name, ending between characters and marked with
  // "…", that fills the name column within a character.
  ASSERT_TRUE(printed.ends_with("…"));
  const std::string kept = printed.substr(0, printed.size() - 3);
  ASSERT_TRUE(name.starts_with(kept));
  EXPECT_NE(static_cast<unsigned char>(name[kept.size()]) & 0xC0, 0x80);
  const double right = 850 + 9 * 0.75 * 10 * static_cast<double>(ByteWidth(printed));
  EXPECT_LE(right, 3150);
  EXPECT_GT(right, 3150 - 2 * 9 * 0.75 * 10);
}

TEST_F(SummaryPrinterTest, LongNamesAndNumbersStayInsideTheirCells) {
  // A room name a little too long (drawn smaller), one far too long (cut),
  // a places count and quantities too long to read (shown "###").
  TextGrid t = PartTable(3, 4);
  const std::string longer = "東京都港区南青山三丁目二階ＬＤ";  // 15 full-width
  const std::string longest =
      "東京都港区南青山三丁目マンション３０１号室リビングダイニング";
  t.Set(4, 0, longer);
  t.Set(5, 0, longest);
  t.Set(6, 1, "123456789");
  t.Set(6, 2, "12345678901.25");
  t.Set(6, 3, "(1234567.5)");
  t.Set(3, 2, "98765432109.25");
  tables.interior_summaries()[0] = t;
  Print({0});
  ASSERT_EQ(canvas.page_count(), 1);
  ExpectInsideTheirColumns(canvas, 0);

  // Texts that fit stand as always: the other rooms, their counts, cells.
  EXPECT_EQ(canvas.Find(0, Room(4))->x, 850);
  EXPECT_EQ(canvas.Find(0, Room(4))->font.size, 9);
  EXPECT_TRUE(OnLine(canvas, 0, Cell(4, 3), 11));
  const double items_left = 800 + 2350 + 500;
  EXPECT_EQ(canvas.Find(0, Cell(4, 3))->x,
            items_left + 3 * kItemWidth - 50 - 90.0 * static_cast<double>(ByteWidth(Cell(4, 3))));

  // The longer name whole at a smaller size, the longest cut with "…".
  const RecordingCanvas::Text* smaller = canvas.Find(0, longer);
  ASSERT_NE(smaller, nullptr);
  EXPECT_EQ(smaller->x, 850);
  EXPECT_LT(smaller->font.size, 9);
  EXPECT_GE(smaller->font.size, 9 * 0.75);
  const std::vector<const RecordingCanvas::Text*> second = TextsIn(canvas, 0, 800, 3150, 9);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_TRUE(second[0]->text.ends_with("…"));
  EXPECT_TRUE(longest.starts_with(second[0]->text.substr(0, second[0]->text.size() - 3)));

  // Numbers are never cut: the amount in parentheses fits at a smaller
  // size; the others show "###" in the body font, right-aligned.
  const RecordingCanvas::Text* amount = canvas.Find(0, "(1234567.5)");
  ASSERT_NE(amount, nullptr);
  EXPECT_GE(amount->font.size, 9 * 0.75);
  std::vector<const RecordingCanvas::Text*> hashes;
  for (const RecordingCanvas::Text& text : canvas.pages()[0].texts) {
    EXPECT_EQ(text.text.find("12345678"), std::string::npos) << text.text;
    EXPECT_EQ(text.text.find("98765432"), std::string::npos) << text.text;
    if (text.text.starts_with("#")) hashes.push_back(&text);
  }
  ASSERT_EQ(hashes.size(), 3u);
  for (const RecordingCanvas::Text* h : hashes) {
    EXPECT_EQ(h->text.find_first_not_of('#'), std::string::npos);
    EXPECT_EQ(h->font.size, 9);
  }
  // The total and the quantity in the first item column, the places
  // count in its 500-twip column: as many "#" as the cell holds.
  const std::string in_item(static_cast<std::size_t>((kItemWidth - 50) / 90), '#');
  EXPECT_EQ(hashes[0]->text, in_item);
  EXPECT_EQ(hashes[0]->y, TextY(7, kSheetLines));
  EXPECT_EQ(hashes[1]->text, "#####");  // (500 - 50) / 90
  EXPECT_EQ(hashes[1]->x, 3150 + 500 - 50 - 5 * 90);
  EXPECT_EQ(hashes[1]->y, TextY(10, kSheetLines));
  EXPECT_EQ(hashes[2]->text, in_item);
  EXPECT_EQ(hashes[2]->y, TextY(10, kSheetLines));
}

TEST_F(SummaryPrinterTest, LongWorkTypeOnTwoLinesAndItemNamesBrokenToTheColumn) {
  TextGrid t = PartTable(3, 1);
  const std::string long_name = "ビニルクロス張り（量産品）防火";
  const std::string longest_name =
      "PB t=12.5 ビニルクロス張り（防火）ＳＰ-1234 天井共 目地処理 パテ ３回 下地調整共";
  t.Set(1, 2, "内装仕上工事");
  t.Set(2, 2, long_name);
  t.Set(1, 3, "塗装工事");
  t.Set(2, 3, "ＥＰ塗り");
  t.Set(1, 4, "");
  t.Set(2, 4, longest_name);
  tables.interior_summaries()[0] = t;
  Print({0});
  ASSERT_EQ(canvas.page_count(), 1);

  EXPECT_TRUE(OnLine(canvas, 0, "内装仕上工", 1));
  EXPECT_TRUE(OnLine(canvas, 0, "事", 2));
  EXPECT_TRUE(OnLine(canvas, 0, "塗装工事", 1));
  EXPECT_TRUE(OnLine(canvas, 0, "ＥＰ塗り", 2));

  // Each name runs down from the line below its work type; every line but
  // the last holds as much of the name as fits the column, and line 6
  // takes whatever is left.
  const double items_left = 800 + 2350 + 500;
  struct Column {
    int item;
    const std::string& name;
    int first_line;
  };
  for (const Column& c : {Column{1, long_name, 3}, Column{3, longest_name, 2}}) {
    SCOPED_TRACE(c.name);
    const double left = items_left + (c.item - 1) * kItemWidth;
    const double right = left + kItemWidth;
    EXPECT_TRUE(TextsIn(canvas, 0, left, right, c.first_line - 1).size() ==
                (c.first_line == 3 ? 1u : 0u));
    std::string printed;
    int last_line = 0;
    bool cut = false;
    for (int line = c.first_line; line <= 6; ++line) {
      const auto texts = TextsIn(canvas, 0, left, right, line);
      ASSERT_LE(texts.size(), 1u);
      if (texts.empty()) continue;
      // Line 6 holds what is left, drawn smaller or cut to the column.
      EXPECT_LE(texts[0]->x + DrawnWidth(*texts[0]), right);
      std::string piece = texts[0]->text;
      if (line == 6 && piece.ends_with("…")) {
        piece.resize(piece.size() - 3);
        cut = true;
      }
      const std::string rest = c.name.substr(printed.size());
      ASSERT_EQ(rest.compare(0, piece.size(), piece), 0) << piece;
      printed += piece;
      last_line = line;
      if (printed.size() == c.name.size() || cut) break;
      // The piece fits, and the piece with the next character would not.
      const double end = texts[0]->x + canvas.TextWidth(piece);
      EXPECT_LE(end, right) << piece;
      // The names hold ASCII and three-byte kana and kanji only.
      const std::size_t next_size = static_cast<unsigned char>(rest[piece.size()]) < 0x80 ? 1 : 3;
      EXPECT_GT(end + canvas.TextWidth(rest.substr(piece.size(), next_size)), right) << piece;
    }
    if (c.item == 3) {
      EXPECT_EQ(last_line, 6);
      EXPECT_TRUE(cut);
      EXPECT_TRUE(c.name.starts_with(printed));
    } else {
      EXPECT_EQ(printed, c.name);
    }
  }
}

TEST_F(SummaryPrinterTest, WorkTypeTableOnPagesOfThirtyFiveRowsNumberedFromOne) {
  tables.interior_summaries()[0] = PartTable(2, 2);
  TextGrid& work = *tables.interior_summaries()[kWorkTypeTable].Edit();
  work = TextGrid(71, 9);
  for (int c = 0; c < 9; ++c) work.Set(0, c, "見出" + std::to_string(c));
  for (int r = 1; r <= 70; ++r) {
    work.Set(r, 0, "内装工事");
    work.Set(r, 1, "項目" + std::to_string(r));
    work.Set(r, 4, "12.5");
  }
  work.Set(35, 1, "小計");
  work.Set(70, 1, "合計");
  frame.SetPage(5);
  Print({0, 11});

  ASSERT_EQ(canvas.page_count(), 3);
  EXPECT_NE(canvas.Find(0, " 5"), nullptr);
  EXPECT_NE(canvas.Find(1, " 1"), nullptr);
  EXPECT_NE(canvas.Find(2, " 2"), nullptr);
  for (int p = 1; p <= 2; ++p) {
    SCOPED_TRACE("page " + std::to_string(p));
    for (std::string_view heading :
         {"工種", "項目名", "区分", "部位", "数量", "単位", "単価", "金額", "備考"}) {
      EXPECT_TRUE(OnLine(canvas, p, heading, 0, kListLines)) << heading;
    }
    EXPECT_EQ(canvas.Find(p, "見出0"), nullptr);
    int rows = 0;
    for (const std::string& text : canvas.TextsOf(p)) rows += text == "12.5";
    EXPECT_EQ(rows, 35);
  }
  EXPECT_TRUE(OnLine(canvas, 1, "項目1", 1, kListLines));
  EXPECT_TRUE(OnLine(canvas, 1, "小計", 35, kListLines));
  EXPECT_EQ(canvas.Find(1, "項目36"), nullptr);
  EXPECT_TRUE(OnLine(canvas, 2, "項目36", 1, kListLines));
  EXPECT_TRUE(OnLine(canvas, 2, "合計", 35, kListLines));
}

TEST_F(SummaryPrinterTest, WorkTypeColumnsAndTheHeadingOfAnEmptyTable) {
  TextGrid& work = *tables.interior_summaries()[kWorkTypeTable].Edit();
  work = TextGrid(2, 9);
  const std::array<std::string, 9> cells = {"外装工事", "吹付タイル", "外", "壁",   "123.45",
                                            "m2",       "1,800",      "222,210", "足場別途"};
  for (int c = 0; c < 9; ++c) work.Set(1, c, cells[static_cast<std::size_t>(c)]);
  Print({11});
  ASSERT_EQ(canvas.page_count(), 1);
  const auto width = [](std::string_view text) {
    return static_cast<double>(ByteWidth(text)) * 90;
  };
  // Left edges: 800, 2750, 7250, 7950, 8650, 9650, 10100, 10950, 12350.
  EXPECT_EQ(canvas.Find(0, "外装工事")->x, 850);
  EXPECT_EQ(canvas.Find(0, "吹付タイル")->x, 2800);
  EXPECT_EQ(canvas.Find(0, "外")->x, 7250 + (700 - width("外")) / 2);
  EXPECT_EQ(canvas.Find(0, "壁")->x, 7950 + (700 - width("壁")) / 2);
  EXPECT_EQ(canvas.Find(0, "123.45")->x, 9650 - 50 - width("123.45"));
  EXPECT_EQ(canvas.Find(0, "m2")->x, 9650 + (450 - width("m2")) / 2);
  EXPECT_EQ(canvas.Find(0, "1,800")->x, 10950 - 50 - width("1,800"));
  EXPECT_EQ(canvas.Find(0, "222,210")->x, 12350 - 50 - width("222,210"));
  EXPECT_EQ(canvas.Find(0, "足場別途")->x, 12400);
  EXPECT_EQ(canvas.Find(0, "備考")->x, 12350 + (kWidth - 700 - 12350 - width("備考")) / 2);
  EXPECT_TRUE(OnLine(canvas, 0, "吹付タイル", 1, kListLines));

  // With its heading row alone the table still prints its heading.
  RecordingCanvas other;
  PageFrame other_frame(other, FrameSettings{});
  tables.interior_summaries()[kWorkTypeTable] = TextGrid(1, 9);
  SummaryPrinter(other_frame, tables).PrintSummaries(Ticked({11}));
  EXPECT_EQ(other.page_count(), 1);
  EXPECT_TRUE(OnLine(other, 0, "金額", 0, kListLines));
}

TEST_F(SummaryPrinterTest, TablesInBoxOrderWithTheirSideTitles) {
  tables.interior_summaries()[2] = TextGrid(5, 2);  // no item columns
  tables.interior_summaries()[2].Edit()->Set(4, 0, "和室");
  tables.interior_summaries()[2].Edit()->Set(4, 1, "2");
  tables.exterior_summaries()[2] = PartTable(1, 30, "場所名＼合計");
  TextGrid fittings = PartTable(13, 31, "符号＼合計");
  fittings.Set(0, 2, "硝子");
  fittings.Set(0, 14, "塗装");
  tables.fittings_summary() = fittings;
  Print({10, 7, 2});

  // Interior wall, exterior wall on two row pages, fittings on two row
  // pages of two blocks.
  ASSERT_EQ(canvas.page_count(), 7);
  EXPECT_TRUE(OnLine(canvas, 0, "【内部集計表】", 0));
  EXPECT_TRUE(OnLine(canvas, 0, "壁項目", 4));
  EXPECT_TRUE(OnLine(canvas, 0, "和室", 8));
  EXPECT_TRUE(OnLine(canvas, 0, "2", 8));

  for (int p : {1, 2}) {
    EXPECT_TRUE(OnLine(canvas, p, "【外部集計表】", 0));
    EXPECT_TRUE(OnLine(canvas, p, "壁項目", 4));
  }
  EXPECT_TRUE(OnLine(canvas, 1, "場所名＼合計", 7));
  EXPECT_TRUE(OnLine(canvas, 2, "場所名", 7));
  EXPECT_TRUE(OnLine(canvas, 2, Room(30), 8));

  for (int p : {3, 4, 5, 6}) {
    EXPECT_TRUE(OnLine(canvas, p, "【建具廻り集計表】", 0));
    EXPECT_TRUE(OnLine(canvas, p, "積算項目", 4));
    EXPECT_TRUE(OnLine(canvas, p, p < 5 ? "符号＼合計" : "符号", 7));
  }
  EXPECT_TRUE(OnLine(canvas, 3, "硝子", 0));
  EXPECT_TRUE(OnLine(canvas, 4, "塗装", 0));
  EXPECT_TRUE(OnLine(canvas, 6, Room(30), 8));
  EXPECT_TRUE(OnLine(canvas, 6, Cell(31, 13), 9));
}

}  // namespace
}  // namespace veltrano::testing
