// Typing into a takeoff sheet through the real widgets: the cell editor,
// values, subtotals, fitting codes, scrolling, the room list and the
// commands over all rooms.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "calc/text_file.h"
#include "main_form_fixture.h"
#include "ui/sheet_model.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class SheetTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    NewProject("仕上");
    AddRooms({Q("事務室")});
  }
  void SetParameter(int index, const QString& text) {
    auto* box = Find<QLineEdit>(QString("DaisuText(%1)").arg(index));
    box->setFocus();
    box->selectAll();
    Type(box, text);
  }
  bool EditorOn(int row, int col) const {
    return Editor()->isVisible() &&
           Editor()->geometry() == ShownSheet()->CellRect(row, col);
  }
};

TEST_F(SheetTest, AFormulaWithAParameterShowsItsValueAndTheEditorMovesDown) {
  SetParameter(0, "2.5");
  EXPECT_EQ(ws->sheets().parameter(0), "2.5");
  ClickCell(1, 3);
  ASSERT_TRUE(EditorOn(1, 3));
  EXPECT_TRUE(Focused(Editor()));
  EXPECT_FALSE(Editor()->testAttribute(Qt::WA_InputMethodEnabled));
  Type(Editor(), "A*2");
  // A formula reaches the cell only with its key.
  EXPECT_EQ(Shown(1, 3), "");
  QTest::keyClick(Editor(), Qt::Key_Return);
  EXPECT_EQ(Shown(1, 3), "A*2");
  EXPECT_EQ(Shown(1, 5), "5.00");
  EXPECT_TRUE(EditorOn(2, 3));
  EXPECT_TRUE(Editor()->text().isEmpty());
  EXPECT_TRUE(Focused(Editor()));

  // Up writes and calculates too, and moves the editor back up.
  Type(Editor(), "1/4");
  QTest::keyClick(Editor(), Qt::Key_Up);
  EXPECT_EQ(Shown(2, 5), "0.25");
  EXPECT_TRUE(EditorOn(1, 3));
  EXPECT_EQ(Editor()->text(), "A*2");
  QTest::keyClick(Editor(), Qt::Key_Up);
  EXPECT_TRUE(EditorOn(1, 3));

  // A parameter that is missing refuses the formula.
  SetParameter(1, "");
  Enter(3, 3, "S+1");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"入力確認", "Sの値が入力されていません。または不正です。", false}}));
  EXPECT_EQ(Shown(3, 3), "");
  EXPECT_EQ(Shown(3, 5), "");
}

TEST_F(SheetTest, ItemCellsTakeEveryKeystrokeWithTheInputMethodOn) {
  ClickCell(4, 2);
  ASSERT_TRUE(EditorOn(4, 2));
  EXPECT_TRUE(Editor()->testAttribute(Qt::WA_InputMethodEnabled));
  Type(Editor(), Q("フローリング"));
  EXPECT_EQ(Shown(4, 2), Q("フローリング"));
  QTest::keyClick(Editor(), Qt::Key_Return);
  // An item moves the editor right, onto its formula.
  EXPECT_TRUE(EditorOn(4, 3));
  EXPECT_FALSE(Editor()->testAttribute(Qt::WA_InputMethodEnabled));

  // A right click on a mark cell marks the row and opens its item.
  ClickCell(6, 1, Qt::RightButton);
  EXPECT_EQ(Shown(6, 1), Q("○"));
  EXPECT_TRUE(EditorOn(6, 2));
  EXPECT_TRUE(Editor()->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(SheetTest, ACommaOrQuoteEmptiesTheEditorAtOnce) {
  ClickCell(1, 3);
  Type(Editor(), "12");
  Type(Editor(), ",");
  EXPECT_TRUE(Editor()->text().isEmpty());
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"入力確認", ",（カンマ）は使用できません。", false}}));
  ClickCell(1, 2);
  Type(Editor(), Q("床'"));
  EXPECT_TRUE(Editor()->text().isEmpty());
  EXPECT_EQ(Shown(1, 2), "");
  EXPECT_EQ(dialogs.Take().size(), 1u);
}

