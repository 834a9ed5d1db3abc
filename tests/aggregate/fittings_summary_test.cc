// The fittings summary: one row per live fitting, item columns grouped by
// category and named exactly, quantities summed, totals, and deleted
// fittings left out.
#include <map>
#include <string>
#include <vector>

#include "aggregate/fittings_summary.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

// The six "Mado" lines of a block: cells by "BLOCKROW:COLUMN" (block rows
// from 1, store columns 2-33), W, H and the count of places.
std::vector<std::string> Block(const std::string& code, const std::string& places,
                               const std::map<std::string, std::string>& cells) {
  std::vector<std::string> lines;
  for (int r = 1; r <= 6; ++r) {
    std::string line = "Mado," + std::string(r == 1 ? code : "@") + ",";
    for (int c = 2; c <= 33; ++c) {
      const auto it = cells.find(std::to_string(r) + ":" + std::to_string(c));
      if (it != cells.end()) line += it->second;
      line += ",";
    }
    line += (r == 1 ? "1800" : r == 2 ? "2000" : r == 3 ? places : "dm") + std::string(",");
    lines.push_back(line);
  }
  return lines;
}


class FittingsSummaryTest : public WorkspaceTest {
 protected:
  std::vector<std::string> Row(int row) {
    const TextGrid& t = w->fittings_summary().table();
    std::vector<std::string> cells;
    for (int c = 0; c < t.cols(); ++c) cells.push_back(t.At(row, c));
    return cells;
  }
};

TEST_F(FittingsSummaryTest, ColumnsByCategoryRowsByFittingDeletedLeftOut) {
  std::vector<std::string> lines = {"Tate,AW1,1800,2000", "Tate,AW2,1800,2000",
                                    "Tate,AW3,1800,2000", "Tate,X9,1,1"};
  for (const auto& block : {
           Block("AW1", "1", {{"1:2", "透明 "}, {"1:8", "5mm"}, {"1:9", "1.5"},
                              {"1:10", "透明"}, {"1:14", "4"},
                              {"1:15", "変成"}, {"1:16", "10×10"}, {"1:21", "7"},
                              // Frame rows 5 and 6 are not read.
                              {"5:15", "変成"}, {"5:16", "10×10"}, {"5:21", "100"}}),
           Block("AW2", "2", {{"1:2", "透明"}, {"1:8", "5mm"}, {"1:9", "2.25"},
                              {"2:2", "透明"}, {"2:8", "6mm"}, {"2:9", "1"},
                              {"1:28", "EP"}, {"1:33", "3"}}),
           Block("AW3", "4", {{"1:22", "モルタル"}, {"1:27", "2"}}),
           Block("X9", "1", {{"1:2", "型"}, {"1:8", "4mm"}, {"1:9", "9"}}),
       }) {
    lines.insert(lines.end(), block.begin(), block.end());
  }
  OpenProjectOfLines("建具集計", lines);
  // X9 deleted in the entered-fitting dialog.
  w->SwitchMode(kModeFittingsTakeoff);
  FittingsTakeoff& takeoff = w->fittings_takeoff();
  int x9 = 1;
  while (takeoff.entered_data_list().At(x9, 0) != "X9") ++x9;
  takeoff.ClickEnteredList(x9, 0);
  dialogs.answers = {Answer::kOk};
  takeoff.EnteredDialogDelete();
  w->SwitchMode(kModeAggregation);
  dialogs.Take();

  w->fittings_summary().AggregateFittings();
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"建具廻り集計", "終了しました。"}}));
  EXPECT_EQ(Row(0), (std::vector<std::string>{"【建具廻り集計表】", "ヶ所", "硝子", "硝子",
                                              "硝子シール", "枠シール", "枠詰", "塗装・貼物"}));
  EXPECT_EQ(Row(2), (std::vector<std::string>{"積算項目", "", "透明:5mm", "透明:6mm",
                                              "透明:G", "変成:10×10", "モルタル", "EP"}));
  EXPECT_EQ(Row(4), (std::vector<std::string>{"AW1", "1", "1.50", "", "4.00", "7.00", "", ""}));
  EXPECT_EQ(Row(5), (std::vector<std::string>{"AW2", "2", "2.25", "1.00", "", "", "", "3.00"}));
  EXPECT_EQ(Row(6), (std::vector<std::string>{"AW3", "4", "", "", "", "", "2.00", ""}));
  EXPECT_EQ(w->fittings_summary().table().rows(), 7);
  EXPECT_EQ(Row(3), (std::vector<std::string>{"符号＼合計", "7", "3.75", "1.00", "4.00",
                                              "7.00", "2.00", "3.00"}));

  // A work type comes back at the next aggregation; Delete only blanks it.
  w->fittings_summary().AssignWorkType(0, 2, "硝子工事");
  w->fittings_summary().ClearWorkType(2);
  EXPECT_EQ(Row(1)[2], "");
  w->fittings_summary().AggregateFittings();
  EXPECT_EQ(Row(1)[2], "硝子工事");
}

}  // namespace
}  // namespace veltrano::testing
