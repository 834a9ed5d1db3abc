// The keys of the cell editor and of the sheet through the real widgets:
// Tab never leaves a dead editor behind, Escape gives up, F2 and typing on
// the sheet open the editor, and the commands that store the sheet enter
// what the editor shows.
#include <QTest>

#include "main_form_fixture.h"
#include "ui/rooms_dialog.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class GridKeysTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    NewProject("鍵");
    AddRooms({Q("事務室")});
  }
  bool EditorOn(int row, int col) const {
    return Editor()->isVisible() &&
           Editor()->geometry() == ShownSheet()->CellRect(row, col);
  }
};

TEST_F(GridKeysTest, TabEntersAndMovesOnAndTheEditorStaysAlive) {
  ClickCell(1, 2);
  Type(Editor(), Q("床"));
  QTest::keyClick(Editor(), Qt::Key_Tab);
  ASSERT_TRUE(EditorOn(1, 3));
  EXPECT_TRUE(Focused(Editor()));
  Type(Editor(), "3*3");
  QTest::keyClick(Editor(), Qt::Key_Tab);
  EXPECT_EQ(Shown(1, 3), "3*3");
  EXPECT_EQ(Shown(1, 5), "9.00");
  ASSERT_TRUE(EditorOn(2, 3));
  EXPECT_TRUE(Focused(Editor()));
  // Shift+Tab as well; and Enter still works after it.
  Type(Editor(), "1");
  QTest::keyClick(Editor(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Shown(2, 5), "1.00");
  Type(Editor(), "2");
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(Shown(3, 5), "2.00");
  EXPECT_TRUE(EditorOn(4, 3));
}

TEST_F(GridKeysTest, EscapeF2AndTypingOnTheSheet) {
  Enter(1, 2, Q("巾木材"));
  ClickCell(1, 2);
  QTest::keyClick(Editor(), Qt::Key_End);
  Type(Editor(), Q("追記"));
  EXPECT_EQ(Shown(1, 2), Q("巾木材追記"));
  QTest::keyClick(Editor(), Qt::Key_Escape);
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_EQ(Shown(1, 2), Q("巾木材"));
  EXPECT_TRUE(Focused(ShownSheet()));

  // F2 keeps the text, with the caret at its end.
  QTest::keyClick(ShownSheet(), Qt::Key_F2);
  ASSERT_TRUE(EditorOn(1, 2));
  EXPECT_EQ(Editor()->text(), Q("巾木材"));
  EXPECT_EQ(Editor()->cursorPosition(), 3);
  QTest::keyClick(Editor(), Qt::Key_Escape);

  // A typed character replaces the text; the arrows still move about.
  QTest::keyClick(ShownSheet(), Qt::Key_Right);
  EXPECT_EQ(ws->sheets().current_col(), 3);
  QTest::keyClicks(ShownSheet(), "4");
  ASSERT_TRUE(EditorOn(1, 3));
  EXPECT_TRUE(Focused(Editor()));
  Type(Editor(), "*2");
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(Shown(1, 3), "4*2");
  EXPECT_EQ(Shown(1, 5), "8.00");
  // Ctrl with a letter is a shortcut, not typing.
  QTest::keyClick(Editor(), Qt::Key_Escape);
  QTest::keyClick(ShownSheet(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(Editor()->isVisible());
  // Typing on a value cell opens nothing.
  QTest::keyClick(ShownSheet(), Qt::Key_Right);
  QTest::keyClick(ShownSheet(), Qt::Key_Right);
  ASSERT_EQ(ws->sheets().current_col(), 5);
  QTest::keyClicks(ShownSheet(), "7");
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_EQ(Shown(2, 5), "");
}

TEST_F(GridKeysTest, SaveEntersTheOpenEditorAndTheRoomsButtonClosesIt) {
  ClickCell(1, 3);
  Type(Editor(), "9*9");
  dialogs.Take();
  Shortcut(Qt::Key_S);
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "上書きしました。", false}}));
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_EQ(Shown(1, 3), "9*9");
  EXPECT_EQ(Shown(1, 5), "81.00");

  ClickCell(2, 3);
  Type(Editor(), "7");
  Click("Command1(0)");
  ASSERT_NE(window->rooms_dialog(), nullptr);
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_FALSE(ws->sheets().editor_visible());
  Click(FindIn<QAbstractButton>(window->rooms_dialog(), "Command2"));
  Flush();
  EXPECT_EQ(Shown(2, 3), "");
}

TEST_F(GridKeysTest, EnterAfterAnItemBringsTheSheetAlongToTheEditor) {
  // From the skirting block on, the ceiling's item column (19) is the last
  // one in view and its formula column (20) is cut by the edge.
  Click("Hyoji(1)");
  SheetView* view = ShownSheet();
  ASSERT_EQ(view->FirstVisibleColumn(), 6);
  ASSERT_TRUE(view->viewport()->rect().contains(view->CellRect(1, 19)));
  ASSERT_FALSE(view->viewport()->rect().contains(view->CellRect(1, 20)));

  ClickCell(1, 19);
  Type(Editor(), Q("岩綿吸音板"));
  QTest::keyClick(Editor(), Qt::Key_Return);
  ASSERT_TRUE(EditorOn(1, 20));
  EXPECT_TRUE(view->viewport()->rect().contains(Editor()->geometry()));
  EXPECT_GT(view->FirstVisibleColumn(), 6);
  EXPECT_EQ(ws->sheets().first_visible_column(0), view->FirstVisibleColumn());
}

}  // namespace
}  // namespace veltrano::testing
