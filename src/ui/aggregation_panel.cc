#include "ui/aggregation_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <optional>

#include "ui/display_metrics.h"
#include "ui/fit_text_delegate.h"
#include "ui/grid_model.h"
#include "ui/name_lists.h"
#include "ui/qt_platform.h"

namespace veltrano {

namespace {

constexpr std::array<const char*, 4> kSummaryCaptions = {
    "内部集計", "外部集計", "建具廻り集計", "工種別全体集計"};
constexpr std::array<const char*, 5> kPartCaptions = {"床", "巾木", "壁",
                                                      "天井", "雑"};
// Widths of the work-type table's columns, in twips.
constexpr std::array<int, 9> kWorkTypeTwips = {1500, 2600, 700,  700, 1100,
                                               700,  1100, 1400, 2400};

QString Indexed(const char* name, int index) {
  return QString("%1(%2)").arg(name).arg(index);
}


QTableView* MakeTable(const QString& name, GridModel* model, QWidget* parent) {
  auto* table = new QTableView(parent);
  table->setObjectName(name);
  table->setModel(model);
  table->setItemDelegate(new FitTextDelegate(table));
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::ContiguousSelection);
  table->setWordWrap(false);
  table->verticalHeader()->hide();
  table->hide();
  return table;
}

// Part and fittings tables: four heading rows and two heading columns,
// the first column left-aligned and every other right-aligned.
GridModel* SummaryModel(std::function<const TextGrid&()> grid, QObject* parent) {
  auto* model = new GridModel(std::move(grid), false, parent);
  model->SetFixedCells(4, 2);
  model->SetAlignment([](int, int col) -> Qt::Alignment {
    return col == 0 ? Qt::AlignLeft : Qt::AlignRight;
  });
  return model;
}

}  // namespace

// --- The selection dialog -------------------------------------------------

AggregationDialogWidget::AggregationDialogWidget(AggregationDialog& dialog,
                                                 QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
  setObjectName("SyukeiForm");
  setWindowTitle(ToQString(dialog_.title()));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  lists_ = new NameListsWidget(ToQString(dialog_.left_caption()),
                               ToQString(dialog_.right_caption()), "Command1", this,
                               /*removable=*/true);
  ConnectNameLists(lists_, this, dialog_, [this] { Refresh(); });
  connect(lists_, &NameListsWidget::removePressed, this,
          [this](const std::vector<int>& at) {
            dialog_.RemoveSelected(at);
            Refresh();
          });
  layout->addWidget(lists_, 1);

  auto* note = new QLabel(
      "※一覧から選択後⇒をクリック。（Ctrlキー併用で複数選択可）\n"
      "※右の一覧から選択後⇐をクリックすると外します。", this);
  note->setObjectName("Label2");
  layout->addWidget(note);
  auto* commands = new QHBoxLayout;
  commands->addStretch(1);
  auto* execute = NamedButton("集計実行", "Command2", this);
  connect(execute, &QPushButton::clicked, this,
          [this] { emit executeRequested(); });
  commands->addWidget(execute);
  auto* close_button = NamedButton("閉じる", "Command3", this);
  connect(close_button, &QPushButton::clicked, this, [this] { reject(); });
  commands->addWidget(close_button);
  layout->addLayout(commands);
  resize(560, 420);
  Refresh();
}

void AggregationDialogWidget::Refresh() {
  lists_->Show(dialog_.left(), dialog_.right());
}

void AggregationDialogWidget::done(int result) {
  if (dialog_.shown()) dialog_.Close();
  QDialog::done(result);
}

// --- The panel --------------------------------------------------------------

AggregationPanel::AggregationPanel(Objects objects, QtProgress* progress,
                                   QWidget* parent)
    : QGroupBox("《集計》", parent), o_(objects), progress_(progress) {
  setObjectName("Frame_Syukei");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildCommands());
  auto* body = new QHBoxLayout;
  body->addWidget(BuildTables(), 1);
  body->addWidget(BuildLists());
  layout->addLayout(body, 1);
  Refresh(true);
}

