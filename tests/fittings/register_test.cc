// The fittings register through its panel's commands: codes compared
// without regard to letter case, the full register, position picks, the
// gaps a deletion closes and reading another project's register.
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

class RegisterTest : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    NewProjectNamed("建具");
    w->SwitchMode(kModeFittingsRegister);
  }
  FittingsRegister& reg() { return w->fittings_register(); }
  void Register(const std::string& code, const std::string& width,
                const std::string& height) {
    reg().TypeBox(0, code);
    reg().TypeBox(1, width);
    reg().TypeBox(2, height);
    reg().RegisterFitting();
  }
  std::vector<std::string> Row(int r) {
    const TextGrid& g = reg().grid();
    return {g.At(r, 0), g.At(r, 1), g.At(r, 2)};
  }
};

TEST_F(RegisterTest, ACodeOfOtherLetterCaseAsksAndKeepsTheFirstLetters) {
  Register("AW1", "1650", "1100");
  Register("D1", "800", "2000");
  EXPECT_EQ(reg().Codes(), (std::vector<std::string>{"AW1", "D1"}));
  dialogs.answers = {Answer::kCancel};
  Register("aw1", "1", "1");
  EXPECT_EQ(Row(1), (std::vector<std::string>{"AW1", "1650", "1100"}));
  dialogs.answers = {Answer::kOk};
  Register("aw1", "1700", "1200");
  EXPECT_EQ(Row(1), (std::vector<std::string>{"AW1", "1700", "1200"}));
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"確認", "同じ符号があります。修正しますか?", true},
                {"確認", "同じ符号があります。修正しますか?", true}}));
  // The boxes keep their texts; an empty code registers nothing.
  EXPECT_EQ(reg().box(0), "aw1");
  reg().TypeBox(0, "");
  reg().RegisterFitting();
  EXPECT_EQ(reg().Codes().size(), 2u);
  // Enter moves on: code → W (emptied), W → H (emptied), H registers.
  reg().TypeBox(0, "W2");
  reg().PressEnter(0);
  EXPECT_EQ(reg().box(1), "");
  EXPECT_EQ(reg().focus_box(), 1);
  reg().TypeBox(1, "900");
  reg().PressEnter(1);
  reg().TypeBox(2, "1200");
  reg().PressEnter(2);
  EXPECT_EQ(Row(3), (std::vector<std::string>{"W2", "900", "1200"}));
}

TEST_F(RegisterTest, TextsThatCannotGoIntoARecordAreRefusedAsTyped) {
  for (const char* bad : {"A,1", "it's", "窓😀"}) {
    reg().TypeBox(0, bad);
    EXPECT_EQ(reg().box(0), "") << bad;
  }
  const auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], (ShownDialog{"入力確認", ",（カンマ）は使用できません。"}));
  reg().RegisterFitting();
  EXPECT_TRUE(reg().Codes().empty());
}

TEST_F(RegisterTest, PositionPicksInsertWithoutGapsAndDeletionsCloseThem) {
  for (const char* code : {"A", "B", "C", "D", "E"}) Register(code, "1", "2");
  reg().TypeBox(0, "X");
  reg().StartPositionPick();
  EXPECT_TRUE(reg().position_pick());
  EXPECT_EQ(reg().info(), "位置を指定してください。");
  reg().ClickRow(3);
  EXPECT_FALSE(reg().position_pick());
  EXPECT_EQ(reg().Codes(),
            (std::vector<std::string>{"A", "B", "X", "C", "D", "E"}));
  // A pick far below the last entry takes the first free row.
  reg().TypeBox(0, "Y");
  reg().StartPositionPick();
  reg().ClickRow(40);
  EXPECT_EQ(reg().Codes(),
            (std::vector<std::string>{"A", "B", "X", "C", "D", "E", "Y"}));
  EXPECT_EQ(reg().grid().At(40, 0), "");

  // A click copies the row into the boxes; deleting it closes the gap.
  reg().ClickRow(2);
  EXPECT_EQ(reg().box(0), "B");
  dialogs.answers = {Answer::kOk};
  reg().DeleteSelected();
  EXPECT_EQ(dialogs.Take().back(), (ShownDialog{"確認", "Bを削除します。", true}));
  EXPECT_EQ(reg().Codes(),
            (std::vector<std::string>{"A", "X", "C", "D", "E", "Y"}));
  dialogs.answers = {Answer::kOk};
  reg().DeleteAll();
  EXPECT_TRUE(reg().Codes().empty());
}

TEST_F(RegisterTest, AFullRegisterRefusesEvenAnExistingCode) {
  std::vector<std::string> lines = {"New"};
  for (int i = 1; i <= kMaxFittings; ++i) {
    lines.push_back("Tate,F" + std::to_string(i) + ",800,2000");
  }
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(DataFile("満杯.xdt"), lines, &error)) << error;
  files.answers.push_back(DataFile("満杯.xdt"));
  reg().ReadFromFile();
  ASSERT_EQ(reg().Codes().size(), static_cast<std::size_t>(kMaxFittings));
  dialogs.Take();
  Register("F1", "1", "1");
  reg().StartPositionPick();
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "これ以上登録できません。"},
                                {"確認", "これ以上登録できません。"}}));
  EXPECT_FALSE(reg().position_pick());
  EXPECT_EQ(Row(1), (std::vector<std::string>{"F1", "800", "2000"}));
}

TEST_F(RegisterTest, ReadingAnotherProjectStopsAtItsFirstEmptyLine) {
  Register("OLD", "1", "1");
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(
      DataFile("他.xdt"),
      {"Data,室,", "Tate,AW1,1650,1100", "TATE,sd1,800,2000", "Tate,,5,5",
       "", "Tate,LATE,1,1"},
      &error)) << error;
  files.answers.push_back(DataFile("他.xdt"));
  reg().ReadFromFile();
  EXPECT_EQ(files.requests.back().title, "建具リスト読込");
  EXPECT_EQ(reg().Codes(), (std::vector<std::string>{"AW1", "sd1"}));
  EXPECT_EQ(reg().box(0), "");
  // The sheets find the new sizes.
  w->SwitchMode(kModeInterior);
  EXPECT_TRUE(w->fittings_register().Lookup("aw1").has_value());
  EXPECT_FALSE(w->fittings_register().Lookup("OLD").has_value());

  files.answers.push_back(DataFile("無い.xdt"));
  reg().ReadFromFile();
  const auto shown = dialogs.Take();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().title, "チェック");
  EXPECT_EQ(reg().Codes().size(), 2u);
}

}  // namespace
}  // namespace veltrano::testing
