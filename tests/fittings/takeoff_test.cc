// The fittings takeoff: sizes from W, H and the offsets, pane-area classes,
// seals and painting joined as texts, places and sliding panes spread over
// the tables, and the store that "入力確定" fills and the entered-fitting
// dialog reopens and deletes.
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "fittings/takeoff.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

TEST(SizeTextTest, MetresWithAZeroBeforeThePointAndAPointInWholeValues) {
  EXPECT_EQ(SizeText(850), "0.85");
  EXPECT_EQ(SizeText(775), "0.775");
  EXPECT_EQ(SizeText(1800), "1.8");
  EXPECT_EQ(SizeText(2000), "2.0");
  EXPECT_EQ(SizeText(1000), "1.0");
  EXPECT_EQ(SizeText(1234567), "1234.567");
  EXPECT_EQ(SizeText(12345678), "12345.68");
  EXPECT_EQ(SizeText(-50), "-0.05");
  EXPECT_EQ(SizeText(0), "0.0");
  EXPECT_EQ(SizeText(850, /*zero_before_point=*/false), ".85");
  EXPECT_EQ(SizeText(2000, false), "2.0");
  // A size of 0 is a whole value: "0.0" whether or not values below 1 get
  // their "0", as does a size that single precision cannot hold.
  EXPECT_EQ(SizeText(0, false), "0.0");
  EXPECT_EQ(SizeText(-0.0, false), "0.0");
  EXPECT_EQ(SizeText(1e-46, false), "0.0");
  EXPECT_EQ(SizeText(1e-46), "0.0");
  EXPECT_EQ(SizeText(-50, false), "-.05");
}

class TakeoffTest : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    NewProjectNamed("窓");
    for (int i = 0; i < 6; ++i) {
      w->settings().TypeText(Settings::Box::kOffset, i, i < 2 ? "0" : "10");
    }
    w->SwitchMode(kModeFittingsRegister);
    Register("AW1", "1800", "2000");
    Register("D2", "850", "2000");
    w->SwitchMode(kModeFittingsTakeoff);
    dialogs.Take();
  }
  void Register(const std::string& code, const std::string& width,
                const std::string& height) {
    FittingsRegister& r = w->fittings_register();
    r.TypeBox(0, code);
    r.TypeBox(1, width);
    r.TypeBox(2, height);
    r.RegisterFitting();
  }
  FittingsTakeoff& t() { return w->fittings_takeoff(); }
  void Pick(int table, int row, int col, const std::string& item) {
    t().OpenCell(table, row, col);
    ASSERT_GE(t().shown_list(), 0);
    t().ApplyCandidate(item);
  }
  void Type(int table, int row, int col, const std::string& text) {
    t().OpenCell(table, row, col);
    ASSERT_TRUE(t().editor_visible());
    t().EditorTextChanged(text);
    t().EditorEnter();
  }
  std::vector<std::string> Cells(int table, int row) {
    const TextGrid& g = t().table(table);
    std::vector<std::string> cells;
    for (int c = 0; c < g.cols(); ++c) cells.push_back(g.At(row, c));
    return cells;
  }
};

TEST_F(TakeoffTest, GlassAndItsSealFollowTheFittingAndTheSlidingPanes) {
  Pick(kGlassTable, 1, 0, "FL5");
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "建具が選択されていません。"}}));
  EXPECT_EQ(t().table(kGlassTable).At(1, 0), "");

  t().ChooseFitting("aw1");
  EXPECT_EQ(t().current_code(), "AW1");
  EXPECT_EQ(t().mode_text(), "新規");
  Pick(kGlassTable, 1, 0, "FL5");
  EXPECT_EQ(Cells(kGlassTable, 1),
            (std::vector<std::string>{"FL5", "1.8", "2.0", "1", "1", "3.60", "<4.45",
                                      "3.60", "", "", "", "", ""}));
  t().SetSliding(true);
  Pick(kGlassTable, 1, 8, "シリコン");
  // 4 × 2.0 + 0.9 × 2 × 2 per place; the seal is not multiplied by the panes.
  EXPECT_EQ(Cells(kGlassTable, 1),
            (std::vector<std::string>{"FL5", "0.9", "2.0", "2", "1", "1.80", "<2.18",
                                      "3.60", "シリコン", "4", "2", "11.60", "11.60"}));
  // Pane-area classes take the boundary into the lower class.
  for (const auto& [gh, cls] : std::vector<std::pair<std::string, std::string>>{
           {"2.18", "<2.18"}, {"4.45", "<4.45"}, {"6.81", "<6.81"}, {"6.82", ">6.81"}}) {
    Type(kGlassTable, 1, 1, "1");
    Type(kGlassTable, 1, 2, gh);
    EXPECT_EQ(t().table(kGlassTable).At(1, 6), cls) << gh;
  }
  // "削除" in the glass list empties the whole row, seal columns too.
  Pick(kGlassTable, 1, 0, "削除");
  EXPECT_EQ(Cells(kGlassTable, 1), std::vector<std::string>(13, ""));
}

