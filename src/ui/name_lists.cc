#include "ui/name_lists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_platform.h"

namespace veltrano {

NameListsWidget::NameListsWidget(const QString& left_caption, const QString& right_caption,
                                 const QString& buttons, QWidget* parent,
                                 bool removable)
    : QWidget(parent) {
  auto* lists = new QHBoxLayout(this);
  lists->setContentsMargins(0, 0, 0, 0);
  auto add_list = [this, lists, removable](const QString& caption, int side) {
    auto* v = new QVBoxLayout;
    auto* label = new QLabel(caption, this);
    label->setObjectName(QString("Label1(%1)").arg(side));
    v->addWidget(label);
    auto* list = new QListWidget(this);
    list->setObjectName(QString("List1(%1)").arg(side));
    list->setSelectionMode(side == 0 || removable
                               ? QAbstractItemView::ExtendedSelection
                               : QAbstractItemView::NoSelection);
    v->addWidget(list, 1);
    lists->addLayout(v, 1);
    return list;
  };
  left_ = add_list(left_caption, 0);

  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  static constexpr const char* kCommands[3] = {"全選択", "⇒", "クリア"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QPushButton(kCommands[i], this);
    b->setObjectName(QString("%1(%2)").arg(buttons).arg(i));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, i] {
      if (i == 0) {
        emit selectAllPressed();
      } else if (i == 1) {
        std::vector<int> positions;
        for (const QModelIndex& index : left_->selectionModel()->selectedRows()) {
          positions.push_back(index.row());
        }
        emit addPressed(positions);
      } else {
        emit clearPressed();
      }
    });
    middle->addWidget(b);
  }
  if (removable) {
    auto* b = new QPushButton("⇐", this);
    b->setObjectName(QString("%1(3)").arg(buttons));
    b->setToolTip("右の一覧で選んだ名前を外します");
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this] {
      std::vector<int> positions;
      for (const QModelIndex& index : right_->selectionModel()->selectedRows()) {
        positions.push_back(index.row());
      }
      emit removePressed(positions);
    });
    middle->addWidget(b);
  }
  middle->addStretch(1);
  lists->addLayout(middle);
  right_ = add_list(right_caption, 1);
}

void NameListsWidget::Show(const std::vector<std::string>& left,
                           const std::vector<std::string>& right) {
  SetListItems(left_, left);
  SetListItems(right_, right);
}

}  // namespace veltrano
