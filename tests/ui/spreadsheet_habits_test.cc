// What a user of spreadsheets expects of the sheet and the work-type table,
// through the real widgets: a clicked cell's text selected, Delete on a
// range, the columns scrolled with the bar and the wheel, unit prices typed
// down the work-type table, and the selection dialog's list of names.
#include <QListWidget>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

#include "calc/text_file.h"
#include "main_form_fixture.h"
#include "ui/aggregation_panel.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class SpreadsheetHabitsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    NewProject("表計算");
    AddRooms({Q("事務室"), Q("会議室")});
    PressRoom(0);
  }
  bool EditorOn(int row, int col) const {
    return Editor()->isVisible() &&
           Editor()->geometry() == ShownSheet()->CellRect(row, col);
  }
  // Turns the wheel over the sheet.
  void Wheel(QPoint angle, Qt::KeyboardModifiers modifiers) {
    SheetView* view = ShownSheet();
    const QPointF at = view->viewport()->rect().center();
    QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), angle,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &wheel);
  }
  QTableView* WorkTable() const { return Find<QTableView>("SyukeiGrid(5)"); }
  QLineEdit* PriceEditor() const { return Find<QLineEdit>("KousyubetuText"); }
  QRect WorkCell(int row, int col) const {
    return WorkTable()->visualRect(WorkTable()->model()->index(row - 1, col));
  }
  void ClickWorkCell(int row, int col) {
    QTest::mouseClick(WorkTable()->viewport(), Qt::LeftButton, {},
                      WorkCell(row, col).center());
  }
  QString WorkText(int row, int col) const {
    return WorkTable()->model()->index(row - 1, col).data().toString();
  }
};

TEST_F(SpreadsheetHabitsTest, AClickedCellShowsItsTextSelectedAndF2KeepsTheCaretAtItsEnd) {
  Enter(1, 3, "450");
  Enter(2, 3, "7");
  ClickCell(1, 3);
  ASSERT_TRUE(EditorOn(1, 3));
  EXPECT_EQ(Editor()->selectedText(), "450");
  // Typing replaces the selected text.
  Type(Editor(), "12.5");
  EXPECT_EQ(Editor()->text(), "12.5");
  // Enter moves onto a cell whose text is selected as well.
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(Shown(1, 5), "12.50");
  ASSERT_TRUE(EditorOn(2, 3));
  EXPECT_EQ(Editor()->selectedText(), "7");

  // Home, End and the arrows keep the text, and so does a click in the
  // editor; typing then adds to it.
  for (Qt::Key key : {Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right}) {
    ClickCell(1, 3);
    ASSERT_EQ(Editor()->selectedText(), "12.5") << key;
    QTest::keyClick(Editor(), key);
    EXPECT_EQ(Editor()->text(), "12.5") << key;
    EXPECT_FALSE(Editor()->hasSelectedText()) << key;
  }
  QTest::keyClick(Editor(), Qt::Key_Home);
  Type(Editor(), "1");
  EXPECT_EQ(Editor()->text(), "112.5");
  QTest::keyClick(Editor(), Qt::Key_Escape);
  ClickCell(1, 3);
  QTest::mouseClick(Editor(), Qt::LeftButton, {}, Editor()->rect().center());
  EXPECT_EQ(Editor()->text(), "12.5");
  EXPECT_FALSE(Editor()->hasSelectedText());

  // F2 opens with the caret after the text, nothing selected.
  QTest::keyClick(Editor(), Qt::Key_Escape);
  QTest::keyClick(ShownSheet(), Qt::Key_F2);
  ASSERT_TRUE(EditorOn(1, 3));
  EXPECT_FALSE(Editor()->hasSelectedText());
  EXPECT_EQ(Editor()->cursorPosition(), 4);
  Type(Editor(), "0");
  EXPECT_EQ(Editor()->text(), "12.50");
}