QWidget* AggregationPanel::BuildCommands() {
  auto* area = new QWidget(this);
  auto* v = new QVBoxLayout(area);
  v->setContentsMargins(0, 0, 0, 0);

  auto* choices = new QHBoxLayout;
  for (int i = 0; i < 4; ++i) {
    auto* b = NamedButton(kSummaryCaptions[static_cast<std::size_t>(i)],
                     Indexed("Command4", i), area);
    b->setAutoFillBackground(true);
    connect(b, &QPushButton::clicked, this, [this, i] { emit summaryChosen(i); });
    summary_buttons_[static_cast<std::size_t>(i)] = b;
    choices->addWidget(b);
  }
  choices->addSpacing(16);
  auto* parts = new QButtonGroup(area);
  for (int p = 0; p < 5; ++p) {
    auto* option = new QRadioButton(kPartCaptions[static_cast<std::size_t>(p)], area);
    option->setObjectName(Indexed("SyukeiHyoji", p));
    parts->addButton(option, p);
    connect(option, &QRadioButton::clicked, this, [this, p] {
      o_.view.ChoosePart(p);
      Refresh();
    });
    part_options_[static_cast<std::size_t>(p)] = option;
    choices->addWidget(option);
  }
  choices->addStretch(1);
  v->addLayout(choices);

  // Spreadsheet files of the shown table, or of every table.
  auto* files = new QHBoxLayout;
  auto* save_xlsx = NamedButton("Excelファイルに保存", "SaveXlsx", area);
  save_xlsx->setToolTip("表示している集計表を Excel ファイル（.xlsx）に保存します");
  connect(save_xlsx, &QPushButton::clicked, this, [this] {
    o_.view.SaveShownWorkbook();
    Refresh();
  });
  files->addWidget(save_xlsx);
  auto* save_all = NamedButton("全集計表を保存", "SaveAllXlsx", area);
  save_all->setToolTip("内部・外部・建具廻り・工種別の集計表を一つの Excel ファイルに保存します");
  connect(save_all, &QPushButton::clicked, this, [this] {
    o_.view.SaveAllWorkbook();
    Refresh();
  });
  files->addWidget(save_all);
  auto* save_csv = NamedButton("CSV保存", "SaveCsv", area);
  save_csv->setToolTip("表示している集計表を CSV ファイルに保存します（シフトJIS・CR LF）");
  connect(save_csv, &QPushButton::clicked, this, [this] {
    o_.view.SaveCsv();
    Refresh();
  });
  files->addWidget(save_csv);
  csv_utf8_ = new QCheckBox("UTF-8で保存", area);
  csv_utf8_->setObjectName("CsvUtf8");
  csv_utf8_->setToolTip("CSV を UTF-8（BOM付き）で保存します");
  connect(csv_utf8_, &QCheckBox::toggled, this, [this](bool on) { o_.view.set_csv_utf8(on); });
  files->addWidget(csv_utf8_);
  files->addStretch(1);
  v->addLayout(files);

  // The three sub-panels take the same place.
  auto* frames = new QWidget(area);
  auto* stack = new QStackedLayout(frames);

  // A sub-panel: its "集計開始" and "Exceに送る", then what follows them.
  auto sub_panel = [&](const char* name, int index, std::function<void()> start,
                       QWidget** frame) {
    *frame = new QWidget(frames);
    (*frame)->setObjectName(name);
    auto* h = new QHBoxLayout(*frame);
    h->setContentsMargins(0, 0, 0, 0);
    auto* start_button = NamedButton("集計開始", QString("Command%1(0)").arg(index), *frame);
    connect(start_button, &QPushButton::clicked, this, std::move(start));
    h->addWidget(start_button);
    auto* send = NamedButton("Exceに送る", QString("Command%1(1)").arg(index), *frame);
    connect(send, &QPushButton::clicked, this, [this] { Export(); });
    h->addWidget(send);
    stack->addWidget(*frame);
    return h;
  };

  QHBoxLayout* rh = sub_panel("HeyabetuFrame", 2, [this] {
    const int mode = o_.view.mode();
    if (mode != kInteriorSummary && mode != kExteriorSummary) return;
    o_.dialog.OpenAggregationDialog(mode);
    Refresh();
  }, &room_frame_);
  bar_ = new QProgressBar(room_frame_);
  bar_->setObjectName("SyukeiBar");
  bar_->setTextVisible(false);
  bar_->setMaximumWidth(240);
  bar_->hide();
  rh->addWidget(bar_);
  caption_ = new QLabel(room_frame_);
  caption_->setObjectName("SyukeiInfo");
  rh->addWidget(caption_);
  auto* note = new QLabel(
      "※集計後に個別入力を変更したら再集計が必要です。（連動はしていません）",
      room_frame_);
  note->setObjectName("Label17");
  rh->addStretch(1);
  rh->addWidget(note);

  QHBoxLayout* fh = sub_panel("SinkiFrame", 5, [this] {
    o_.fittings.AggregateFittings();
    Refresh(true);
  }, &fittings_frame_);
  fh->addStretch(1);

  QHBoxLayout* wh = sub_panel("KousyuFrame", 6, [this] {
    o_.work_types.StartAggregation(o_.settings.panel().aggregation_work_types(),
                                   Rounding());
    Refresh(true);
  }, &work_type_frame_);
  // The table restored with the project is the previous result; it is on
  // screen whenever the work-type summary is chosen.
  auto* previous = NamedButton("前回の集計結果を表示", "Command6(2)", work_type_frame_);
  previous->setEnabled(false);
  previous->setToolTip("前回の集計結果は、物件を開くと工種別全体集計に表示されます。");
  wh->addWidget(previous);
  auto* save_prices = NamedButton("単価保存", "Command6(3)", work_type_frame_);
  save_prices->setToolTip(
      "単位・単価・備考を単価表に控え、次回の工種別全体集計に反映します。");
  connect(save_prices, &QPushButton::clicked, this, [this] {
    o_.work_types.SaveUnitPrices();
    Refresh(true);
  });
  wh->addWidget(save_prices);
  auto* price_note = new QLabel(
      "※単価を変更した場合は、一旦保存しないと次回の工種別全体集計に反映されません。",
      work_type_frame_);
  price_note->setObjectName("Label18");
  wh->addStretch(1);
  wh->addWidget(price_note);

  v->addWidget(frames);
  return area;
}

