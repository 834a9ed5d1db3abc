// The work-type table: groups in the order of the work-type list, labels,
// units and prices brought back by key, amounts under the money rounding,
// subtotals and the total summed exactly, negative amounts with their sign.
#include <string>
#include <vector>

#include "aggregate/work_type_table.h"
#include "calc/text_file.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

TEST(AmountTextTest, GroupsThousandsKeepsTheSignAndHidesZero) {
  EXPECT_EQ(AmountText(12500), "12,500");
  EXPECT_EQ(AmountText(-1480), "-1,480");
  EXPECT_EQ(AmountText(123456789), "123,456,789");
  EXPECT_EQ(AmountText(999), "999");
  EXPECT_EQ(AmountText(0), "");
}

class WorkTypeTableTest : public WorkspaceTest {
 protected:
  // Interior floor item A (塗装, 12.50) and exterior wall item B (土工,
  // 3.00), with a remembered price for A.
  void SetUp() override {
    WorkspaceTest::SetUp();
    OpenProjectOfLines(
        "工種",
        {"SyNC,0,3,5,", "SyND,0,【内部集計表】,ヶ所, 1     ,", "SyND,0,工種,,塗装,",
         "SyND,0,床項目,,A,", "SyND,0,部屋名＼合計,1,12.50,", "SyND,0,居間,1,12.50,",
         "SyGC,2,3,5,", "SyGD,2,【外部集計表】,ヶ所, 1     ,", "SyGD,2,工種,,土工,",
         "SyGD,2,壁項目,,B,", "SyGD,2,場所名＼合計,1,3.00,", "SyGD,2,北面,1,3.00,",
         "Tank'塗装工事'A'内部'床'm2'1,000'下塗共'"});
  }
  std::vector<std::string> Row(int r) {
    const TextGrid& t = w->work_type_table().table();
    std::vector<std::string> cells;
    for (int c = 0; c < t.cols(); ++c) cells.push_back(t.At(r, c));
    return cells;
  }
  void SetPrice(int row, const std::string& price) {
    w->work_type_table().ClickCell(row, 6, "", MoneyRounding::kDown);
    w->work_type_table().EditorTextChanged(price);
  }
};

TEST_F(WorkTypeTableTest, GroupsByTheListWithPricesAmountsAndTotals) {
  WorkTypeTable& table = w->work_type_table();
  dialogs.answers = {Answer::kOk};
  table.StartAggregation({"塗装", "土工"}, MoneyRounding::kDown);
  ASSERT_EQ(table.table().rows(), 6);
  EXPECT_EQ(Row(1), (std::vector<std::string>{"塗装工事", "A", "内部", "床", "12.50", "m2",
                                              "1,000", "12,500", "下塗共"}));
  EXPECT_EQ(Row(2), (std::vector<std::string>{"", "", "", "", "", "小計", "", "(12,500)", ""}));
  EXPECT_EQ(Row(3), (std::vector<std::string>{"土工事", "B", "外部", "壁", "3.00", "", "", "", ""}));
  EXPECT_EQ(Row(5)[5], "合計");
  EXPECT_EQ(Row(5)[7], "(12,500)");
  EXPECT_EQ(Row(4)[5], "");  // a group without amounts has no subtotal

  // 3.00 × 2.5 = 7.5: up 8, half up 8, down 7; a comma in the price is read
  // past.
  for (const auto& [rounding, amount] :
       std::vector<std::pair<MoneyRounding, std::string>>{
           {MoneyRounding::kUp, "8"}, {MoneyRounding::kHalfUp, "8"}, {MoneyRounding::kDown, "7"}}) {
    SetPrice(3, "2.5");
    table.ComputeAmounts(rounding);
    table.ComputeSubtotals();
    EXPECT_EQ(Row(3)[7], amount);
  }
  SetPrice(3, "1,000");
  table.ComputeAmounts(MoneyRounding::kUp);
  table.ComputeSubtotals();
  EXPECT_EQ(Row(3)[6], "1,000");
  EXPECT_EQ(Row(5), (std::vector<std::string>{"", "", "", "", "", "合計", "", "(15,500)", ""}));

  // A negative price: the amount, subtotal and total keep their sign.
  SetPrice(3, "-5000");
  table.ComputeAmounts(MoneyRounding::kHalfUp);
  table.ComputeSubtotals();
  EXPECT_EQ(Row(3)[7], "-15,000");
  EXPECT_EQ(Row(4)[7], "(-15,000)");
  EXPECT_EQ(Row(5)[7], "(-2,500)");

  // Totals are exact: 123,456,789 stays 123,456,789.
  SetPrice(3, "");
  SetPrice(1, "9876543.12");
  table.ComputeAmounts(MoneyRounding::kDown);
  table.ComputeSubtotals();
  EXPECT_EQ(Row(1)[7], "123,456,789");
  EXPECT_EQ(Row(5)[7], "(123,456,789)");
}

