#ifndef VELTRANO_UI_FIT_TEXT_DELEGATE_H_
#define VELTRANO_UI_FIT_TEXT_DELEGATE_H_

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <QStyledItemDelegate>
#include <vector>

namespace veltrano {

// Draws the cells of every table so that a cell never shows part of its
// text without a sign. A text wider than its cell is drawn in a smaller
// font, down to `kMinimumScale` of the cell's font; beyond that a number
// shows as "###" (as spreadsheets do) and any other text is cut with an
// ellipsis. The tooltip of a cell drawn smaller or cut holds its whole text.
class FitTextDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr double kMinimumScale = 0.75;

  // What a cell `width` pixels wide shows for `text` in `font`.
  struct Fitted {
    QFont font;
    QString text;
    bool shrunk = false;  // drawn in a smaller font
    bool cut = false;     // not all of the text is shown
  };
  static Fitted Fit(const QString& text, const QFont& font, double width);
  // Whether a cut text shows as "###" rather than with an ellipsis.
  static bool LooksLikeNumber(const QString& text);

  explicit FitTextDelegate(QObject* parent = nullptr)
      : QStyledItemDelegate(parent) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view,
                 const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  // The width the text of a cell may take.
  double TextWidth(const QStyleOptionViewItem& option) const;

  // A text as a cell shows it, fitted and laid out once: a sheet shows the
  // same texts room after room, and laying a text out is most of the cost
  // of painting a cell.
  struct Prepared {
    Fitted fitted;
    QStaticText laid_out;  // the fitted text in the fitted font
    double advance = 0;    // its width
    int line_height = 0;   // the height of its line, as the style rounds it
  };
  const Prepared& PreparedFor(const QString& text, const QFont& font,
                              double width) const;
  // Draws a cell of plain text: the style draws its background, selection
  // and focus, and the prepared text is drawn as the style would place it.
  void PaintPlainCell(QPainter* painter, QStyleOptionViewItem& opt) const;

  mutable std::vector<QFont> fonts_;  // the fonts met, by number
  mutable QHash<QString, Prepared> prepared_;  // by font, width and text
};

}  // namespace veltrano

#endif  // VELTRANO_UI_FIT_TEXT_DELEGATE_H_