QWidget* AggregationPanel::BuildTables() {
  auto* area = new QWidget(this);
  auto* v = new QVBoxLayout(area);
  v->setContentsMargins(0, 0, 0, 0);
  for (int p = 0; p < 5; ++p) {
    const auto at = static_cast<std::size_t>(p);
    interior_models_[at] =
        SummaryModel([this, p]() -> const TextGrid& { return o_.parts.table(kInterior, p); },
                     this);
    interior_[at] = MakeTable(Indexed("SyukeiGrid", p), interior_models_[at], area);
    exterior_models_[at] =
        SummaryModel([this, p]() -> const TextGrid& { return o_.parts.table(kExterior, p); },
                     this);
    exterior_[at] = MakeTable(Indexed("GaibuSyukeiGrid", p), exterior_models_[at], area);
    for (int side = 0; side < 2; ++side) {
      QTableView* table = side == kInterior ? interior_[at] : exterior_[at];
      table->horizontalHeader()->hide();
      connect(table, &QTableView::clicked, this, [this, side, p](const QModelIndex& index) {
        o_.parts.AssignWorkType(side, p, index.row(), index.column(), ChosenWorkType());
        Refresh();
      });
      v->addWidget(table, 1);
    }
  }
  fittings_model_ = SummaryModel([this]() -> const TextGrid& { return o_.fittings.table(); },
                                 this);
  fittings_ = MakeTable("TateguSyukeiGrid", fittings_model_, area);
  fittings_->horizontalHeader()->hide();
  connect(fittings_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    o_.fittings.AssignWorkType(index.row(), index.column(), ChosenWorkType());
    Refresh();
  });
  fittings_->installEventFilter(this);
  v->addWidget(fittings_, 1);

  work_model_ = new GridModel([this]() -> const TextGrid& { return o_.work_types.table(); },
                              true, this);
  work_model_->SetAlignment([](int, int col) -> Qt::Alignment {
    switch (col) {
      case 1:
      case 8:
        return Qt::AlignLeft;
      case 4:
      case 6:
      case 7:
        return Qt::AlignRight;
      default:
        return Qt::AlignHCenter;
    }
  });
  work_ = MakeTable("SyukeiGrid(5)", work_model_, area);
  work_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(work_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    o_.work_types.ClickCell(work_model_->GridRow(index.row()), index.column(),
                            ChosenUnit(), Rounding());
    Refresh();
    if (o_.work_types.editor_shown()) editor_->setFocus(Qt::MouseFocusReason);
  });
  connect(work_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (syncing_ || !current.isValid()) return;
            o_.work_types.SetCurrentCell(work_model_->GridRow(current.row()),
                                         current.column());
            PlaceEditor();
          });
  work_->installEventFilter(this);
  v->addWidget(work_, 1);

  editor_ = new QLineEdit(work_->viewport());
  editor_->setObjectName("KousyubetuText");
  editor_->hide();
  editor_->installEventFilter(this);
  connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) {
    o_.work_types.EditorTextChanged(ToStdString(text));
    Refresh();
  });
  return area;
}

