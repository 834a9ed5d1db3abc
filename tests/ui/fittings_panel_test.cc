// The register and fittings takeoff panels through their real widgets: the
// boxes and their keys, the register table, the code list, the candidate
// list under a clicked cell, the cell editor, "入力確定" and the entered-
// fitting dialog.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "main_form_fixture.h"
#include "ui/fittings_panel.h"
#include "ui/register_panel.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class FittingsPanelTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    NewProject("建具");
  }
  QString TableText(const QString& name, int row, int col) {
    auto* table = Find<QTableView>(name);
    return table->model()->index(row, col).data().toString();
  }
  void ClickTableCell(const QString& name, int row, int col) {
    auto* table = Find<QTableView>(name);
    const QRect cell = table->visualRect(table->model()->index(row, col));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }
};

TEST_F(FittingsPanelTest, RegisterByTheBoxesAndTakeOffTheFitting) {
  Click("HiroiBunrui(3)");
  auto* code = Find<QLineEdit>("InpText(0)");
  code->setFocus();
  Type(code, "AW1");
  QTest::keyClick(code, Qt::Key_Return);
  auto* width = Find<QLineEdit>("InpText(1)");
  EXPECT_TRUE(Focused(width));
  Type(width, "1830");
  QTest::keyClick(width, Qt::Key_Return);
  auto* height = Find<QLineEdit>("InpText(2)");
  Type(height, "2030");
  QTest::keyClick(height, Qt::Key_Return);
  EXPECT_EQ(TableText("TateguGrid", 0, 0), "AW1");
  EXPECT_EQ(TableText("TateguGrid", 0, 2), "2030");
  EXPECT_TRUE(Focused(code));

  Click("HiroiBunrui(1)");
  auto* codes = Find<QListWidget>("TateguHiroiList");
  ASSERT_EQ(codes->count(), 1);
  QTest::mouseClick(codes->viewport(), Qt::LeftButton, {},
                    codes->visualItemRect(codes->item(0)).center());
  EXPECT_EQ(Find<QLabel>("T_Jyoho(0)")->text(), "AW1");
  EXPECT_EQ(Find<QLabel>("T_Jyoho(3)")->text(), Q("新規"));

  // The glass list opens under the clicked cell.
  ClickTableCell("TateguKeisanGrid(0)", 0, 0);
  auto* glass = Find<QListWidget>("HinagataList(0)");
  ASSERT_TRUE(glass->isVisible());
  auto* table = Find<QTableView>("TateguKeisanGrid(0)");
  const QRect cell = table->visualRect(table->model()->index(0, 0));
  EXPECT_NEAR(glass->geometry().top(),
              table->viewport()->mapTo(glass->parentWidget(), cell.bottomLeft()).y(), 2);
  QTest::mouseClick(glass->viewport(), Qt::LeftButton, {},
                    glass->visualItemRect(glass->item(1)).center());
  EXPECT_FALSE(glass->isVisible());
  EXPECT_EQ(TableText("TateguKeisanGrid(0)", 0, 1), "1.8");
  EXPECT_EQ(TableText("TateguKeisanGrid(0)", 0, 7), "3.60");

  // The editor over a typed cell: Enter writes and moves right.
  ClickTableCell("TateguKeisanGrid(0)", 0, 3);
  auto* editor = Find<QLineEdit>("InputText");
  ASSERT_TRUE(editor->isVisible());
  editor->selectAll();
  Type(editor, "2");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(TableText("TateguKeisanGrid(0)", 0, 7), "7.20");
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->geometry(),
            table->visualRect(table->model()->index(0, 4)));

  Click("TorikomiBtn");
  EXPECT_EQ(TableText("TateguDataGrid", 0, 0), "AW1");
  EXPECT_EQ(TableText("TateguDataGrid", 0, 6), "7.20");

  // The entered-fitting dialog, from a click on the code.
  ClickTableCell("TateguDataGrid", 0, 0);
  auto* panel = Find<FittingsPanel>("Frame_Tategu");
  ASSERT_NE(panel->entered_dialog(), nullptr);
  EXPECT_EQ(FindIn<QLabel>(panel->entered_dialog(), "Info")->text(),
            Q("選択された符号⇒AW1"));
  dialogs.answers = {Answer::kOk};
  Click(FindIn<QPushButton>(panel->entered_dialog(), "Command1(1)"));
  Flush();
  EXPECT_EQ(panel->entered_dialog(), nullptr);
  EXPECT_EQ(TableText("TateguDataGrid", 0, 0), "");
}