TEST_F(WorkTypeTableTest, TheCellEditorWritesPricesUnitsAndRemarksRowByRow) {
  using Key = WorkTypeTable::EditorKey;
  WorkTypeTable& table = w->work_type_table();
  dialogs.answers = {Answer::kOk};
  table.StartAggregation({"塗装", "土工"}, MoneyRounding::kUp);

  // A unit chosen in the list goes into a clicked unit cell and is saved
  // with the prices at once.
  table.ClickCell(3, 5, "m2", MoneyRounding::kUp);
  EXPECT_FALSE(table.editor_shown());
  EXPECT_EQ(Row(3)[5], "m2");
  EXPECT_EQ(w->tables().unit_prices()->At(1, 4), "m2");
  // A click on a row without a quantity does nothing: the separator row
  // keeps its label.
  table.ClickCell(2, 5, "m2", MoneyRounding::kUp);
  EXPECT_EQ(Row(2)[5], "小計");

  // The editor over a price: "&" and "(" are not typed; Enter passes the
  // separator row, whose price cannot be typed, onto the next item row and
  // computes on the way.
  table.ClickCell(1, 6, "", MoneyRounding::kUp);
  ASSERT_TRUE(table.editor_shown());
  EXPECT_EQ(table.editor_text(), "1,000");
  table.EditorTextChanged("2&(000");
  EXPECT_EQ(table.editor_text(), "2000");
  EXPECT_EQ(Row(1)[6], "2000");
  table.PressEditorKey(Key::kEnter, "", MoneyRounding::kUp);
  EXPECT_EQ(table.current_row(), 3);
  EXPECT_EQ(Row(1)[6], "2,000");
  EXPECT_EQ(Row(1)[7], "25,000");
  EXPECT_EQ(Row(2)[7], "(25,000)");
  EXPECT_TRUE(table.editor_shown());

  // Up passes the separator row back to the first row, and no further.
  table.ClickCell(3, 6, "", MoneyRounding::kUp);
  table.EditorTextChanged("100");
  table.PressEditorKey(Key::kUp, "", MoneyRounding::kUp);
  EXPECT_EQ(table.current_row(), 1);
  EXPECT_EQ(Row(5)[7], "(25,300)");
  table.ClickCell(1, 6, "", MoneyRounding::kUp);
  table.PressEditorKey(Key::kUp, "", MoneyRounding::kUp);
  EXPECT_EQ(table.current_row(), 1);

  // Delete blanks the price; the amount and the subtotal go with it.
  table.PressEditorKey(Key::kDelete, "", MoneyRounding::kUp);
  EXPECT_EQ(Row(1)[6], "");
  EXPECT_EQ(Row(1)[7], "");
  EXPECT_EQ(Row(2)[5], "");
  EXPECT_EQ(Row(5)[7], "(300)");

  // Remarks can be typed on every row, the total row included.
  table.ClickCell(3, 8, "", MoneyRounding::kUp);
  table.PressEditorKey(Key::kDown, "", MoneyRounding::kUp);
  table.PressEditorKey(Key::kDown, "", MoneyRounding::kUp);
  EXPECT_EQ(table.current_row(), 5);
  EXPECT_TRUE(table.editor_shown());
  table.EditorTextChanged("税別");
  EXPECT_EQ(Row(5)[8], "税別");

  // The Delete key of the table blanks a unit, never a "小計".
  table.ClickCell(3, 5, "", MoneyRounding::kUp);
  table.DeleteKey();
  EXPECT_EQ(Row(3)[5], "");
  table.ClickCell(4, 5, "", MoneyRounding::kUp);
  ASSERT_EQ(Row(4)[5], "小計");
  table.DeleteKey();
  EXPECT_EQ(Row(4)[5], "小計");
}

TEST_F(WorkTypeTableTest, MissingWorkTypesAndEmptyListsLeaveTheHeadingOnly) {
  WorkTypeTable& table = w->work_type_table();
  table.BuildWorkTypeTable({}, MoneyRounding::kDown);
  EXPECT_EQ(table.table().rows(), 1);
  EXPECT_TRUE(dialogs.Take().empty());

  // An item without a work type: the message names its side and part.
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(
      DataFile("欠け.xdt"),
      {"SyGC,2,3,5,", "SyGD,2,【外部集計表】,ヶ所, 1     ,", "SyGD,2,工種,,,",
       "SyGD,2,壁項目,,B,", "SyGD,2,場所名＼合計,1,3.00,", "SyGD,2,北面,1,3.00,"},
      &error)) << error;
  dialogs.answers = {Answer::kNo};
  files.answers.push_back(DataFile("欠け.xdt"));
  w->CommandOpen();
  dialogs.Take();
  table.BuildWorkTypeTable({"塗装"}, MoneyRounding::kDown);
  EXPECT_EQ(dialogs.Take().back(),
            (ShownDialog{"確認", "工種が定義されていない項目がありますので集計できません。外部:壁"}));
  EXPECT_EQ(table.table().rows(), 1);
}

}  // namespace
}  // namespace veltrano::testing
