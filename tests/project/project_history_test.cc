// The history of changes on its own: steps over tables and the drawings'
// measurements, keystrokes made one step, changes outside a step given to
// the last one, and the bound on what earlier versions may take.
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

// Measurements are part of the project like its tables: every change of
// them is a step, and a page without a scale measures nothing.
TEST_F(ProjectHistoryTest, MeasurementsOnDrawingsUndoLikeEveryChange) {
  auto step = [&](std::string_view name, auto change) {
    HistoryStep s(&history, name);
    change(*tables.plans().Edit());
  };
  step("図面追加", [](PlanSet& p) { p.AddDrawing("1F平面図.pdf", {{2384, 1684, {}}}); });
  const PlanMeasurement rect{0, 0, MeasureKind::kRect, 0, {{0, 0}, {103.18, 77.39}}, {}};
  EXPECT_FALSE(PlanSet(*tables.plans()).AddMeasurement(rect).has_value());  // no scale yet
  step("縮尺", [](PlanSet& p) { p.SetScale(0, 0, *PageScale::FromRatioText("1/100")); });
  step("計測", [&](PlanSet& p) { EXPECT_EQ(p.AddMeasurement(rect), 0); });
  EXPECT_EQ(SentText(MeasureKind::kRect, *tables.plans()->MeasureOf(0)), "3.640*2.730");
  step("拾い表へ", [](PlanSet& p) { p.Link(0, {kInterior, "居間", 3, 0}); });
  step("点の移動", [](PlanSet& p) { p.MovePoint(0, 1, {103.18, 32.17}); });
  EXPECT_EQ(SentText(MeasureKind::kRect, *tables.plans()->MeasureOf(0)), "3.640*1.135");
  EXPECT_EQ(tables.plans()->LinkedTo({kInterior, "居間", 3, 0}), 0);

  ASSERT_TRUE(history.Undo());  // the point back
  EXPECT_EQ(SentText(MeasureKind::kRect, *tables.plans()->MeasureOf(0)), "3.640*2.730");
  ASSERT_TRUE(history.Undo());  // unlinked
  EXPECT_FALSE(tables.plans()->LinkedTo({kInterior, "居間", 3, 0}).has_value());
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(tables.plans()->measurements().empty());
  ASSERT_TRUE(history.Redo());
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(tables.plans()->LinkedTo({kInterior, "居間", 3, 0}), 0);

  // One cell holds one formula: a second measurement sent there takes it.
  step("計測", [&](PlanSet& p) { p.AddMeasurement(rect); });
  step("拾い表へ", [](PlanSet& p) { p.Link(1, {kInterior, "居間", 3, 0}); });
  EXPECT_EQ(tables.plans()->LinkedTo({kInterior, "居間", 3, 0}), 1);
  EXPECT_FALSE(tables.plans()->measurements()[0].link.has_value());
  step("削除", [](PlanSet& p) { p.Remove(0); });
  EXPECT_EQ(tables.plans()->LinkedTo({kInterior, "居間", 3, 0}), 0);
  // A new project has no drawings.
  tables.Reset(true);
  EXPECT_TRUE(tables.plans()->empty());
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