QWidget* AggregationPanel::BuildLists() {
  auto* area = new QWidget(this);
  auto* v = new QVBoxLayout(area);
  v->setContentsMargins(0, 0, 0, 0);
  list_captions_[0] = new QLabel("【単位】", area);
  list_captions_[0]->setObjectName("Label16(0)");
  list_captions_[1] = new QLabel("【工種】", area);
  list_captions_[1]->setObjectName("Label16(1)");
  work_type_list_ = new QListWidget(area);
  work_type_list_->setObjectName("KousyuList");
  unit_list_ = new QListWidget(area);
  unit_list_->setObjectName("TaniList");
  v->addWidget(list_captions_[0]);
  v->addWidget(list_captions_[1]);
  v->addWidget(work_type_list_, 1);
  v->addWidget(unit_list_, 1);
  area->setFixedWidth(160);
  return area;
}

std::string AggregationPanel::ChosenWorkType() const {
  const QListWidgetItem* item = work_type_list_->currentItem();
  return item != nullptr && item->isSelected() ? ToStdString(item->text()) : std::string();
}

std::string AggregationPanel::ChosenUnit() const {
  const QListWidgetItem* item = unit_list_->currentItem();
  return item != nullptr && item->isSelected() ? ToStdString(item->text()) : std::string();
}

MoneyRounding AggregationPanel::Rounding() const {
  return MoneyRoundingOf(o_.settings.panel().money_rounding());
}

QTableView* AggregationPanel::shown_table() const {
  const auto part = static_cast<std::size_t>(o_.view.part());
  switch (o_.view.mode()) {
    case kInteriorSummary:
      return interior_[part];
    case kExteriorSummary:
      return exterior_[part];
    case kFittingsSummary:
      return fittings_;
    default:
      return work_;
  }
}

void AggregationPanel::ExecuteSelection() {
  // The panel's own bar shows the rooms as they are added up.
  QProgressBar* window_bar = progress_ != nullptr ? progress_->bar() : nullptr;
  if (progress_ != nullptr) progress_->SetBar(bar_);
  o_.dialog.Execute();
  if (progress_ != nullptr) progress_->SetBar(window_bar);
  Refresh(true);
}