TEST_F(TakeoffTest, PaintingSealAndMortarAreJoinedTextsEvaluatedOnce) {
  t().ChooseFitting("AW1");
  Pick(kPaintingTable, 1, 0, "EP");
  EXPECT_EQ(Cells(kPaintingTable, 1),
            (std::vector<std::string>{"EP", "1.8*2.0", "2.9", "1", "10.44", "10.44"}));
  Type(kPaintingTable, 1, 1, "1+2");
  // The coefficient is joined without parentheses: 1 + 2 × 2.9.
  EXPECT_EQ(t().table(kPaintingTable).At(1, 4), "6.80");
  // Offsets of 10 mm: 2.01 × 2 + 1.81 × 2.
  Pick(kFrameSealTable, 1, 0, "変成シリコン");
  EXPECT_EQ(Cells(kFrameSealTable, 1),
            (std::vector<std::string>{"変成シリコン", "", "2", "2", "1", "7.64", "7.64"}));
  Pick(kFrameMortarTable, 1, 0, "モルタル");
  Type(kFrameMortarTable, 1, 1, "3");
  EXPECT_EQ(t().table(kFrameMortarTable).At(1, 4), "9.65");
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(TakeoffTest, PlacesReachEveryTableAndAnotherFittingKeepsTheFrameRows) {
  t().ChooseFitting("AW1");
  Pick(kGlassTable, 1, 0, "FL5");
  Pick(kFrameSealTable, 1, 0, "変成シリコン");
  Type(kFrameSealTable, 1, 2, "3");
  Pick(kFrameMortarTable, 1, 0, "モルタル");
  Pick(kPaintingTable, 1, 0, "EP");
  Type(kPaintingTable, 1, 1, "5");
  t().SetPlaces("3");
  EXPECT_EQ(t().table(kGlassTable).At(1, 4), "3");
  EXPECT_EQ(t().table(kFrameSealTable).At(1, 4), "3");
  EXPECT_EQ(t().table(kFrameMortarTable).At(1, 3), "3");
  EXPECT_EQ(t().table(kPaintingTable).At(1, 3), "3");
  EXPECT_EQ(t().table(kGlassTable).At(2, 4), "");
  EXPECT_EQ(t().table(kGlassTable).At(1, 7), "10.80");

  t().ChooseFitting("d2");
  EXPECT_EQ(t().table(kGlassTable).At(1, 1), "0.85");
  // The painting formula is written anew, without a "0" before the point.
  EXPECT_EQ(t().table(kPaintingTable).At(1, 1), ".85*2.0");
  // Frame rows keep what was typed and follow the new size.
  EXPECT_EQ(t().table(kFrameSealTable).At(1, 2), "3");
  EXPECT_EQ(t().table(kFrameSealTable).At(1, 5), "7.75");
}

TEST_F(TakeoffTest, AZeroWidthOrHeightIsZeroPointZeroInEveryTable) {
  w->SwitchMode(kModeFittingsRegister);
  Register("Z0", "0", "1800");
  Register("Z1", "900", "0");
  // Single precision holds no such small width: it is 0 too.
  Register("Z2", "0." + std::string(50, '0') + "1", "1800");
  // A width of 10 mm with horizontal frame offsets of -10 mm (the width box
  // takes no sign): the seal's and the mortar's width is 0.
  Register("Z3", "10", "1800");
  w->SwitchMode(kModeFittingsTakeoff);

  t().ChooseFitting("Z0");
  Pick(kGlassTable, 1, 0, "FL5");
  Pick(kPaintingTable, 1, 0, "EP");
  EXPECT_EQ(Cells(kGlassTable, 1),
            (std::vector<std::string>{"FL5", "0.0", "1.8", "1", "1", "0.00",
                                      "<2.18", "0.00", "", "", "", "", ""}));
  EXPECT_EQ(
      Cells(kPaintingTable, 1),
      (std::vector<std::string>{"EP", "0.0*1.8", "2.9", "1", "0.00", "0.00"}));
  // Re-derived (sliding panes, then other fittings), the painting formula
  // drops the "0" of a size below 1 but not of a size of 0.
  t().SetSliding(true);
  EXPECT_EQ(t().table(kGlassTable).At(1, 1), "0.0");
  EXPECT_EQ(t().table(kPaintingTable).At(1, 1), "0.0*1.8");
  t().ChooseFitting("Z1");
  EXPECT_EQ(t().table(kGlassTable).At(1, 2), "0.0");
  EXPECT_EQ(t().table(kPaintingTable).At(1, 1), ".9*0.0");
  EXPECT_EQ(t().table(kPaintingTable).At(1, 5), "0.00");
  t().ChooseFitting("Z2");
  EXPECT_EQ(t().table(kGlassTable).At(1, 1), "0.0");
  EXPECT_EQ(t().table(kPaintingTable).At(1, 1), "0.0*1.8");

  w->settings().TypeText(Settings::Box::kOffset, 2, "-10");
  w->settings().TypeText(Settings::Box::kOffset, 4, "-10");
  t().ChooseFitting("Z3");
  Pick(kFrameSealTable, 1, 0, "変成シリコン");
  Pick(kFrameMortarTable, 1, 0, "モルタル");
  // 1.81 × 2 + 0 × 2.
  EXPECT_EQ(t().table(kFrameSealTable).At(1, 5), "3.62");
  EXPECT_EQ(t().table(kFrameMortarTable).At(1, 4), "3.62");
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(TakeoffTest, CommitKeepsOneBlockPerCodeAndTheDialogReopensOrDeletesIt) {
  t().ChooseFitting("AW1");
  Pick(kGlassTable, 1, 0, "FL5");
  Pick(kGlassTable, 2, 0, "FL6");
  Pick(kPaintingTable, 1, 0, "EP");
  t().Commit();
  // Each change puts a new version of the store in place.
  auto store = [this]() -> const TextGrid& { return w->tables().fittings_store(); };
  ASSERT_EQ(store().rows(), 6);
  EXPECT_EQ(store().At(0, 0), "Mado");
  EXPECT_EQ(store().At(0, 1), "AW1");
  EXPECT_EQ(store().At(1, 1), "@");
  EXPECT_EQ(store().At(0, 34), "1800");
  EXPECT_EQ(store().At(2, 34), "1");
  const TextGrid& list = t().entered_data_list();
  EXPECT_EQ(list.At(1, 0), "AW1");
  EXPECT_EQ(list.At(1, 4), "FL5");
  EXPECT_EQ(list.At(2, 0), "");
  EXPECT_EQ(list.At(2, 4), "FL6");

  // A second fitting, then the first again: its block stays in place.
  t().ChooseFitting("AW1");
  EXPECT_EQ(dialogs.Take().size(), 1u);
  t().ChooseFitting("D2");
  t().Commit();
  ASSERT_EQ(store().rows(), 12);
  EXPECT_EQ(store().At(6, 1), "D2");
  t().ClickEnteredList(1, 0);
  ASSERT_TRUE(t().entered_dialog_open());
  t().EnteredDialogModify();
  EXPECT_EQ(t().current_code(), "AW1");
  EXPECT_EQ(t().mode_text(), "修正");
  EXPECT_EQ(t().table(kGlassTable).At(1, 1), "1.8");
  t().Commit();
  ASSERT_EQ(store().rows(), 18);
  EXPECT_EQ(store().At(0, 1), "AW1");
  EXPECT_EQ(store().At(12, 1), "");

  // Deleted: gone from the list and the file, and free to be taken again.
  t().ClickEnteredList(1, 0);
  dialogs.answers = {Answer::kOk};
  t().EnteredDialogDelete();
  EXPECT_EQ(dialogs.Take().back(), (ShownDialog{"確認", "AW1を削除します。", true}));
  EXPECT_EQ(store().At(5, 0), "DelData");
  EXPECT_EQ(t().entered_data_list().At(1, 0), "D2");
  w->CommandSave();
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(DataFile("窓.xdt"), &lines, &error)) << error;
  int mado = 0;
  for (const std::string& line : lines) {
    if (line.rfind("Mado", 0) == 0) ++mado;
    EXPECT_EQ(line.find("Mado,AW1"), std::string::npos);
  }
  EXPECT_EQ(mado, 6);
  t().ToggleCheckList();
  EXPECT_EQ(t().check_list(), (std::vector<std::string>{"×AW1", "○D2"}));
  t().ChooseFitting("AW1");
  t().Commit();
  EXPECT_EQ(store().At(0, 0), "Mado");
  EXPECT_EQ(store().rows(), 24);
}

}  // namespace
}  // namespace veltrano::testing
