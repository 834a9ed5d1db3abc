#include "ui/takeoff_panel.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

#include "takeoff/sheet_layout.h"
#include "ui/display_metrics.h"
#include "ui/qt_platform.h"
#include "ui/sheet_model.h"
#include "ui/item_copy_panel.h"
#include "ui/sheet_view.h"

namespace veltrano {

namespace {

QString Indexed(const char* name, int index) {
  return QString("%1(%2)").arg(QString::fromLatin1(name)).arg(index);
}

void SetTextKeepingCursor(QLineEdit* box, const std::string& text) {
  const QString q = ToQString(text);
  if (box->text() == q) return;
  const int cursor = box->cursorPosition();
  box->setText(q);
  box->setCursorPosition(std::min(cursor, static_cast<int>(q.size())));
}

}  // namespace

void RoomListWidget::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  emit pressed(index.isValid() ? index.row() : -1);
}

TakeoffPanel::TakeoffPanel(TakeoffSheets& sheets, Rooms& rooms,
                           SheetEditing& editing, ItemCopy& item_copy,
                           QWidget* parent)
    : QGroupBox(parent),
      sheets_(sheets),
      rooms_(rooms),
      editing_(editing),
      item_copy_(item_copy) {
  setObjectName("Frame_Siage");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);

  left_column_ = new QWidget(this);
  left_column_->setObjectName("RoomColumn");
  BuildLeftColumn(left_column_);
  layout->addWidget(left_column_);

  item_copy_panel_ = new ItemCopyPanel(item_copy_, this);
  connect(item_copy_panel_, &ItemCopyPanel::changed, this, [this] { Changed(true); });
  layout->addWidget(item_copy_panel_);

  auto* area = new QWidget(this);
  BuildSheetArea(area);
  layout->addWidget(area, 1);
}

void TakeoffPanel::BuildLeftColumn(QWidget* column) {
  auto* v = new QVBoxLayout(column);
  v->setContentsMargins(0, 0, 0, 0);
  list_caption_ = new QLabel(column);
  list_caption_->setObjectName("Label3(0)");
  v->addWidget(list_caption_);
  for (int side = 0; side < 2; ++side) {
    RoomListWidget* list = new RoomListWidget(column);
    list->setObjectName(Indexed("List1", side));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list, &RoomListWidget::pressed, this, [this](int row) {
      emit roomPressed(row);
    });
    lists_[side] = list;
    v->addWidget(list, 1);
  }

  rooms_button_ = new QPushButton(column);
  rooms_button_->setObjectName("Command1(0)");
  rooms_button_->setToolTip("追加・削除・名前の変更をします。");
  connect(rooms_button_, &QPushButton::clicked, this,
          [this] { emit roomsDialogRequested(); });
  v->addWidget(rooms_button_);

  places_row_ = new QWidget(column);
  auto* places = new QHBoxLayout(places_row_);
  places->setContentsMargins(0, 0, 0, 0);
  places_box_ = new QLineEdit(places_row_);
  places_box_->setObjectName("Kasyo");
  places_box_->setAlignment(Qt::AlignRight);
  connect(places_box_, &QLineEdit::textEdited, this, [this](const QString& t) {
    sheets_.SetPlacesBox(ToStdString(t));
    Changed();
  });
  auto* places_label = new QLabel("ヶ所", places_row_);
  places_label->setObjectName("Label2");
  places->addWidget(places_box_);
  places->addWidget(places_label);
  places->addStretch(1);
  v->addWidget(places_row_);

  static constexpr const char* kLetters[3] = {"A=", "S=", "L="};
  static constexpr const char* kTips[3] = {"Aの値を計算式に代入できます。",
                                           "Sの値を計算式に代入できます。",
                                           "Lの値を計算式に代入できます。"};
  for (int side = 0; side < 2; ++side) {
    auto* frame = new QFrame(column);
    frame->setObjectName(Indexed("DaisuFrame", side));
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(0, 4, 0, 0);
    grid->addWidget(new QLabel("【代数】", frame), 0, 0, 1, 2);
    for (int i = 0; i < 3; ++i) {
      const int index = side * 3 + i;
      auto* label = new QLabel(kLetters[i], frame);
      auto* box = new QLineEdit(frame);
      box->setObjectName(Indexed("DaisuText", index));
      box->setToolTip(kTips[i]);
      box->setAlignment(Qt::AlignRight);
      connect(box, &QLineEdit::textEdited, this,
              [this, index](const QString& t) {
                sheets_.SetParameter(index, ToStdString(t));
                Changed();
              });
      grid->addWidget(label, i + 1, 0);
      grid->addWidget(box, i + 1, 1);
      parameter_boxes_[index] = box;
    }
    parameter_frames_[side] = frame;
    v->addWidget(frame);
  }

  auto* check_caption = new QLabel("【確認】", column);
  check_caption->setObjectName("KakuninLabel");
  v->addWidget(check_caption);
  done_mark_ = new QCheckBox("チェック済", column);
  done_mark_->setObjectName("Check2");
  connect(done_mark_, &QCheckBox::clicked, this, [this](bool on) {
    sheets_.SetDoneMark(on);
    Changed();
  });
  v->addWidget(done_mark_);
}

