#include "ui/name_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrano {

NameDialog::NameDialog(ProjectSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("HozonForm");
  setWindowTitle("新規作成・保存");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->setContentsMargins(16, 16, 16, 12);
  layout->setSpacing(10);

  auto* create = new QPushButton("新規物件を作成", this);
  create->setObjectName("Command1(0)");
  connect(create, &QPushButton::clicked, this, [this] {
    session_.NewProject();
    accept();
  });
  layout->addWidget(create);

  auto* save_as = new QPushButton("現在編集中の物件を名前を変えて保存", this);
  save_as->setObjectName("Command1(1)");
  connect(save_as, &QPushButton::clicked, this, [this] {
    session_.SaveProjectAs();
    accept();
  });
  layout->addWidget(save_as);
  // Without an open project there is nothing to save, and the dialog is
  // the shorter for it.
  save_as->setVisible(session_.project_open());

  auto* note = new QLabel(
      "※名前を変えて保存した場合、以降は変更した物件名での作業になります。",
      this);
  note->setObjectName("Label1");
  layout->addWidget(note);
}

}  // namespace veltrano