void AggregationPanel::Export() {
  if (o_.view.ExportSummary() && o_.view.mode() != kWorkTypeSummary) {
    // The whole table stays selected, as the spreadsheet will receive it.
    shown_table()->selectAll();
  }
  Refresh();
}

bool AggregationPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) {
    return QGroupBox::eventFilter(watched, event);
  }
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (watched == editor_) {
    using Key = WorkTypeTable::EditorKey;
    std::optional<Key> pressed;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) pressed = Key::kEnter;
    if (key == Qt::Key_Down) pressed = Key::kDown;
    if (key == Qt::Key_Up) pressed = Key::kUp;
    if (key == Qt::Key_Delete) pressed = Key::kDelete;
    if (!pressed) return false;
    o_.work_types.PressEditorKey(*pressed, ChosenUnit(), Rounding());
    Refresh();
    if (o_.work_types.editor_shown()) {
      editor_->setFocus(Qt::OtherFocusReason);
    } else {
      work_->setFocus(Qt::OtherFocusReason);
    }
    return true;
  }
  if (watched == work_ && !o_.work_types.editor_shown()) {
    // Text typed on the table goes into the editor of the current cell.
    auto* press = static_cast<QKeyEvent*>(event);
    const QString text = press->text();
    if ((press->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0 &&
        !text.isEmpty() && text.front().isPrint()) {
      o_.work_types.TypeOnTable(ToStdString(text), ChosenUnit(), Rounding());
      Refresh();
      if (o_.work_types.editor_shown()) {
        editor_->deselect();
        editor_->end(false);
        editor_->setFocus(Qt::OtherFocusReason);
      }
      return true;
    }
  }
  if (key != Qt::Key_Delete) return false;
  if (watched == fittings_) {
    o_.fittings.ClearWorkType(fittings_->currentIndex().column());
    Refresh();
    return true;
  }
  if (watched == work_) {
    o_.work_types.DeleteKey();
    Refresh();
    return true;
  }
  return false;
}

void AggregationPanel::SizeColumns(QTableView* table, GridModel* model) {
  for (int c = 0; c < model->columnCount(); ++c) {
    int twips = 1200;  // an item column
    if (table == work_) {
      twips = kWorkTypeTwips[static_cast<std::size_t>(std::min(c, 8))];
    } else if (c == 0) {
      twips = 2400;
    } else if (c == 1) {
      twips = 700;
    }
    table->setColumnWidth(c, TwipsToPixels(twips * scale_, dpi_));
  }
  table->verticalHeader()->setDefaultSectionSize(TwipsToPixels(270 * scale_, dpi_));
  table->horizontalHeader()->setFixedHeight(TwipsToPixels(300 * scale_, dpi_));
}

void AggregationPanel::PlaceEditor() {
  if (o_.view.mode() != kWorkTypeSummary || !o_.work_types.editor_shown()) {
    editor_->hide();
    return;
  }
  const QModelIndex index = work_model_->index(o_.work_types.current_row() - 1,
                                               o_.work_types.current_col());
  work_->scrollTo(index);
  editor_->setGeometry(work_->visualRect(index));
  const QString text = ToQString(o_.work_types.editor_text());
  if (editor_->isHidden() || editor_opening_ != o_.work_types.editor_opening()) {
    // Placed over a cell, the editor shows its text selected: typing
    // replaces it, Home, End, the arrows or a click keep it.
    editor_opening_ = o_.work_types.editor_opening();
    editor_->setText(text);
    editor_->selectAll();
  } else if (editor_->text() != text) {
    editor_->setText(text);
  }
  editor_->show();
  editor_->raise();
}

void AggregationPanel::RefreshShownTable() {
  QTableView* shown = shown_table();
  if (shown == nullptr || shown->isHidden()) return;
  auto* model = static_cast<GridModel*>(shown->model());
  const int columns = model->columnCount();
  model->Reset();
  if (columns != model->columnCount()) SizeColumns(shown, model);
}