void TakeoffPanel::BuildSheetArea(QWidget* area) {
  auto* v = new QVBoxLayout(area);
  v->setContentsMargins(0, 0, 0, 0);
  auto* buttons = new QHBoxLayout();
  for (int part = 0; part < kParts; ++part) {
    auto* b = new QPushButton(ToQString(kPartNames[part]), area);
    b->setObjectName(Indexed("Hyoji", part));
    QPalette p = b->palette();
    p.setColor(QPalette::Button, PartColor(part));
    p.setColor(QPalette::ButtonText, Qt::black);
    b->setPalette(p);
    connect(b, &QPushButton::clicked, this, [this, part] {
      sheets_.ShowPart(part);
      Changed();
    });
    buttons->addWidget(b);
  }
  for (int i = 0; i < 2; ++i) {
    auto* arrow = new QToolButton(area);
    arrow->setObjectName(Indexed("Arrow", i));
    arrow->setArrowType(i == 0 ? Qt::LeftArrow : Qt::RightArrow);
    connect(arrow, &QToolButton::clicked, this, [this, i] {
      sheets_.ScrollColumns(i == 0 ? -1 : 1);
      Changed();
    });
    buttons->addWidget(arrow);
  }
  // The editing buttons Command1(1..7), in a row of their own under the
  // part buttons; Command1(0) is the rooms button.
  auto* edit_row = new QHBoxLayout();
  struct EditButton {
    const char* caption;
    const char* tip;
  };
  static constexpr EditButton kEditButtons[7] = {
      {"項目複写", "項目の複写をします"},
      {"全選択", "現在のシートを選択状態にします"},
      {"削除", "選択された部分を削除します"},
      {"コピー", "選択範囲をコピーします"},
      {"貼り付け", "貼り付けます"},
      {"行挿入", "行を挿入します"},
      {"行削除", "空白行を削除します"}};
  for (int i = 1; i <= 7; ++i) {
    auto* b = new QPushButton(kEditButtons[i - 1].caption, area);
    b->setObjectName(Indexed("Command1", i));
    b->setToolTip(kEditButtons[i - 1].tip);
    connect(b, &QPushButton::clicked, this, [this, i] { EditCommand(i); });
    edit_row->addWidget(b);
  }
  edit_row->addStretch(1);
  buttons->addStretch(1);
  static constexpr const char* kCommands[2] = {"再計算", "値削除"};
  for (int i = 0; i < 2; ++i) {
    auto* b = new QPushButton(kCommands[i], area);
    b->setObjectName(Indexed("Command10", i));
    connect(b, &QPushButton::clicked, this, [this, i] {
      if (i == 0) {
        sheets_.RecalculateAll();
      } else {
        sheets_.ClearAllValues();
      }
      Changed();
    });
    buttons->addWidget(b);
  }
  v->addLayout(buttons);
  v->addLayout(edit_row);

  for (int side = 0; side < 2; ++side) {
    models_[side] = new SheetModel(sheets_.sheet(side), this);
    SheetView* view = new SheetView(models_[side], area);
    view->setObjectName(Indexed("Grid1", side));
    connect(view, &SheetView::rightPressed, this, [this](int r, int c) {
      sheets_.ClickSheet(r, c, /*right_button=*/true);
      LeaveEditorOnItsCell();
      Changed(true);
    });
    connect(view, &SheetView::leftClicked, this, [this](int r, int c, bool range) {
      sheets_.ClickSheet(r, c, /*right_button=*/false, range);
      LeaveEditorOnItsCell();
      Changed(true);
    });
    connect(view, &SheetView::rangeExtended, this, [this](int r, int c) {
      // A range is left to the editing commands: the editor closes.
      sheets_.HideEditor();
      sheets_.ExtendSelection(r, c);
      Changed();
    });
    connect(view, &SheetView::copyRequested, this, [this] { EditCommand(4); });
    connect(view, &SheetView::deleteRequested, this, [this] { EditCommand(3); });
    connect(view, &SheetView::columnsScrolled, this, [this](int col) {
      // Scrolling closes the editor without writing its text.
      sheets_.HideEditor();
      sheets_.SetFirstVisibleColumn(col);
      Changed();
    });
    connect(view, &SheetView::pasteRequested, this, [this] { EditCommand(5); });
    connect(view, &SheetView::currentMoved, this, [this](int r, int c) {
      sheets_.SetCurrentCell(r, c);
      // Moving about the sheet with its keys leaves the editor behind.
      sheets_.HideEditor();
      Changed();
    });
    connect(view, &SheetView::userScrolled, this, [this] {
      if (!sheets_.editor_visible()) return;
      sheets_.HideEditor();
      Changed();
    });
    connect(view, &SheetView::editRequested, this, [this] {
      sheets_.EditCurrentCell();
      Changed(true);
    });
    connect(view, &SheetView::typed, this, [this](const QString& text) {
      sheets_.TypeIntoCurrentCell(ToStdString(text));
      Changed(true);
    });
    CellEditor* editor = view->editor();
    connect(editor, &QLineEdit::textEdited, this, [this](const QString& t) {
      sheets_.EditorTextChanged(ToStdString(t));
      Changed(true);
    });
    connect(editor, &CellEditor::keyPressed, this, [this](EditorKey key) {
      sheets_.EditorKeyPressed(key);
      Changed(true);
    });
    views_[side] = view;
    v->addWidget(view, 1);
  }
}

