// The settings panel driven through its real widgets.
#include "ui/settings_panel.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <atomic>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "gtest/gtest.h"
#include "shell/workspace.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

struct Shown {
  std::string title;
  std::string text;
  bool operator==(const Shown&) const = default;
};

// Message boxes recorded; questions answered from a script.
class ScriptedDialogs : public Dialogs {
 public:
  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon) override {
    shown.push_back({std::string(title), std::string(text)});
  }
  Answer Ask(std::string_view title, std::string_view text, Buttons,
             MessageIcon) override {
    shown.push_back({std::string(title), std::string(text)});
    if (answers.empty()) {
      ++unexpected_questions;
      return Answer::kCancel;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Beep() override {}

  std::vector<Shown> Take() { return std::exchange(shown, {}); }

  std::vector<Shown> shown;
  std::deque<Answer> answers;
  int unexpected_questions = 0;
};

// File dialogs answered from a queue; cancelled when it is empty.
class ScriptedFileDialogs : public FileDialogs {
 public:
  std::optional<fs::path> ChooseFileToOpen(const FileDialogRequest&) override {
    return Next();
  }
  std::optional<fs::path> ChooseFileToSave(const FileDialogRequest&) override {
    return Next();
  }
  std::deque<fs::path> answers;

 private:
  std::optional<fs::path> Next() {
    if (answers.empty()) return std::nullopt;
    fs::path next = answers.front();
    answers.pop_front();
    return next;
  }
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A started workspace on a base folder of its own, shown in the panel.
class SettingsPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    root_ = fs::path(::testing::TempDir()) /
            ("veltrano_ui_settings_" + std::to_string(::getpid()) + "_" +
             std::to_string(counter++));
    fs::remove_all(root_);
    workspace_ = std::make_unique<Workspace>(
        FoldersUnder(root_ / "Veltrano", root_ / "home"),
        Platform{dialogs_, files_, progress_, clipboard_});
    ASSERT_TRUE(workspace_->Startup());
    dialogs_.Take();
    panel_ = std::make_unique<SettingsPanelWidget>(
        workspace_->settings(), workspace_->importer(),
        workspace_->item_templates());
    panel_->resize(1260, 700);
    panel_->show();
  }

  void TearDown() override {
    panel_.reset();
    workspace_.reset();
    fs::remove_all(root_);
    EXPECT_EQ(dialogs_.unexpected_questions, 0);
  }

  template <typename T>
  T* Find(const QString& name) {
    T* widget = panel_->findChild<T*>(name);
    if (widget == nullptr) {
      throw std::runtime_error("no widget named " + name.toStdString());
    }
    return widget;
  }
  QLineEdit* Box(const QString& name) { return Find<QLineEdit>(name); }
  QListWidget* List(const QString& name) { return Find<QListWidget>(name); }

  void Click(const QString& name) {
    QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton);
  }

  // Types `text` into `box` key by key, replacing what it held.
  static void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    for (const QChar ch : text) {
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch),
                          Qt::NoModifier);
    }
  }

  static void ClickItem(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      rect.center());
  }

  static QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
  }

  std::string InfoFile(std::string_view name) const {
    std::string bytes;
    std::string error;
    EXPECT_TRUE(
        ReadFileBytes(workspace_->folders().info / name, &bytes, &error))
        << error;
    return bytes;
  }

  fs::path DataFile(const std::string& name) const {
    return workspace_->folders().data / name;
  }

  // Makes a project through "New" and the name dialog.
  void NewProjectNamed(const std::string& name) {
    if (workspace_->session().project_open()) dialogs_.answers.push_back(Answer::kNo);
    ASSERT_TRUE(workspace_->CommandNew());
    files_.answers.push_back(DataFile(name + ".xdt"));
    workspace_->session().NewProject();
    ASSERT_EQ(workspace_->session().project_name(), name);
  }

  const SettingsPanel& settings() { return workspace_->settings().panel(); }

  fs::path root_;
  ScriptedDialogs dialogs_;
  ScriptedFileDialogs files_;
  Progress progress_;
  MemoryClipboard clipboard_;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<SettingsPanelWidget> panel_;
};

