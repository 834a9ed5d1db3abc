#include <filesystem>
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "calc/text_util.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& p) {
  std::vector<std::string> lines;
  std::string error;
  EXPECT_TRUE(ReadTextLines(p, &lines, &error)) << error;
  return lines;
}

class LifecycleTest : public WorkspaceTest {};

TEST_F(LifecycleTest, NewWritesTheNewLineAndRefusesAnExistingName) {
  EXPECT_TRUE(w->CommandNew());  // no project: no question
  EXPECT_TRUE(dialogs.shown.empty());
  files.answers.push_back(DataFile("Genba"));  // extension added
  w->session().NewProject();
  EXPECT_EQ(w->session().project_name(), "Genba");
  EXPECT_EQ(Lines(DataFile("Genba.xdt")), (std::vector<std::string>{"New"}));
  ASSERT_EQ(files.requests.size(), 1u);
  EXPECT_EQ(files.requests[0].title, "新規物件作成");
  EXPECT_EQ(files.requests[0].filter, "*.xdt");
  EXPECT_EQ(files.requests[0].folder, base / "Data");

  dialogs.answers = {Answer::kNo};
  ASSERT_TRUE(w->CommandNew());
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"新規作成・名前を変えて登録",
                                 "現在編集中のデータを保存しますか？", true}}));
  files.answers.push_back(DataFile("GENBA.XDT"));
  w->session().NewProject();
  EXPECT_EQ(w->session().project_name(), "Genba");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"新規物件作成",
                 "GENBA.XDT\n同じ名前の物件があります。\n名前を変更してください。"}}));
  EXPECT_FALSE(fs::exists(DataFile("GENBA.XDT")));
  // Cancel in the file dialog changes nothing.
  w->session().NewProject();
  EXPECT_EQ(w->session().project_name(), "Genba");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LifecycleTest, SavedProjectOpensWithEveryRoomAndNoRoomShown) {
  NewProjectNamed("邸宅");
  AddRooms({"居間", "和室"});
  w->sheets().SetParameter(0, "3.64");
  TypeAt(1, 3, "A*2.73");
  w->SwitchMode(kModeExterior);
  AddRooms({"外壁"});
  TypeAt(2, 15, "12.5");
  dialogs.Take();
  w->CommandSave();
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"確認", "上書きしました。"}}));
  const std::vector<std::string> saved = Lines(DataFile("邸宅.xdt"));
  ASSERT_GE(saved.size(), 150u);
  EXPECT_EQ(FieldOf(saved[50], 1), "和室");
  EXPECT_EQ(FieldOf(saved[50], 4), "A*2.73");
  EXPECT_EQ(FieldOf(saved[50], 6), "9.94");
  EXPECT_EQ(saved[100].substr(0, 11), "Gaib,外壁");

  NewProjectNamed("別件");
  EXPECT_TRUE(w->rooms().room_names(0).empty());
  dialogs.answers = {Answer::kNo};
  files.answers.push_back(DataFile("邸宅.xdt"));
  w->CommandOpen();
  EXPECT_EQ(w->session().project_name(), "邸宅");
  EXPECT_EQ(w->rooms().room_names(0), (std::vector<std::string>{"居間", "和室"}));
  EXPECT_EQ(w->rooms().room_names(1), (std::vector<std::string>{"外壁"}));
  EXPECT_EQ(w->sheets().room_label(0), "");
  EXPECT_EQ(w->sheets().room_label(1), "");
  EXPECT_EQ(w->sheets().parameter(0), "");
  w->ClickRoomList(0);
  EXPECT_EQ(Cell(2, 15), "12.5");
  EXPECT_EQ(Cell(2, 17), "12.50");
  w->SwitchMode(kModeInterior);
  w->ClickRoomList(1);
  EXPECT_EQ(Cell(1, 5), "9.94");
  EXPECT_EQ(w->sheets().parameter(0), "3.64");
  // Opening and saving again changes no byte.
  w->SaveUnitPrices();
  ASSERT_TRUE(w->session().WriteProjectTo(DataFile("again.xdt")));
  EXPECT_EQ(Lines(DataFile("again.xdt")), saved);
}

