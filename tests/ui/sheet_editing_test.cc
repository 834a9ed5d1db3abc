// The editing buttons and keys on a real sheet: a range dragged with the
// mouse and widened with Shift and the arrows, Ctrl+C onto the system
// clipboard, Ctrl+V into another room, and the item copy panel.
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QTest>
#include <QToolBar>

#include "main_form_fixture.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class SheetEditingTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    NewProject("編集");
    AddRooms({Q("事務室"), Q("会議室")});
    PressRoom(0);
  }
};

TEST_F(SheetEditingTest, ARangeGoesToTheSystemClipboardAndIntoAnotherRoom) {
  Enter(1, 2, Q("床A"));
  Enter(1, 3, "10");
  Enter(2, 3, "2.5");
  SheetView* view = ShownSheet();
  view->setFocus();

  // Drag from (1, 2) to (1, 3), then Shift+Down widens it to row 2.
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->CellRect(1, 2).center());
  QTest::mouseMove(view->viewport(), view->CellRect(1, 3).center());
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->CellRect(1, 3).center());
  EXPECT_EQ(ws->sheets().selection(), (CellRange{1, 2, 1, 3}));
  EXPECT_FALSE(Editor()->isVisible());
  QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(ws->sheets().selection(), (CellRange{1, 2, 2, 3}));
  EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 4);
  EXPECT_EQ(ws->sheets().current_row(), 1);

  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), Q("床A\t10\r\t2.5"));

  // Into the other room from (5, 2), calculated as typed; the clipboard
  // keeps the text.
  PressRoom(1);
  ClickCell(5, 1);
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Right);
  EXPECT_EQ(ws->sheets().current_col(), 2);
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(5, 2), Q("床A"));
  EXPECT_EQ(Shown(5, 3), "10");
  EXPECT_EQ(Shown(6, 3), "2.5");
  EXPECT_EQ(Shown(5, 5), "10.00");
  EXPECT_EQ(Shown(6, 5), "2.50");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), Q("床A\t10\r\t2.5"));

  // Text from a spreadsheet, rows ending in LF.
  QGuiApplication::clipboard()->setText("x\ty\nz\n");
  Click("Command1(5)");
  EXPECT_EQ(Shown(5, 2), "x");
  EXPECT_EQ(Shown(5, 3), "y");
  EXPECT_EQ(Shown(6, 2), "z");
  EXPECT_EQ(Shown(6, 3), "2.5");
}

TEST_F(SheetEditingTest, TheItemCopyPanelCopiesIntoTheSheet) {
  ClickCell(1, 1, Qt::RightButton);
  Type(Editor(), Q("タイル"));
  QTest::keyClick(Editor(), Qt::Key_Return);
  PressRoom(1);
  EXPECT_EQ(Find<QAbstractButton>("Command1(4)")->toolTip(), Q("選択範囲をコピーします"));
  Click("Command1(1)");
  auto* panel = Find<QGroupBox>("Frame_List");
  ASSERT_TRUE(panel->isVisible());
  auto* choice = FindIn<QComboBox>(panel, "Combo1");
  choice->setCurrentIndex(0);
  emit choice->textActivated(choice->currentText());
  auto* floor = FindIn<QListWidget>(panel, "InputList(0)");
  ASSERT_EQ(floor->count(), 1);
  QTest::mouseClick(floor->viewport(), Qt::LeftButton, {},
                    floor->visualItemRect(floor->item(0)).center());
  Click("Copy");
  EXPECT_EQ(Shown(1, 1), Q("○"));
  EXPECT_EQ(Shown(1, 2), Q("タイル"));
  EXPECT_TRUE(Editor()->isVisible());
  // Copying the range is refused while the panel is shown.
  Click("Command1(4)");
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "項目複写の状態ではこの作業はできません。", false}}));
  Click("Command3");
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(SheetEditingTest, UndoAndRedoFromTheToolbarAndTheKeys) {
  Enter(1, 3, "10");
  ClickCell(2, 5);
  ASSERT_EQ(Shown(2, 3), Q("小計"));
  auto* toolbar = Find<QToolBar>("Toolbar1");
  QAction* undo = toolbar->findChild<QAction*>("Undo");
  QAction* redo = toolbar->findChild<QAction*>("Redo");
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(redo, nullptr);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
  EXPECT_EQ(undo->toolTip(), Q("元に戻す: 小計 (Ctrl+Z)"));

  Shortcut(Qt::Key_Z);
  EXPECT_EQ(Shown(2, 3), "");
  EXPECT_TRUE(redo->isEnabled());
  EXPECT_EQ(redo->toolTip(), Q("やり直し: 小計 (Ctrl+Y)"));
  Shortcut(Qt::Key_Y);
  EXPECT_EQ(Shown(2, 3), Q("小計"));
  Toolbar("Undo");
  Toolbar("Undo");
  EXPECT_EQ(Shown(1, 3), "");
  // Before the sheet's steps, the room's own.
  EXPECT_EQ(undo->toolTip(), Q("元に戻す: 部屋追加 (Ctrl+Z)"));
  // In every mode: a step redone from another mode is shown on its sheet.
  Click("HiroiBunrui(2)");
  ASSERT_NE(ws->mode(), kModeInterior);
  EXPECT_TRUE(redo->isEnabled());
  Shortcut(Qt::Key_Y);
  EXPECT_EQ(ws->mode(), kModeInterior);
  EXPECT_EQ(Shown(1, 3), "10");
}

}  // namespace
}  // namespace veltrano::testing
