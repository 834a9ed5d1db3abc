#include "ui/rooms_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/qt_platform.h"

namespace veltrano {

RoomsDialog::RoomsDialog(Rooms& rooms, QWidget* parent)
    : QDialog(parent), rooms_(rooms) {
  setObjectName("NewRoom");
  setModal(true);
  const bool interior = rooms_.dialog().side == kInterior;
  setWindowTitle(interior ? "部屋追加・変更・削除" : "場所追加・変更・削除");

  auto* layout = new QGridLayout(this);
  name_box_ = new QLineEdit(this);
  name_box_->setObjectName("Text1");
  connect(name_box_, &QLineEdit::textEdited, this, [this](const QString& t) {
    rooms_.TypeName(ToStdString(t));
  });
  layout->addWidget(name_box_, 0, 0);

  names_ = new QListWidget(this);
  names_->setObjectName("NewRoomList");
  names_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(names_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0) return;
    rooms_.RoomsDialogSelect(row);
    Refresh();
  });
  layout->addWidget(names_, 1, 0, 4, 1);

  auto* add = new QPushButton("追加", this);
  add->setObjectName("Command1(0)");
  connect(add, &QPushButton::clicked, this, [this] {
    Run(&Rooms::RoomsDialogAdd);
    name_box_->setFocus(Qt::OtherFocusReason);
  });
  auto* rename = new QPushButton("名前変更", this);
  rename->setObjectName("Command1(1)");
  connect(rename, &QPushButton::clicked, this,
          [this] { Run(&Rooms::RoomsDialogRename); });
  auto* remove = new QPushButton("削除", this);
  remove->setObjectName("Command1(2)");
  connect(remove, &QPushButton::clicked, this,
          [this] { Run(&Rooms::RoomsDialogDelete); });
  layout->addWidget(add, 1, 1);
  layout->addWidget(rename, 2, 1);
  layout->addWidget(remove, 3, 1);
  layout->setRowStretch(4, 1);

  auto* move = new QGroupBox("移動", this);
  move->setObjectName("Frame1");
  auto* move_row = new QHBoxLayout(move);
  for (int i = 0; i < 2; ++i) {
    auto* combo = new QComboBox(move);
    combo->setObjectName(QString("IdouList(%1)").arg(i));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
    connect(combo, &QComboBox::currentTextChanged, this,
            [this, i](const QString& t) {
              const RoomsDialogState& d = rooms_.dialog();
              rooms_.ChooseMove(i == 0 ? ToStdString(t) : d.move_what,
                                i == 1 ? ToStdString(t) : d.move_before);
            });
    move_[i] = combo;
    move_row->addWidget(combo);
    move_row->addWidget(new QLabel(i == 0 ? "を" : "の上に移動", move));
  }
  auto* execute = new QPushButton("実行", move);
  execute->setObjectName("Command3");
  connect(execute, &QPushButton::clicked, this,
          [this] { Run(&Rooms::RoomsDialogMove); });
  move_row->addWidget(execute);
  layout->addWidget(move, 5, 0, 1, 2);

  auto* close = new QPushButton("閉じる", this);
  close->setObjectName("Command2");
  connect(close, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
  layout->addWidget(close, 6, 1);

  Refresh();
}

void RoomsDialog::Run(void (Rooms::*command)()) {
  (rooms_.*command)();
  // Every command ends by filling the lists anew.
  Refresh(/*refill_lists=*/true);
  emit changed();
}

void RoomsDialog::Refresh(bool refill_lists) {
  const RoomsDialogState& d = rooms_.dialog();
  if (refill_lists || rooms_.dialog_names() != listed_) {
    // Refilled lists show no choice, as after a fresh fill.
    QSignalBlocker block_names(names_);
    names_->clear();
    QStringList items;
    for (const std::string& n : rooms_.dialog_names()) items.append(ToQString(n));
    names_->addItems(items);
    for (QComboBox* combo : move_) {
      QSignalBlocker block(combo);
      combo->clear();
      combo->addItems(items);
      combo->setCurrentIndex(-1);
    }
    listed_ = rooms_.dialog_names();
  }
  {
    QSignalBlocker block(names_);
    if (d.selected >= 0 && d.selected < names_->count()) {
      names_->setCurrentRow(d.selected);
    } else {
      names_->clearSelection();
      names_->setCurrentRow(-1);
    }
  }
  const QString name = ToQString(d.name_box);
  if (name_box_->text() != name) name_box_->setText(name);
}

void RoomsDialog::done(int result) {
  rooms_.RoomsDialogClose();
  QDialog::done(result);
  emit changed();
}

}  // namespace veltrano