TEST_F(SheetTest, ClickingAnEmptyValueCellMakesASubtotalAndClickingAgainRemovesIt) {
  Enter(1, 3, "3");
  Enter(2, 3, "4.5");
  ClickCell(3, 5);
  EXPECT_EQ(Shown(3, 3), Q("小計"));
  EXPECT_EQ(Shown(3, 5), "7.50");
  EXPECT_FALSE(Editor()->isVisible());
  // The subtotal follows a change above it.
  Enter(2, 3, "5");
  EXPECT_EQ(Shown(3, 5), "8.00");
  // A subtotal cannot be typed over.
  ClickCell(3, 3);
  EXPECT_FALSE(Editor()->isVisible());
  ClickCell(3, 5);
  EXPECT_EQ(Shown(3, 3), "");
  EXPECT_EQ(Shown(3, 5), "");
  // Nothing above to add up: no subtotal.
  ClickCell(10, 11);
  EXPECT_EQ(Shown(10, 9), "");

  // A deduction flips the sign of the value.
  ClickCell(1, 4);
  EXPECT_EQ(Shown(1, 4), Q("▲"));
  EXPECT_EQ(Shown(1, 5), "-3.00");
  ClickCell(1, 4);
  EXPECT_EQ(Shown(1, 5), "3.00");
}

TEST_F(SheetTest, ADraggedRangeOpensNothingAndKeepsItsFirstCell) {
  Enter(1, 3, "3");
  ASSERT_TRUE(EditorOn(2, 3));
  SheetView* view = ShownSheet();
  // From the deduction cell of row 1 to the value cell of row 3: a click
  // there would have toggled the deduction.
  QTest::mousePress(view->viewport(), Qt::LeftButton, {},
                    view->CellRect(1, 4).center());
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {},
                      view->CellRect(3, 5).center());
  EXPECT_EQ(Shown(1, 4), "");
  EXPECT_EQ(Shown(3, 5), "");
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_EQ(ws->sheets().current_row(), 1);
  EXPECT_EQ(ws->sheets().current_col(), 4);
}

TEST_F(SheetTest, ARegisteredFittingCodeBecomesADeduction) {
  // The register as the project's file holds it.
  Toolbar("Save");
  dialogs.Take();
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(DataFile("仕上.xdt"), &lines, &error)) << error;
  lines.push_back("Tate,D1,800,2000");
  ASSERT_TRUE(WriteTextLinesAtomic(DataFile("仕上.xdt"), lines, &error)) << error;
  dialogs.answers.push_back(Answer::kNo);
  files.answers.push_back(DataFile("仕上.xdt"));
  Toolbar("Open");
  dialogs.Take();
  PressRoom(0);
  Click("Hyoji(2)");
  Enter(1, 14, "d1*3");
  EXPECT_EQ(Shown(1, 15), "0.80*2.00*3");
  EXPECT_EQ(Shown(1, 16), Q("▲"));
  EXPECT_EQ(Shown(1, 17), "-4.80");
  EXPECT_TRUE(EditorOn(2, 14));

  Enter(2, 14, "X9");
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{
                                {"確認", "入力された建具符号は登録されていません。", false}}));
  EXPECT_EQ(Shown(2, 14), "");
  EXPECT_EQ(Shown(2, 15), "");
}

TEST_F(SheetTest, PartButtonsAndArrowsScrollAndScrollingHidesTheEditor) {
  SheetView* view = ShownSheet();
  EXPECT_EQ(view->FirstVisibleColumn(), 1);
  const int first[5] = {1, 6, 12, 18, 23};
  for (int part = 4; part >= 0; --part) {
    Click(QString("Hyoji(%1)").arg(part));
    EXPECT_EQ(view->FirstVisibleColumn(), first[part]) << part;
    EXPECT_EQ(view->columnAt(0), SheetModel::ModelCol(first[part]));
  }
  // At every display size.
  for (int size : {2, 1, 0}) {
    Click(QString("SizeOp(%1)").arg(size));
    Click("Hyoji(3)");
    EXPECT_EQ(view->FirstVisibleColumn(), 18) << size;
    Click("Hyoji(2)");
    EXPECT_EQ(view->FirstVisibleColumn(), 12) << size;
  }
  // The sheet itself follows a change of size with the same column first.
  Click("SizeOp(2)");
  EXPECT_EQ(view->columnAt(0), SheetModel::ModelCol(12));
  Click("SizeOp(0)");
  EXPECT_EQ(view->columnAt(0), SheetModel::ModelCol(12));
  Click("Arrow(1)");
  EXPECT_EQ(view->FirstVisibleColumn(), 14);
  Click("Arrow(0)");
  Click("Arrow(0)");
  EXPECT_EQ(view->FirstVisibleColumn(), 10);

  // Clicking a cell at the edge does not scroll the columns away.
  ClickCell(1, 15);
  EXPECT_EQ(view->FirstVisibleColumn(), 10);
  ASSERT_TRUE(EditorOn(1, 15));
  Click("Hyoji(0)");
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_FALSE(ws->sheets().editor_visible());

  ClickCell(1, 3);
  ASSERT_TRUE(Editor()->isVisible());
  Type(Editor(), "99");
  view->verticalScrollBar()->setValue(10);
  EXPECT_FALSE(Editor()->isVisible());
  EXPECT_FALSE(ws->sheets().editor_visible());
  // What was typed went nowhere.
  EXPECT_EQ(ws->sheets().sheet(0).At(1, 3), "");

  // Following the editor down the sheet scrolls it back into view.
  view->verticalScrollBar()->setValue(0);
  ClickCell(20, 3);
  for (int i = 0; i < 25; ++i) QTest::keyClick(Editor(), Qt::Key_Down);
  EXPECT_TRUE(EditorOn(45, 3));
  EXPECT_TRUE(view->viewport()->rect().contains(view->CellRect(45, 3)));
}