TEST_F(SettingsPanelTest, ListsShowTheSettingsAndEditThem) {
  // Start-up filled the lists; the panel shows them as the core holds them.
  for (int i = 0; i < kCandidateListCount; ++i) {
    QStringList expected;
    for (const std::string& item :
         settings().candidates()[static_cast<std::size_t>(i)]) {
      expected << Q(item);
    }
    EXPECT_FALSE(expected.isEmpty());
    EXPECT_EQ(Items(List(QString("HinagataSaveList(%1)").arg(i))), expected);
  }

  QListWidget* glass = List("HinagataSaveList(0)");
  const int before = glass->count();
  Type(Box("HinagataText(0)"), "FL12");
  EXPECT_EQ(settings().candidate_entries()[0], "FL12");
  Click("TuikaBtn(0)");
  ASSERT_EQ(glass->count(), before + 1);
  EXPECT_EQ(glass->item(before)->text(), "FL12");
  EXPECT_EQ(settings().candidates()[0].back(), "FL12");

  // The same name in other letters is not added twice.
  Type(Box("HinagataText(0)"), "fl12");
  Click("TuikaBtn(0)");
  EXPECT_EQ(glass->count(), before + 1);

  // A click on an item copies it into the box; "削除" removes it.
  const QString first = glass->item(0)->text();
  ClickItem(glass, 0);
  EXPECT_EQ(Box("HinagataText(0)")->text(), first);
  EXPECT_EQ(Q(settings().candidate_entries()[0]), first);
  Click("SakujyoBtn(0)");
  EXPECT_FALSE(Items(glass).contains(first));
  EXPECT_EQ(static_cast<int>(settings().candidates()[0].size()), before);
  EXPECT_TRUE(Box("HinagataText(0)")->text().isEmpty());

  // The last list, "【←サイズ】", has its own box and buttons.
  Type(Box("HinagataText(5)"), "25×15");
  Click("TuikaBtn(5)");
  EXPECT_EQ(List("HinagataSaveList(5)")
                ->item(List("HinagataSaveList(5)")->count() - 1)
                ->text(),
            "25×15");
  EXPECT_EQ(settings().candidates()[5].back(), "25×15");
  EXPECT_EQ(glass->count(), before);  // no other list touched

  // Work types.
  QListWidget* work_types = List("KousyuSaveList");
  Type(Box("KousyuText"), "外装");
  Click("TuikaBtn(6)");
  EXPECT_EQ(work_types->item(work_types->count() - 1)->text(), "外装");
  EXPECT_EQ(settings().work_types().back(), "外装");
  ClickItem(work_types, work_types->count() - 1);
  EXPECT_EQ(Box("KousyuText")->text(), "外装");
  Click("SakujyoBtn(6)");
  EXPECT_FALSE(Items(work_types).contains("外装"));

  // Units take duplicates and go to the work-type panel's unit list too.
  QListWidget* units = List("TaniSaveList");
  const int unit_count = units->count();
  Type(Box("Text3"), "坪");
  Click("Command7");
  Click("Command7");
  EXPECT_EQ(units->count(), unit_count + 2);
  EXPECT_EQ(settings().work_type_panel_units().back(), "坪");
  ClickItem(units, unit_count);
  EXPECT_EQ(Box("Text3")->text(), "坪");
  Click("Command8");
  EXPECT_EQ(units->count(), unit_count + 1);
  EXPECT_TRUE(Box("Text3")->text().isEmpty());
}

