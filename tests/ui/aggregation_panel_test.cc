// The aggregation panel through its real widgets: the summary choices, the
// selection dialog, a work type assigned by a click, the work-type table's
// editor and its keys, and "Exceに送る".
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QRegularExpression>
#include <QTest>

#include <fstream>
#include <string>

#include "main_form_fixture.h"
#include "ui/aggregation_panel.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

class AggregationPanelTest : public MainFormTest {
 protected:
  QString TableText(const QString& name, int row, int col) {
    return Find<QTableView>(name)->model()->index(row, col).data().toString();
  }
  void ClickTableCell(const QString& name, int row, int col) {
    auto* table = Find<QTableView>(name);
    const QRect cell = table->visualRect(table->model()->index(row, col));
    ASSERT_TRUE(table->viewport()->rect().contains(cell.center()));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }
  static std::string ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
  }
  static std::string ClipboardRows() {
    return QGuiApplication::clipboard()->mimeData()->data(QtClipboard::kRowsMimeType).toStdString();
  }
  void Choose(const QString& list_name, const QString& entry) {
    auto* list = Find<QListWidget>(list_name);
    const auto found = list->findItems(entry, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << entry.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found[0]).center());
  }
};

TEST_F(AggregationPanelTest, FromTheSheetToThePricedTableOnTheClipboard) {
  NewProject("集計");
  AddRooms({Q("居間")});
  PressRoom(0);
  Enter(1, 2, Q("PB張"));
  Enter(1, 3, "10.5");
  ClickCell(1, 1, Qt::RightButton);
  ClickCell(2, 5);
  ASSERT_EQ(Shown(2, 5), "10.50");

  Click("HiroiBunrui(2)");
  Click("Command4(0)");
  Click("Command2(0)");
  AggregationDialogWidget* dialog = window->aggregation_panel()->selection_dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), Q("内部集計"));
  Click(FindIn<QAbstractButton>(dialog, "Command2"));
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "部屋または場所が選択されていません。", false}}));
  Click(FindIn<QAbstractButton>(dialog, "Command1(0)"));
  EXPECT_EQ(FindIn<QListWidget>(dialog, "List1(1)")->count(), 1);
  Click(FindIn<QAbstractButton>(dialog, "Command2"));
  Flush();
  EXPECT_EQ(window->aggregation_panel()->selection_dialog(), nullptr);
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"内部集計", "終了しました。", false}}));
  auto* floor = Find<QTableView>("SyukeiGrid(0)");
  EXPECT_TRUE(floor->isVisible());
  EXPECT_EQ(TableText("SyukeiGrid(0)", 2, 2), Q("PB張"));
  EXPECT_EQ(TableText("SyukeiGrid(0)", 4, 2), "10.50");
  EXPECT_TRUE(Find<QListWidget>("KousyuList")->isVisible());
  EXPECT_FALSE(Find<QListWidget>("TaniList")->isVisible());

  // A work type chosen in the list goes onto the clicked column.
  Choose("KousyuList", Q("内装"));
  ClickTableCell("SyukeiGrid(0)", 0, 2);
  EXPECT_EQ(TableText("SyukeiGrid(0)", 1, 2), Q("内装"));

  // "Exceに送る" leaves the whole table selected.
  Click("Command2(1)");
  EXPECT_EQ(floor->selectionModel()->selectedIndexes().size(), 5 * 3);
  EXPECT_EQ(ClipboardText().rfind("【内部集計表】\tヶ所\t", 0), 0u);
  dialogs.Take();

  // The work-type table with the unit list.
  Click("Command4(3)");
  EXPECT_TRUE(Find<QListWidget>("TaniList")->isVisible());
  EXPECT_TRUE(Find<QLabel>("Label16(0)")->isVisible());
  EXPECT_FALSE(Find<QListWidget>("KousyuList")->isVisible());
  dialogs.answers = {Answer::kOk};
  Click("Command6(0)");
  dialogs.Take();
  EXPECT_EQ(TableText("SyukeiGrid(5)", 0, 0), Q("内装工事"));
  EXPECT_EQ(TableText("SyukeiGrid(5)", 0, 4), "10.50");

  // A unit from the list; then the price typed in the editor over its cell.
  Choose("TaniList", "m2");
  ClickTableCell("SyukeiGrid(5)", 0, 5);
  EXPECT_EQ(TableText("SyukeiGrid(5)", 0, 5), "m2");
  ClickTableCell("SyukeiGrid(5)", 0, 6);
  auto* editor = Find<QLineEdit>("KousyubetuText");
  ASSERT_TRUE(editor->isVisible());
  EXPECT_TRUE(Focused(editor));
  auto* work = Find<QTableView>("SyukeiGrid(5)");
  EXPECT_EQ(editor->geometry(), work->visualRect(work->model()->index(0, 6)));
  Type(editor, "2&000");
  EXPECT_EQ(editor->text(), "2000");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(TableText("SyukeiGrid(5)", 0, 6), "2,000");
  EXPECT_EQ(TableText("SyukeiGrid(5)", 0, 7), "21,000");
  EXPECT_EQ(TableText("SyukeiGrid(5)", 2, 7), "(21,000)");
  // The only item has no item row below it to go to: the editor stays on
  // its cell, never on the separator row, with the price selected.
  EXPECT_EQ(editor->geometry(), work->visualRect(work->model()->index(0, 6)));
  EXPECT_EQ(editor->selectedText(), "2000");
  EXPECT_TRUE(Focused(editor));

  Click("Command6(1)");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"確認", "集計表の内容を送りましたので、Excel上で〈貼り付け〉できます。", false}}));
  EXPECT_EQ(ClipboardText().substr(0, ClipboardText().find('\r')),
            "工種\t項目名\t\t区分\t部位\t数量\t単位\t単価\t金額\t備考");
  EXPECT_NE(ClipboardRows().find("\r\n内装工事\tPB張\t\t内部\t床\t10.50\tm2\t2,000\t21,000"),
            std::string::npos);

  // The HTML form holds the same cells: numbers as values (a subtotal a
  // positive one, its parentheses in the format), texts as they stand.
  const QString html = QGuiApplication::clipboard()->mimeData()->html();
  const QStringList plain_rows = QString::fromStdString(ClipboardText()).split('\r');
  QRegularExpression row_pattern("<tr>(.*?)</tr>");
  QRegularExpression cell_pattern("<td([^>]*)>(.*?)</td>");
  int row = 0;
  int values = 0;
  for (auto rows = row_pattern.globalMatch(html); rows.hasNext(); ++row) {
    const QString row_html = rows.next().captured(1);
    ASSERT_LT(row, plain_rows.size());
    const QStringList plain = plain_rows[row].split('\t');
    int col = 0;
    for (auto cells = cell_pattern.globalMatch(row_html); cells.hasNext(); ++col) {
      const auto cell = cells.next();
      ASSERT_LT(col, plain.size());
      QString shown = plain[col];
      const auto value = QRegularExpression("x:num=\"([^\"]*)\"").match(cell.captured(1));
      if (value.hasMatch()) {
        ++values;
        const bool bracketed = shown.startsWith('(');
        if (bracketed) shown = shown.mid(1, shown.size() - 2);
        EXPECT_EQ(value.captured(1), QString(shown).remove(','));
        EXPECT_EQ(cell.captured(1).contains("(#,##0)"), bracketed) << cell.captured(0).toStdString();
        EXPECT_GE(value.captured(1).toDouble(), 0);
      }
      EXPECT_EQ(cell.captured(2), shown.toHtmlEscaped()) << cell.captured(0).toStdString();
    }
    EXPECT_EQ(col, plain.size());
  }
  EXPECT_EQ(row, plain_rows.size());
  EXPECT_EQ(values, 5);  // quantity, price and amount, the subtotal and the total

  // The table as a spreadsheet file, and as CSV in UTF-8.
  files.answers = {DataFile("集計_工種別.xlsx")};
  Click("SaveXlsx");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "集計_工種別.xlsx に保存しました。", false}}));
  EXPECT_EQ(files.requests.back().suggested_name, "集計_工種別.xlsx");
  std::ifstream xlsx(DataFile("集計_工種別.xlsx"), std::ios::binary);
  std::string head(2, '\0');
  xlsx.read(head.data(), 2);
  EXPECT_EQ(head, "PK");
  Click("CsvUtf8");
  files.answers = {DataFile("工種別")};  // the extension is added
  Click("SaveCsv");
  dialogs.Take();
  std::ifstream csv(DataFile("工種別.csv"), std::ios::binary);
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "\xEF\xBB\xBF工種,項目名,,区分,部位,数量,単位,単価,金額,備考\r");
}