TEST_F(FittingsPanelTest, EditingAClickedFittingKeepsTheFocusInTheBoxTyped) {
  RegisterFitting("D1", "780", "2000");
  auto* code = Find<QLineEdit>("InpText(0)");
  auto* width = Find<QLineEdit>("InpText(1)");
  auto* height = Find<QLineEdit>("InpText(2)");
  ASSERT_EQ(TableText("TateguGrid", 0, 0), "D1");

  // The estimator picks the row, clicks into H and W, replaces their texts.
  ClickTableCell("TateguGrid", 0, 0);
  EXPECT_EQ(code->text(), "D1");
  for (QLineEdit* box : {height, width}) {
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    ASSERT_TRUE(Focused(box));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    Type(box, box == height ? "2100" : "800");
    EXPECT_TRUE(Focused(box));
  }
  EXPECT_EQ(code->text(), "D1");
  EXPECT_EQ(width->text(), "800");
  EXPECT_EQ(height->text(), "2100");
  dialogs.answers = {Answer::kOk};
  Click("Syori(0)");
  EXPECT_EQ(TableText("TateguGrid", 0, 1), "800");
  EXPECT_EQ(TableText("TateguGrid", 0, 2), "2100");
  EXPECT_EQ(TableText("TateguGrid", 1, 0), "");
}

TEST_F(FittingsPanelTest, PositionPickLeavesTheTableWhereItIs) {
  Click("HiroiBunrui(3)");
  auto* table = Find<QTableView>("TateguGrid");
  auto* info = Find<QLabel>("Info");
  auto* code = Find<QLineEdit>("InpText(0)");
  // At every display size, a new code put at the first row.
  for (const char* size : {"SizeOp(2)", "SizeOp(1)", "SizeOp(0)"}) {
    const QString new_code = QString("D%1").arg(size[7]);
    Click(size);
    Flush();
    const QPoint before = table->mapTo(window.get(), QPoint(0, 0));
    code->setFocus();
    code->selectAll();
    Type(code, new_code);
    Click("Syori(1)");
    Flush();
    ASSERT_EQ(info->text(), Q("位置を指定してください。"));
    EXPECT_EQ(table->mapTo(window.get(), QPoint(0, 0)), before) << size;
    // Both texts of the information line are shown whole.
    EXPECT_GE(info->height(), info->heightForWidth(info->width())) << size;
    ClickTableCell("TateguGrid", 0, 0);
    Flush();
    EXPECT_EQ(TableText("TateguGrid", 0, 0), new_code);
    EXPECT_EQ(table->mapTo(window.get(), QPoint(0, 0)), before) << size;
    EXPECT_GE(info->height(), info->heightForWidth(info->width())) << size;
  }
}

TEST_F(FittingsPanelTest, ARegisterStepIsUndoneFromAnotherModeAndShownOnItsPanel) {
  RegisterFitting("D1", "780", "2000");
  Flush();
  ASSERT_EQ(TableText("TateguGrid", 0, 0), Q("D1"));
  auto* undo = window->findChild<QAction*>("Undo");
  auto* redo = window->findChild<QAction*>("Redo");
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(redo, nullptr);
  EXPECT_EQ(undo->toolTip(), Q("元に戻す: 建具登録 (Ctrl+Z)"));
  Click("HiroiBunrui(0)");
  ASSERT_EQ(ws->mode(), kModeInterior);
  Shortcut(Qt::Key_Z);
  Flush();
  EXPECT_EQ(ws->mode(), kModeFittingsRegister);
  EXPECT_EQ(TableText("TateguGrid", 0, 0), "");
  EXPECT_EQ(redo->toolTip(), Q("やり直し: 建具登録 (Ctrl+Y)"));
  Shortcut(Qt::Key_Y);
  Flush();
  EXPECT_EQ(TableText("TateguGrid", 0, 0), Q("D1"));
}

}  // namespace
}  // namespace veltrano::testing
