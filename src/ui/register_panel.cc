#include "ui/register_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <iterator>

#include "ui/display_metrics.h"
#include "ui/fit_text_delegate.h"
#include "ui/grid_model.h"
#include "ui/qt_platform.h"

namespace veltrano {

void RegisterBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit enterPressed();
      event->accept();
      return;
    case Qt::Key_Delete:
      emit deletePressed();
      event->accept();
      return;
    default:
      QLineEdit::keyPressEvent(event);
  }
}

RegisterPanel::RegisterPanel(FittingsRegister& reg, QWidget* parent)
    : QGroupBox("《建具登録》", parent), reg_(reg) {
  setObjectName("Frame_TateguList");
  auto* layout = new QHBoxLayout(this);

  auto* left = new QWidget(this);
  auto* form = new QGridLayout(left);
  form->setContentsMargins(0, 0, 0, 0);
  static constexpr const char* kCaptions[3] = {"符号", "W", "H"};
  for (int i = 0; i < 3; ++i) {
    form->addWidget(new QLabel(kCaptions[i], left), i, 0);
    auto* box = new RegisterBox(left);
    box->setObjectName(QString("InpText(%1)").arg(i));
    if (i > 0) box->setAlignment(Qt::AlignRight);
    connect(box, &QLineEdit::textEdited, this, [this, i](const QString& t) {
      // Typing leaves the focus where the user put it.
      reg_.TypeBox(i, ToStdString(t));
      Refresh();
    });
    connect(box, &RegisterBox::enterPressed, this, [this, i] {
      reg_.PressEnter(i);
      Changed();
    });
    connect(box, &RegisterBox::deletePressed, this, [this, i] {
      reg_.PressDelete(i);
      Refresh();
    });
    boxes_[i] = box;
    form->addWidget(box, i, 1);
  }
  auto* unit = new QLabel("単位ミリ", left);
  unit->setObjectName("Label7");
  form->addWidget(unit, 3, 1);

  struct Command {
    const char* name;
    const char* caption;
  };
  static constexpr Command kCommands[] = {
      {"Syori(0)", "OK"},
      {"Syori(1)", "位置指定"},
      {"Syori(2)", "選択建具を削除"},
      {"Syori(3)", "全削除"},
      {"Command11", "ファイルから読込"},
  };
  int row = 4;
  for (int i = 0; i < static_cast<int>(std::size(kCommands)); ++i) {
    auto* button = new QPushButton(kCommands[i].caption, left);
    button->setObjectName(kCommands[i].name);
    connect(button, &QPushButton::clicked, this, [this, i] {
      switch (i) {
        case 0: reg_.RegisterFitting(); break;
        case 1: reg_.StartPositionPick(); break;
        case 2: reg_.DeleteSelected(); break;
        case 3: reg_.DeleteAll(); break;
        default: reg_.ReadFromFile(); break;
      }
      Changed();
    });
    form->addWidget(button, row++, 0, 1, 2);
  }
  info_ = new QLabel(left);
  info_->setObjectName("Info");
  info_->setWordWrap(true);
  // The boxes and buttons set the column's width; the information line
  // wraps inside it, so that a shorter or longer text moves nothing.
  info_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  form->addWidget(info_, row++, 0, 1, 2);
  form->setRowStretch(row, 1);
  layout->addWidget(left);

  model_ = new GridModel([this]() -> const TextGrid& { return reg_.grid(); },
                         /*header_row=*/true, this);
  table_ = new QTableView(this);
  table_->setObjectName("TateguGrid");
  table_->setModel(model_);
  table_->setItemDelegate(new FitTextDelegate(table_));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setSelectionBehavior(QAbstractItemView::SelectItems);
  table_->setWordWrap(false);
  table_->verticalHeader()->setDefaultSectionSize(20);
  connect(table_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    reg_.ClickRow(model_->GridRow(index.row()));
    Changed();
  });
  layout->addWidget(table_);
  layout->addStretch(1);
  Refresh(true);
}

void RegisterPanel::Changed() {
  Refresh();
  const int focus = reg_.focus_box();
  if (focus >= 0 && focus < 3) {
    boxes_[focus]->setFocus(Qt::OtherFocusReason);
    boxes_[focus]->end(false);
  }
}

void RegisterPanel::Refresh(bool force) {
  if (!force && reg_.revision() == shown_revision_) return;
  shown_revision_ = reg_.revision();
  for (int i = 0; i < 3; ++i) {
    const QString text = ToQString(reg_.box(i));
    if (boxes_[i]->text() != text) boxes_[i]->setText(text);
  }
  info_->setText(ToQString(reg_.info()));
  model_->Reset();
  const int row = reg_.current_row();
  if (row >= 1) {
    const QModelIndex index = model_->index(row - 1, 0);
    if (table_->currentIndex().row() != index.row()) table_->setCurrentIndex(index);
  }
}

void RegisterPanel::ApplyDisplayScale(double scale, double dpi) {
  table_->setColumnWidth(0, TwipsToPixels(1400 * scale, dpi));
  table_->setColumnWidth(1, TwipsToPixels(1000 * scale, dpi));
  table_->setColumnWidth(2, TwipsToPixels(1000 * scale, dpi));
  table_->verticalHeader()->setDefaultSectionSize(TwipsToPixels(300 * scale, dpi));
  for (RegisterBox* box : boxes_) box->setFixedWidth(TwipsToPixels(1500 * scale, dpi));
  int width = table_->verticalHeader()->sizeHint().width() +
              table_->verticalScrollBar()->sizeHint().width() +
              2 * table_->frameWidth() + 2;
  for (int c = 0; c < 3; ++c) width += table_->columnWidth(c);
  table_->setFixedWidth(width);
}

}  // namespace veltrano
