#include "ui/fittings_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/display_metrics.h"
#include "ui/fit_text_delegate.h"
#include "ui/grid_model.h"
#include "ui/qt_platform.h"

namespace veltrano {

namespace {

constexpr const char* kCodeListCaption = "<<建具符号>>";
constexpr const char* kCheckListCaption = "※○は積算済";

// Column widths of the calculation tables, in twips.
int TableColumnTwips(int table, int col) {
  switch (table) {
    case kGlassTable:
      return col == 0 || col == 8 ? 1300 : col == 6 ? 650 : 600;
    case kFrameSealTable:
      return col == 0 ? 1300 : col == 1 ? 900 : 600;
    case kFrameMortarTable:
      return col == 0 ? 1300 : 600;
    default:
      return col == 0 ? 1300 : col == 1 ? 1400 : 650;
  }
}

QTableView* MakeTable(QWidget* parent, const QString& name, GridModel* model) {
  auto* table = new QTableView(parent);
  table->setObjectName(name);
  table->setModel(model);
  table->setItemDelegate(new FitTextDelegate(table));
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setWordWrap(false);
  table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return table;
}

QLabel* Title(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setFrameStyle(QFrame::Panel | QFrame::Raised);
  label->setAutoFillBackground(true);
  QPalette p = label->palette();
  p.setColor(QPalette::Window, QColor(204, 221, 255));
  label->setPalette(p);
  return label;
}

}  // namespace

EnteredFittingDialog::EnteredFittingDialog(FittingsTakeoff& takeoff,
                                           QWidget* parent)
    : QDialog(parent), takeoff_(takeoff) {
  setObjectName("TateguSyuseiForm");
  setWindowTitle("建具入力済みデータ編集");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* info = new QLabel("選択された符号⇒" + ToQString(takeoff_.entered_dialog_code()),
                          this);
  info->setObjectName("Info");
  layout->addWidget(info);
  auto* buttons = new QHBoxLayout;
  auto* modify = new QPushButton("修正", this);
  modify->setObjectName("Command1(0)");
  connect(modify, &QPushButton::clicked, this, [this] {
    takeoff_.EnteredDialogModify();
    accept();
  });
  auto* remove = new QPushButton("削除", this);
  remove->setObjectName("Command1(1)");
  connect(remove, &QPushButton::clicked, this, [this] {
    takeoff_.EnteredDialogDelete();
    accept();
  });
  buttons->addWidget(modify);
  buttons->addWidget(remove);
  layout->addLayout(buttons);
}

void EnteredFittingDialog::done(int result) {
  if (takeoff_.entered_dialog_open()) takeoff_.EnteredDialogClose();
  QDialog::done(result);
}

FittingsPanel::FittingsPanel(FittingsTakeoff& takeoff, QWidget* parent)
    : QGroupBox("建具廻り", parent), takeoff_(takeoff) {
  setObjectName("Frame_Tategu");
  auto* layout = new QHBoxLayout(this);

  // The code list, or the check list in its place.
  auto* left = new QWidget(this);
  auto* lv = new QVBoxLayout(left);
  lv->setContentsMargins(0, 0, 0, 0);
  list_caption_ = new QLabel(kCodeListCaption, left);
  list_caption_->setObjectName("Label9");
  lv->addWidget(list_caption_);
  code_list_ = new QListWidget(left);
  code_list_->setObjectName("TateguHiroiList");
  connect(code_list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    takeoff_.ChooseFitting(ToStdString(item->text()));
    Changed();
  });
  lv->addWidget(code_list_, 1);
  check_list_ = new QListWidget(left);
  check_list_->setObjectName("CheckList");
  check_list_->setSelectionMode(QAbstractItemView::NoSelection);
  check_list_->hide();
  lv->addWidget(check_list_, 1);
  check_button_ = new QPushButton("入力済確認", left);
  check_button_->setObjectName("CheckBtn");
  connect(check_button_, &QPushButton::clicked, this, [this] {
    takeoff_.ToggleCheckList();
    Changed();
  });
  lv->addWidget(check_button_);
  layout->addWidget(left);

  auto* right = new QWidget(this);
  auto* rv = new QVBoxLayout(right);
  rv->setContentsMargins(0, 0, 0, 0);

