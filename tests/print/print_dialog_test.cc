// The print dialog: what it offers per kind, the start page and page
// numbers across rooms, rooms found by exact name before letter case,
// summaries and fittings numbered from 1, and its messages.
#include "print/print_dialog.h"

#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

// A room's 50 sheet lines with `formulas` wall formulas and their
// subtotal; the first row marks the wall item "クロス" (the only item of
// the room, so aggregation fills the wall table alone).
std::vector<std::string> RoomLines(const std::string& name, int formulas,
                                   const std::string& tag = "Data") {
  std::vector<std::string> lines;
  for (int r = 1; r <= 50; ++r) {
    std::string line = tag + "," + std::string(r == 1 ? name : "@") + ",";
    for (int c = 1; c <= 27; ++c) {
      if (c == 12 && r == 1) line += "○";
      if (c == 13 && r == 1) line += "クロス";
      if (c == 15 && r <= formulas) line += "1";
      if (c == 17 && r <= formulas) line += "1.00";
      if (c == 15 && r == formulas + 1) line += "小計";
      if (c == 17 && r == formulas + 1) line += std::to_string(formulas) + ".00";
      line += ",";
    }
    line += (r == 1 ? "1" : r <= 5 ? "" : "dm") + std::string(",");
    lines.push_back(line);
  }
  return lines;
}

class PrintDialogTest : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    std::vector<std::string> lines;
    // 40 formulas and the subtotal: 41 lines, two pages each.
    for (const char* name : {"A", "B", "b", "C"}) {
      const std::vector<std::string> room = RoomLines(name, std::string(name) == "b" ? 1 : 40);
      lines.insert(lines.end(), room.begin(), room.end());
    }
    for (const char* name : {"東面", "西面"}) {
      const std::vector<std::string> place = RoomLines(name, 2, "Gaib");
      lines.insert(lines.end(), place.begin(), place.end());
    }
    OpenProjectOfLines("印刷", lines);
    dialogs.Take();
  }
  std::vector<std::string> PageNumbers() const {
    std::vector<std::string> numbers;
    for (int p = 0; p < canvas.page_count(); ++p) {
      for (const std::string& text : canvas.TextsOf(p)) {
        if (!text.empty() && text[0] == ' ' && text.size() <= 4) numbers.push_back(text);
      }
    }
    return numbers;
  }
  // Whether a text of the page holds `piece` (a title may carry the
  // project name in front).
  static bool Shows(const RecordingCanvas& c, int page, const std::string& piece) {
    for (const std::string& text : c.TextsOf(page)) {
      if (text.find(piece) != std::string::npos) return true;
    }
    return false;
  }
  RecordingCanvas canvas;
};

TEST_F(PrintDialogTest, StartPageNumbersTheRoomsPagesOnAndNamesMatchExactlyFirst) {
  PrintDialog& d = w->print_dialog();
  d.Open(kPrintInteriorSheets, "印刷");
  EXPECT_EQ(d.title(), "内部拾い印刷");
  EXPECT_EQ(d.left(), (std::vector<std::string>{"A", "B", "b", "C"}));
  EXPECT_EQ(d.start_page(), "1");

  // Nothing chosen: said, and nothing printed.
  EXPECT_FALSE(d.ReadyToPrint());
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "印刷する部屋が選択されていません。"}}));

  // "⇒" in list order; a room listed twice is printed twice.
  d.AddSelected({3, 0});
  d.AddSelected({0});
  EXPECT_EQ(d.right(), (std::vector<std::string>{"A", "C", "A"}));
  d.SetStartPage("5");
  ASSERT_TRUE(d.ReadyToPrint());
  EXPECT_EQ(d.PrintTo(canvas), 6);
  EXPECT_EQ(PageNumbers(),
            (std::vector<std::string>{" 5", " 6", " 7", " 8", " 9", " 10"}));
  EXPECT_TRUE(canvas.ended());
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"印刷", "終了しました"}}));
  EXPECT_EQ(d.caption(), "");

  // "b" is a room of its own: it is printed, not "B".
  RecordingCanvas one;
  d.ClearSelection();
  d.AddSelected({2});
  d.SetStartPage("");
  EXPECT_EQ(d.PrintTo(one), 1);
  EXPECT_TRUE(Shows(one, 0, "部屋名：b"));
  EXPECT_NE(one.Find(0, " 1"), nullptr);
}

TEST_F(PrintDialogTest, SummariesAndFittingsStartAtPageOneAndBoxesNeedContent) {
  PrintDialog& d = w->print_dialog();
  d.Open(kPrintSummaries, "印刷");
  EXPECT_EQ(d.title(), "集計表印刷");
  for (int box = 0; box < kSummaryBoxes; ++box) EXPECT_FALSE(d.box_enabled(box)) << box;
  d.SetTicked(0, true);
  EXPECT_FALSE(d.box_ticked(0));

  // Both sides aggregated: the rooms and places hold a wall item only, so
  // only the wall tables are offered; the four others of each side hold
  // their places total but no item and are not.
  w->part_summaries().AggregateSide(kInterior, {"A", "C"});
  w->part_summaries().AggregateSide(kExterior, {"東面", "西面"});
  dialogs.Take();
  d.Open(kPrintSummaries, "印刷");
  for (int box = 0; box < 10; ++box) {
    EXPECT_EQ(d.box_enabled(box), box == 2 || box == 7) << box;
  }
  d.TickAll();
  for (int box = 0; box < kSummaryBoxes; ++box) {
    EXPECT_EQ(d.box_ticked(box), box == 2 || box == 7) << box;
  }
  d.SetStartPage("9");  // not offered for summaries; it changes nothing
  const int pages = d.PrintTo(canvas);
  EXPECT_EQ(pages, canvas.page_count());
  EXPECT_EQ(pages, 2);  // the two wall tables, no empty ones
  EXPECT_EQ(PageNumbers().front(), " 1");
  EXPECT_NE(canvas.Find(0, "【内部集計表】"), nullptr);
  EXPECT_NE(canvas.Find(0, "壁項目"), nullptr);
  EXPECT_NE(canvas.Find(1, "【外部集計表】"), nullptr);
  EXPECT_NE(canvas.Find(1, "クロス"), nullptr);

  d.Open(kPrintFittings, "印刷");
  EXPECT_EQ(d.title(), "建具廻り拾い印刷");
  EXPECT_TRUE(d.ReadyToPrint());
  RecordingCanvas fittings;
  EXPECT_EQ(d.PrintTo(fittings), 1);
  EXPECT_TRUE(Shows(fittings, 0, "【建具廻り】<<入力済みデータ一覧>>"));
}

// A canvas whose job cannot be finished, as when the PDF cannot be written.
class FailingCanvas : public RecordingCanvas {
 public:
  bool EndJob(std::string* error) override {
    *error = "書けません";
    return false;
  }
};

TEST_F(PrintDialogTest, AFailedJobSaysSoInsteadOfFinished) {
  PrintDialog& d = w->print_dialog();
  d.Open(kPrintExteriorSheets, "印刷");
  EXPECT_EQ(d.title(), "外部拾い印刷");
  EXPECT_EQ(d.left_caption(), "<<場所名一覧>>");
  d.Open(kPrintInteriorSheets, "印刷");
  d.SelectAll();
  FailingCanvas failing;
  EXPECT_EQ(d.PrintTo(failing), -1);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"エラー", "印刷できませんでした。\n書けません"}}));
}

}  // namespace
}  // namespace veltrano::testing
