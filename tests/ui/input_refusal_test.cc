// Every box whose text goes into a record of a file refuses, as it is
// typed, what would split the record or what the file cannot hold; the
// number boxes take numbers only.
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <functional>

#include "calc/text_file.h"
#include "main_form_fixture.h"
#include "ui/print_dialog_widget.h"

namespace veltrano::testing {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

constexpr const char* kNumbersOnly = "数値以外は入力できません。";

class InputRefusalTest : public MainFormTest {
 protected:
  // A project with a priced work-type table and one room, shown.
  void OpenPricedProject() {
    const std::vector<std::string> lines = {
        "SyNC,0,3,0,", "SyNC,1,3,0,", "SyNC,2,3,0,", "SyNC,3,3,0,",
        "SyNC,4,3,0,", "SyNC,5,9,3,", "SyGC,0,3,0,", "SyGC,1,3,0,",
        "SyGC,2,3,0,", "SyGC,3,3,0,", "SyGC,4,3,0,", "SyTC,5,3,0,",
        "SySD'5'工種'項目名'区分'部位'数量'単位'単価'金額'備考'",
        "SySD'5'塗装工事'A'内部'床'12.50'm2'1000'12,500''",
        "SySD'5''''''小計''(12,500)''"};
    std::string error;
    ASSERT_TRUE(WriteTextLinesAtomic(DataFile("入力.xdt"), lines, &error)) << error;
    files.answers.push_back(DataFile("入力.xdt"));
    Toolbar("Open");
    ASSERT_TRUE(dialogs.Take().empty());
    AddRooms({Q("居間")});
    PressRoom(0);
  }
  void ShowWorkTypeCell(int col) {
    Click("HiroiBunrui(2)");
    Click("Command4(3)");
    auto* table = Find<QTableView>("SyukeiGrid(5)");
    const QRect cell = table->visualRect(table->model()->index(0, col));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }
  const TextGrid& WorkTypeTable() const {
    return ws->tables().interior_summaries()[kWorkTypeTable];
  }
  // Types character by character, as the keyboard or an input method does.
  static void TypeChars(QLineEdit* box, const QString& text) {
    for (const char32_t ch : text.toUcs4()) {
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown,
                          QString::fromUcs4(&ch, 1), Qt::NoModifier);
    }
  }
  static void Empty(QLineEdit* box) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
  }

  struct Box {
    QString name;
    QLineEdit* box;
    std::function<std::string()> held;
  };
};

TEST_F(InputRefusalTest, EveryTextBoxRefusesWhatWouldDamageItsRecord) {
  OpenPricedProject();
  const Settings& settings = ws->settings();
  std::vector<Box> boxes;
  ShowWorkTypeCell(8);
  boxes.push_back({"KousyubetuText", Find<QLineEdit>("KousyubetuText"),
                   [this] { return WorkTypeTable().At(1, 8); }});
  struct Check {
    QString typed;
    std::string message;
    std::string left;  // what the box and its record hold afterwards
  };
  const std::vector<Check> checks = {
      {"O'Neil", "'（コーテーション）は使用できません。", "Neil"},
      {"a,b", ",（カンマ）は使用できません。", "b"},
      {Q("𠮷"), "「𠮷」はファイルに保存できない文字のため使用できません。", ""},
  };
  auto walk = [&](const Box& b) {
    for (const Check& c : checks) {
      SCOPED_TRACE(b.name.toStdString() + " " + c.typed.toStdString());
      Empty(b.box);
      dialogs.Take();
      TypeChars(b.box, c.typed);
      EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"入力確認", c.message}}));
      EXPECT_EQ(b.held(), c.left);
      EXPECT_EQ(b.box->text().toStdString(), c.left);
    }
  };
  walk(boxes.back());

  Click("HiroiBunrui(3)");
  walk({"InpText(0)", Find<QLineEdit>("InpText(0)"),
        [this] { return ws->fittings_register().box(0); }});

  Click("HiroiBunrui(4)");
  walk({"HinagataText(0)", Find<QLineEdit>("HinagataText(0)"),
        [&] { return settings.panel().candidate_entries()[0]; }});
  walk({"KousyuText", Find<QLineEdit>("KousyuText"),
        [&] { return settings.panel().work_type_entry(); }});
  walk({"Text3", Find<QLineEdit>("Text3"),
        [&] { return settings.panel().unit_entry(); }});
  walk({"Text4", Find<QLineEdit>("Text4"),
        [&] { return settings.panel().company_name(); }});
  walk({"KouhoCmb", Find<QComboBox>("KouhoCmb")->lineEdit(),
        [&] { return settings.panel().company_name_entry(); }});

  // What was taken is saved and read back without a word.
  Click("HiroiBunrui(2)");
  Click("Command4(3)");
  ASSERT_EQ(WorkTypeTable().At(1, 8), "");
  ShowWorkTypeCell(8);
  TypeChars(Find<QLineEdit>("KousyubetuText"), Q("O’Neil"));
  Toolbar("Save");
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"確認", "上書きしました。"}}));
  dialogs.answers = {Answer::kNo};
  files.answers.push_back(DataFile("入力.xdt"));
  Toolbar("Open");
  EXPECT_EQ(dialogs.Take().size(), 1u);  // the save question alone
  EXPECT_EQ(WorkTypeTable().At(1, 8), "O’Neil");
  EXPECT_EQ(WorkTypeTable().At(1, 6), "1,000");
}

