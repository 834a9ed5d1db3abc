#ifndef VELTRANO_UI_SHEET_VIEW_H_
#define VELTRANO_UI_SHEET_VIEW_H_

#include <QHeaderView>
#include <QLineEdit>
#include <QModelIndex>
#include <QTableView>

#include "takeoff/sheets.h"

namespace veltrano {

class SheetModel;

// The header row and the row-number column of a takeoff sheet, painted
// flat in the colours the model gives (the part colours over each block).
class SheetHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit SheetHeader(Qt::Orientation orientation, QWidget* parent = nullptr);

 protected:
  void paintSection(QPainter* painter, const QRect& rect,
                    int logical_index) const override;
};

// The cell editor `Text2`: a frameless single-line box laid over the
// current cell. Enter, Tab, Up, Down and Escape are the editor's keys;
// everything else types. Tab never moves the focus out of the editor.
class CellEditor : public QLineEdit {
  Q_OBJECT

 public:
  explicit CellEditor(QWidget* parent = nullptr);

  // Switches the input method on (item cells) or off (formulas, fitting
  // codes).
  void SetInputMethodWanted(bool wanted);

 signals:
  void keyPressed(veltrano::EditorKey key);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// A takeoff sheet `Grid1(side)`. Horizontal scrolling belongs to the
// workspace (the part buttons and arrows), so the view keeps the first
// visible column it is given; the user's own horizontal scrolling (the
// scroll bar, Shift with the wheel, a horizontal wheel) is reported as
// `columnsScrolled` for the workspace to take up. Rows scroll freely. Clicks are reported in sheet coordinates: a right button at once
// when pressed, a left button when released (with whether a range was
// dragged).
class SheetView : public QTableView {
  Q_OBJECT

 public:
  explicit SheetView(SheetModel* model, QWidget* parent = nullptr);

  SheetModel* sheet_model() const { return model_; }
  CellEditor* editor() const { return editor_; }

  // Column widths and row heights in twips, drawn at `dpi` and scaled by
  // the display size.
  void ApplyMetrics(double dpi, double scale);
  static int ColumnWidthTwips(int sheet_col);

  void SetFirstVisibleColumn(int sheet_col);
  // The sheet column shown at the left edge.
  int FirstVisibleColumn() const;
  // The first visible column that shows the whole of `sheet_col`, as near
  // to `first` as can be: `first` itself when the column is in view.
  int FirstColumnShowing(int sheet_col, int first) const;

  // Shows the current cell and the selected range (top, left, bottom,
  // right), unless the user is dragging one.
  void ShowSelection(int sheet_row, int sheet_col, int top, int left,
                     int bottom, int right);

  // Shows the editor over the cell with the text. The row is scrolled into
  // view first; that scroll does not count as the user's. A new `opening`
  // puts the text in afresh, selected or with the caret after it.
  void ShowEditor(int sheet_row, int sheet_col, const QString& text,
                  bool input_method, bool take_focus, quint64 opening,
                  bool select_text);
  void HideEditor();

  QRect CellRect(int sheet_row, int sheet_col) const;

 signals:
  void rightPressed(int sheet_row, int sheet_col);
  void leftClicked(int sheet_row, int sheet_col, bool range);
  void currentMoved(int sheet_row, int sheet_col);
  // The second corner of the selection moved: a dragged range, a click
  // with Shift, or Shift with an arrow key.
  void rangeExtended(int sheet_row, int sheet_col);
  // Ctrl+C and Ctrl+V on the sheet.
  void copyRequested();
  void pasteRequested();
  // The user scrolled the rows (scroll bar, wheel or keys).
  void userScrolled();
  // The user scrolled the columns: `sheet_col` is to be the first visible.
  void columnsScrolled(int sheet_col);
  // Delete on the sheet with the editor closed.
  void deleteRequested();
  // With the editor closed: F2 on the current cell, or text typed on it.
  void editRequested();
  void typed(const QString& text);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void KeepPinnedColumn();

  SheetModel* model_;
  CellEditor* editor_;
  int pinned_col_ = 0;       // model column at the left edge
  bool scrolling_ = false;   // a scroll made by the program
  QPersistentModelIndex press_index_;
  bool shift_press_ = false;  // a left press with Shift extends the range
  int end_row_ = 1;           // the selection's second corner shown
  int end_col_ = 1;
  quint64 editor_opening_ = 0;  // the opening the editor shows
};

}  // namespace veltrano

#endif  // VELTRANO_UI_SHEET_VIEW_H_
