// Measurements sent into the sheets: typed as formulas, linked to their
// cells, rewritten when a point moves, let go when the cell is retyped,
// and undone like any step.
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

// A point `x_mm`, `y_mm` of paper from the page's top left.
PagePoint Paper(double x_mm, double y_mm) {
  return {x_mm / kMillimetresPerPoint, y_mm / kMillimetresPerPoint};
}

class PlanTakeoffTest : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    NewProjectNamed("山田邸");
    AddRooms({"居間", "和室"});
    PlanTakeoff& p = w->plan_takeoff();
    ASSERT_EQ(p.AddDrawing("1F平面図.pdf", {{2384, 1684, {}}}), 0);
  }
  // Measures a shape on the drawing's page.
  std::optional<int> Measure(MeasureKind kind, std::vector<PagePoint> points) {
    return w->plan_takeoff().AddMeasurement({0, 0, kind, 0, std::move(points), {}});
  }
};

TEST_F(PlanTakeoffTest, AMeasurementGoesIntoTheFormulaCellAsTypedAndStaysLinked) {
  // No scale: nothing is measured.
  EXPECT_FALSE(Measure(MeasureKind::kRect, {Paper(0, 0), Paper(36.4, 27.3)}).has_value());
  EXPECT_EQ(dialogs.Take().back().text, "縮尺が設定されていません。");
  ASSERT_TRUE(w->plan_takeoff().SetScale(0, 0, *PageScale::FromRatioText("1/100")));
  const int rect = *Measure(MeasureKind::kRect, {Paper(0, 0), Paper(36.4, 27.3)});
  const int length = *Measure(MeasureKind::kLength, {Paper(0, 0), Paper(36.4, 0), Paper(36.4, 9.1)});

  w->sheets().ShowRoom(0);
  // Not a formula cell: said, nothing written.
  w->sheets().SetCurrentCell(2, 2);
  EXPECT_FALSE(w->plan_takeoff().SendToSheet(rect));
  EXPECT_EQ(dialogs.Take().back().text, "計算式の欄を選んでから送ってください。");

  w->sheets().SetCurrentCell(2, 3);
  ASSERT_TRUE(w->plan_takeoff().SendToSheet(rect));
  EXPECT_EQ(Cell(2, 3), "3.640*2.730");
  EXPECT_EQ(Cell(2, 5), "9.94");  // calculated as Enter calculates
  EXPECT_EQ(w->history().undo_name(), "拾い表へ");
  ASSERT_TRUE(w->plan_takeoff().SendToSheet(length));  // the row below, as after Enter
  EXPECT_EQ(Cell(3, 3), "3.640+0.910");
  EXPECT_TRUE(w->plan_takeoff().LinkHolds(rect));

  // A moved point rewrites its formula, from another room too.
  w->sheets().ShowRoom(1);
  ASSERT_TRUE(w->plan_takeoff().MovePoint(rect, 1, Paper(36.4, 10)));
  EXPECT_EQ(w->sheets().current_room(kInterior), 0);
  EXPECT_EQ(Cell(2, 3), "3.640*1.000");
  EXPECT_EQ(Cell(2, 5), "3.64");
  ASSERT_TRUE(w->history().Undo());
  EXPECT_EQ(Cell(2, 3), "3.640*2.730");
  EXPECT_TRUE(w->plan_takeoff().LinkHolds(rect));

  // Retyped by hand, the cell is the user's: the link goes, the formula stays.
  TypeAt(3, 3, "4");
  EXPECT_FALSE(w->plan_takeoff().LinkHolds(length));
  ASSERT_TRUE(w->plan_takeoff().MovePoint(length, 2, Paper(36.4, 18.2)));
  EXPECT_EQ(Cell(3, 3), "4");
  EXPECT_FALSE(w->tables().plans()->measurements()[static_cast<std::size_t>(length)].link);
}

TEST_F(PlanTakeoffTest, AnAreaSetsTheParametersOfTheShownRoom) {
  ASSERT_TRUE(w->plan_takeoff().SetScale(0, 0, *PageScale::FromRatioText("1/100")));
  const int area = *Measure(MeasureKind::kArea,
                            {Paper(0, 0), Paper(36.4, 0), Paper(36.4, 27.3), Paper(0, 27.3)});
  const int count = *Measure(MeasureKind::kCount, {Paper(1, 1), Paper(2, 2)});
  w->sheets().ShowRoom(0);
  EXPECT_FALSE(w->plan_takeoff().SendToParameters(count));
  ASSERT_TRUE(w->plan_takeoff().SendToParameters(area));
  EXPECT_EQ(w->sheets().parameter(0), "9.937");
  EXPECT_EQ(w->sheets().parameter(1), "12.740");
  ASSERT_TRUE(w->plan_takeoff().Delete(area));
  EXPECT_EQ(w->tables().plans()->measurements().size(), 1u);
  ASSERT_TRUE(w->history().Undo());
  EXPECT_EQ(w->tables().plans()->measurements().size(), 2u);
}

}  // namespace
}  // namespace veltrano::testing