TEST_F(InputRefusalTest, NumberBoxesTakeNumbersOnly) {
  OpenPricedProject();
  const Settings& settings = ws->settings();
  struct Case {
    int mode;  // -1: the print dialog
    QString name;
    QString number;  // a number the box takes
    std::function<std::string()> held;
    bool record = true;  // the box's text goes into a record
  };
  const std::vector<Case> cases = {
      {0, "DaisuText(0)", "1.5", [this] { return ws->sheets().parameter(0); }},
      {0, "DaisuText(1)", "12", [this] { return ws->sheets().parameter(1); }},
      {0, "DaisuText(2)", " 3 ", [this] { return ws->sheets().parameter(2); }},
      {0, "Kasyo", "2", [this] { return ws->sheets().places_box(); }},
      {1, "SassiKasyo", "3", [this] { return ws->fittings_takeoff().places(); }},
      {3, "InpText(1)", "1800", [this] { return ws->fittings_register().box(1); }},
      {3, "InpText(2)", "2000.5", [this] { return ws->fittings_register().box(2); }},
      {4, "TateguSet(0)", "-5", [&] { return settings.panel().offsets()[0]; }},
      {4, "TateguSet(5)", "10", [&] { return settings.panel().offsets()[5]; }},
      {2, "KousyubetuText", "-1,500", [this] { return WorkTypeTable().At(1, 6); }},
      {-1, "PageTx", "3", [this] { return ws->print_dialog().start_page(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    QLineEdit* box = nullptr;
    if (c.mode == 2) {
      ShowWorkTypeCell(6);
      box = Find<QLineEdit>(c.name);
    } else if (c.mode < 0) {
      Click("HiroiBunrui(0)");
      Toolbar("Print");
      ASSERT_NE(window->print_dialog(), nullptr);
      box = FindIn<QLineEdit>(window->print_dialog(), c.name);
    } else {
      Click(QString("HiroiBunrui(%1)").arg(c.mode));
      box = Find<QLineEdit>(c.name);
    }
    Empty(box);
    dialogs.Take();
    TypeChars(box, c.number);
    EXPECT_TRUE(dialogs.Take().empty());
    EXPECT_EQ(c.held(), c.number.toStdString());
    // A letter, a full-width digit: refused, the number stays.
    for (const QString& letter : {Q("m"), Q("１")}) {
      TypeChars(box, letter);
      EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"入力確認", kNumbersOnly}}));
      EXPECT_EQ(c.held(), c.number.toStdString());
      EXPECT_EQ(box->text(), c.number);
    }
    // A separator of a record empties the box, as everywhere else.
    TypeChars(box, "'");
    EXPECT_EQ(dialogs.Take(),
              (std::vector<ShownDialog>{
                  {"入力確認", c.record ? "'（コーテーション）は使用できません。"
                                        : kNumbersOnly}}));
    EXPECT_EQ(c.held(), c.record ? "" : c.number.toStdString());
    if (c.mode < 0) window->print_dialog()->reject();
    Flush();
  }
}

}  // namespace
}  // namespace veltrano::testing
