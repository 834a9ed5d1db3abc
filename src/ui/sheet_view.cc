#include "ui/sheet_view.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "takeoff/sheet_layout.h"
#include "ui/fit_text_delegate.h"
#include "ui/display_metrics.h"
#include "ui/sheet_model.h"

namespace veltrano {

SheetHeader::SheetHeader(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent) {
  setSectionResizeMode(QHeaderView::Fixed);
  setSectionsClickable(false);
  setHighlightSections(false);
  setMinimumSectionSize(1);
}

void SheetHeader::paintSection(QPainter* painter, const QRect& rect,
                               int logical_index) const {
  if (!rect.isValid() || model() == nullptr) return;
  painter->save();
  const QVariant background =
      model()->headerData(logical_index, orientation(), Qt::BackgroundRole);
  const QColor fill = background.canConvert<QColor>()
                          ? background.value<QColor>()
                          : palette().color(QPalette::Button);
  painter->fillRect(rect, fill);
  painter->setPen(palette().color(QPalette::Mid));
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  painter->setPen(Qt::black);
  const QString text =
      model()->headerData(logical_index, orientation(), Qt::DisplayRole)
          .toString();
  painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignCenter, text);
  painter->restore();
}

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
  setObjectName("Text2");
  setFrame(false);
  hide();
}

void CellEditor::SetInputMethodWanted(bool wanted) {
  setAttribute(Qt::WA_InputMethodEnabled, wanted);
  setInputMethodHints(wanted ? Qt::ImhNone
                             : Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
  if (hasFocus()) {
    QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
  }
}

bool CellEditor::event(QEvent* event) {
  // Tab and Shift+Tab are taken before the focus chain sees them.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      emit keyPressed(EditorKey::kTab);
      event->accept();
      return true;
    }
  }
  return QLineEdit::event(event);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit keyPressed(EditorKey::kEnter);
      event->accept();
      return;
    case Qt::Key_Up:
      emit keyPressed(EditorKey::kUp);
      event->accept();
      return;
    case Qt::Key_Down:
      emit keyPressed(EditorKey::kDown);
      event->accept();
      return;
    case Qt::Key_Escape:
      emit keyPressed(EditorKey::kEscape);
      event->accept();
      return;
    default:
      QLineEdit::keyPressEvent(event);
  }
}

SheetView::SheetView(SheetModel* model, QWidget* parent)
    : QTableView(parent), model_(model) {
  setHorizontalHeader(new SheetHeader(Qt::Horizontal, this));
  setVerticalHeader(new SheetHeader(Qt::Vertical, this));
  setModel(model);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setCornerButtonEnabled(false);
  setAutoScroll(false);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setTextElideMode(Qt::ElideNone);
  // A text too wide for its cell is drawn smaller, or marked as cut.
  setItemDelegate(new FitTextDelegate(this));
  // Outside the cells the sheet is grey.
  QPalette p = palette();
  p.setColor(QPalette::Base, FillerColor());
  p.setColor(QPalette::Window, FillerColor());
  setPalette(p);

  editor_ = new CellEditor(viewport());
  // A thin frame tells the open editor from the cells around it.
  editor_->setStyleSheet(
      "QLineEdit { border: 1px solid rgb(0, 102, 204); background: white;"
      " color: black; padding: 0px; }");

  connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this,
          [this] { KeepPinnedColumn(); });
  // Only the user's actions on the bar (a drag, a click, the wheel) move
  // the first column; the view's own scrolling is held at the pinned one.
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this] {
    const int position = horizontalScrollBar()->sliderPosition();
    if (position == pinned_col_) return;
    pinned_col_ = position;
    emit columnsScrolled(SheetModel::SheetCol(position));
  });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    if (!scrolling_) emit userScrolled();
  });
}

int SheetView::ColumnWidthTwips(int sheet_col) {
  if (sheet_col == 0) return 350;
  switch (KindOfColumn(sheet_col)) {
    case ColumnKind::kMark: return 500;
    case ColumnKind::kItem: return 2000;
    case ColumnKind::kFittings: return 750;
    case ColumnKind::kFormula: return 1200;
    case ColumnKind::kDeduction: return 500;
    case ColumnKind::kValue: return 900;
    case ColumnKind::kNone: break;
  }
  return 10000;  // the filler
}