TEST_F(SheetTest, OnlyAMousePressOnANameShowsThatRoom) {
  Enter(1, 3, "1");
  AddRooms({Q("会議室")});
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("会議室"));
  EXPECT_EQ(Shown(1, 3), "");
  Enter(1, 3, "2");
  Find<QCheckBox>("Check2")->click();
  Find<QLineEdit>("Kasyo")->setFocus();
  Find<QLineEdit>("Kasyo")->selectAll();
  Type(Find<QLineEdit>("Kasyo"), "3");

  PressRoom(0);
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("事務室"));
  EXPECT_EQ(Shown(1, 5), "1.00");
  EXPECT_FALSE(Find<QCheckBox>("Check2")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("Kasyo")->text(), "1");

  auto* list = Find<QListWidget>("List1(0)");
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("事務室"));
  EXPECT_EQ(Shown(1, 5), "1.00");
  // The empty area below the names picks nothing.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    QPoint(5, list->viewport()->height() - 3));
  EXPECT_EQ(Find<QLabel>("HeyaName(0)")->text(), Q("事務室"));

  PressRoom(1);
  EXPECT_EQ(Shown(1, 5), "2.00");
  EXPECT_TRUE(Find<QCheckBox>("Check2")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("Kasyo")->text(), "3");
  EXPECT_EQ(list->currentRow(), 1);
}

TEST_F(SheetTest, RecalculateAndClearValuesGoThroughEveryRoomShowingEach) {
  Enter(1, 3, "1+1");
  AddRooms({Q("会議室"), Q("倉庫")});
  Enter(1, 3, "2*2");
  ClickCell(2, 5);
  EXPECT_EQ(Shown(2, 5), "4.00");

  // Between rooms the window paints the room being worked on, with the
  // progress bar up.
  QLabel* name = Find<QLabel>("HeyaName(0)");
  auto* bar = Find<QProgressBar>("ProgressBar1");
  struct PaintLog : QObject {
    QLabel* label = nullptr;
    QProgressBar* bar = nullptr;
    QStringList names;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint && bar->isVisible()) {
        names.append(label->text());
      }
      return false;
    }
  } log;
  log.label = name;
  log.bar = bar;
  name->installEventFilter(&log);
  QList<int> progress_values;
  QObject::connect(bar, &QProgressBar::valueChanged, bar,
                   [&](int v) { progress_values.append(v); });

  Click("Command10(1)");
  name->removeEventFilter(&log);
  ASSERT_FALSE(log.names.isEmpty());
  EXPECT_EQ(log.names.front(), Q("事務室"));
  // The bar starts empty and ends full, never going back; it moves only as
  // often as the window is painted, so steps between may be skipped.
  ASSERT_GE(progress_values.size(), 2);
  EXPECT_EQ(progress_values.front(), 0);
  EXPECT_EQ(progress_values.back(), 3);
  EXPECT_TRUE(std::is_sorted(progress_values.begin(), progress_values.end()));
  EXPECT_FALSE(bar->isVisible());
  // The last room stays shown, with its values gone and its formulas kept.
  EXPECT_EQ(name->text(), Q("倉庫"));
  EXPECT_EQ(Find<QListWidget>("List1(0)")->currentRow(), 2);
  EXPECT_EQ(Shown(1, 3), "2*2");
  EXPECT_EQ(Shown(1, 5), "");
  PressRoom(0);
  EXPECT_EQ(Shown(1, 5), "");

  // 再計算 goes through every room too, then shows again the room that was
  // shown before it, in the label and the list.
  Click("Command10(0)");
  EXPECT_EQ(name->text(), Q("事務室"));
  EXPECT_EQ(Find<QListWidget>("List1(0)")->currentRow(), 0);
  EXPECT_EQ(Shown(1, 5), "2.00");
  PressRoom(2);
  EXPECT_EQ(Shown(1, 5), "4.00");
  EXPECT_EQ(Shown(2, 3), Q("小計"));
  EXPECT_EQ(Shown(2, 5), "4.00");
  EXPECT_TRUE(dialogs.Take().empty());
}

}  // namespace
}  // namespace veltrano::testing
