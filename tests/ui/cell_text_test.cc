// Texts wider than their cells: drawn smaller, or marked as cut, never cut
// silently; the tooltip holds the whole text. And Qt's own dialogs speak
// Japanese.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLabel>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>
#include <utility>

#include "main_form_fixture.h"
#include "ui/fit_text_delegate.h"
#include "ui/sheet_model.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

TEST(FitTextTest, ShrinksThenMarksNumbersAndCutsTextsWithAnEllipsis) {
  QFont font = QApplication::font();
  font.setPointSizeF(10);
  const QString subtotal = "2016.0000";
  const double full = QFontMetricsF(font).horizontalAdvance(subtotal);

  auto fit_in = [&](const QString& text, double width) {
    const auto fitted = FitTextDelegate::Fit(text, font, width);
    // Whatever is drawn fits the cell.
    EXPECT_LE(QFontMetricsF(fitted.font).horizontalAdvance(fitted.text), width)
        << text.toStdString() << " in " << width;
    return fitted;
  };
  const auto roomy = fit_in(subtotal, full + 1);
  EXPECT_EQ(roomy.text, subtotal);
  EXPECT_FALSE(roomy.shrunk || roomy.cut);

  // A little too wide: the whole number in a smaller font.
  const auto tight = fit_in(subtotal, full * 0.85);
  EXPECT_EQ(tight.text, subtotal);
  EXPECT_TRUE(tight.shrunk);
  EXPECT_FALSE(tight.cut);
  EXPECT_LT(tight.font.pointSizeF(), font.pointSizeF());
  EXPECT_GE(tight.font.pointSizeF(),
            font.pointSizeF() * FitTextDelegate::kMinimumScale - 0.01);

  // Far too wide: never part of a number.
  for (const QString& number : {QString("2016.0000"), QString("-12.50"), QString("123456.78")}) {
    const double w = QFontMetricsF(font).horizontalAdvance(number) * 0.4;
    const auto cut = fit_in(number, w);
    EXPECT_TRUE(cut.cut);
    EXPECT_FALSE(cut.text.isEmpty());
    EXPECT_EQ(cut.text, QString(cut.text.size(), QLatin1Char('#')));
  }
  // A formula or a name keeps its beginning and ends in an ellipsis.
  const QString formula = "(1.2+0.8)*2.4";
  const auto cut = fit_in(formula, QFontMetricsF(font).horizontalAdvance(formula) * 0.4);
  EXPECT_TRUE(cut.cut);
  EXPECT_TRUE(cut.text.startsWith("(1"));
  EXPECT_TRUE(cut.text.endsWith(QChar(0x2026)));

  EXPECT_TRUE(FitTextDelegate::LooksLikeNumber("-0.25"));
  EXPECT_FALSE(FitTextDelegate::LooksLikeNumber("1+2"));
  EXPECT_FALSE(FitTextDelegate::LooksLikeNumber("Er1"));
  EXPECT_FALSE(FitTextDelegate::LooksLikeNumber("?"));
}

// The ink of a table's only cell, as the view paints it: its leftmost and
// rightmost dark columns relative to the cell, or {-1, -1}.
std::pair<int, int> InkOfCell(QTableWidget& table) {
  const QRect cell = table.visualRect(table.model()->index(0, 0));
  const QImage image = table.viewport()->grab().toImage();
  int left = -1;
  int right = -1;
  for (int x = cell.left(); x <= cell.right(); ++x) {
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      if (qGray(image.pixel(x, y)) < 100) {
        if (left < 0) left = x - cell.left();
        right = x - cell.left();
        break;
      }
    }
  }
  return {left, right};
}

TEST(FitTextTest, ACellDrawnAgainAtAnotherWidthIsFittedToIt) {
  QTableWidget table(1, 1);
  table.setWordWrap(false);  // as every table of the program
  table.setItemDelegate(new FitTextDelegate(&table));
  table.resize(400, 120);
  auto* item = new QTableWidgetItem("2016.0000");
  item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table.setItem(0, 0, item);
  const double full = QFontMetricsF(table.font()).horizontalAdvance("2016.0000");

  table.setColumnWidth(0, static_cast<int>(full) + 40);
  const auto [roomy_left, roomy_right] = InkOfCell(table);
  ASSERT_GE(roomy_left, 0);

  // Narrower than the text: drawn smaller, ending inside the cell, not cut
  // at its edge by a text laid out for the wider cell.
  const int narrow = static_cast<int>(full * 0.9);
  table.setColumnWidth(0, narrow);
  const auto [left, right] = InkOfCell(table);
  ASSERT_GE(left, 0);
  EXPECT_LT(right, narrow - 2);
  EXPECT_LT(right - left, roomy_right - roomy_left);

  // Back to the roomy width, and another text of the same length: each is
  // drawn as it is, not as the cell was drawn before.
  table.setColumnWidth(0, static_cast<int>(full) + 40);
  EXPECT_EQ(InkOfCell(table), std::make_pair(roomy_left, roomy_right));
  item->setText("1");
  const auto [one_left, one_right] = InkOfCell(table);
  EXPECT_NEAR(one_left, roomy_left, 2);
  EXPECT_LT(one_right, roomy_right / 2);
}

class CellTextTest : public MainFormTest {};

TEST_F(CellTextTest, TheSheetShowsAWideValueWholeOrMarkedWithItsTooltip) {
  NewProject("幅");
  AddRooms({Q("倉庫")});
  Enter(1, 3, "(12.3456+0.0001)*123456");
  SheetView* view = ShownSheet();
  const QModelIndex value = view->model()->index(SheetModel::ModelRow(1),
                                                 SheetModel::ModelCol(5));
  const QString text = value.data().toString();
  ASSERT_EQ(text, "1524150.74");
  EXPECT_NE(dynamic_cast<FitTextDelegate*>(view->itemDelegate()), nullptr);

  // The value column is narrower than the text: its tooltip holds it all.
  QStyleOptionViewItem option;
  option.initFrom(view->viewport());
  option.rect = view->visualRect(value);
  option.font = view->font();
  option.widget = view;
  const QPoint at = option.rect.center();
  QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
  ASSERT_TRUE(view->itemDelegate()->helpEvent(&help, view, option, value));
  EXPECT_EQ(QToolTip::text(), text);
  QToolTip::hideText();
}

TEST(QtTextsTest, StandardDialogsSpeakJapanese) {
  QFileDialog dialog(nullptr, Q("物件データを開く"));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  auto* look_in = dialog.findChild<QLabel*>("lookInLabel");
  ASSERT_NE(look_in, nullptr);
  EXPECT_NE(look_in->text(), "Look in:");
  auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
  ASSERT_NE(buttons, nullptr);
  QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
  ASSERT_NE(cancel, nullptr);
  EXPECT_FALSE(cancel->text().contains("Cancel")) << cancel->text().toStdString();
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "File &name:"),
            "File &name:");
}

}  // namespace
}  // namespace veltrano::testing
