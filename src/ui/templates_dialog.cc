#include "ui/templates_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/display_metrics.h"
#include "ui/fit_text_delegate.h"
#include "ui/grid_model.h"
#include "ui/qt_platform.h"

namespace veltrano {

namespace {

// Widths of the table's columns in twips: the row number, then the five
// parts, wide enough for an item name.
constexpr int kNumberTwips = 600;
constexpr int kItemTwips = 2000;
constexpr int kRowTwips = 270;
// The rows the table shows at once.
constexpr int kShownRows = 20;


}  // namespace

TemplatesDialog::TemplatesDialog(ItemTemplates& templates, QWidget* parent)
    : QDialog(parent), templates_(templates) {
  setObjectName("InputForm");
  setWindowTitle("項目リスト登録");
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  // The name box with its list, and the commands on whole templates.
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("【リスト名】", this));
  names_ = new QComboBox(this);
  names_->setObjectName("Combo1");
  names_->setEditable(true);
  names_->setInsertPolicy(QComboBox::NoInsert);
  // The box holds exactly what was typed.
  names_->setCompleter(nullptr);
  names_->setMinimumContentsLength(16);
  names_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  // Typing and choosing a name from the list both change the text; Refresh
  // sets it with the signals blocked.
  connect(names_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    templates_.SetName(ToStdString(text));
    Refresh();
  });
  top->addWidget(names_);
  auto* load = NamedButton("読込", "Command2(0)", this);
  connect(load, &QPushButton::clicked, this,
          [this] { Run(&ItemTemplates::Load, false); });
  auto* save = NamedButton("保存", "Command2(1)", this);
  connect(save, &QPushButton::clicked, this,
          [this] { Run(&ItemTemplates::Save, false); });
  auto* remove = NamedButton("削除", "Command2(2)", this);
  connect(remove, &QPushButton::clicked, this,
          [this] { Run(&ItemTemplates::Delete, false); });
  top->addWidget(load);
  top->addWidget(save);
  top->addWidget(remove);
  top->addStretch(1);
  layout->addLayout(top);

  // The table: row 0 of the templates' table is its heading.
  model_ = new GridModel([this]() -> const TextGrid& { return templates_.table(); },
                         true, this);
  model_->SetAlignment([](int, int col) -> Qt::Alignment {
    return col == 0 ? Qt::AlignRight : Qt::AlignLeft;
  });
  table_ = new QTableView(this);
  table_->setObjectName("KoumokuGrid");
  table_->setModel(model_);
  table_->setItemDelegate(new FitTextDelegate(table_));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->horizontalHeader()->setHighlightSections(false);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(table_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    templates_.ClickCell(model_->GridRow(index.row()), index.column());
    Refresh();
    FocusEditor();
  });
  // The editor stays over its cell while the table scrolls.
  for (QScrollBar* bar : {table_->verticalScrollBar(), table_->horizontalScrollBar()}) {
    connect(bar, &QScrollBar::valueChanged, this, [this] { PlaceEditor(false); });
  }
  layout->addWidget(table_, 1, Qt::AlignLeft);

  editor_ = new QLineEdit(table_->viewport());
  editor_->setObjectName("Text1");
  editor_->hide();
  editor_->installEventFilter(this);
  connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
    templates_.EditorTextChanged(ToStdString(text));
    Refresh();
  });

  // The commands on the editor's column, and "閉じる".
  auto* bottom = new QHBoxLayout;
  auto* insert_row = NamedButton("行挿入", "Command3(0)", this);
  connect(insert_row, &QPushButton::clicked, this,
          [this] { Run(&ItemTemplates::InsertRow, true); });
  auto* delete_row = NamedButton("行削除", "Command3(1)", this);
  connect(delete_row, &QPushButton::clicked, this,
          [this] { Run(&ItemTemplates::DeleteRow, true); });
  auto* delete_cell = NamedButton("削除", "Command3(2)", this);
  connect(delete_cell, &QPushButton::clicked, this,
          [this] { Run(&ItemTemplates::DeleteCell, true); });
  bottom->addWidget(insert_row);
  bottom->addWidget(delete_row);
  bottom->addWidget(delete_cell);
  bottom->addStretch(1);
  auto* close_button = NamedButton("閉じる", "Command1", this);
  connect(close_button, &QPushButton::clicked, this,
          [this] { done(QDialog::Accepted); });
  bottom->addWidget(close_button);
  layout->addLayout(bottom);

  SizeTable();
  Refresh();
}

void TemplatesDialog::SizeTable() {
  const double dpi = logicalDpiX();
  table_->setColumnWidth(0, TwipsToPixels(kNumberTwips, dpi));
  for (int c = 1; c < model_->columnCount(); ++c) {
    table_->setColumnWidth(c, TwipsToPixels(kItemTwips, dpi));
  }
  // Rows as high as the font needs, at least the usual grid row.
  const int row_height = std::max(TwipsToPixels(kRowTwips, dpi),
                                  table_->fontMetrics().height() + 6);
  table_->verticalHeader()->setMinimumSectionSize(row_height);
  table_->verticalHeader()->setDefaultSectionSize(row_height);
  const int frame = 2 * table_->frameWidth();
  int width = frame + table_->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < model_->columnCount(); ++c) width += table_->columnWidth(c);
  table_->setFixedWidth(width);
  table_->setMinimumHeight(frame + table_->horizontalHeader()->sizeHint().height() +
                           kShownRows * row_height);
}

void TemplatesDialog::Run(void (ItemTemplates::*command)(), bool focus_editor) {
  (templates_.*command)();
  Refresh();
  if (focus_editor) FocusEditor();
}

void TemplatesDialog::Refresh() {
  {
    const QSignalBlocker blocker(names_);
    const std::vector<std::string>& names = templates_.names();
    bool same = names_->count() == static_cast<int>(names.size());
    for (int i = 0; same && i < names_->count(); ++i) {
      same = names_->itemText(i) == ToQString(names[static_cast<std::size_t>(i)]);
    }
    if (!same) {
      names_->clear();
      for (const std::string& name : names) names_->addItem(ToQString(name));
      names_->setCurrentIndex(-1);
    }
    const QString name = ToQString(templates_.name());
    if (names_->currentText() != name) names_->setEditText(name);
  }
  model_->Reset();
  PlaceEditor(true);
}

void TemplatesDialog::PlaceEditor(bool scroll) {
  if (!templates_.editor_shown()) {
    editor_->hide();
    return;
  }
  const QModelIndex index =
      model_->index(templates_.current_row() - 1, templates_.current_col());
  if (scroll) table_->scrollTo(index);
  editor_->setGeometry(table_->visualRect(index));
  const QString text = ToQString(templates_.editor_text());
  if (editor_->text() != text) editor_->setText(text);
  editor_->show();
  editor_->raise();
}

void TemplatesDialog::FocusEditor() {
  if (templates_.editor_shown()) editor_->setFocus(Qt::OtherFocusReason);
}

bool TemplatesDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != editor_ || event->type() != QEvent::KeyPress) {
    return QDialog::eventFilter(watched, event);
  }
  using Key = ItemTemplates::Key;
  Key pressed;
  switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      pressed = Key::kEnter;
      break;
    case Qt::Key_Down:
      pressed = Key::kDown;
      break;
    case Qt::Key_Up:
      pressed = Key::kUp;
      break;
    default:
      return false;
  }
  templates_.EditorKey(pressed);
  Refresh();
  FocusEditor();
  return true;
}

void TemplatesDialog::done(int result) {
  if (templates_.shown()) templates_.Close();
  QDialog::done(result);
}

}  // namespace veltrano
