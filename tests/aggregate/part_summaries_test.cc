// Aggregating rooms into the part summary tables: item columns by name
// without regard to letter case, quantities times the count of places, a
// block's subtotal for each marked row, column totals by the digit setting,
// rooms listed twice, and work types brought back from the memory.
#include <map>
#include <string>
#include <vector>

#include "aggregate/part_summaries.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

// The 50 sheet lines of a room: cells by "ROW:COL", the count of places.
std::vector<std::string> RoomLines(const std::string& name, const std::string& places,
                                   const std::map<std::string, std::string>& cells) {
  std::vector<std::string> lines;
  for (int r = 1; r <= 50; ++r) {
    std::string line = "Data," + std::string(r == 1 ? name : "@") + ",";
    for (int c = 1; c <= 27; ++c) {
      const auto it = cells.find(std::to_string(r) + ":" + std::to_string(c));
      if (it != cells.end()) line += it->second;
      line += ",";
    }
    line += (r == 1 ? places : r == 5 ? "0" : r > 5 ? "dm" : "") + std::string(",");
    lines.push_back(line);
  }
  return lines;
}

class PartSummariesTest : public WorkspaceTest {
 protected:
  void Open(const std::vector<std::vector<std::string>>& rooms) {
    std::vector<std::string> lines;
    for (const auto& room : rooms) lines.insert(lines.end(), room.begin(), room.end());
    OpenProjectOfLines("集計", lines);
    w->SwitchMode(kModeAggregation);
    summaries = &w->part_summaries();
  }
  std::vector<std::string> Row(int part, int row) {
    const TextGrid& t = summaries->table(kInterior, part);
    std::vector<std::string> cells;
    for (int c = 0; c < t.cols(); ++c) cells.push_back(t.At(row, c));
    return cells;
  }
  PartSummaries* summaries = nullptr;
};

TEST_F(PartSummariesTest, ItemsByNameTimesPlacesWithTotals) {
  Open({RoomLines("居間", "1",
                  {{"1:1", "○"}, {"1:2", "PB張"}, {"2:3", "小計"}, {"2:5", "10.5"},
                   // No mark: the block adds nothing.
                   {"3:2", "合板"}, {"4:3", "小計"}, {"4:5", "7"},
                   // Two marks: the subtotal goes to both.
                   {"5:1", "○"}, {"5:2", "塩ビシート"}, {"6:1", "○"}, {"6:2", "巾木材"},
                   {"7:3", "小計"}, {"7:5", "1.25"},
                   // A mark without an item name goes nowhere.
                   {"8:1", "○"}, {"9:3", "小計"}, {"9:5", "99"}}),
        RoomLines("和室", "3",
                  {{"1:1", "○"}, {"1:2", "pb張"}, {"2:3", "小計"}, {"2:5", "2"},
                   // Rows below the last subtotal are not counted.
                   {"3:1", "○"}, {"3:2", "畳"}}),
        RoomLines("納戸", "0", {})});
  summaries->AggregateSide(kInterior, {"居間", "和室", "納戸"});
  EXPECT_EQ(dialogs.Take().back(), (ShownDialog{"内部集計", "終了しました。"}));
  EXPECT_EQ(Row(0, 2), (std::vector<std::string>{"床項目", "", "pb張", "塩ビシート", "巾木材"}));
  EXPECT_EQ(Row(0, 0)[2], " 1     ");
  EXPECT_EQ(Row(0, 4), (std::vector<std::string>{"居間", "1", "10.50", "1.25", "1.25"}));
  EXPECT_EQ(Row(0, 5), (std::vector<std::string>{"和室", "3", "6.00", "", ""}));
  EXPECT_EQ(Row(0, 6), (std::vector<std::string>{"納戸", "1", "", "", ""}));
  EXPECT_EQ(Row(0, 3), (std::vector<std::string>{"部屋名＼合計", "5", "16.50", "1.25", "1.25"}));
  // A part without subtotals keeps columns 0 and 1 with the counts.
  EXPECT_EQ(Row(2, 4), (std::vector<std::string>{"居間", "1"}));
  EXPECT_EQ(Row(2, 3), (std::vector<std::string>{"部屋名＼合計", "5"}));
}

TEST_F(PartSummariesTest, ARoomListedTwiceAddsTwiceIntoItsLowerRow) {
  Open({RoomLines("居間", "2",
                  {{"1:1", "○"}, {"1:2", "PB張"}, {"2:3", "小計"}, {"2:5", "1.5"}})});
  summaries->SetDigits(DigitSetting(2));
  summaries->AggregateSide(kInterior, {"居間", "居間"});
  EXPECT_EQ(Row(0, 4), (std::vector<std::string>{"居間", "2", ""}));
  EXPECT_EQ(Row(0, 5), (std::vector<std::string>{"居間", "2", "6.0000"}));
  // Digit setting 2: the column total cut off at two decimals.
  EXPECT_EQ(Row(0, 3), (std::vector<std::string>{"部屋名＼合計", "4", "6.00"}));
}

TEST_F(PartSummariesTest, NamesDifferingInCaseKeepTheirOwnRows) {
  Open({RoomLines("LDK", "2",
                  {{"1:1", "○"}, {"1:2", "PB張"}, {"2:3", "小計"}, {"2:5", "1.5"}}),
        RoomLines("ldk", "1",
                  {{"1:1", "○"}, {"1:2", "PB張"}, {"2:3", "小計"}, {"2:5", "0.1235"}})});
  // Digit setting 1: cells at three decimals, the total at two.
  summaries->SetDigits(DigitSetting(1));
  summaries->AggregateSide(kInterior, {"LDK", "ldk"});
  EXPECT_EQ(Row(0, 4), (std::vector<std::string>{"LDK", "2", "3.000"}));
  EXPECT_EQ(Row(0, 5), (std::vector<std::string>{"ldk", "1", "0.124"}));
  EXPECT_EQ(Row(0, 3), (std::vector<std::string>{"部屋名＼合計", "3", "3.12"}));
}

TEST_F(PartSummariesTest, WorkTypesComeBackAfterReaggregationInAnotherOrder) {
  Open({RoomLines("A", "1", {{"1:1", "○"}, {"1:2", "床1"}, {"2:3", "小計"}, {"2:5", "1"}}),
        RoomLines("B", "1", {{"1:1", "○"}, {"1:2", "床2"}, {"2:3", "小計"}, {"2:5", "1"}})});
  summaries->AggregateSide(kInterior, {"A", "B"});
  ASSERT_EQ(Row(0, 2), (std::vector<std::string>{"床項目", "", "床1", "床2"}));
  summaries->AssignWorkType(kInterior, 0, 4, 3, "内装");
  summaries->AggregateSide(kInterior, {"B", "A"});
  EXPECT_EQ(Row(0, 2), (std::vector<std::string>{"床項目", "", "床2", "床1"}));
  EXPECT_EQ(Row(0, 1), (std::vector<std::string>{"工種", "", "内装", ""}));
}

}  // namespace
}  // namespace veltrano::testing
