// The template dialog "項目リスト登録" through its real widgets: opened from
// the settings panel, items typed into the table's editor, the template
// saved under a name, the dialog closed and opened again, and the template
// loaded back.
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "calc/text_file.h"
#include "main_form_fixture.h"
#include "ui/settings_panel.h"
#include "ui/templates_dialog.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class TemplatesDialogTest : public MainFormTest {
 protected:
  // "登録・編集" on the settings panel.
  TemplatesDialog* OpenDialog() {
    Click("Command13");
    TemplatesDialog* dialog =
        Find<SettingsPanelWidget>("Frame_Set")->templates_dialog();
    if (dialog != nullptr) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    return dialog;
  }
  static QString Cell(QTableView* table, int row, int col) {
    return table->model()->index(row, col).data().toString();
  }
  static QRect CellRect(QTableView* table, int row, int col) {
    return table->visualRect(table->model()->index(row, col));
  }
  static void ClickCell(QTableView* table, int row, int col) {
    const QRect cell = CellRect(table, row, col);
    ASSERT_TRUE(table->viewport()->rect().contains(cell.center()));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }
};

TEST_F(TemplatesDialogTest, ItemsTypedIntoTheTableAreSavedAndLoadedBack) {
  Click("HiroiBunrui(4)");
  TemplatesDialog* dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), Q("項目リスト登録"));
  auto* table = FindIn<QTableView>(dialog, "KoumokuGrid");
  auto* editor = FindIn<QLineEdit>(dialog, "Text1");
  EXPECT_EQ(table->model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
            Q("壁"));
  EXPECT_EQ(Cell(table, 0, 0), "1");
  // Twenty rows on screen, the rest below the scroll bar.
  EXPECT_EQ(table->rowAt(table->viewport()->height() - 1), 19);
  EXPECT_FALSE(editor->isVisible());

  // Wall items in rows 1 and 2: the editor opens over the clicked cell and
  // Down takes it to the cell below.
  ClickCell(table, 0, 3);
  ASSERT_TRUE(editor->isVisible());
  EXPECT_TRUE(Focused(editor));
  EXPECT_EQ(editor->geometry(), CellRect(table, 0, 3));
  Type(editor, Q("ＰＢ張"));
  EXPECT_EQ(Cell(table, 0, 3), Q("ＰＢ張"));
  QTest::keyClick(editor, Qt::Key_Down);
  EXPECT_EQ(editor->geometry(), CellRect(table, 1, 3));
  EXPECT_TRUE(editor->text().isEmpty());
  EXPECT_TRUE(Focused(editor));
  Type(editor, Q("ＥＰ塗"));
  EXPECT_EQ(Cell(table, 1, 3), Q("ＥＰ塗"));

  auto* name = FindIn<QComboBox>(dialog, "Combo1");
  name->lineEdit()->setFocus();
  Type(name->lineEdit(), Q("事務所"));
  Click(FindIn<QAbstractButton>(dialog, "Command2(1)"));
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"確認", "保存しました。", false}}));
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(base / "list" / "事務所.klt", &lines, &error)) << error;
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines[0], ",,ＰＢ張,,,");
  EXPECT_EQ(lines[1], ",,ＥＰ塗,,,");
  EXPECT_EQ(lines[2], ",,,,,");
  // The new name joins the list; the box keeps it.
  ASSERT_EQ(name->count(), 1);
  EXPECT_EQ(name->itemText(0), Q("事務所"));
  EXPECT_EQ(name->currentText(), Q("事務所"));

  Click(FindIn<QAbstractButton>(dialog, "Command1"));
  Flush();
  EXPECT_EQ(Find<SettingsPanelWidget>("Frame_Set")->templates_dialog(), nullptr);
  EXPECT_FALSE(ws->item_templates().shown());

  // Opened again, the table is empty until the template is read.
  dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  table = FindIn<QTableView>(dialog, "KoumokuGrid");
  editor = FindIn<QLineEdit>(dialog, "Text1");
  name = FindIn<QComboBox>(dialog, "Combo1");
  EXPECT_TRUE(Cell(table, 0, 3).isEmpty());
  EXPECT_TRUE(name->currentText().isEmpty());
  ASSERT_EQ(name->count(), 1);
  name->lineEdit()->setFocus();
  Type(name->lineEdit(), Q("事務所"));
  Click(FindIn<QAbstractButton>(dialog, "Command2(0)"));
  EXPECT_TRUE(dialogs.Take().empty());
  EXPECT_EQ(Cell(table, 0, 3), Q("ＰＢ張"));
  EXPECT_EQ(Cell(table, 1, 3), Q("ＥＰ塗"));

  // "行挿入" empties the editor's cell and its box, moving the column down;
  // the editor keeps the focus.
  ClickCell(table, 0, 3);
  EXPECT_EQ(editor->text(), Q("ＰＢ張"));
  Click(FindIn<QAbstractButton>(dialog, "Command3(0)"));
  EXPECT_TRUE(editor->text().isEmpty());
  EXPECT_EQ(Cell(table, 1, 3), Q("ＰＢ張"));
  EXPECT_EQ(Cell(table, 2, 3), Q("ＥＰ塗"));
  EXPECT_TRUE(Focused(editor));

  // Going down past the last row on screen scrolls the table, and the
  // editor stays over its cell.
  for (int i = 0; i < 25; ++i) QTest::keyClick(editor, Qt::Key_Down);
  EXPECT_EQ(ws->item_templates().current_row(), 26);
  EXPECT_EQ(editor->geometry(), CellRect(table, 25, 3));
  EXPECT_TRUE(table->viewport()->rect().contains(editor->geometry()));
  Type(editor, Q("巾木"));
  EXPECT_EQ(Cell(table, 25, 3), Q("巾木"));
}

}  // namespace
}  // namespace veltrano::testing
