#ifndef VELTRANO_UI_FIT_TEXT_DELEGATE_H_
#define VELTRANO_UI_FIT_TEXT_DELEGATE_H_

#include <QFont>
#include <QString>
#include <QStyledItemDelegate>

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
};

}  // namespace veltrano

#endif  // VELTRANO_UI_FIT_TEXT_DELEGATE_H_