TEST_F(AggregationPanelTest, TheFinishedTableStandsBehindTheClosingMessage) {
  NewProject("集計");
  RegisterFitting("AW1", "1830", "2030");
  Click("HiroiBunrui(1)");
  Choose("TateguHiroiList", "AW1");
  ClickTableCell("TateguKeisanGrid(0)", 0, 0);
  auto* glass = Find<QListWidget>("HinagataList(0)");
  QTest::mouseClick(glass->viewport(), Qt::LeftButton, {},
                    glass->visualItemRect(glass->item(1)).center());
  Click("TorikomiBtn");
  Click("HiroiBunrui(2)");
  Click("Command4(2)");

  // The table has been told of its new contents, and shows them, by the
  // time "終了しました。" comes up.
  auto* table = Find<QTableView>("TateguSyukeiGrid");
  QSignalSpy reset(table->model(), &QAbstractItemModel::modelReset);
  QSignalSpy changed(table->model(), &QAbstractItemModel::dataChanged);
  QStringList seen;
  const std::function<void()> catch_up = dialogs.before_showing;
  dialogs.before_showing = [&] {
    if (catch_up) catch_up();
    seen << QString::number(reset.count() + changed.count())
         << QString::number(table->isVisible()) << TableText("TateguSyukeiGrid", 2, 2);
  };
  Click("Command5(0)");
  Flush();
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"建具廻り集計", "終了しました。", false}}));
  ASSERT_EQ(TableText("TateguSyukeiGrid", 2, 2), "FL5:<4.45");
  ASSERT_EQ(seen.size(), 3);
  EXPECT_NE(seen[0], "0");
  EXPECT_EQ(seen[1], "1");
  EXPECT_EQ(seen[2], "FL5:<4.45");
}

}  // namespace
}  // namespace veltrano::testing
