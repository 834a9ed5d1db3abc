#include "ui/item_copy_panel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt_platform.h"
#include "ui/sheet_model.h"

namespace veltrano {

namespace {

QString Indexed(const char* name, int index) {
  return QString("%1(%2)").arg(name).arg(index);
}

}  // namespace

ItemCopyPanel::ItemCopyPanel(ItemCopy& copy, QWidget* parent)
    : QGroupBox("【項目複写元データ】", parent), copy_(copy) {
  setObjectName("Frame_List");
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(4, 4, 4, 4);

  auto* sources = new QButtonGroup(this);
  static constexpr const char* kSources[3] = {"他のデータ", "入力済全データ", "登録データ"};
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(kSources[i], this);
    option->setObjectName(Indexed("Bunrui", i));
    sources->addButton(option, i);
    connect(option, &QRadioButton::clicked, this, [this, i] {
      copy_.ChooseSource(i);
      Changed();
    });
    sources_[static_cast<std::size_t>(i)] = option;
    v->addWidget(option);
  }

  choice_ = new QComboBox(this);
  choice_->setObjectName("Combo1");
  choice_->setEditable(true);
  choice_->setInsertPolicy(QComboBox::NoInsert);
  connect(choice_, &QComboBox::textActivated, this, [this](const QString& text) {
    if (syncing_) return;
    copy_.ChooseEntry(ToStdString(text));
    Changed();
  });
  v->addWidget(choice_);
  read_ = new QPushButton("読込開始", this);
  read_->setObjectName("SaiYomikomiBtn");
  connect(read_, &QPushButton::clicked, this, [this] {
    read_->setText("読み込み中･･");
    read_->repaint();
    copy_.LoadAllEntered();
    read_->setText("読込開始");
    Changed();
  });
  v->addWidget(read_);

  header_ = new QLabel(this);
  header_->setObjectName("Label5");
  v->addWidget(header_);
  for (int part = 0; part < kParts; ++part) {
    auto* list = new QListWidget(this);
    list->setObjectName(Indexed("InputList", part));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    QPalette p = list->palette();
    p.setColor(QPalette::Base, PartColor(part));
    list->setPalette(p);
    connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
      if (syncing_) return;
      std::vector<int> positions;
      for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) positions.push_back(i);
      }
      copy_.SelectEntries(positions);
      Refresh();
    });
    lists_[static_cast<std::size_t>(part)] = list;
    v->addWidget(list, 1);
  }

  auto* part_caption = new QLabel("【複写する部位】", this);
  part_caption->setObjectName("Label6");
  v->addWidget(part_caption);
  auto* part_row = new QHBoxLayout;
  auto* parts = new QButtonGroup(this);
  for (int part = 0; part < kParts; ++part) {
    auto* option = new QRadioButton(ToQString(kPartNames[static_cast<std::size_t>(part)]), this);
    option->setObjectName(Indexed("CopyBui", part));
    parts->addButton(option, part);
    connect(option, &QRadioButton::clicked, this, [this, part] {
      copy_.ChoosePart(part);
      Changed();
    });
    parts_[static_cast<std::size_t>(part)] = option;
    part_row->addWidget(option);
  }
  v->addLayout(part_row);

  auto* commands = new QHBoxLayout;
  auto* execute = new QPushButton("実行", this);
  execute->setObjectName("Copy");
  connect(execute, &QPushButton::clicked, this, [this] {
    copy_.CopyItems();
    Changed();
  });
  auto* close_button = new QPushButton("閉じる", this);
  close_button->setObjectName("Command3");
  connect(close_button, &QPushButton::clicked, this, [this] {
    copy_.HideItemList();
    Changed();
  });
  commands->addWidget(execute);
  commands->addWidget(close_button);
  v->addLayout(commands);
  Refresh(true);
}

void ItemCopyPanel::Changed() {
  Refresh();
  emit changed();
}

void ItemCopyPanel::Refresh(bool force) {
  if (!force && copy_.revision() == shown_revision_) return;
  shown_revision_ = copy_.revision();
  syncing_ = true;
  setVisible(copy_.item_list_shown());
  sources_[0]->setText(ToQString(copy_.first_source_caption()));
  QRadioButton* source = sources_[static_cast<std::size_t>(copy_.source())];
  if (!source->isChecked()) source->setChecked(true);
  choice_->setVisible(copy_.choice_shown());
  read_->setVisible(!copy_.choice_shown());
  // The text that stood in the box stays when its entries are refilled.
  const QString text = choice_->currentText();
  QStringList entries;
  for (const std::string& entry : copy_.choices()) entries.append(ToQString(entry));
  QStringList shown;
  for (int i = 0; i < choice_->count(); ++i) shown.append(choice_->itemText(i));
  if (shown != entries) {
    choice_->clear();
    choice_->addItems(entries);
    choice_->setEditText(text);
  }
  const QString chosen = ToQString(copy_.choice());
  if (!chosen.isEmpty() && choice_->currentText() != chosen) choice_->setEditText(chosen);
  header_->setText(ToQString(copy_.header()));
  QPalette p = header_->palette();
  p.setColor(QPalette::WindowText, copy_.header_busy() ? Qt::red : Qt::black);
  header_->setPalette(p);
  for (int part = 0; part < kParts; ++part) {
    const auto at = static_cast<std::size_t>(part);
    QListWidget* list = lists_[at];
    list->setVisible(part == copy_.part());
    SetListItems(list, copy_.source_list(part));
    const std::vector<bool>& selected = copy_.selected(part);
    for (int i = 0; i < list->count() && i < static_cast<int>(selected.size()); ++i) {
      QListWidgetItem* item = list->item(i);
      if (item->isSelected() != selected[static_cast<std::size_t>(i)]) {
        item->setSelected(selected[static_cast<std::size_t>(i)]);
      }
    }
  }
  QRadioButton* part = parts_[static_cast<std::size_t>(copy_.part())];
  if (!part->isChecked()) part->setChecked(true);
  syncing_ = false;
}

}  // namespace veltrano
