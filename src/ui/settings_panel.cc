#include "ui/settings_panel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "config/settings.h"
#include "project/import.h"
#include "takeoff/templates.h"
#include "ui/scroll_content_layout.h"
#include "ui/templates_dialog.h"

namespace veltrano {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Utf8(const QString& text) { return text.toStdString(); }

// Sets a box's text only when it differs, so that a box being typed in keeps
// its cursor.
void ShowText(QLineEdit* box, const std::string& text) {
  const QString shown = Q(text);
  if (box->text() == shown) return;
  const QSignalBlocker blocker(box);
  box->setText(shown);
}

// Refills a list only when its items changed, so that the chosen item and
// the scroll position stay.
void ShowItems(QListWidget* list, const std::vector<std::string>& items) {
  bool same = list->count() == static_cast<int>(items.size());
  for (int i = 0; same && i < list->count(); ++i) {
    same = list->item(i)->text() == Q(items[static_cast<std::size_t>(i)]);
  }
  if (same) return;
  const QSignalBlocker blocker(list);
  list->clear();
  for (const std::string& item : items) list->addItem(Q(item));
}

// Selects the button numbered `id`, or none when no button has that number.
void ShowOption(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) {
    button->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

QLabel* Note(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

QString Indexed(const char* name, int index) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// The offsets with the captions before and after their boxes.
struct OffsetCaption {
  const char* before;
  const char* after;
};
constexpr std::array<OffsetCaption, kOffsetCount> kOffsetCaptions = {{
    {"1.GWは建具Wから", "ミリ差し引く"},
    {"2.GHは建具Hから", "ミリ差し引く"},
    {"3.枠廻りシールの横長は建具Wに", "ミリ加える"},
    {"4.枠廻りシールの縦長は建具Hに", "ミリ加える"},
    {"5.枠詰めモルタルの横長は建具Wに", "ミリ加える"},
    {"6.枠詰めモルタルの縦長は建具Hに", "ミリ加える"},
}};

constexpr std::array<const char*, kCandidateListCount> kCandidateCaptions = {
    "【硝子】",         "【硝子シール】", "【塗装・貼物】",
    "【枠廻りシール】", "【枠詰】",       "【←サイズ】"};

// Base sizes in pixels at display scale 1.
constexpr int kOffsetBoxWidth = 56;
constexpr int kEditorWidth = 112;
constexpr int kEditorButtonSpacing = 3;
constexpr int kListHeight = 100;
constexpr int kSavingWidth = 330;
constexpr int kCompanyBoxWidth = 220;
constexpr int kSourceBoxWidth = 230;
constexpr int kTemplatesNoteWidth = 120;

}  // namespace

SettingsPanelWidget::SettingsPanelWidget(Settings& settings, Importer& importer,
                                         ItemTemplates& templates,
                                         QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      importer_(importer),
      templates_(templates),
      base_font_(font()) {
  setObjectName(QStringLiteral("Frame_Set"));
  setWindowTitle(QStringLiteral("《設定》"));

  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);

  content_ = new QWidget(scroll);
  scroll->setWidget(content_);
  auto* rows = new ScrollContentLayout(content_);
  rows->setContentsMargins(6, 4, 6, 4);
  rows->setSpacing(6);
  auto* caption = new QLabel(QStringLiteral("《設定》"), content_);
  caption->setObjectName(QStringLiteral("Frame_SetCaption"));
  QFont bold;
  bold.setBold(true);
  caption->setFont(bold);
  rows->addWidget(caption);

  auto* top = new QHBoxLayout;
  top->addWidget(BuildOffsets(), 0, Qt::AlignTop);
  top->addWidget(BuildPrint(), 0, Qt::AlignTop);
  top->addWidget(BuildSaving(), 0, Qt::AlignTop);
  top->addStretch(1);
  rows->addLayout(top);

  auto* lists = new QHBoxLayout;
  lists->addWidget(BuildCandidates(), 0, Qt::AlignTop);
  auto* work_types = new QGroupBox(QStringLiteral("工種登録"), content_);
  work_types->setObjectName(QStringLiteral("Frame_Kousyu"));
  auto* work_types_layout = new QVBoxLayout(work_types);
  work_types_layout->addWidget(BuildListEditor(
      work_types, QStringLiteral("工種名"), QStringLiteral("KousyuText"),
      Indexed("TuikaBtn", 6), QStringLiteral("↓追加"), Indexed("SakujyoBtn", 6),
      QStringLiteral("KousyuSaveList"),
      {.box_kind = static_cast<int>(Settings::Box::kWorkTypeEntry),
       .items = [this]() -> const std::vector<std::string>& {
         return settings_.panel().work_types();
       },
       .choose = [this](int row) { settings_.ChooseWorkType(row); }},
      [this] { settings_.AddWorkType(); },
      [this] { settings_.DeleteWorkType(); }));
  lists->addWidget(work_types, 0, Qt::AlignTop);
  auto* units = new QGroupBox(QStringLiteral("<<単位登録>>"), content_);
  units->setObjectName(QStringLiteral("Frame_Tani"));
  auto* units_layout = new QVBoxLayout(units);
  units_layout->addWidget(BuildListEditor(
      units, QString(), QStringLiteral("Text3"), QStringLiteral("Command7"),
      QStringLiteral("↓追加"), QStringLiteral("Command8"),
      QStringLiteral("TaniSaveList"),
      {.box_kind = static_cast<int>(Settings::Box::kUnitEntry),
       .items = [this]() -> const std::vector<std::string>& {
         return settings_.panel().units();
       },
       .choose = [this](int row) { settings_.ChooseUnit(row); }},
      [this] { settings_.AddUnit(); },
      [this] { settings_.DeleteUnit(); }));
  lists->addWidget(units, 0, Qt::AlignTop);
  // The item lists beside the other lists, the button over its note: the
  // page is then as narrow as the small display size's window.
  lists->addWidget(BuildTemplates(), 0, Qt::AlignTop);
  lists->addStretch(1);
  rows->addLayout(lists);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(BuildImport(), 0, Qt::AlignTop);
  bottom->addWidget(BuildDigits(), 0, Qt::AlignTop);
  bottom->addStretch(1);
  rows->addLayout(bottom);
  rows->addStretch(1);

  ApplySizes();
  Refresh();
}

// ---- Building --------------------------------------------------------------

QWidget* SettingsPanelWidget::BuildOffsets() {
  auto* group = new QGroupBox(QStringLiteral("<<建具廻り拾い設定>>"));
  group->setObjectName(QStringLiteral("Frame_TateguSet"));
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);
  for (int i = 0; i < kOffsetCount; ++i) {
    const OffsetCaption& caption = kOffsetCaptions[static_cast<std::size_t>(i)];
    grid->addWidget(new QLabel(QString::fromUtf8(caption.before), group), i, 0);
    auto* box = new QLineEdit(group);
    box->setObjectName(Indexed("TateguSet", i));
    box->setAlignment(Qt::AlignRight);
    Scale(box, kOffsetBoxWidth, 0);
    ConnectSettingsBox(box, static_cast<int>(Settings::Box::kOffset), i);
    offsets_[static_cast<std::size_t>(i)] = box;
    grid->addWidget(box, i, 1);
    grid->addWidget(new QLabel(QString::fromUtf8(caption.after), group), i, 2);
  }
  grid->addWidget(
      Note(QStringLiteral("※上記数値が計算時に組み込まれます。"), group),
      kOffsetCount, 0, 1, 3);
  return group;
}

QWidget* SettingsPanelWidget::BuildCandidates() {
  auto* group = new QGroupBox(QStringLiteral("<<建具廻り入力候補>>"));
  group->setObjectName(QStringLiteral("Frame_Hinagata"));
  auto* row = new QHBoxLayout(group);
  for (int i = 0; i < kCandidateListCount; ++i) {
    const auto at = static_cast<std::size_t>(i);
    row->addWidget(BuildListEditor(
        group, QString::fromUtf8(kCandidateCaptions[at]),
        Indexed("HinagataText", i), Indexed("TuikaBtn", i),
        QStringLiteral("↓追加"), Indexed("SakujyoBtn", i),
        Indexed("HinagataSaveList", i),
        {.box_kind = static_cast<int>(Settings::Box::kCandidateEntry),
         .box_index = i,
         .items = [this, at]() -> const std::vector<std::string>& {
           return settings_.panel().candidates()[at];
         },
         .choose = [this, i](int item) { settings_.ChooseCandidate(i, item); }},
        [this, i] { settings_.AddCandidate(i); },
        [this, i] { settings_.DeleteCandidate(i); }));
  }
  return group;
}

QWidget* SettingsPanelWidget::BuildListEditor(
    QWidget* parent, const QString& caption, const QString& box_name,
    const QString& add_name, const QString& add_text,
    const QString& delete_name, const QString& list_name, ListEditor editor,
    std::function<void()> add, std::function<void()> remove) {
  auto* column = new QWidget(parent);
  editor.column = column;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(3);
  if (!caption.isEmpty()) {
    editor.caption = new QLabel(caption, column);
    layout->addWidget(editor.caption);
  }

  editor.box = new QLineEdit(column);
  editor.box->setObjectName(box_name);
  layout->addWidget(editor.box);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(kEditorButtonSpacing);
  auto* add_button = new QPushButton(add_text, column);
  add_button->setObjectName(add_name);
  auto* delete_button = new QPushButton(QStringLiteral("削除"), column);
  delete_button->setObjectName(delete_name);
  buttons->addWidget(add_button);
  buttons->addWidget(delete_button);
  layout->addLayout(buttons);
  editor.add_button = add_button;
  editor.delete_button = delete_button;

  editor.list = new QListWidget(column);
  editor.list->setObjectName(list_name);
  Scale(editor.list, 0, kListHeight);
  layout->addWidget(editor.list);

  const std::size_t index = editors_.size();
  ConnectSettingsBox(editor.box, editor.box_kind, editor.box_index);
  // A click on an item, or moving to it with the keys, copies it into the
  // box.
  connect(editor.list, &QListWidget::itemClicked, this,
          [this, index](QListWidgetItem* item) {
            ChooseListItem(index, editors_[index].list->row(item));
          });
  connect(editor.list, &QListWidget::currentRowChanged, this,
          [this, index](int row) { ChooseListItem(index, row); });
  connect(add_button, &QPushButton::clicked, this,
          [this, add = std::move(add)] {
            add();
            Refresh();
          });
  connect(delete_button, &QPushButton::clicked, this,
          [this, remove = std::move(remove)] {
            remove();
            Refresh();
          });
  editors_.push_back(std::move(editor));
  return column;
}

QWidget* SettingsPanelWidget::BuildMoneyRounding() {
  auto* group = new QGroupBox(QStringLiteral("<<金額端数>>"));
  group->setObjectName(QStringLiteral("Frame_Hasu"));
  auto* row = new QHBoxLayout(group);
  money_rounding_ = new QButtonGroup(group);
  const std::array<QString, 3> captions = {QStringLiteral("切り上げ"),
                                           QStringLiteral("切り捨て"),
                                           QStringLiteral("四捨五入")};
  for (int i = 0; i < 3; ++i) {
    auto* option =
        new QRadioButton(captions[static_cast<std::size_t>(i)], group);
    option->setObjectName(Indexed("Hasu", i));
    money_rounding_->addButton(option, i);
    row->addWidget(option);
  }
  row->addStretch(1);
  connect(money_rounding_, &QButtonGroup::idClicked, this,
          [this](int id) { settings_.SetMoneyRounding(id); });
  return group;
}

QWidget* SettingsPanelWidget::BuildPrint() {
  auto* group = new QGroupBox(QStringLiteral("<<印刷設定>>"));
  group->setObjectName(QStringLiteral("Frame_Insatu"));
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(3);

  print_project_name_ = new QCheckBox(QStringLiteral("物件名印刷有"), group);
  print_project_name_->setObjectName(Indexed("Check3", 1));
  grid->addWidget(print_project_name_, 0, 0);
  project_name_position_ = new QButtonGroup(group);
  const std::array<QString, 6> positions = {
      QStringLiteral("上左"), QStringLiteral("上中"), QStringLiteral("上右"),
      QStringLiteral("下左"), QStringLiteral("下中"), QStringLiteral("下右")};
  for (int i = 0; i < 6; ++i) {
    auto* option =
        new QRadioButton(positions[static_cast<std::size_t>(i)], group);
    option->setObjectName(Indexed("Option1", i));
    project_name_position_->addButton(option, i);
    grid->addWidget(option, i / 3, 1 + i % 3);
  }

  print_company_name_ = new QCheckBox(QStringLiteral("会社名印刷有"), group);
  print_company_name_->setObjectName(Indexed("Check3", 0));
  grid->addWidget(print_company_name_, 2, 0);
  company_name_ = new QLineEdit(group);
  company_name_->setObjectName(QStringLiteral("Text4"));
  Scale(company_name_, kCompanyBoxWidth, 0);
  ConnectSettingsBox(company_name_, static_cast<int>(Settings::Box::kCompanyName),
                     0);
  grid->addWidget(company_name_, 2, 1, 1, 3);
  company_name_position_ = new QButtonGroup(group);
  for (int i = 0; i < 3; ++i) {
    auto* option =
        new QRadioButton(positions[static_cast<std::size_t>(3 + i)], group);
    option->setObjectName(Indexed("Option2", i));
    company_name_position_->addButton(option, i);
    grid->addWidget(option, 3, 1 + i);
  }

  auto* names_caption = new QLabel(QStringLiteral("登録会社名"), group);
  names_caption->setObjectName(QStringLiteral("Label28"));
  grid->addWidget(names_caption, 4, 0);
  company_names_ = new QComboBox(group);
  company_names_->setObjectName(QStringLiteral("KouhoCmb"));
  company_names_->setEditable(true);
  company_names_->setInsertPolicy(QComboBox::NoInsert);
  // The box holds exactly what was typed, as the core's entry does.
  company_names_->setCompleter(nullptr);
  Scale(company_names_, kCompanyBoxWidth, 0);
  ConnectSettingsBox(company_names_->lineEdit(),
                     static_cast<int>(Settings::Box::kCompanyNameEntry), 0);
  grid->addWidget(company_names_, 4, 1, 1, 3);
  auto* register_name = new QPushButton(QStringLiteral("登録"), group);
  register_name->setObjectName(Indexed("Command15", 0));
  auto* delete_name = new QPushButton(QStringLiteral("削除"), group);
  delete_name->setObjectName(Indexed("Command15", 1));
  auto* name_buttons = new QHBoxLayout;
  name_buttons->addWidget(register_name);
  name_buttons->addWidget(delete_name);
  name_buttons->addStretch(1);
  grid->addLayout(name_buttons, 5, 1, 1, 3);
  grid->setColumnStretch(4, 1);

  connect(print_project_name_, &QCheckBox::clicked, this,
          [this](bool on) { settings_.SetPrintProjectName(on); });
  connect(print_company_name_, &QCheckBox::clicked, this,
          [this](bool on) { settings_.SetPrintCompanyName(on); });
  connect(project_name_position_, &QButtonGroup::idClicked, this,
          [this](int id) { settings_.SetProjectNamePosition(id); });
  connect(company_name_position_, &QButtonGroup::idClicked, this,
          [this](int id) { settings_.SetCompanyNamePosition(id); });
  connect(company_names_, &QComboBox::activated, this,
          &SettingsPanelWidget::ChooseCompanyNameAt);
  connect(register_name, &QPushButton::clicked, this, [this] {
    settings_.RegisterCompanyName();
    Refresh();
  });
  connect(delete_name, &QPushButton::clicked, this, [this] {
    settings_.DeleteCompanyName();
    Refresh();
  });
  return group;
}

QWidget* SettingsPanelWidget::BuildDigits() {
  auto* group = new QGroupBox(QStringLiteral("<<計算桁>>"));
  group->setObjectName(QStringLiteral("Frame_Keta"));
  auto* column = new QVBoxLayout(group);
  digits_ = new QButtonGroup(group);
  const std::array<QString, 3> captions = {
      QStringLiteral("計算・集計共少数以下3位を四捨五入"),
      QStringLiteral(
          "計算は少数以下4位を切捨て、集計合計は少数以下3位を四捨五入"),
      QStringLiteral(
          "計算は少数以下5位を切捨て、集計合計は少数以下3位を切捨て")};
  for (int i = 0; i < 3; ++i) {
    auto* option =
        new QRadioButton(captions[static_cast<std::size_t>(i)], group);
    option->setObjectName(Indexed("Option3", i));
    digits_->addButton(option, i);
    column->addWidget(option);
  }
  // The digits take effect when the next mode is chosen.
  connect(digits_, &QButtonGroup::idClicked, this,
          [this](int id) { settings_.SetDigits(id); });
  return group;
}

QWidget* SettingsPanelWidget::BuildImport() {
  auto* group = new QGroupBox(QStringLiteral("<<他物件のデータ取り込み>>"));
  group->setObjectName(QStringLiteral("Frame_Torikomi"));
  auto* grid = new QGridLayout(group);
  grid->setVerticalSpacing(4);

  auto* source_caption =
      new QLabel(QStringLiteral("【データを取り出す物件名】"), group);
  source_caption->setObjectName(Indexed("Label20", 0));
  grid->addWidget(source_caption, 0, 0);
  import_source_ = new QLineEdit(group);
  import_source_->setObjectName(QStringLiteral("FileSentakuText"));
  import_source_->setReadOnly(true);
  Scale(import_source_, kSourceBoxWidth, 0);
  grid->addWidget(import_source_, 0, 1, 1, 3);
  auto* choose = new QPushButton(QStringLiteral("物件名選択"), group);
  choose->setObjectName(QStringLiteral("FileSentakuBtn"));
  grid->addWidget(choose, 0, 4);

  auto* what_caption = new QLabel(QStringLiteral("【取り込む内容】"), group);
  what_caption->setObjectName(Indexed("Label20", 1));
  grid->addWidget(what_caption, 1, 0);
  const std::array<QString, 2> sides = {QStringLiteral("内部"),
                                        QStringLiteral("外部")};
  for (int i = 0; i < 2; ++i) {
    const auto at = static_cast<std::size_t>(i);
    import_sides_[at] = new QCheckBox(sides[at], group);
    import_sides_[at]->setObjectName(Indexed("TorikomiSyubetu", i));
    grid->addWidget(import_sides_[at], 1, 1 + i);
    connect(import_sides_[at], &QCheckBox::clicked, this,
            [this, at](bool on) { importer_.SetSide(static_cast<int>(at), on); });
  }
  auto* execute = new QPushButton(QStringLiteral("実行"), group);
  execute->setObjectName(QStringLiteral("Command12"));
  grid->addWidget(execute, 1, 3);
  import_status_ = new QLabel(group);
  import_status_->setObjectName(Indexed("Label20", 2));
  grid->addWidget(import_status_, 1, 4);

  grid->addWidget(
      Note(
          QStringLiteral("※現在作業中のデータに取り込まれますので先に上書き保存"
                         "しておいてください。（集計関係は取り込まれません）"),
          group),
      2, 0, 1, 5);

  connect(choose, &QPushButton::clicked, this, [this] {
    importer_.ChooseImportSource();
    RefreshImport();
  });
  connect(execute, &QPushButton::clicked, this,
          &SettingsPanelWidget::ImportRooms);
  return group;
}

QWidget* SettingsPanelWidget::BuildSaving() {
  auto* box = new QWidget;
  saving_column_ = box;
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  money_rounding_box_ = BuildMoneyRounding();
  column->addWidget(money_rounding_box_);
  save_on_switch_ =
      new QCheckBox(QStringLiteral("部屋・場所切替時に上書き保存する"), box);
  save_on_switch_->setObjectName(QStringLiteral("SaveCh"));
  column->addWidget(save_on_switch_, 0, Qt::AlignLeft);
  connect(save_on_switch_, &QCheckBox::clicked, this,
          [this](bool on) { settings_.SetSaveOnSwitch(on); });

  // How often the work not yet saved is copied for recovery after a crash.
  recovery_caption_ = new QLabel(QStringLiteral("復元用コピーの間隔（秒・0で無し）"), box);
  column->addWidget(recovery_caption_, 0, Qt::AlignLeft);
  recovery_seconds_ = new QLineEdit(box);
  recovery_seconds_->setObjectName(QStringLiteral("RecoveryText"));
  recovery_seconds_->setAlignment(Qt::AlignRight);
  Scale(recovery_seconds_, kOffsetBoxWidth, 0);
  ConnectSettingsBox(recovery_seconds_, static_cast<int>(Settings::Box::kRecoverySeconds), 0);
  column->addWidget(recovery_seconds_, 0, Qt::AlignLeft);

  auto* save = new QPushButton(QStringLiteral("設定保存"), box);
  save->setObjectName(QStringLiteral("Command9"));
  column->addWidget(save, 0, Qt::AlignLeft);
  connect(save, &QPushButton::clicked, this, [this] {
    settings_.SaveSettings();
  });

  column->addWidget(Note(
      QStringLiteral("※設定内容を保存する場合は、変更後、設定保存をクリック"
                     "してください。"),
      box));
  column->addWidget(
      Note(QStringLiteral("※変更内容は変更後に入力されたデータに反映されます。"
                          "それ以前の入力データには反映されません。"),
           box));
  column->addStretch(1);
  return box;
}

QWidget* SettingsPanelWidget::BuildTemplates() {
  auto* group = new QGroupBox(QStringLiteral("<<項目リスト>>"));
  group->setObjectName(QStringLiteral("Frame_Koumoku"));
  auto* row = new QVBoxLayout(group);
  auto* open = new QPushButton(QStringLiteral("登録・編集"), group);
  open->setObjectName(QStringLiteral("Command13"));
  row->addWidget(open, 0, Qt::AlignLeft);
  auto* note = Note(
      QStringLiteral("※ここで登録された項目データは、内部・外部>項目複写>"
                     "登録データで呼び出して使用できます。"),
      group);
  Scale(note, kTemplatesNoteWidth, 0);
  row->addWidget(note);
  connect(open, &QPushButton::clicked, this,
          &SettingsPanelWidget::OpenTemplatesDialog);
  return group;
}

// ---- Behaviour -------------------------------------------------------------

void SettingsPanelWidget::ConnectSettingsBox(QLineEdit* box, int kind,
                                             int index) {
  // Only the user's edits go through the check; Refresh sets texts with the
  // signals blocked.
  connect(box, &QLineEdit::textEdited, this,
          [this, box, kind, index](const QString& typed) {
            const auto which = static_cast<Settings::Box>(kind);
            if (!settings_.TypeText(which, index, Utf8(typed))) {
              ShowText(box, settings_.Text(which, index));
            }
          });
}

const std::string& SettingsPanelWidget::EntryOf(const ListEditor& editor) const {
  return settings_.Text(static_cast<Settings::Box>(editor.box_kind),
                        editor.box_index);
}

void SettingsPanelWidget::ChooseListItem(std::size_t editor, int row) {
  if (refreshing_ || row < 0) return;
  const ListEditor& e = editors_[editor];
  e.choose(row);
  ShowText(e.box, EntryOf(e));
}

void SettingsPanelWidget::ChooseCompanyNameAt(int index) {
  settings_.ChooseCompanyName(index);
  Refresh();
}

void SettingsPanelWidget::ImportRooms() {
  const bool imported = importer_.ImportRooms();
  RefreshImport();
  if (imported) emit RoomsImported();
}

void SettingsPanelWidget::OpenTemplatesDialog() {
  if (templates_dialog_) return;
  templates_.Open();
  auto* dialog = new TemplatesDialog(templates_, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  templates_dialog_ = dialog;
  dialog->open();
}

TemplatesDialog* SettingsPanelWidget::templates_dialog() const {
  return templates_dialog_;
}

void SettingsPanelWidget::Refresh(bool force) {
  const std::uint64_t revision = settings_.revision() + importer_.revision();
  if (!force && revision == shown_revision_) return;
  shown_revision_ = revision;
  refreshing_ = true;
  const SettingsPanel& s = settings_.panel();
  for (std::size_t i = 0; i < offsets_.size(); ++i) {
    ShowText(offsets_[i], s.offsets()[i]);
  }
  for (const ListEditor& e : editors_) {
    ShowItems(e.list, e.items());
    ShowText(e.box, EntryOf(e));
  }
  ShowOption(money_rounding_, s.money_rounding());
  print_project_name_->setChecked(s.print_project_name());
  ShowOption(project_name_position_, s.project_name_position());
  print_company_name_->setChecked(s.print_company_name());
  ShowText(company_name_, s.company_name());
  ShowOption(company_name_position_, s.company_name_position());
  {
    const QSignalBlocker blocker(company_names_);
    bool same =
        company_names_->count() == static_cast<int>(s.company_names().size());
    for (int i = 0; same && i < company_names_->count(); ++i) {
      same = company_names_->itemText(i) ==
             Q(s.company_names()[static_cast<std::size_t>(i)]);
    }
    if (!same) {
      company_names_->clear();
      for (const std::string& name : s.company_names()) {
        company_names_->addItem(Q(name));
      }
    }
    if (company_names_->currentText() != Q(s.company_name_entry())) {
      company_names_->setEditText(Q(s.company_name_entry()));
    }
  }
  ShowOption(digits_, s.digits());
  save_on_switch_->setChecked(s.save_on_switch());
  ShowText(recovery_seconds_, s.Text(Settings::Box::kRecoverySeconds, 0));
  RefreshImport();
  refreshing_ = false;
}

void SettingsPanelWidget::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}

void SettingsPanelWidget::RefreshImport() {
  const ImportState& state = importer_.state();
  ShowText(import_source_, state.name_box);
  for (std::size_t i = 0; i < import_sides_.size(); ++i) {
    import_sides_[i]->setChecked(state.sides[i]);
  }
  import_status_->setText(Q(state.status));
}

// ---- Display scale ---------------------------------------------------------

void SettingsPanelWidget::Scale(QWidget* widget, int width, int height) {
  sizes_.push_back({widget, width, height});
}

void SettingsPanelWidget::SetDisplayScale(double scale) {
  if (!(scale > 0.0)) return;
  scale_ = scale;
  ApplySizes();
}

void SettingsPanelWidget::ApplySizes() {
  QFont scaled = base_font_;
  if (base_font_.pointSizeF() > 0) {
    scaled.setPointSizeF(base_font_.pointSizeF() * scale_);
  } else if (base_font_.pixelSize() > 0) {
    scaled.setPixelSize(
        static_cast<int>(std::lround(base_font_.pixelSize() * scale_)));
  }
  content_->setFont(scaled);
  // The columns are as wide as their base widths, or as their captions
  // need when the font is larger. Two push buttons share a list editor's
  // column: each is as wide as its caption needs (the style's smallest push
  // button would not leave the other room).
  const int padding = static_cast<int>(std::lround(8 * scale_));
  auto caption_width = [padding](const QPushButton* button) {
    const QStyle* style = button->style();
    return button->fontMetrics().horizontalAdvance(button->text()) +
           style->pixelMetric(QStyle::PM_ButtonMargin) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth) + padding;
  };
  for (const ListEditor& e : editors_) {
    e.add_button->setMinimumWidth(caption_width(e.add_button));
    e.delete_button->setMinimumWidth(caption_width(e.delete_button));
    int width =
        std::max(static_cast<int>(std::lround(kEditorWidth * scale_)),
                 e.add_button->minimumWidth() +
                     e.delete_button->minimumWidth() + kEditorButtonSpacing);
    if (e.caption != nullptr) {
      width = std::max(width, e.caption->sizeHint().width());
    }
    e.column->setFixedWidth(width);
  }
  saving_column_->setFixedWidth(
      std::max({static_cast<int>(std::lround(kSavingWidth * scale_)),
                save_on_switch_->sizeHint().width(),
                recovery_caption_->sizeHint().width(),
                money_rounding_box_->sizeHint().width()}));
  for (const ScaledSize& size : sizes_) {
    if (size.width > 0) {
      size.widget->setFixedWidth(
          static_cast<int>(std::lround(size.width * scale_)));
    }
    if (size.height > 0) {
      size.widget->setMinimumHeight(
          static_cast<int>(std::lround(size.height * scale_)));
    }
  }
}

}  // namespace veltrano