TEST_F(SettingsPanelTest, EveryBoxRefusesWhatTheFilesCannotHold) {
  QLineEdit* company_combo_box = Find<QComboBox>("KouhoCmb")->lineEdit();
  ASSERT_NE(company_combo_box, nullptr);
  struct Case {
    QLineEdit* box;
    const std::string* held;
    QString text = "ab";  // a text the box takes
  };
  // The offsets take numbers only.
  const std::vector<Case> cases = {
      {Box("TateguSet(0)"), &settings().offsets()[0], "12"},
      {Box("TateguSet(5)"), &settings().offsets()[5], "12"},
      {Box("HinagataText(1)"), &settings().candidate_entries()[1]},
      {Box("KousyuText"), &settings().work_type_entry()},
      {Box("Text3"), &settings().unit_entry()},
      {Box("Text4"), &settings().company_name()},
      {company_combo_box, &settings().company_name_entry()},
  };
  const std::vector<std::pair<QString, std::string>> refused = {
      {",", ",（カンマ）は使用できません。"},
      {"'", "'（コーテーション）は使用できません。"},
      {"한", "「한」はファイルに保存できない文字のため使用できません。"},
  };
  for (const Case& c : cases) {
    for (const auto& [character, message] : refused) {
      SCOPED_TRACE(c.box->objectName().toStdString() + " " +
                   character.toStdString());
      Type(c.box, c.text);
      EXPECT_EQ(*c.held, c.text.toStdString());
      Type(c.box, c.text + character);
      EXPECT_EQ(dialogs_.Take(), (std::vector<Shown>{{"入力確認", message}}));
      EXPECT_TRUE(c.box->text().isEmpty());
      EXPECT_TRUE(c.held->empty());
    }
  }
  // Typing goes on in the emptied box: "a,b" leaves "b", and that is what
  // "↓追加" adds.
  QListWidget* seals = List("HinagataSaveList(1)");
  const int seals_before = seals->count();
  Type(Box("HinagataText(1)"), "a,b");
  dialogs_.Take();
  EXPECT_EQ(Box("HinagataText(1)")->text(), "b");
  Click("TuikaBtn(1)");
  EXPECT_EQ(seals->count(), seals_before + 1);
  EXPECT_EQ(seals->item(seals_before)->text(), "b");
}

TEST_F(SettingsPanelTest, OptionsAndChecksSetTheSettingsAndRefreshShowsThem) {
  Click("Option3(2)");
  EXPECT_EQ(settings().digits(), 2);
  Click("Option3(0)");
  EXPECT_EQ(settings().digits(), 0);
  Click("Hasu(1)");
  EXPECT_EQ(settings().money_rounding(), 1);
  Click("Option1(4)");
  EXPECT_EQ(settings().project_name_position(), 4);
  Click("Option2(2)");
  EXPECT_EQ(settings().company_name_position(), 2);
  // Start-up ticked "物件名印刷有" and left the others unticked.
  ASSERT_TRUE(settings().print_project_name());
  Click("Check3(1)");
  EXPECT_FALSE(settings().print_project_name());
  Click("Check3(0)");
  EXPECT_TRUE(settings().print_company_name());
  Click("SaveCh");
  EXPECT_TRUE(settings().save_on_switch());

  // Groups without a selection show none; the others show the held one.
  Settings& s = workspace_->settings();
  s.SetDigits(-1);
  s.SetMoneyRounding(-1);
  s.SetProjectNamePosition(5);
  s.SetCompanyNamePosition(0);
  s.SetSaveOnSwitch(false);
  s.TypeText(Settings::Box::kOffset, 3, "12");
  s.TypeText(Settings::Box::kCompanyName, 0, "会社");
  panel_->Refresh();
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(
        Find<QRadioButton>(QString("Option3(%1)").arg(i))->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(QString("Hasu(%1)").arg(i))->isChecked());
  }
  EXPECT_TRUE(Find<QRadioButton>("Option1(5)")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>("Option1(4)")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("Option2(0)")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("SaveCh")->isChecked());
  EXPECT_EQ(Box("TateguSet(3)")->text(), "12");
  EXPECT_EQ(Box("Text4")->text(), "会社");
}

