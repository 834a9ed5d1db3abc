// New, open, save and save under another name from the toolbar and the name
// dialog, with the questions answered by the test.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "calc/text_file.h"
#include "main_form_fixture.h"
#include "ui/name_dialog.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

TEST_F(MainFormTest, NewWithoutAProjectOffersOnlyANewProject) {
  Toolbar("New");
  NameDialog* dialog = window->name_dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->isModal());
  EXPECT_EQ(dialog->windowTitle(), Q("新規作成・保存"));
  EXPECT_EQ(FindIn<QPushButton>(dialog, "Command1(0)")->text(), Q("新規物件を作成"));
  EXPECT_FALSE(FindIn<QPushButton>(dialog, "Command1(1)")->isVisible());
  EXPECT_EQ(FindIn<QLabel>(dialog, "Label1")->text(),
            Q("※名前を変えて保存した場合、以降は変更した物件名での作業になります。"));

  // Cancelling the file dialog closes the name dialog and changes nothing.
  Click(FindIn<QPushButton>(dialog, "Command1(0)"));
  Flush();
  EXPECT_EQ(window->name_dialog(), nullptr);
  EXPECT_TRUE(Find<QLabel>("BukkenName")->text().isEmpty());
  ASSERT_EQ(files.requests.size(), 1u);
  EXPECT_EQ(files.requests[0].title, "新規物件作成");
  EXPECT_EQ(files.requests[0].filter, "*.xdt");
  EXPECT_EQ(files.requests[0].default_extension, "xdt");
  EXPECT_EQ(files.requests[0].folder, base / "Data");

  NewProject("三丁目");
  EXPECT_EQ(Find<QLabel>("BukkenName")->text(), Q("三丁目"));
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(DataFile("三丁目.xdt"), &lines, &error)) << error;
  EXPECT_EQ(lines, std::vector<std::string>{"New"});
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(MainFormTest, NewWithAProjectAsksToSaveAndOffersSaveAs) {
  NewProject("一号");
  AddRooms({Q("事務室")});
  Enter(1, 3, "5");

  dialogs.answers = {Answer::kCancel};
  Toolbar("New");
  EXPECT_EQ(window->name_dialog(), nullptr);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"新規作成・名前を変えて登録",
                                 "現在編集中のデータを保存しますか？", true}}));
  EXPECT_EQ(Shown(1, 5), "5.00");

  dialogs.answers = {Answer::kYes};
  Toolbar("New");
  NameDialog* dialog = window->name_dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialogs.Take().size(), 1u);
  auto* save_as = FindIn<QPushButton>(dialog, "Command1(1)");
  EXPECT_TRUE(save_as->isVisible());
  EXPECT_EQ(save_as->text(), Q("現在編集中の物件を名前を変えて保存"));
  // The answer Yes saved the project.
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(DataFile("一号.xdt"), &lines, &error)) << error;
  EXPECT_GT(lines.size(), 50u);

  files.answers.push_back(DataFile("二号"));
  Click(save_as);
  Flush();
  EXPECT_EQ(window->name_dialog(), nullptr);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "名前を変更して保存しました。", false}}));
  EXPECT_EQ(files.requests.back().title, "名前を変えて保存");
  EXPECT_EQ(Find<QLabel>("BukkenName")->text(), Q("二号"));
  EXPECT_TRUE(std::filesystem::exists(DataFile("二号.xdt")));
  // Work goes on in the same room.
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("事務室"));
}

TEST_F(MainFormTest, SaveAndOpenFromTheToolbarAndItsShortcuts) {
  // Without a project "Save" does nothing at all.
  Toolbar("Save");
  EXPECT_TRUE(dialogs.Take().empty());

  NewProject("保存");
  AddRooms({Q("事務室"), Q("会議室")});
  Enter(1, 3, "2*3");
  Shortcut(Qt::Key_S);
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "上書きしました。", false}}));

  NewProject("別件");
  dialogs.Take();
  EXPECT_EQ(Find<QListWidget>("List1(0)")->count(), 0);
  EXPECT_TRUE(Find<QLabel>("HeyaName(0)")->text().isEmpty());

  // Open: the save question first (No), then the file.
  dialogs.answers = {Answer::kNo};
  files.answers.push_back(DataFile("保存.xdt"));
  Shortcut(Qt::Key_O);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"物件データを開く",
                                 "現在編集中のデータを保存しますか？", true}}));
  EXPECT_EQ(files.requests.back().title, "物件データを開く");
  EXPECT_EQ(Find<QLabel>("BukkenName")->text(), Q("保存"));
  auto* list = Find<QListWidget>("List1(0)");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(1)->text(), Q("会議室"));
  // No room is shown until one is picked.
  EXPECT_TRUE(Find<QLabel>("HeyaName(0)")->text().isEmpty());
  EXPECT_TRUE(list->selectedItems().isEmpty());
  EXPECT_EQ(Shown(1, 3), "");
  PressRoom(1);
  EXPECT_EQ(Shown(1, 3), "2*3");
  EXPECT_EQ(Shown(1, 5), "6.00");

  // Cancelling the file dialog of "Open" keeps everything.
  dialogs.answers = {Answer::kNo};
  Toolbar("Open");
  dialogs.Take();
  EXPECT_EQ(Find<QLabel>("BukkenName")->text(), Q("保存"));
  EXPECT_EQ(Shown(1, 5), "6.00");
}

}  // namespace
}  // namespace veltrano::testing