TEST_F(SpreadsheetHabitsTest, DeleteOnTheSheetDoesWhatTheDeleteButtonDoes) {
  Enter(1, 3, "10");
  Enter(2, 3, "2.5");
  ClickCell(3, 5);
  ASSERT_EQ(Shown(3, 5), "12.50");
  SheetView* view = ShownSheet();
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->CellRect(2, 3).center());
  QTest::mouseMove(view->viewport(), view->CellRect(2, 5).center());
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->CellRect(2, 5).center());
  ASSERT_EQ(ws->sheets().selection(), (CellRange{2, 3, 2, 5}));

  // Cancel keeps the range; OK empties it and the subtotal follows.
  dialogs.answers = {Answer::kCancel};
  QTest::keyClick(view, Qt::Key_Delete);
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "選択位置（範囲）を削除します。", true}}));
  EXPECT_EQ(Shown(2, 3), "2.5");
  dialogs.answers = {Answer::kOk};
  QTest::keyClick(view, Qt::Key_Delete);
  EXPECT_EQ(dialogs.Take().size(), 1u);
  EXPECT_EQ(Shown(2, 3), "");
  EXPECT_EQ(Shown(2, 5), "");
  EXPECT_EQ(Shown(3, 5), "10.00");

  // In the open editor Delete deletes a character, nothing else.
  ClickCell(1, 3);
  QTest::keyClick(Editor(), Qt::Key_Home);
  QTest::keyClick(Editor(), Qt::Key_Delete);
  EXPECT_EQ(Editor()->text(), "0");
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(SpreadsheetHabitsTest, TheColumnsScrollWithTheBarShiftAndTheWheelAndSideways) {
  SheetView* view = ShownSheet();
  QScrollBar* bar = view->horizontalScrollBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(view->FirstVisibleColumn(), 1);

  // A click on the bar's arrow: the view and the workspace agree, and the
  // open editor closes without writing what it held.
  ClickCell(1, 3);
  Type(Editor(), "99");
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(view->FirstVisibleColumn(), 2);
  EXPECT_EQ(ws->sheets().first_visible_column(0), 2);
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_FALSE(ws->sheets().editor_visible());
  EXPECT_EQ(Shown(1, 3), "");
  // The part buttons still put their part first afterwards.
  Click("Hyoji(2)");
  EXPECT_EQ(view->FirstVisibleColumn(), 12);

  // Shift with the wheel turned down goes right, up goes left.
  Wheel(QPoint(0, -120), Qt::ShiftModifier);
  const int right = view->FirstVisibleColumn();
  EXPECT_GT(right, 12);
  EXPECT_EQ(ws->sheets().first_visible_column(0), right);
  EXPECT_EQ(view->verticalScrollBar()->value(), 0);
  Wheel(QPoint(0, 120), Qt::ShiftModifier);
  EXPECT_EQ(view->FirstVisibleColumn(), 12);
  EXPECT_EQ(ws->sheets().first_visible_column(0), 12);
  // A sideways wheel as well.
  Wheel(QPoint(-120, 0), Qt::NoModifier);
  EXPECT_NE(view->FirstVisibleColumn(), 12);
  EXPECT_EQ(ws->sheets().first_visible_column(0), view->FirstVisibleColumn());
  // Without Shift the wheel scrolls the rows, not the columns.
  const int first = view->FirstVisibleColumn();
  Wheel(QPoint(0, -120), Qt::NoModifier);
  EXPECT_EQ(view->FirstVisibleColumn(), first);
  EXPECT_GT(view->verticalScrollBar()->value(), 0);
}