void SheetView::ApplyMetrics(double dpi, double scale) {
  auto px = [&](int twips) { return TwipsToPixels(twips * scale, dpi); };
  for (int c = 1; c < kSheetCols; ++c) {
    horizontalHeader()->resizeSection(SheetModel::ModelCol(c),
                                      px(ColumnWidthTwips(c)));
  }
  verticalHeader()->setDefaultSectionSize(px(270));
  horizontalHeader()->setFixedHeight(px(350));
  verticalHeader()->setFixedWidth(px(ColumnWidthTwips(0)));
  KeepPinnedColumn();
  // The scroll bars count columns and rows, the headers pixels: with new
  // sizes the same first column and row lie elsewhere.
  horizontalHeader()->setOffsetToSectionPosition(horizontalScrollBar()->value());
  verticalHeader()->setOffsetToSectionPosition(verticalScrollBar()->value());
  viewport()->update();
}

void SheetView::SetFirstVisibleColumn(int sheet_col) {
  pinned_col_ = std::clamp(SheetModel::ModelCol(sheet_col), 0,
                           model_->columnCount() - 1);
  KeepPinnedColumn();
}

int SheetView::FirstVisibleColumn() const {
  return SheetModel::SheetCol(horizontalScrollBar()->value());
}

int SheetView::FirstColumnShowing(int sheet_col, int first) const {
  if (sheet_col < first) return sheet_col;
  const int room = viewport()->width();
  auto span = [&](int from) {
    int width = 0;
    for (int c = from; c <= sheet_col; ++c) {
      width += columnWidth(SheetModel::ModelCol(c));
    }
    return width;
  };
  int f = first;
  while (f < sheet_col && span(f) > room) ++f;
  return f;
}

void SheetView::KeepPinnedColumn() {
  QScrollBar* bar = horizontalScrollBar();
  const int wanted = std::min(pinned_col_, bar->maximum());
  if (bar->value() != wanted) bar->setValue(wanted);
}

void SheetView::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dx != 0) KeepPinnedColumn();
}

QRect SheetView::CellRect(int sheet_row, int sheet_col) const {
  return visualRect(model_->index(SheetModel::ModelRow(sheet_row),
                                  SheetModel::ModelCol(sheet_col)));
}

void SheetView::ShowSelection(int sheet_row, int sheet_col, int top, int left,
                              int bottom, int right) {
  // While a range is being dragged the view shows it itself.
  if (press_index_.isValid()) return;
  const QModelIndex index = model_->index(SheetModel::ModelRow(sheet_row),
                                          SheetModel::ModelCol(sheet_col));
  if (!index.isValid()) return;
  end_row_ = top == sheet_row ? bottom : top;
  end_col_ = left == sheet_col ? right : left;
  const QItemSelection range(
      model_->index(SheetModel::ModelRow(top), SheetModel::ModelCol(left)),
      model_->index(SheetModel::ModelRow(bottom), SheetModel::ModelCol(right)));
  if (index == currentIndex() && selectionModel()->selection() == range) return;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

void SheetView::ShowEditor(int sheet_row, int sheet_col, const QString& text,
                           bool input_method, bool take_focus,
                           quint64 opening, bool select_text) {
  const QModelIndex index = model_->index(SheetModel::ModelRow(sheet_row),
                                          SheetModel::ModelCol(sheet_col));
  if (!index.isValid()) {
    HideEditor();
    return;
  }
  scrolling_ = true;
  scrollTo(index, QAbstractItemView::EnsureVisible);
  KeepPinnedColumn();
  scrolling_ = false;
  const QRect cell = visualRect(index);
  const bool fresh = editor_->isHidden() || opening != editor_opening_;
  editor_opening_ = opening;
  editor_->setGeometry(cell);
  editor_->setFont(font());
  editor_->SetInputMethodWanted(input_method);
  if (fresh) {
    // Opened by a click or by Enter, the text is selected, so that typing
    // replaces it while Home, End, the arrows or a click keep it.
    editor_->setText(text);
    if (select_text) {
      editor_->selectAll();
    } else {
      editor_->end(false);
    }
  } else if (editor_->text() != text) {
    // The workspace changed what was typed (refused or folded it): keep
    // the cursor where the user had it.
    const int cursor = editor_->cursorPosition();
    editor_->setText(text);
    editor_->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
  }
  editor_->show();
  editor_->raise();
  if (take_focus) editor_->setFocus(Qt::OtherFocusReason);
}

void SheetView::HideEditor() {
  if (editor_->isHidden()) return;
  // The window's focus widget, even while another window is active.
  const bool had_focus = editor_->window()->focusWidget() == editor_;
  editor_->hide();
  if (had_focus) setFocus(Qt::OtherFocusReason);
}

void SheetView::wheelEvent(QWheelEvent* event) {
  // Shift turns the wheel sideways, as in a spreadsheet; a sideways wheel
  // goes to the horizontal bar as it is.
  const QPoint angle = event->angleDelta();
  if ((event->modifiers() & Qt::ShiftModifier) != 0 && angle.x() == 0 &&
      angle.y() != 0) {
    QWheelEvent sideways(event->position(), event->globalPosition(),
                         event->pixelDelta().transposed(), angle.transposed(),
                         event->buttons(),
                         event->modifiers() & ~Qt::ShiftModifier,
                         event->phase(), event->inverted(), event->source());
    QCoreApplication::sendEvent(horizontalScrollBar(), &sideways);
    event->setAccepted(sideways.isAccepted());
    return;
  }
  QTableView::wheelEvent(event);
}

void SheetView::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (event->button() == Qt::RightButton) {
    press_index_ = QPersistentModelIndex();
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index,
                                      QItemSelectionModel::ClearAndSelect);
    emit rightPressed(SheetModel::SheetRow(index.row()),
                      SheetModel::SheetCol(index.column()));
    return;
  }
  press_index_ = event->button() == Qt::LeftButton
                     ? QPersistentModelIndex(index)
                     : QPersistentModelIndex();
  shift_press_ = event->button() == Qt::LeftButton &&
                 (event->modifiers() & Qt::ShiftModifier) != 0;
  if (shift_press_) {
    // The current cell stays; the range reaches to the clicked cell.
    event->accept();
    return;
  }
  QTableView::mousePressEvent(event);
}