  // The current fitting, the count of places and the sliding panes.
  auto* top = new QHBoxLayout;
  static constexpr const char* kLabelCaptions[3] = {"符号", "W", "H"};
  for (int i = 0; i < 4; ++i) {
    if (i < 3) top->addWidget(new QLabel(kLabelCaptions[i], right));
    auto* label = new QLabel(right);
    label->setObjectName(QString("T_Jyoho(%1)").arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(60);
    labels_[i] = label;
    top->addWidget(label);
  }
  top->addSpacing(12);
  top->addWidget(new QLabel("全ヶ所数", right));
  places_ = new QLineEdit(right);
  places_->setObjectName("SassiKasyo");
  places_->setAlignment(Qt::AlignRight);
  places_->setMaximumWidth(60);
  connect(places_, &QLineEdit::textEdited, this, [this](const QString& t) {
    takeoff_.SetPlaces(ToStdString(t));
    Changed();
  });
  top->addWidget(places_);
  top->addSpacing(12);
  sliding_ = new QCheckBox("2枚引違い", right);
  sliding_->setObjectName("Check1");
  connect(sliding_, &QCheckBox::clicked, this, [this](bool on) {
    takeoff_.SetSliding(on);
    Changed();
  });
  top->addWidget(sliding_);
  auto* note = new QLabel("※2枚引違いをチェックオンにするとGWにW/2の値と枚に2が入ります",
                          right);
  note->setObjectName("Label12");
  note->setWordWrap(true);
  top->addWidget(note, 1);
  rv->addLayout(top);

  rv->addWidget(BuildTables());

  auto* commands = new QHBoxLayout;
  auto* gap_note = new QLabel(
      "※行は空けずに入力してください。   （空けるとデータが保存されません。）", right);
  gap_note->setObjectName("Label13");
  commands->addWidget(gap_note, 1);
  auto* clear = new QPushButton("入力クリア", right);
  clear->setObjectName("InputClrBtn");
  clear->setToolTip("入力欄の内容をクリアします。");
  connect(clear, &QPushButton::clicked, this, [this] {
    takeoff_.ClearTables();
    Changed();
  });
  commands->addWidget(clear);
  auto* commit = new QPushButton("入力確定", right);
  commit->setObjectName("TorikomiBtn");
  commit->setToolTip("入力されたデータを登録します。");
  connect(commit, &QPushButton::clicked, this, [this] {
    takeoff_.Commit();
    Changed();
  });
  commands->addWidget(commit);
  rv->addLayout(commands);

  // The entered-data list with its title band.
  auto* title = Title("<<入力済みデータ一覧>>：修正は符号欄をクリック", right);
  title->setObjectName("Label14");
  rv->addWidget(title);
  auto* band = new QHBoxLayout;
  band->setSpacing(0);
  static constexpr const char* kBands[] = {"符号・サイズ", "硝子", "硝子シール",
                                           "枠廻りシール", "枠詰", "塗装・貼物"};
  for (std::size_t i = 0; i < bands_.size(); ++i) {
    bands_[i] = Title(kBands[i], right);
    band->addWidget(bands_[i]);
  }
  band->addStretch(1);
  rv->addLayout(band);
  entered_model_ = new GridModel(
      [this]() -> const TextGrid& { return takeoff_.entered_data_list(); },
      /*header_row=*/true, this);
  entered_ = MakeTable(right, "TateguDataGrid", entered_model_);
  entered_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(entered_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    takeoff_.ClickEnteredList(entered_model_->GridRow(index.row()), index.column());
    Changed();
  });
  rv->addWidget(entered_, 1);
  layout->addWidget(right, 1);

  // The candidate lists pop up under the clicked cell.
  for (int n = 0; n < kCandidateLists; ++n) {
    auto* list = new QListWidget(this);
    list->setObjectName(QString("HinagataList(%1)").arg(n));
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->hide();
    connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
      takeoff_.ApplyCandidate(ToStdString(item->text()));
      Changed();
    });
    connect(list, &QListWidget::customContextMenuRequested, this, [this] {
      takeoff_.DismissCandidates();
      Changed();
    });
    lists_[n] = list;
  }
  Refresh(true);
}