TEST_F(LifecycleTest, SaveAsMovesTheProjectAndAFailedSaveKeepsTheOldFile) {
  NewProjectNamed("A");
  AddRooms({"室1"});
  files.answers.push_back(DataFile("B.xdt"));
  w->session().SaveProjectAs();
  EXPECT_EQ(files.requests.back().title, "名前を変えて保存");
  EXPECT_EQ(w->session().project_name(), "B");
  EXPECT_EQ(dialogs.Take().back(),
            (ShownDialog{"確認", "名前を変更して保存しました。"}));
  EXPECT_EQ(Lines(DataFile("A.xdt")), (std::vector<std::string>{"New"}));

  files.answers.push_back(base / "no-such-folder" / "C.xdt");
  w->session().SaveProjectAs();
  EXPECT_EQ(w->session().project_name(), "B");
  const auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "エラー");
  EXPECT_EQ(w->session().project_path(), DataFile("B.xdt"));
}

TEST_F(LifecycleTest, CloseRequestAsksAndKeepsTheWindowWhenTheSaveFails) {
  EXPECT_TRUE(w->RequestClose());
  EXPECT_TRUE(dialogs.shown.empty());
  NewProjectNamed("閉じる");
  dialogs.answers = {Answer::kCancel};
  EXPECT_FALSE(w->RequestClose());
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"Veltrano：終了確認", "保存して終了しますか？", true}}));
  dialogs.answers = {Answer::kNo};
  EXPECT_TRUE(w->RequestClose());
  dialogs.answers = {Answer::kYes};
  EXPECT_TRUE(w->RequestClose());
  EXPECT_EQ(dialogs.Take().back(), (ShownDialog{"確認", "上書きしました。"}));

  // The file's folder disappears: the save fails and the user decides.
  fs::remove_all(base / "Data");
  dialogs.answers = {Answer::kYes, Answer::kNo};
  EXPECT_FALSE(w->RequestClose());
  dialogs.answers = {Answer::kYes, Answer::kYes};
  EXPECT_TRUE(w->RequestClose());
  EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(LifecycleTest, FailedOpenLeavesNoProjectToSaveOver) {
  NewProjectNamed("現");
  dialogs.answers = {Answer::kNo};
  files.answers.push_back(DataFile("missing.xdt"));
  w->CommandOpen();
  EXPECT_FALSE(w->session().project_open());
  const auto shown = dialogs.Take();
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown[1].title, "チェック");
  EXPECT_EQ(shown[2].title, "iチェック");
  w->CommandSave();
  EXPECT_FALSE(fs::exists(DataFile("missing.xdt")));
}

TEST_F(LifecycleTest, BackupGoesToTheHomeInfoFolder) {
  NewProjectNamed("邸");
  AddRooms({"居間"});
  TypeAt(1, 2, "未保存");
  ASSERT_TRUE(w->BackUpProject());
  EXPECT_EQ(dialogs.Take().back(),
            (ShownDialog{"確認", "現在のデータを退避しました。"}));
  const fs::path backup = home / "Veltrano" / "info" / "邸_BackUp.xdt";
  const std::vector<std::string> lines = Lines(backup);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(FieldOf(lines[0], 3), "未保存");
  EXPECT_EQ(w->session().project_path(), DataFile("邸.xdt"));
}