TEST_F(SettingsPanelTest, SaveWritesTheFilesOnlyWhenClicked) {
  const std::string offsets_at_start = InfoFile(kOffsetsFile);
  for (int i = 0; i < kOffsetCount; ++i) {
    Type(Box(QString("TateguSet(%1)").arg(i)), QString::number(i + 1));
  }
  Type(Box("KousyuText"), "外装");
  Click("TuikaBtn(6)");
  Click("Hasu(0)");
  Click("Option3(1)");
  Click("SaveCh");
  EXPECT_EQ(InfoFile(kOffsetsFile), offsets_at_start);

  Click("Command9");
  EXPECT_TRUE(dialogs_.Take().empty());
  EXPECT_EQ(InfoFile(kOffsetsFile), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
  const std::string work_types = InfoFile(kWorkTypesFile);
  const std::string last = "\r\n\x8a\x4f\x91\x95\r\n";  // 外装 in CP932
  ASSERT_GE(work_types.size(), last.size());
  EXPECT_EQ(work_types.substr(work_types.size() - last.size()), last);
  EXPECT_EQ(InfoFile(kMoneyRoundingFile), "0\r\n");
  EXPECT_EQ(InfoFile(kDigitsFile), "1\r\n");
  EXPECT_EQ(InfoFile(kSaveOnSwitchFile), "1\r\n");
}

TEST_F(SettingsPanelTest, CompanyNamesAreWrittenAtOnceAndCopiedIntoText4) {
  auto* combo = Find<QComboBox>("KouhoCmb");
  Type(combo->lineEdit(), "Acme");
  Click("Command15(0)");
  EXPECT_EQ(InfoFile(kCompanyNamesFile), "Acme\r\n");
  Type(combo->lineEdit(), "ACME");
  Click("Command15(0)");
  Type(combo->lineEdit(), "大和建装");
  Click("Command15(0)");
  EXPECT_EQ(InfoFile(kCompanyNamesFile),
            "Acme\r\n\x91\xe5\x98\x61\x8c\x9a\x91\x95\r\n");
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->itemText(1), "大和建装");

  // Choosing a name from the drop-down list copies it into Text4.
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  view->setCurrentIndex(view->model()->index(0, 0));
  QTest::keyClick(view, Qt::Key_Return);
  EXPECT_EQ(Box("Text4")->text(), "Acme");
  EXPECT_EQ(settings().company_name(), "Acme");
  EXPECT_EQ(combo->currentText(), "Acme");

  Click("Command15(1)");
  EXPECT_EQ(InfoFile(kCompanyNamesFile),
            "\x91\xe5\x98\x61\x8c\x9a\x91\x95\r\n");
  ASSERT_EQ(combo->count(), 1);
  EXPECT_EQ(combo->itemText(0), "大和建装");
  EXPECT_TRUE(dialogs_.Take().empty());
}