QWidget* FittingsPanel::BuildTables() {
  auto* area = new QWidget(this);
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  static constexpr const char* kTitles[kFittingsTables] = {
      "硝子", "枠廻りシール", "枠詰め", "塗装・貼物"};
  for (int t = 0; t < kFittingsTables; ++t) {
    models_[t] = new GridModel(
        [this, t]() -> const TextGrid& { return takeoff_.table(t); },
        /*header_row=*/true, this);
    models_[t]->SetRowNumbers(1);
    tables_[t] = MakeTable(area, QString("TateguKeisanGrid(%1)").arg(t), models_[t]);
    connect(tables_[t], &QTableView::clicked, this,
            [this, t](const QModelIndex& index) {
              takeoff_.OpenCell(t, models_[t]->GridRow(index.row()), index.column());
              Changed();
            });
    QWidget* heading;
    if (t == kGlassTable) {
      heading = new QWidget(area);
      auto* h = new QHBoxLayout(heading);
      h->setContentsMargins(0, 0, 0, 0);
      h->setSpacing(0);
      glass_titles_[0] = Title("硝子", heading);
      glass_titles_[1] = Title("硝子シール", heading);
      h->addWidget(glass_titles_[0]);
      h->addWidget(glass_titles_[1]);
      h->addStretch(1);
    } else {
      heading = Title(kTitles[t], area);
    }
    heading->setObjectName(QString("TableTitle(%1)").arg(t));
    titles_[t] = heading;
    // Glass and painting side by side, the frame tables below them, with
    // the note on the glass seal between.
    const bool upper = t == kGlassTable || t == kPaintingTable;
    const int col = t == kGlassTable || t == kFrameSealTable ? 0 : 1;
    grid->addWidget(heading, upper ? 0 : 3, col, Qt::AlignLeft);
    grid->addWidget(tables_[t], upper ? 1 : 4, col, Qt::AlignLeft | Qt::AlignTop);
  }
  auto* seal_note = new QLabel("※硝子シールのヵ所は硝子に順じます。", area);
  seal_note->setObjectName("Label15");
  grid->addWidget(seal_note, 2, 0, 1, 2);
  editor_ = new QLineEdit(tables_[kGlassTable]->viewport());
  editor_->setObjectName("InputText");
  editor_->hide();
  connect(editor_, &QLineEdit::textEdited, this, [this](const QString& t) {
    takeoff_.EditorTextChanged(ToStdString(t));
    Changed();
  });
  connect(editor_, &QLineEdit::returnPressed, this, [this] {
    takeoff_.EditorEnter();
    Changed();
  });
  return area;
}

void FittingsPanel::Changed() { Refresh(); }

void FittingsPanel::PlaceCandidateList() {
  const int shown = takeoff_.shown_list();
  for (int n = 0; n < kCandidateLists; ++n) {
    if (n != shown) lists_[n]->hide();
  }
  if (shown < 0 || takeoff_.edit_table() < 0) return;
  QListWidget* list = lists_[shown];
  QStringList items;
  for (const std::string& item : takeoff_.candidate_list(shown)) {
    items.append(ToQString(item));
  }
  list->clear();
  list->addItems(items);
  QTableView* table = tables_[takeoff_.edit_table()];
  const QRect cell = table->visualRect(
      models_[takeoff_.edit_table()]->index(takeoff_.edit_row() - 1, takeoff_.edit_col()));
  const QPoint under = table->viewport()->mapTo(this, cell.bottomLeft());
  const int height = std::min(list->sizeHintForRow(0) * (list->count() + 1) + 4,
                              std::max(80, this->height() - under.y() - 4));
  list->setGeometry(under.x(), under.y() + 1, std::max(cell.width(), 120), height);
  list->show();
  list->raise();
}

void FittingsPanel::PlaceEditor() {
  if (!takeoff_.editor_visible() || takeoff_.edit_table() < 0) {
    const bool had_focus = editor_->window()->focusWidget() == editor_;
    editor_->hide();
    if (had_focus) setFocus(Qt::OtherFocusReason);
    return;
  }
  QTableView* table = tables_[takeoff_.edit_table()];
  if (editor_->parentWidget() != table->viewport()) {
    editor_->setParent(table->viewport());
  }
  const QRect cell = table->visualRect(
      models_[takeoff_.edit_table()]->index(takeoff_.edit_row() - 1, takeoff_.edit_col()));
  // The focus goes to the editor when it opens or moves, not while the
  // user types elsewhere (the count of places) with it open.
  const bool moved = editor_->isHidden() || editor_->geometry() != cell;
  editor_->setGeometry(cell);
  const QString text = ToQString(takeoff_.editor_text());
  if (editor_->text() != text) editor_->setText(text);
  editor_->show();
  editor_->raise();
  if (moved) editor_->setFocus(Qt::OtherFocusReason);
}