TEST_F(SpreadsheetHabitsTest, UnitPricesTypedDownTheWorkTypeTableLandInItemRows) {
  // A work-type table as a project keeps it: 塗装工事 with A (price 450);
  // 内装工事 with B and C.
  Toolbar("Save");
  dialogs.Take();
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(DataFile("表計算.xdt"), &lines, &error)) << error;
  std::erase_if(lines, [](const std::string& line) {
    return line.rfind("SyNC,5,", 0) == 0 || line.rfind("SySD'5'", 0) == 0;
  });
  for (const char* line :
       {"SyNC,5,9,7,", "SySD'5'工種'項目名'区分'部位'数量'単位'単価'金額'備考'",
        "SySD'5'塗装工事'A'内部'床'12.50'm2'450'5,625''", "SySD'5''''''''''",
        "SySD'5'内装工事'B'内部'壁'3.00'm2''''", "SySD'5''C'内部'天井'2.00'm2''''",
        "SySD'5''''''''''", "SySD'5''''''''''"}) {
    lines.emplace_back(line);
  }
  ASSERT_TRUE(WriteTextLinesAtomic(DataFile("表計算.xdt"), lines, &error)) << error;
  dialogs.answers = {Answer::kNo};
  files.answers.push_back(DataFile("表計算.xdt"));
  Toolbar("Open");
  dialogs.Take();
  Click("HiroiBunrui(2)");
  Click("Command4(3)");
  ASSERT_TRUE(WorkTable()->isVisible());
  ASSERT_EQ(WorkText(1, 6), "450");

  // A click shows the price selected: typing replaces it.
  ClickWorkCell(1, 6);
  QLineEdit* editor = PriceEditor();
  ASSERT_TRUE(editor->isVisible());
  EXPECT_TRUE(Focused(editor));
  EXPECT_EQ(editor->selectedText(), "450");
  QTest::keyClicks(editor, "520");
  EXPECT_EQ(editor->text(), "520");
  // Enter passes the group's 小計 row; the digits typed next go on.
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(WorkText(1, 7), "6,500");
  EXPECT_EQ(WorkText(2, 5), Q("小計"));
  EXPECT_EQ(editor->geometry(), WorkCell(3, 6));
  EXPECT_TRUE(Focused(editor));
  QTest::keyClicks(editor, "12");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(editor->geometry(), WorkCell(4, 6));
  QTest::keyClicks(editor, "100");
  QTest::keyClick(editor, Qt::Key_Return);
  // The last item: the editor stays, the price selected for the next try.
  EXPECT_EQ(editor->geometry(), WorkCell(4, 6));
  EXPECT_EQ(editor->selectedText(), "100");
  QTest::keyClicks(editor, "150");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(WorkText(3, 7), "36");
  EXPECT_EQ(WorkText(4, 7), "300");
  EXPECT_EQ(WorkText(5, 7), "(336)");
  EXPECT_EQ(WorkText(6, 7), "(6,836)");

  // With the editor closed by the arrow keys, a digit typed on the table
  // opens it on a price cell, where the next ones go too.
  ClickWorkCell(3, 5);
  EXPECT_FALSE(editor->isVisible());
  QTest::keyClick(WorkTable(), Qt::Key_Right);
  ASSERT_FALSE(editor->isVisible());
  QTest::keyClicks(WorkTable(), "7");
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->geometry(), WorkCell(3, 6));
  ASSERT_TRUE(Focused(editor));
  QTest::keyClicks(editor, "5");
  EXPECT_EQ(editor->text(), "75");
  EXPECT_EQ(WorkText(3, 6), "75");
}

TEST_F(SpreadsheetHabitsTest, TheSelectionDialogListsANameOnceAndTakesOneOut) {
  Click("HiroiBunrui(2)");
  Click("Command4(0)");
  Click("Command2(0)");
  AggregationDialogWidget* dialog = window->aggregation_panel()->selection_dialog();
  ASSERT_NE(dialog, nullptr);
  auto* left = FindIn<QListWidget>(dialog, "List1(0)");
  auto* right = FindIn<QListWidget>(dialog, "List1(1)");
  left->item(0)->setSelected(true);
  Click(FindIn<QAbstractButton>(dialog, "Command1(1)"));
  left->item(1)->setSelected(true);
  Click(FindIn<QAbstractButton>(dialog, "Command1(1)"));
  ASSERT_EQ(right->count(), 2);
  EXPECT_EQ(right->item(0)->text(), Q("事務室"));
  EXPECT_EQ(right->item(1)->text(), Q("会議室"));
  // "⇐" takes the selected name out.
  auto* remove = FindIn<QAbstractButton>(dialog, "Command1(3)");
  EXPECT_EQ(remove->text(), Q("⇐"));
  right->item(0)->setSelected(true);
  Click(remove);
  ASSERT_EQ(right->count(), 1);
  EXPECT_EQ(right->item(0)->text(), Q("会議室"));
  Click(FindIn<QAbstractButton>(dialog, "Command3"));
  Flush();
}

}  // namespace
}  // namespace veltrano::testing