TEST_F(SettingsPanelTest, ImportSectionChoosesASourceAndTakesInRooms) {
  // The source project with one room, saved.
  NewProjectNamed("Other");
  ASSERT_TRUE(workspace_->rooms().OpenRoomsDialog());
  workspace_->rooms().TypeName("会議室");
  workspace_->rooms().RoomsDialogAdd();
  workspace_->rooms().RoomsDialogClose();
  ASSERT_TRUE(workspace_->session().SaveProject(false));
  NewProjectNamed("Target");
  dialogs_.Take();

  QLineEdit* source = Box("FileSentakuText");
  EXPECT_TRUE(source->isReadOnly());
  files_.answers.push_back(DataFile("Other.xdt"));
  Click("FileSentakuBtn");
  EXPECT_EQ(source->text(), "Other");

  // The project being edited cannot be its own source.
  files_.answers.push_back(DataFile("Target.xdt"));
  Click("FileSentakuBtn");
  EXPECT_EQ(
      dialogs_.Take(),
      (std::vector<Shown>{{"確認", "現在編集中のデータは選択できません。"}}));
  EXPECT_TRUE(source->text().isEmpty());
  files_.answers.push_back(DataFile("Other.xdt"));
  Click("FileSentakuBtn");
  ASSERT_EQ(source->text(), "Other");

  QSignalSpy imported(panel_.get(), &SettingsPanelWidget::RoomsImported);
  Click("Command12");
  EXPECT_EQ(
      dialogs_.Take(),
      (std::vector<Shown>{{"確認", "取り出す内容が選択されていません。"}}));
  EXPECT_EQ(imported.count(), 0);

  // Cancelling at the start changes nothing.
  Click("TorikomiSyubetu(0)");
  EXPECT_TRUE(workspace_->importer().state().sides[0]);
  EXPECT_FALSE(workspace_->importer().state().sides[1]);
  dialogs_.answers.push_back(Answer::kCancel);
  Click("Command12");
  dialogs_.Take();
  EXPECT_TRUE(workspace_->rooms().room_names(0).empty());
  EXPECT_EQ(imported.count(), 0);

  dialogs_.answers.push_back(Answer::kOk);
  Click("Command12");
  EXPECT_EQ(dialogs_.Take(),
            (std::vector<Shown>{{"データ取り込み", "取り込みを開始します。"},
                                {"データ取り込み", "終了しました。"}}));
  EXPECT_EQ(workspace_->rooms().room_names(0), std::vector<std::string>{"会議室"});
  EXPECT_EQ(imported.count(), 1);
  EXPECT_TRUE(Find<QLabel>("Label20(2)")->text().isEmpty());
  EXPECT_EQ(source->text(), "Other");

  // Unticking reaches the core as well.
  Click("TorikomiSyubetu(0)");
  EXPECT_FALSE(workspace_->importer().state().sides[0]);
}

// Every caption fits its button or label at each display size, also when
// the desktop's font is larger than Qt's default.
void ExpectNoCaptionCut(SettingsPanelWidget* panel) {
  for (const double scale : {1.0, 1.15, 1.3}) {
    SCOPED_TRACE(scale);
    panel->SetDisplayScale(scale);
    panel->resize(static_cast<int>(1260 * scale),
                  static_cast<int>(700 * scale));
    QApplication::processEvents();
    for (QAbstractButton* button : panel->findChildren<QAbstractButton*>()) {
      // A push button needs room for its caption and its frame (the style
      // may ask for more: that is not a cut); option and check boxes for
      // their indicator and caption.
      int needed = button->sizeHint().width();
      if (qobject_cast<QPushButton*>(button) != nullptr) {
        const QStyle* style = button->style();
        needed = button->fontMetrics().horizontalAdvance(button->text()) +
                 style->pixelMetric(QStyle::PM_ButtonMargin) +
                 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
      }
      EXPECT_GE(button->width(), needed) << button->objectName().toStdString()
                                         << " " << button->text().toStdString();
    }
    for (QLabel* label : panel->findChildren<QLabel*>()) {
      if (label->wordWrap() || label->text().isEmpty()) continue;
      EXPECT_GE(label->width(), label->sizeHint().width())
          << label->text().toStdString();
    }
  }
}

TEST_F(SettingsPanelTest, NoCaptionIsCutAtAnyDisplaySize) {
  ExpectNoCaptionCut(panel_.get());
  // The larger sizes use larger text.
  const int large = Find<QLabel>("Label28")->fontInfo().pixelSize();
  panel_->SetDisplayScale(1.0);
  EXPECT_LT(Find<QLabel>("Label28")->fontInfo().pixelSize(), large);

  const QFont usual = QApplication::font();
  QFont larger = usual;
  larger.setPointSizeF(usual.pointSizeF() * 1.5);
  QApplication::setFont(larger);
  {
    SettingsPanelWidget panel(workspace_->settings(), workspace_->importer(),
                              workspace_->item_templates());
    panel.show();
    ExpectNoCaptionCut(&panel);
  }
  QApplication::setFont(usual);
}

}  // namespace
}  // namespace veltrano
