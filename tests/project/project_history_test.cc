// The history of changes on its own: steps over tables, keystrokes made
// one step, changes outside a step given to the last one, and the bound
// on what earlier versions of tables may take.
#include "project/history.h"

#include <string>

#include "gtest/gtest.h"

namespace veltrano {
namespace {

class ProjectHistoryTest : public ::testing::Test {
 protected:
  void SetText(std::string_view step, const std::string& text, std::string_view key = {}) {
    HistoryStep s(&history, step, key);
    tables.unit_prices().Edit()->Set(0, 0, text);
  }
  std::string Text() const { return tables.unit_prices()->At(0, 0); }

  Project tables;
  ProjectHistory history{tables};
};

TEST_F(ProjectHistoryTest, StepsOfTablesUndoAndRedoInOrder) {
  *tables.unit_prices().Edit() = TextGrid(1, 7);
  SetText("単価", "100");
  SetText("単価", "200");
  // A step that writes what was there is no step.
  SetText("単価", "200");
  EXPECT_EQ(history.undo_name(), "単価");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(Text(), "100");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(history.Undo());
  ASSERT_TRUE(history.Redo());
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(Text(), "200");
  EXPECT_EQ(history.redo_name(), "");
}

TEST_F(ProjectHistoryTest, KeystrokesOfOneKeyAreOneStepAndAChangeOutsideAStepJoinsTheLast) {
  *tables.unit_prices().Edit() = TextGrid(1, 7);
  *tables.work_type_copy().Edit() = TextGrid(1, 10);
  SetText("単価", "1", "cell 1");
  SetText("単価", "12", "cell 1");
  SetText("単価", "123", "cell 1");
  // Brought up to date by a save, outside any step.
  tables.work_type_copy().Edit()->Set(0, 0, "saved");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(tables.work_type_copy()->At(0, 0), "");
  EXPECT_EQ(history.undo_name(), "");
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(Text(), "123");
  EXPECT_EQ(tables.work_type_copy()->At(0, 0), "saved");
}

TEST_F(ProjectHistoryTest, OldestStepsGoWhenKeptVersionsPassTheBound) {
  Project big;
  *big.fittings_store().Edit() = TextGrid(2000, 35);
  for (int r = 0; r < 2000; ++r) big.fittings_store().Edit()->Set(r, 1, std::string(40, 'x'));
  const std::size_t version = big.fittings_store()->MemoryBytes();
  ProjectHistory bounded(big, 3 * version + version / 2);
  for (int i = 1; i <= 6; ++i) {
    HistoryStep step(&bounded, "入力確定");
    big.fittings_store().Edit()->Set(0, 0, std::to_string(i));
  }
  // Three earlier versions fit: three steps can be undone, the last first.
  int undone = 0;
  while (bounded.Undo()) ++undone;
  EXPECT_EQ(undone, 3);
  EXPECT_EQ(big.fittings_store()->At(0, 0), "3");
  while (bounded.Redo()) {
  }
  EXPECT_EQ(big.fittings_store()->At(0, 0), "6");
}

}  // namespace
}  // namespace veltrano