TEST_F(LifecycleTest, NewKeepsTheUnitPricesOfThePreviousProject) {
  OpenProjectOfLines("前", {"Tank''PB張''''1,500''"});
  EXPECT_EQ(w->tables().unit_prices()->At(0, 5), "1,500");
  NewProjectNamed("次");
  EXPECT_EQ(w->tables().unit_prices()->At(0, 5), "1,500");
  w->CommandSave();
  bool found = false;
  for (const std::string& line : Lines(DataFile("次.xdt"))) {
    found = found || line == "Tank''PB張''''1,500''";
  }
  EXPECT_TRUE(found);
}

TEST_F(LifecycleTest, ImportAppendsRoomsRenamingClashes) {
  NewProjectNamed("元");
  AddRooms({"居間", "居間(2)", "和室"});
  w->ClickRoomList(2);
  TypeAt(1, 2, "畳");
  w->CommandSave();
  NewProjectNamed("先");
  AddRooms({"居間", "台所"});
  w->SwitchMode(kModeSettings);
  dialogs.Take();

  files.answers.push_back(DataFile("元.xdt"));
  w->importer().ChooseImportSource();
  EXPECT_EQ(w->importer().state().name_box, "元");
  w->importer().SetSide(kInterior, true);
  w->importer().SetSide(kExterior, false);
  dialogs.answers = {Answer::kCancel};
  w->importer().ImportRooms();
  EXPECT_EQ(w->rooms().room_names(0).size(), 2u);
  dialogs.Take();
  dialogs.answers = {Answer::kOk};
  w->importer().ImportRooms();
  EXPECT_EQ(w->rooms().room_names(0),
            (std::vector<std::string>{"居間", "台所", "居間(2)", "居間(2)(2)", "和室"}));
  const auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[1].text, "居間と同じ名前の部屋がありますので\n居間(2)で取り込みます。");
  EXPECT_EQ(shown[2].text,
            "居間(2)と同じ名前の部屋がありますので\n居間(2)(2)で取り込みます。");
  EXPECT_EQ(shown[3], (ShownDialog{"データ取り込み", "終了しました。"}));
  EXPECT_EQ(w->tables().rooms().room(0, 4).Cell(1, 2), "畳");

  // The open project itself is refused as a source.
  files.answers.push_back(DataFile("先.xdt"));
  w->importer().ChooseImportSource();
  EXPECT_EQ(w->importer().state().name_box, "");
  EXPECT_EQ(dialogs.Take().back().text, "現在編集中のデータは選択できません。");
}

TEST_F(LifecycleTest, ImportClashWithATakenSecondFormGetsTheNextNumber) {
  NewProjectNamed("元");
  AddRooms({"室"});
  w->CommandSave();
  NewProjectNamed("先");
  AddRooms({"室", "室(2)"});
  files.answers.push_back(DataFile("元.xdt"));
  w->importer().ChooseImportSource();
  w->importer().SetSide(kInterior, true);
  w->importer().SetSide(kExterior, true);
  dialogs.answers = {Answer::kOk};
  w->importer().ImportRooms();
  EXPECT_EQ(w->rooms().room_names(0), (std::vector<std::string>{"室", "室(2)", "室(3)"}));
}

TEST_F(LifecycleTest, ImportThatWouldOverfillASideIsRefused) {
  NewProjectNamed("元");
  w->SwitchMode(kModeExterior);
  AddRooms({"X", "Y"});
  w->CommandSave();
  NewProjectNamed("先");
  w->SwitchMode(kModeExterior);
  std::vector<std::string> names;
  for (int i = 0; i < 99; ++i) names.push_back("P" + std::to_string(i));
  AddRooms(names);
  dialogs.Take();
  files.answers.push_back(DataFile("元.xdt"));
  w->importer().ChooseImportSource();
  w->importer().SetSide(kInterior, false);
  w->importer().SetSide(kExterior, true);
  w->importer().ImportRooms();
  EXPECT_EQ(w->rooms().room_names(1).size(), 99u);
  const auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_FALSE(shown[0].question);
  EXPECT_NE(shown[0].text.find("100"), std::string::npos);
}

}  // namespace
}  // namespace veltrano::testing