void FittingsPanel::Refresh(bool force) {
  if (!force && takeoff_.revision() == shown_revision_) return;
  shown_revision_ = takeoff_.revision();
  for (int i = 0; i < 4; ++i) {
    const QString text = ToQString(i == 0   ? takeoff_.current_code()
                                   : i == 1 ? takeoff_.current_w()
                                   : i == 2 ? takeoff_.current_h()
                                            : takeoff_.mode_text());
    labels_[i]->setText(text);
  }
  const QString places = ToQString(takeoff_.places());
  if (places_->text() != places) places_->setText(places);
  if (sliding_->isChecked() != takeoff_.sliding()) sliding_->setChecked(takeoff_.sliding());

  const bool checking = takeoff_.check_list_shown();
  code_list_->setVisible(!checking);
  check_list_->setVisible(checking);
  list_caption_->setText(checking ? kCheckListCaption : kCodeListCaption);
  check_button_->setText(checking ? "戻る" : "入力済確認");
  SetListItems(code_list_, takeoff_.code_list());
  SetListItems(check_list_, takeoff_.check_list());

  for (GridModel* model : models_) model->Reset();
  entered_model_->Reset();
  PlaceCandidateList();
  PlaceEditor();

  if (takeoff_.entered_dialog_open() && !dialog_) {
    auto* dialog = new EnteredFittingDialog(takeoff_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this] { Refresh(); });
    dialog_ = dialog;
    dialog->show();
  }
}

void FittingsPanel::ApplyDisplayScale(double scale, double dpi) {
  for (int t = 0; t < kFittingsTables; ++t) {
    QTableView* table = tables_[t];
    int width = table->verticalHeader()->sizeHint().width() + 4;
    for (int c = 0; c < models_[t]->columnCount(); ++c) {
      const int px = TwipsToPixels(TableColumnTwips(t, c) * scale, dpi);
      table->setColumnWidth(c, px);
      width += px;
    }
    const int row_height = TwipsToPixels(270 * scale, dpi);
    table->verticalHeader()->setDefaultSectionSize(row_height);
    table->horizontalHeader()->setFixedHeight(TwipsToPixels(300 * scale, dpi));
    table->setFixedSize(width, TwipsToPixels(300 * scale, dpi) +
                                   row_height * models_[t]->rowCount() + 4);
    titles_[t]->setFixedWidth(width);
    if (t == kGlassTable) {
      int glass = table->verticalHeader()->sizeHint().width() + 2;
      for (int c = 0; c < 8; ++c) glass += table->columnWidth(c);
      glass_titles_[0]->setFixedWidth(glass);
      glass_titles_[1]->setFixedWidth(width - glass);
    }
  }
  // Kinds (columns 4, 7, 9, 12 and 14) are the longest texts of the list.
  for (int c = 0; c < entered_model_->columnCount(); ++c) {
    const bool kind = c == 4 || c == 7 || c == 9 || c == 12 || c == 14;
    const int twips = kind ? 1300 : c == 0 ? 900 : c == 10 ? 800 : 700;
    entered_->setColumnWidth(c, TwipsToPixels(twips * scale, dpi));
  }
  entered_->verticalHeader()->setDefaultSectionSize(TwipsToPixels(270 * scale, dpi));
  // The title band spans the columns it names: code and size 0-3, glass
  // 4-6, glass seal 7-8, frame seal 9-11, frame mortar 12-13, painting 14-15.
  static constexpr std::array<int, 7> kBandStart = {0, 4, 7, 9, 12, 14, 16};
  for (std::size_t i = 0; i < bands_.size(); ++i) {
    int width = i == 0 ? entered_->verticalHeader()->sizeHint().width() +
                             entered_->frameWidth()
                       : 0;
    for (int c = kBandStart[i]; c < kBandStart[i + 1]; ++c) {
      width += entered_->columnWidth(c);
    }
    bands_[i]->setFixedWidth(width);
  }
  Refresh(true);
}

}  // namespace veltrano