void TakeoffPanel::EditCommand(int index) {
  switch (index) {
    case 1:
      item_copy_.ToggleItemCopy();
      break;
    case 2:
      editing_.SelectAll();
      break;
    case 3:
      editing_.DeleteSelection();
      break;
    case 4:
      editing_.CopySelection();
      break;
    case 5:
      editing_.Paste();
      break;
    case 6:
      editing_.InsertRow();
      break;
    case 7:
      editing_.DeleteRow();
      break;
    default:
      return;
  }
  Changed(true);
}

void TakeoffPanel::LeaveEditorOnItsCell() {
  // The editor belongs over the current cell. A click that moved the
  // current cell without opening the editor there (a mark, deduction or
  // value cell, or a dragged range) closes it, so that what it holds is not
  // written into the wrong cell.
  if (!sheets_.editor_visible()) return;
  const ColumnKind kind = KindOfColumn(sheets_.current_col());
  if (kind != ColumnKind::kItem && kind != ColumnKind::kFormula &&
      kind != ColumnKind::kFittings) {
    sheets_.HideEditor();
  }
}

void TakeoffPanel::ApplyDisplayScale(double scale, double dpi) {
  for (SheetView* view : views_) view->ApplyMetrics(dpi, scale);
  left_column_->setFixedWidth(TwipsToPixels(2600 * scale, dpi));
  places_box_->setFixedWidth(TwipsToPixels(700 * scale, dpi));
  SyncEditor(false);
}