void SheetView::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !press_index_.isValid()) return;
  const QModelIndex pressed = press_index_;
  press_index_ = QPersistentModelIndex();
  if (shift_press_) {
    shift_press_ = false;
    emit rangeExtended(SheetModel::SheetRow(pressed.row()),
                       SheetModel::SheetCol(pressed.column()));
    return;
  }
  QModelIndex released = indexAt(event->position().toPoint());
  const bool range = released != pressed ||
                     selectionModel()->selectedIndexes().size() > 1;
  emit leftClicked(SheetModel::SheetRow(pressed.row()),
                   SheetModel::SheetCol(pressed.column()), range);
  if (!range) return;
  // Dragged beyond the cells: the range ends at the last cell reached.
  if (!released.isValid()) released = currentIndex();
  if (released.isValid()) {
    emit rangeExtended(SheetModel::SheetRow(released.row()),
                       SheetModel::SheetCol(released.column()));
  }
}

void SheetView::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is not another click.
  press_index_ = QPersistentModelIndex();
  event->accept();
}

void SheetView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    emit copyRequested();
    event->accept();
    return;
  }
  if (event->matches(QKeySequence::Paste)) {
    emit pasteRequested();
    event->accept();
    return;
  }
  // Shift with an arrow key moves the second corner of the selection.
  if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
    int row = end_row_;
    int col = end_col_;
    switch (event->key()) {
      case Qt::Key_Up: --row; break;
      case Qt::Key_Down: ++row; break;
      case Qt::Key_Left: --col; break;
      case Qt::Key_Right: ++col; break;
      default: row = -1;
    }
    if (row >= 0) {
      row = std::clamp(row, 1, kItemRows);
      col = std::clamp(col, 1, kLastStoredColumn);
      const QModelIndex end = model_->index(SheetModel::ModelRow(row), SheetModel::ModelCol(col));
      if (end.isValid()) scrollTo(end);
      emit rangeExtended(row, col);
      event->accept();
      return;
    }
  }
  const Qt::KeyboardModifiers mods =
      event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
  if (event->key() == Qt::Key_F2 && mods == Qt::NoModifier) {
    emit editRequested();
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Delete && mods == Qt::NoModifier) {
    emit deleteRequested();
    event->accept();
    return;
  }
  // A printable character typed on the sheet opens the editor with it, as
  // in a spreadsheet.
  const QString text = event->text();
  if (mods == Qt::NoModifier && !text.isEmpty() && text.front().isPrint()) {
    emit typed(text);
    event->accept();
    return;
  }
  const QModelIndex before = currentIndex();
  QTableView::keyPressEvent(event);
  const QModelIndex after = currentIndex();
  if (after.isValid() && after != before) {
    scrollTo(after);
    emit currentMoved(SheetModel::SheetRow(after.row()),
                      SheetModel::SheetCol(after.column()));
  }
}

void SheetView::inputMethodEvent(QInputMethodEvent* event) {
  // Japanese typed on the sheet: the editor opens on the current cell and
  // the input method goes on in it.
  if (event->commitString().isEmpty() && event->preeditString().isEmpty()) {
    event->ignore();
    return;
  }
  if (editor_->isHidden()) emit typed(QString());
  if (editor_->isVisible()) {
    QCoreApplication::sendEvent(editor_, event);
  }
  event->accept();
}

}  // namespace veltrano