void AggregationPanel::Refresh(bool force) {
  const std::array<std::uint64_t, 5> revisions = {
      o_.view.revision(), o_.parts.revision(), o_.fittings.revision(),
      o_.work_types.revision(), o_.dialog.revision()};
  if (!force && revisions == shown_revisions_) return;
  shown_revisions_ = revisions;
  const int mode = o_.view.mode();

  for (int i = 0; i < 4; ++i) {
    QPushButton* b = summary_buttons_[static_cast<std::size_t>(i)];
    QPalette p = palette();
    if (i == mode) p.setColor(QPalette::Button, QColor(255, 255, 128));
    b->setPalette(p);
  }
  const bool room_wise = mode == kInteriorSummary || mode == kExteriorSummary;
  for (int p = 0; p < 5; ++p) {
    QRadioButton* option = part_options_[static_cast<std::size_t>(p)];
    option->setEnabled(room_wise);
    if (p == o_.view.part() && !option->isChecked()) option->setChecked(true);
  }
  // The sub-panel of the summary; the stack hides the other two.
  if (auto* stack = qobject_cast<QStackedLayout*>(room_frame_->parentWidget()->layout())) {
    stack->setCurrentWidget(room_wise                    ? room_frame_
                            : mode == kFittingsSummary ? fittings_frame_
                                                       : work_type_frame_);
  }
  caption_->setText(ToQString(o_.parts.caption()));

  // The summary table shown, the others hidden.
  QTableView* shown = shown_table();
  GridModel* model = shown == work_        ? work_model_
                     : shown == fittings_ ? fittings_model_
                     : mode == kExteriorSummary
                         ? exterior_models_[static_cast<std::size_t>(o_.view.part())]
                         : interior_models_[static_cast<std::size_t>(o_.view.part())];
  for (QTableView* table : findChildren<QTableView*>()) {
    if (table != shown) table->hide();
  }
  const int columns = model->columnCount();
  model->Reset();
  if (columns != model->columnCount() || force || shown->isHidden()) {
    SizeColumns(shown, model);
  }
  shown->show();
  if (shown == work_) {
    syncing_ = true;
    const QModelIndex current = work_model_->index(o_.work_types.current_row() - 1,
                                                   o_.work_types.current_col());
    if (current.isValid() && work_->currentIndex() != current) {
      work_->setCurrentIndex(current);
    }
    syncing_ = false;
  }

  // The lists: work types with the part and fittings tables, units with the
  // work-type table.
  const bool units = o_.view.ShowsUnitList();
  list_captions_[0]->setVisible(units);
  unit_list_->setVisible(units);
  list_captions_[1]->setVisible(!units);
  work_type_list_->setVisible(!units);
  SetListItems(work_type_list_, o_.settings.panel().aggregation_work_types());
  SetListItems(unit_list_, o_.settings.panel().units());
  PlaceEditor();

  // The selection dialog follows the dialog object: open while it is shown,
  // out of sight while the side is added up, gone once it closes.
  if (o_.dialog.shown() && !dialog_widget_) {
    auto* dialog = new AggregationDialogWidget(o_.dialog, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &AggregationDialogWidget::executeRequested, this,
            [this] { ExecuteSelection(); });
    connect(dialog, &QDialog::finished, this, [this] { Refresh(true); });
    dialog_widget_ = dialog;
    dialog->open();
  } else if (dialog_widget_) {
    if (o_.dialog.shown()) {
      dialog_widget_->Refresh();
    } else if (dialog_widget_->isVisible()) {
      dialog_widget_->close();
    }
  }
}

void AggregationPanel::ApplyDisplayScale(double scale, double dpi) {
  scale_ = scale;
  dpi_ = dpi;
  Refresh(true);
}

}  // namespace veltrano