void TakeoffPanel::SyncRoomList(int side) {
  RoomListWidget* list = lists_[side];
  const std::vector<std::string>& names = rooms_.room_names(side);
  QSignalBlocker block(list);
  if (names != listed_[side]) {
    list->clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& n : names) items.append(ToQString(n));
    list->addItems(items);
    listed_[side] = names;
  }
  const int room = sheets_.room_label(side).empty() ? -1 : sheets_.current_room(side);
  if (room >= 0 && room < list->count()) {
    if (list->currentRow() != room || !list->item(room)->isSelected()) {
      list->setCurrentRow(room, QItemSelectionModel::ClearAndSelect);
    }
  } else if (!list->selectedItems().isEmpty() || list->currentRow() >= 0) {
    list->clearSelection();
    list->setCurrentRow(-1, QItemSelectionModel::Clear);
  }
}

void TakeoffPanel::SyncEditor(bool focus_editor) {
  const int side = sheets_.side();
  const bool sheet_mode = sheets_.shown();
  views_[1 - side]->HideEditor();
  SheetView* view = views_[side];
  if (sheet_mode && sheets_.editor_visible()) {
    view->ShowEditor(sheets_.current_row(), sheets_.current_col(),
                     ToQString(sheets_.editor_text()),
                     sheets_.editor_wants_input_method(), focus_editor,
                     sheets_.editor_opening(), sheets_.editor_text_selected());
  } else {
    view->HideEditor();
  }
}

void TakeoffPanel::Refresh(bool focus_editor, bool force) {
  // The sheets change with every room switch, import and opened project,
  // so their counter and the rooms' tell whether anything is to be shown.
  item_copy_panel_->Refresh();
  const std::uint64_t revision =
      sheets_.revision() + rooms_.revision() + item_copy_.revision();
  if (!force && revision == shown_revision_) return;
  shown_revision_ = revision;
  const int side = sheets_.side();
  const bool interior = side == kInterior;
  setTitle(interior ? "<<内部拾い>>" : "<<外部拾い>>");
  list_caption_->setText(interior ? "<<部屋一覧>>" : "<<場所一覧>>");
  rooms_button_->setText(interior ? "部屋追加" : "場所追加");
  places_row_->setVisible(interior);
  for (int s = 0; s < 2; ++s) {
    lists_[s]->setVisible(s == side);
    views_[s]->setVisible(s == side);
    parameter_frames_[s]->setVisible(s == side);
  }
  SyncRoomList(side);
  SetTextKeepingCursor(places_box_, sheets_.places_box());
  for (int i = 0; i < 6; ++i) {
    SetTextKeepingCursor(parameter_boxes_[i], sheets_.parameter(i));
  }
  if (done_mark_->isChecked() != sheets_.done_mark()) {
    done_mark_->setChecked(sheets_.done_mark());
  }

  SheetView* view = views_[side];
  models_[side]->Sync();
  // An editor moved right of the visible columns (Enter after an item)
  // brings the sheet along, so that it stays in view.
  if (sheets_.editor_visible()) {
    const int first = sheets_.first_visible_column(side);
    const int wanted = view->FirstColumnShowing(sheets_.current_col(), first);
    if (wanted != first) {
      sheets_.SetFirstVisibleColumn(wanted);
      shown_revision_ = sheets_.revision() + rooms_.revision() + item_copy_.revision();
    }
  }
  view->SetFirstVisibleColumn(sheets_.first_visible_column(side));
  const CellRange s = sheets_.selection();
  view->ShowSelection(sheets_.current_row(), sheets_.current_col(), s.top, s.left,
                      s.bottom, s.right);
  SyncEditor(focus_editor);
}

}  // namespace veltrano
