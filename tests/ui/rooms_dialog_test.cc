// The rooms dialog `NewRoom` through its real widgets.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "main_form_fixture.h"
#include "ui/display_metrics.h"
#include "ui/rooms_dialog.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items.append(list->item(i)->text());
  return items;
}

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items.append(combo->itemText(i));
  return items;
}

class RoomsDialogTest : public MainFormTest {
 protected:
  RoomsDialog* Open() {
    Click("Command1(0)");
    return window->rooms_dialog();
  }
  void Name(RoomsDialog* d, const QString& text) {
    auto* box = FindIn<QLineEdit>(d, "Text1");
    box->setFocus();
    box->selectAll();
    Type(box, text);
  }
  void Press(RoomsDialog* d, const char* button) {
    Click(FindIn<QPushButton>(d, button));
  }
  void Pick(RoomsDialog* d, int row) {
    auto* list = FindIn<QListWidget>(d, "NewRoomList");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
  }
};

TEST_F(RoomsDialogTest, RefusedWithoutAProject) {
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "物件名がありません。", false}}));
}

TEST_F(RoomsDialogTest, AddsRenamesMovesAndDeletesRooms) {
  NewProject("改修");
  RoomsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->isVisible());
  EXPECT_TRUE(d->isModal());
  EXPECT_EQ(d->windowTitle(), Q("部屋追加・変更・削除"));
  const QRect main = window->frameGeometry();
  EXPECT_EQ(d->pos(), QPoint(main.left() + TwipsToPixels(3500, window->logicalDpiX()),
                             main.top()));
  auto* names = FindIn<QListWidget>(d, "NewRoomList");
  auto* what = FindIn<QComboBox>(d, "IdouList(0)");
  auto* before = FindIn<QComboBox>(d, "IdouList(1)");
  auto* list = Find<QListWidget>("List1(0)");

  for (const char* room : {"1F 事務室", "1F 会議室", "2F 倉庫"}) {
    Name(d, Q(room));
    Press(d, "Command1(0)");
  }
  const QStringList added = {Q("1F 事務室"), Q("1F 会議室"), Q("2F 倉庫")};
  EXPECT_EQ(Items(list), added);
  EXPECT_EQ(Items(names), added);
  EXPECT_EQ(Items(what), added);
  EXPECT_EQ(Items(before), added);
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("2F 倉庫"));
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_TRUE(Focused(FindIn<QLineEdit>(d, "Text1")));

  // The room added last is shown and takes a formula.
  Press(d, "Command2");
  Flush();
  Enter(1, 3, "7");
  d = Open();
  ASSERT_NE(d, nullptr);
  names = FindIn<QListWidget>(d, "NewRoomList");
  what = FindIn<QComboBox>(d, "IdouList(0)");
  before = FindIn<QComboBox>(d, "IdouList(1)");
  EXPECT_EQ(Items(names), added);

  Name(d, Q("1F 事務室"));
  Press(d, "Command1(0)");
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "同じ名前の部屋があります。", false}}));
  EXPECT_EQ(names->count(), 3);

  Pick(d, 1);
  EXPECT_EQ(FindIn<QLineEdit>(d, "Text1")->text(), Q("1F 会議室"));
  Name(d, Q("1F 応接室"));
  dialogs.answers = {Answer::kOk};
  Press(d, "Command1(1)");
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "1F 会議室を1F 応接室に変更します。", true}}));
  EXPECT_EQ(list->item(1)->text(), Q("1F 応接室"));
  EXPECT_EQ(names->item(1)->text(), Q("1F 応接室"));

  what->setCurrentIndex(2);
  before->setCurrentIndex(0);
  Press(d, "Command3");
  const QStringList moved = {Q("2F 倉庫"), Q("1F 事務室"), Q("1F 応接室")};
  EXPECT_EQ(Items(list), moved);
  EXPECT_EQ(Items(names), moved);
  EXPECT_EQ(Items(what), moved);
  EXPECT_EQ(what->currentIndex(), -1);
  EXPECT_EQ(before->currentIndex(), -1);
  EXPECT_TRUE(Find<QLabel>("HeyaName(0)")->text().isEmpty());
  EXPECT_TRUE(list->selectedItems().isEmpty());
  EXPECT_EQ(ShownSheet()->model()->index(0, 2).data().toString(), "");

  Pick(d, 1);
  dialogs.answers = {Answer::kCancel};
  Press(d, "Command1(2)");
  EXPECT_EQ(names->count(), 3);
  dialogs.answers = {Answer::kOk};
  Press(d, "Command1(2)");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "1F 事務室を削除します。", true},
                                      {"確認", "1F 事務室を削除します。", true},
                                      {"確認", "削除しました。", false}}));
  EXPECT_EQ(Items(list), (QStringList{Q("2F 倉庫"), Q("1F 応接室")}));
  EXPECT_TRUE(FindIn<QLineEdit>(d, "Text1")->text().isEmpty());

  Press(d, "Command2");
  Flush();
  EXPECT_EQ(window->rooms_dialog(), nullptr);
  EXPECT_FALSE(ws->rooms().dialog().open);
  // The moved room kept its sheet.
  PressRoom(0);
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("2F 倉庫"));
  EXPECT_EQ(Shown(1, 5), "7.00");
}

TEST_F(RoomsDialogTest, PlacesOnTheExteriorSide) {
  NewProject("外構");
  Click("HiroiBunrui(5)");
  RoomsDialog* d = Open();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->windowTitle(), Q("場所追加・変更・削除"));
  Name(d, Q("北面"));
  Press(d, "Command1(0)");
  Name(d, Q("北面"));
  Press(d, "Command1(0)");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "同じ場所名があります。", false}}));
  Name(d, Q("南,面"));
  Press(d, "Command1(0)");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", ",(カンマ)は使用できません。", false}}));
  EXPECT_TRUE(FindIn<QLineEdit>(d, "Text1")->text().isEmpty());
  // Closing with the window's own button closes the dialog state too.
  d->close();
  Flush();
  EXPECT_FALSE(ws->rooms().dialog().open);
  EXPECT_EQ(Items(Find<QListWidget>("List1(1)")), QStringList{Q("北面")});
  EXPECT_EQ(Find<QLabel>("HeyaName(1)")->text(), Q("北面"));
  EXPECT_TRUE(Find<QListWidget>("List1(0)")->count() == 0);
}

}  // namespace
}  // namespace veltrano::testing
