#include "config/settings.h"

#include <unistd.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "calc/cp932.h"
#include "calc/text_util.h"
#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "support/fake_dialogs.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::veltrano::testing::FakeDialogs;
using ::veltrano::testing::ShownDialog;
using Box = SettingsPanel::Box;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("veltrano_settings_" + std::to_string(::getpid()) + "_" +
            info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    folders_ = FoldersUnder(dir_ / "Veltrano", dir_ / "home");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A base folder with every settings file in place.
  void Install() {
    std::string error;
    ASSERT_TRUE(EnsureSettingsFiles(folders_, dialogs_, &error)) << error;
    dialogs_.Take();
  }
  // Writes a settings file as raw bytes.
  void Put(std::string_view name, const std::string& bytes) {
    fs::create_directories(folders_.info);
    std::ofstream(folders_.info / fs::path(std::string(name)),
                  std::ios::binary)
        << bytes;
  }
  std::string Get(std::string_view name) {
    std::ifstream in(folders_.info / fs::path(std::string(name)),
                     std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Sjis(std::string_view utf8) {
    std::string bytes;
    EXPECT_TRUE(Utf8ToCp932(utf8, &bytes)) << utf8;
    return bytes;
  }
  SettingsPanel Load() {
    SettingsPanel panel;
    std::string error;
    EXPECT_TRUE(panel.LoadSettings(folders_, &error)) << error;
    return panel;
  }
  // Types `text` into a box of `panel`, which takes it.
  void Type(SettingsPanel* panel, Box box, int index, std::string_view text) {
    EXPECT_TRUE(panel->TypeText(box, index, text, dialogs_)) << text;
  }
  // Registers each of `units` by typing it into Text3 and clicking "↓追加".
  void AddUnits(SettingsPanel* panel, const std::vector<std::string>& units) {
    for (const std::string& unit : units) {
      Type(panel, Box::kUnitEntry, 0, unit);
      EXPECT_TRUE(panel->AddUnit(dialogs_)) << unit;
    }
  }
  // The same for work types, through KousyuText.
  void AddWorkTypes(SettingsPanel* panel,
                    const std::vector<std::string>& work_types) {
    for (const std::string& work_type : work_types) {
      Type(panel, Box::kWorkTypeEntry, 0, work_type);
      EXPECT_TRUE(panel->AddWorkType(dialogs_)) << work_type;
    }
  }
  // The same for the candidates of list `list`, through HinagataText(list).
  void AddCandidates(SettingsPanel* panel, int list,
                     const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
      Type(panel, Box::kCandidateEntry, list, candidate);
      EXPECT_TRUE(panel->AddCandidate(list, dialogs_)) << candidate;
    }
  }
  // A panel with every setting changed from its default, as the user sets
  // it up.
  SettingsPanel SamplePanel() {
    SettingsPanel panel;
    const std::array<std::string_view, kOffsetCount> offsets = {
        "25", "", "10", "10", "0", "5"};
    for (int i = 0; i < kOffsetCount; ++i) {
      Type(&panel, Box::kOffset, i, offsets[static_cast<std::size_t>(i)]);
    }
    AddUnits(&panel, {"m2", "ヶ所", "m2"});
    panel.SetMoneyRounding(0);
    AddCandidates(&panel, 0, {"FL5", "網入磨6.8"});
    AddCandidates(&panel, 3, {"変成シリコン"});
    AddWorkTypes(&panel, {"内装", "塗装"});
    panel.SetPrintProjectName(true);
    panel.SetProjectNamePosition(5);
    panel.SetPrintCompanyName(true);
    Type(&panel, Box::kCompanyName, 0, "株式会社 山田内装");
    panel.SetCompanyNamePosition(1);
    panel.SetDigits(2);
    panel.SetSaveOnSwitch(true);
    return panel;
  }

  fs::path dir_;
  Folders folders_;
  FakeDialogs dialogs_;
};

// --- Defaults and missing files -------------------------------------------

TEST_F(SettingsTest, NewBaseFolderGetsEveryFileWithItsDefaultSilently) {
  std::string error;
  ASSERT_TRUE(EnsureSettingsFiles(folders_, dialogs_, &error)) << error;
  EXPECT_THAT(dialogs_.shown, IsEmpty());
  for (const fs::path& p : {folders_.data, folders_.list, folders_.manual}) {
    EXPECT_TRUE(fs::is_directory(p)) << p;
  }

  EXPECT_EQ(Get("TateguSet.ini"), "30\r\n30\r\n0\r\n0\r\n0\r\n0\r\n");
  EXPECT_EQ(Get("Hasu.ini"), "2\r\n");
  EXPECT_EQ(Get("Keta.ini"), "0\r\n");
  EXPECT_EQ(Get("Save.ini"), "0\r\n");
  EXPECT_EQ(Get("NameInsatu.ini"), "1\r\n0\r\n0\r\n\r\n2\r\n");
  EXPECT_EQ(Get("NameKouho.ini"), "");
  // CP932 on disk: 仮設 is 89 BC 90 DD, ヶ所 83 96 8F 8A.
  EXPECT_EQ(Get("Kousyu.ini").substr(0, 6), "\x89\xBC\x90\xDD\r\n");
  EXPECT_THAT(Get("Tani.ini"), HasSubstr("\r\n\x83\x96\x8F\x8A\r\n"));
  EXPECT_EQ(Get("ListWakuS_Size.ini").substr(0, 8), "10\x81~10\r\n");

  SettingsPanel panel = Load();
  ASSERT_TRUE(panel.LoadDigitsAndSaveOnSwitch(folders_, &error)) << error;
  ASSERT_TRUE(panel.LoadCompanyNames(folders_, &error)) << error;
  EXPECT_THAT(panel.offsets(), ElementsAre("30", "30", "0", "0", "0", "0"));
  EXPECT_EQ(panel.money_rounding(), 2);
  EXPECT_EQ(panel.digits(), 0);
  EXPECT_FALSE(panel.save_on_switch());
  EXPECT_TRUE(panel.print_project_name());
  EXPECT_EQ(panel.project_name_position(), 0);
  EXPECT_FALSE(panel.print_company_name());
  EXPECT_EQ(panel.company_name_position(), 2);
  EXPECT_THAT(panel.company_names(), IsEmpty());
  EXPECT_THAT(panel.units(), ::testing::Contains("m2"));
  EXPECT_THAT(panel.work_types(), ::testing::Contains("内装"));
  EXPECT_THAT(panel.candidates()[0], ::testing::Contains("ペアガラス"));
  EXPECT_THAT(panel.candidates()[4], ::testing::Contains("モルタル"));

  // Every default value could have been typed into its box.
  std::vector<std::string> all(panel.units());
  all.insert(all.end(), panel.work_types().begin(), panel.work_types().end());
  for (const auto& list : panel.candidates()) {
    EXPECT_THAT(list, Not(IsEmpty()));
    all.insert(all.end(), list.begin(), list.end());
  }
  for (const std::string& value : all) {
    EXPECT_EQ(RefusalOfSettingsText(value), "") << value;
  }
}

TEST_F(SettingsTest, FoldersMadeBeforehandStillCountAsANewInstallation) {
  std::string error;
  ASSERT_TRUE(EnsureFolders(folders_, &error)) << error;
  ASSERT_TRUE(EnsureSettingsFiles(folders_, dialogs_, &error)) << error;
  EXPECT_THAT(dialogs_.shown, IsEmpty());
  EXPECT_EQ(Get("Keta.ini"), "0\r\n");
}

TEST_F(SettingsTest, MissingFilesAreRestoredAndReportedInOneMessage) {
  Install();
  fs::remove(folders_.info / "Keta.ini");
  fs::remove(folders_.info / "ListTosou.ini");
  Put("Tani.ini", Sjis("坪\r\n"));

  std::string error;
  ASSERT_TRUE(EnsureSettingsFiles(folders_, dialogs_, &error)) << error;
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "確認");
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("Keta.ini"));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("ListTosou.ini"));
  EXPECT_THAT(dialogs_.shown[0].text, Not(HasSubstr("Tani.ini")));
  EXPECT_EQ(Get("Keta.ini"), "0\r\n");
  EXPECT_THAT(Get("ListTosou.ini"), HasSubstr("SOP\r\n"));
  EXPECT_EQ(Get("Tani.ini"), Sjis("坪\r\n"));

  // Nothing is missing any more: nothing to report.
  dialogs_.Take();
  ASSERT_TRUE(EnsureSettingsFiles(folders_, dialogs_, &error)) << error;
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(SettingsTest, AFileUnderAnotherCaseIsTheSameFile) {
  Put("kousyu.ini", Sjis("塗装\r\n"));
  Put("tateguset.ini", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
  Install();
  EXPECT_FALSE(fs::exists(folders_.info / "Kousyu.ini"));
  EXPECT_FALSE(fs::exists(folders_.info / "TateguSet.ini"));

  SettingsPanel panel = Load();
  EXPECT_THAT(panel.work_types(), ElementsAre("塗装"));
  EXPECT_THAT(ReadWorkTypeFileLines(folders_), ElementsAre("塗装"));

  AddWorkTypes(&panel, {"内装"});
  ASSERT_TRUE(panel.SaveSettings(folders_, dialogs_));
  EXPECT_EQ(Get("kousyu.ini"), Sjis("塗装\r\n内装\r\n"));
  EXPECT_FALSE(fs::exists(folders_.info / "Kousyu.ini"));
}

TEST_F(SettingsTest, FilesThatCannotBeMadeAreNamedAndReadAsTheirDefaults) {
  Install();
  // Links that lead nowhere: into a folder that is gone, and in a loop.
  const fs::path digits = folders_.info / "Keta.ini";
  const fs::path units = folders_.info / "Tani.ini";
  const fs::path work_types = folders_.info / "Kousyu.ini";
  fs::remove(digits);
  fs::remove(units);
  fs::remove(work_types);
  fs::create_symlink(dir_ / "gone" / "Keta.ini", digits);
  fs::create_symlink("Tani.ini", units);
  fs::create_symlink(dir_ / "gone" / "Kousyu.ini", work_types);

  std::string error;
  ASSERT_TRUE(EnsureSettingsFiles(folders_, dialogs_, &error)) << error;
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "エラー");
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr(digits.string()));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr(units.string()));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr(work_types.string()));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("初期設定の内容で続けます"));
  EXPECT_THAT(dialogs_.shown[0].text, Not(HasSubstr(".vtmp")));
  for (const fs::path& link : {digits, units, work_types}) {
    EXPECT_TRUE(fs::is_symlink(link)) << link;
  }

  SettingsPanel panel;
  panel.SetDigits(2);
  ASSERT_TRUE(panel.LoadDigitsAndSaveOnSwitch(folders_, &error)) << error;
  EXPECT_EQ(panel.digits(), 0);
  ASSERT_TRUE(panel.LoadSettings(folders_, &error)) << error;
  EXPECT_THAT(panel.units(), ::testing::Contains("m2"));
  EXPECT_THAT(panel.work_types(), ::testing::Contains("内装"));
  EXPECT_EQ(ReadWorkTypeFileLines(folders_), panel.work_types());

  // "設定保存" names them as well.
  EXPECT_FALSE(panel.SaveSettings(folders_, dialogs_));
  const std::vector<ShownDialog> shown = dialogs_.Take();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_THAT(shown[1].text, HasSubstr(digits.string()));
  EXPECT_THAT(shown[1].text, HasSubstr("循環"));
  EXPECT_THAT(shown[1].text, Not(HasSubstr(".vtmp")));
}

TEST_F(SettingsTest, FilesThatCannotBeMadeFailTheStart) {
  fs::create_directories(folders_.base);
  std::ofstream(folders_.info) << "not a folder";
  std::string error;
  EXPECT_FALSE(EnsureSettingsFiles(folders_, dialogs_, &error));
  EXPECT_THAT(error, Not(IsEmpty()));
}

// --- Reading --------------------------------------------------------------

TEST_F(SettingsTest, OffsetsKeepEmptyItemsAndUseTheFirstSix) {
  Install();
  Put("TateguSet.ini", "10,,5\r\n\r\n7\r\n8\r\n9\r\n");
  EXPECT_THAT(Load().offsets(), ElementsAre("10", "", "5", "", "7", "8"));

  // Fewer than six items: the boxes after them are empty.
  Put("TateguSet.ini", "1\r\n2\r\n");
  SettingsPanel panel;
  for (int i = 0; i < kOffsetCount; ++i) {
    Type(&panel, Box::kOffset, i, std::to_string(91 + i));
  }
  std::string error;
  ASSERT_TRUE(panel.LoadSettings(folders_, &error)) << error;
  EXPECT_THAT(panel.offsets(), ElementsAre("1", "2", "", "", "", ""));
}

TEST_F(SettingsTest, ListsSkipEmptyItemsAndSplitAtCommas) {
  Install();
  Put("Tani.ini", Sjis("m2,,m\r\n\r\n式\r\n"));
  Put("ListGarasuS.ini", Sjis("シリコン\r\n,\r\n変成シリコン\r\n"));
  Put("ListWakuS_Size.ini", "");
  Put("Kousyu.ini", Sjis("内装,塗装\r\n\r\n左官\r\n"));

  SettingsPanel panel;
  AddUnits(&panel, {"old"});
  AddCandidates(&panel, 5, {"old"});
  AddWorkTypes(&panel, {"old"});
  panel.RefillAggregationWorkTypes();
  std::string error;
  ASSERT_TRUE(panel.LoadSettings(folders_, &error)) << error;
  EXPECT_THAT(panel.units(), ElementsAre("m2", "m", "式"));
  EXPECT_THAT(panel.candidates()[1], ElementsAre("シリコン", "変成シリコン"));
  EXPECT_THAT(panel.candidates()[5], IsEmpty());
  EXPECT_THAT(panel.work_types(), ElementsAre("内装", "塗装", "左官"));
  EXPECT_EQ(panel.aggregation_work_types(), panel.work_types());
  // The unit list of the work-type table is filled from the units later,
  // when that table is shown: reading leaves it as it was.
  EXPECT_THAT(panel.work_type_panel_units(), ElementsAre("old"));
}

TEST_F(SettingsTest, MoneyRoundingNeedsTheExactText) {
  Install();
  const struct {
    std::string bytes;
    int option;
  } cases[] = {{"0\r\n", 0},   {"1\r\n", 1},   {"2\r\n", 2},
               {"1,0\r\n", 1}, {" 2\r\n", -1}, {"2.0\r\n", -1},
               {"3\r\n", -1},  {"\r\n", -1},   {"", -1}};
  for (const auto& c : cases) {
    Put("Hasu.ini", c.bytes);
    EXPECT_EQ(Load().money_rounding(), c.option) << c.bytes;
  }
}

TEST_F(SettingsTest, DigitsAreReadAsAWholeNumber) {
  Install();
  const struct {
    std::string bytes;
    int option;
    int q;
  } cases[] = {{"1\r\n", 1, 3},   {"2\r\n", 2, 4},   {"2abc\r\n", 2, 4},
               {" 1\r\n", 1, 3},  {"1.6\r\n", 2, 4}, {"\r\n", 0, 2},
               {"3\r\n", -1, 2},  {"-1\r\n", -1, 2}, {"x\r\n", 0, 2},
               {"", -1, 2}};
  for (const auto& c : cases) {
    Put("Keta.ini", c.bytes);
    SettingsPanel panel;
    std::string error;
    ASSERT_TRUE(panel.LoadDigitsAndSaveOnSwitch(folders_, &error)) << error;
    EXPECT_EQ(panel.digits(), c.option) << c.bytes;
    EXPECT_EQ(panel.digit_setting().q(), c.q) << c.bytes;
  }
}

TEST_F(SettingsTest, SaveOnSwitchIsTickedWhenTheValueReadsAsOne) {
  Install();
  const struct {
    std::string bytes;
    bool ticked;
  } cases[] = {{"1\r\n", true},   {"0\r\n", false}, {"1.0\r\n", true},
               {"01x\r\n", true}, {"2\r\n", false}, {"on\r\n", false},
               {"", false}};
  for (const auto& c : cases) {
    Put("Save.ini", c.bytes);
    SettingsPanel panel;
    panel.SetSaveOnSwitch(!c.ticked);
    std::string error;
    ASSERT_TRUE(panel.LoadDigitsAndSaveOnSwitch(folders_, &error)) << error;
    EXPECT_EQ(panel.save_on_switch(), c.ticked) << c.bytes;
  }
}

TEST_F(SettingsTest, PrintSettingsReadNumbersByTheLeadingNumberRule) {
  Install();
  Put("NameInsatu.ini", Sjis("0\r\n4.0\r\n1x\r\n株式会社 山田内装\r\n1\r\n"));
  SettingsPanel panel = Load();
  EXPECT_FALSE(panel.print_project_name());
  EXPECT_EQ(panel.project_name_position(), 4);
  EXPECT_TRUE(panel.print_company_name());
  EXPECT_EQ(panel.company_name(), "株式会社 山田内装");
  EXPECT_EQ(panel.company_name_position(), 1);

  // Positions out of range select nothing; missing values leave the
  // controls empty.
  Put("NameInsatu.ini", "1\r\n6\r\n0\r\n");
  panel = Load();
  EXPECT_TRUE(panel.print_project_name());
  EXPECT_EQ(panel.project_name_position(), -1);
  EXPECT_EQ(panel.company_name(), "");
  EXPECT_EQ(panel.company_name_position(), -1);
  Put("NameInsatu.ini", "1\r\n-1\r\n0\r\nA\r\n3\r\n");
  panel = Load();
  EXPECT_EQ(panel.project_name_position(), -1);
  EXPECT_EQ(panel.company_name_position(), -1);
}

TEST_F(SettingsTest, CompanyNamesTakeEveryItem) {
  Install();
  Put("NameKouho.ini", Sjis("山田内装\r\n\r\nB社,C社\r\n"));
  SettingsPanel panel;
  std::string error;
  ASSERT_TRUE(panel.LoadCompanyNames(folders_, &error)) << error;
  EXPECT_THAT(panel.company_names(), ElementsAre("山田内装", "", "B社", "C社"));
}

TEST_F(SettingsTest, AggregationReadsTheWorkTypeFileLineByLine) {
  Install();
  std::string bytes = Sjis("内装,塗装\r\n\r\n");
  for (int i = 0; i < 110; ++i) bytes += "W" + std::to_string(i) + "\r\n";
  Put("Kousyu.ini", bytes);
  const std::vector<std::string> lines = ReadWorkTypeFileLines(folders_);
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[0], "内装,塗装");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[100], "W98");
  // The aggregation panel's list says what it left out; a file of exactly
  // 101 lines says nothing.
  Settings settings(folders_, dialogs_);
  settings.ReloadWorkTypeList();
  EXPECT_EQ(settings.panel().aggregation_work_types(), lines);
  EXPECT_EQ(dialogs_.Take(),
            (std::vector<ShownDialog>{
                {"確認", "工種は101件までのため、102件目から後は読み込みませんでした。"}}));
  bytes.clear();
  for (int i = 0; i < 101; ++i) bytes += "W" + std::to_string(i) + "\r\n";
  Put("Kousyu.ini", bytes);
  settings.ReloadWorkTypeList();
  EXPECT_EQ(settings.panel().aggregation_work_types().size(), 101u);
  EXPECT_TRUE(dialogs_.Take().empty());

  fs::remove(folders_.info / "Kousyu.ini");
  fs::create_directory(folders_.info / "Kousyu.ini");
  EXPECT_THAT(ReadWorkTypeFileLines(folders_), IsEmpty());
}

TEST_F(SettingsTest, AnUnreadableFileEmptiesItsControlsOnly) {
  Install();
  for (const char* name : {"Tani.ini", "Hasu.ini"}) {
    fs::remove(folders_.info / name);
    fs::create_directory(folders_.info / name);
  }
  SettingsPanel panel;
  AddUnits(&panel, {"m2"});
  panel.SetMoneyRounding(1);
  std::string error;
  EXPECT_FALSE(panel.LoadSettings(folders_, &error));
  EXPECT_THAT(error, HasSubstr("Tani.ini"));
  EXPECT_THAT(error, HasSubstr("Hasu.ini"));
  EXPECT_THAT(panel.units(), IsEmpty());
  EXPECT_EQ(panel.money_rounding(), -1);
  EXPECT_THAT(panel.work_types(), Not(IsEmpty()));
  EXPECT_EQ(panel.company_name_position(), 2);
}

// --- Saving ---------------------------------------------------------------

TEST_F(SettingsTest, SaveWritesEveryFileInItsFormat) {
  Install();
  Put("ListTosou.ini", "EP\r\nOP\r\n");
  ASSERT_TRUE(SamplePanel().SaveSettings(folders_, dialogs_));
  EXPECT_THAT(dialogs_.shown, IsEmpty());

  EXPECT_EQ(Get("TateguSet.ini"), "25\r\n\r\n10\r\n10\r\n0\r\n5\r\n");
  EXPECT_EQ(Get("Tani.ini"), "m2\r\n\x83\x96\x8F\x8A\r\nm2\r\n");
  EXPECT_EQ(Get("Hasu.ini"), "0\r\n");
  EXPECT_EQ(Get("ListGarasu.ini"), Sjis("FL5\r\n網入磨6.8\r\n"));
  EXPECT_EQ(Get("ListGarasuS.ini"), "");
  EXPECT_EQ(Get("ListTosou.ini"), "");  // an empty list empties its file
  EXPECT_EQ(Get("ListWakuS.ini"), Sjis("変成シリコン\r\n"));
  EXPECT_EQ(Get("Kousyu.ini"), Sjis("内装\r\n塗装\r\n"));
  EXPECT_EQ(Get("NameInsatu.ini"),
            "1\r\n5\r\n1\r\n\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0 "
            "\x8E\x52\x93\x63\x93\xE0\x91\x95\r\n1\r\n");
  EXPECT_EQ(Get("Keta.ini"), "2\r\n");
  EXPECT_EQ(Get("Save.ini"), "1\r\n");
}

TEST_F(SettingsTest, OptionGroupsWithoutSelectionAreWrittenAsEmptyLines) {
  Install();
  SettingsPanel panel = SamplePanel();
  panel.SetMoneyRounding(-1);
  panel.SetProjectNamePosition(-1);
  panel.SetCompanyNamePosition(-1);
  panel.SetDigits(-1);
  panel.SetPrintProjectName(false);
  panel.SetPrintCompanyName(false);
  panel.SetSaveOnSwitch(false);
  ASSERT_TRUE(panel.SaveSettings(folders_, dialogs_));
  EXPECT_EQ(Get("Hasu.ini"), "\r\n");
  EXPECT_EQ(Get("Keta.ini"), "\r\n");
  EXPECT_EQ(Get("Save.ini"), "0\r\n");
  EXPECT_EQ(Get("NameInsatu.ini"), "0\r\n\r\n0\r\n" +
                                       Sjis("株式会社 山田内装") +
                                       "\r\n\r\n");
}

TEST_F(SettingsTest, SavedSettingsComeBackAtTheNextStart) {
  Install();
  const SettingsPanel saved = SamplePanel();
  ASSERT_TRUE(saved.SaveSettings(folders_, dialogs_));
  SettingsPanel panel = Load();
  std::string error;
  ASSERT_TRUE(panel.LoadDigitsAndSaveOnSwitch(folders_, &error)) << error;
  EXPECT_EQ(panel.offsets(), saved.offsets());
  EXPECT_EQ(panel.units(), saved.units());
  EXPECT_EQ(panel.money_rounding(), saved.money_rounding());
  EXPECT_THAT(panel.candidates()[0], ElementsAre("FL5", "網入磨6.8"));
  EXPECT_EQ(panel.candidates()[3], saved.candidates()[3]);
  EXPECT_EQ(panel.work_types(), saved.work_types());
  EXPECT_EQ(panel.print_project_name(), saved.print_project_name());
  EXPECT_EQ(panel.project_name_position(), saved.project_name_position());
  EXPECT_EQ(panel.print_company_name(), saved.print_company_name());
  EXPECT_EQ(panel.company_name(), saved.company_name());
  EXPECT_EQ(panel.company_name_position(), saved.company_name_position());
  EXPECT_EQ(panel.digits(), saved.digits());
  EXPECT_EQ(panel.save_on_switch(), saved.save_on_switch());
}

TEST_F(SettingsTest, SaveReportsFilesItCannotWrite) {
  Install();
  fs::remove(folders_.info / "Save.ini");
  fs::create_directories(folders_.info / "Save.ini" / "x");
  EXPECT_FALSE(SamplePanel().SaveSettings(folders_, dialogs_));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "エラー");
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("Save.ini"));
  // The files before it were still written.
  EXPECT_EQ(Get("Keta.ini"), "2\r\n");
}

// --- Large files and the store in memory ---------------------------------

// "W0", "W1", ... joined by `separator`.
std::string Items(std::size_t count, std::string_view separator) {
  std::string bytes;
  for (std::size_t i = 0; i < count; ++i) {
    bytes += "W" + std::to_string(i);
    bytes += separator;
  }
  return bytes;
}

TEST_F(SettingsTest, ListsAreReadUpToTheirCapacityAndTheRestIsTold) {
  Install();
  Put("Tani.ini", Items(kMaxListItems + 5, "\r\n"));
  // Exactly full, empty items not counted: nothing to tell.
  Put("ListTosou.ini", ",,\r\n" + Items(kMaxListItems, ",,"));
  Put("Kousyu.ini", Items(150, ","));
  Put("NameKouho.ini", Items(kMaxListItems - 1, "\r\n") + "\r\nlast\r\n");

  SettingsPanel panel;
  std::string error;
  std::string notice;
  ASSERT_TRUE(panel.LoadSettings(folders_, &error, &notice)) << error;
  ASSERT_EQ(panel.units().size(), kMaxListItems);
  EXPECT_EQ(panel.units().back(), "W999");
  ASSERT_EQ(panel.candidates()[2].size(), kMaxListItems);
  EXPECT_EQ(panel.candidates()[2].back(), "W999");
  ASSERT_EQ(panel.work_types().size(), kMaxWorkTypes);
  EXPECT_EQ(panel.work_types().back(), "W100");
  EXPECT_EQ(panel.aggregation_work_types(), panel.work_types());
  EXPECT_EQ(notice,
            "Tani.ini の項目は 1000 件までのため、1001 "
            "件目から後は読み込みませんでした。\n"
            "Kousyu.ini の項目は 101 件までのため、102 "
            "件目から後は読み込みませんでした。");

  // Company names count their empty items too: the empty thousandth name
  // fills the list.
  ASSERT_TRUE(panel.LoadCompanyNames(folders_, &error, &notice)) << error;
  ASSERT_EQ(panel.company_names().size(), kMaxListItems);
  EXPECT_EQ(panel.company_names().back(), "");
  EXPECT_THAT(notice, HasSubstr("NameKouho.ini の項目は 1000 件まで"));
}

// A file larger than a settings file can be is read up to the bound; the
// item the bound cuts through is dropped, the rest used, and the user told.
TEST_F(SettingsTest, LargeFilesAreReadOnlyAtTheirStart) {
  Install();
  const std::string beyond(kMaxSettingsFileBytes, 'z');
  Put("Keta.ini", "1," + Items(kMaxSettingsFileBytes / 2, ","));
  Put("Tani.ini", "m2\r\nkg,t," + beyond);
  Put("TateguSet.ini", "1\r\n2,3\r\n" + beyond + "\r\n4\r\n");
  Put("Kousyu.ini", Sjis("内装\r\n塗装\r\n") + beyond);
  // Nothing but the bytes of one long line: nothing to use.
  Put("NameKouho.ini", beyond + "x");

  Settings settings(folders_, dialogs_);
  std::string error;
  ASSERT_TRUE(settings.LoadDigitsAndSaveOnSwitch(&error)) << error;
  ASSERT_TRUE(settings.LoadSettings(&error)) << error;
  ASSERT_TRUE(settings.LoadCompanyNames(&error)) << error;
  EXPECT_EQ(settings.panel().digits(), 1);
  EXPECT_THAT(settings.panel().units(), ElementsAre("m2", "kg", "t"));
  EXPECT_THAT(settings.panel().offsets(),
              ElementsAre("1", "2", "3", "", "", ""));
  EXPECT_THAT(settings.panel().work_types(), ElementsAre("内装", "塗装"));
  EXPECT_THAT(settings.panel().company_names(), IsEmpty());
  const std::string too_large =
      " は 1 MB を超えているため、先頭の 1 MB だけを読み込みました。";
  EXPECT_EQ(dialogs_.Take(),
            (std::vector<ShownDialog>{
                {"確認", "Keta.ini" + too_large},
                {"確認", "TateguSet.ini" + too_large + "\nTani.ini" +
                             too_large + "\nKousyu.ini" + too_large},
                {"確認", "NameKouho.ini" + too_large}}));

  // The aggregation panel's list, read line by line, drops the cut line.
  settings.ReloadWorkTypeList();
  EXPECT_THAT(settings.panel().aggregation_work_types(),
              ElementsAre("内装", "塗装"));
  EXPECT_EQ(dialogs_.Take(), (std::vector<ShownDialog>{
                                 {"確認", "Kousyu.ini" + too_large}}));
}

TEST_F(SettingsTest, SettingsInMemoryReadAndSaveAsTheFolderDoes) {
  Install();
  SettingsPanel sample = SamplePanel();
  ASSERT_TRUE(sample.SaveSettings(folders_, dialogs_));
  for (std::string_view name : {"山田内装", "B社"}) {
    Type(&sample, Box::kCompanyNameEntry, 0, name);
    ASSERT_TRUE(sample.RegisterCompanyName(folders_, dialogs_));
  }
  const std::vector<std::string_view> names = {
      kOffsetsFile,       kUnitsFile,         kMoneyRoundingFile,
      kCandidateFiles[0], kCandidateFiles[1], kCandidateFiles[2],
      kCandidateFiles[3], kCandidateFiles[4], kCandidateFiles[5],
      kWorkTypesFile,     kPrintFile,         kDigitsFile,
      kSaveOnSwitchFile,  kCompanyNamesFile,  kRecoveryFile};
  SettingsInMemory files;
  for (std::string_view name : names) {
    // Under another letter case: the same file.
    files.Put(FoldCase(name), Get(name));
  }

  auto load = [](const auto& from) {
    SettingsPanel panel;
    std::string error;
    EXPECT_TRUE(panel.LoadDigitsAndSaveOnSwitch(from, &error)) << error;
    EXPECT_TRUE(panel.LoadSettings(from, &error)) << error;
    EXPECT_TRUE(panel.LoadCompanyNames(from, &error)) << error;
    return panel;
  };
  const SettingsPanel from_disk = load(folders_);
  EXPECT_THAT(from_disk.company_names(), ElementsAre("山田内装", "B社"));
  EXPECT_EQ(load(files), from_disk);
  EXPECT_EQ(ReadWorkTypeFileLines(files), ReadWorkTypeFileLines(folders_));

  // Saving gives the same bytes in memory as on disk, bytes that are not
  // CP932 text among them: an offset kept from a damaged file whose bytes
  // begin like a byte-order mark (read after the file's own mark) is
  // written back as it was read.
  const std::string damaged_offsets =
      "\xEF\xBB\xBF\xEF\xBB\xBF\r\n30\r\n0\r\n0\r\n0\r\n0\r\n";
  files.Put(kOffsetsFile, damaged_offsets);
  SettingsPanel changed = load(files);
  ASSERT_THAT(changed.offsets()[0], ::testing::StartsWith("\uF7EF"));
  AddUnits(&changed, {"坪"});
  changed.SetDigits(-1);
  ASSERT_TRUE(changed.SaveSettings(files, dialogs_));
  ASSERT_TRUE(changed.SaveSettings(folders_, dialogs_));
  for (std::string_view name : names) {
    ASSERT_NE(files.Find(name), nullptr) << name;
    EXPECT_EQ(*files.Find(name), Get(name)) << name;
  }
  EXPECT_EQ(Get(kOffsetsFile), damaged_offsets);
  EXPECT_THAT(dialogs_.shown, IsEmpty());

  // A file that is not there cannot be read; one that is too large is cut.
  SettingsInMemory few;
  few.Put("Keta.ini", "2," + std::string(kMaxSettingsFileBytes, 'z'));
  SettingsPanel panel;
  std::string error;
  std::string notice;
  EXPECT_FALSE(panel.LoadDigitsAndSaveOnSwitch(few, &error, &notice));
  EXPECT_EQ(panel.digits(), 2);
  EXPECT_THAT(error, HasSubstr("Save.ini"));
  EXPECT_THAT(notice, HasSubstr("Keta.ini は 1 MB を超えている"));
}

// --- Typing ---------------------------------------------------------------

TEST_F(SettingsTest, SeparatorsAndUnwritableCharactersAreRefusedAsTyped) {
  SettingsPanel panel;
  Type(&panel, Box::kCompanyNameEntry, 0, "山田");
  EXPECT_FALSE(panel.TypeText(Box::kCompanyNameEntry, 0, "山田,内装",
                              dialogs_));
  EXPECT_EQ(panel.company_name_entry(), "");
  Type(&panel, Box::kWorkTypeEntry, 0, "内");
  EXPECT_FALSE(panel.TypeText(Box::kWorkTypeEntry, 0, "内'装", dialogs_));
  EXPECT_EQ(panel.work_type_entry(), "");
  Type(&panel, Box::kUnitEntry, 0, "m");
  EXPECT_FALSE(panel.TypeText(Box::kUnitEntry, 0, "m\xC2\xB2", dialogs_));
  EXPECT_EQ(panel.unit_entry(), "");
  Type(&panel, Box::kOffset, 0, "3");
  EXPECT_FALSE(panel.TypeText(Box::kOffset, 0, "3,0", dialogs_));
  EXPECT_EQ(panel.offsets()[0], "");

  const std::vector<ShownDialog> shown = dialogs_.Take();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], (ShownDialog{"入力確認", ",（カンマ）は使用できません。",
                                   false}));
  EXPECT_EQ(shown[1],
            (ShownDialog{"入力確認", "'（コーテーション）は使用できません。",
                         false}));
  EXPECT_EQ(shown[2].title, "入力確認");
  EXPECT_THAT(shown[2].text, HasSubstr("\xC2\xB2"));  // names the "²"
  EXPECT_EQ(shown[3].text, ",（カンマ）は使用できません。");

  EXPECT_TRUE(panel.TypeText(Box::kCompanyName, 0, "株式会社 山田内装①",
                             dialogs_));
  EXPECT_EQ(panel.company_name(), "株式会社 山田内装①");
  EXPECT_EQ(panel.Text(Box::kCompanyName, 0), "株式会社 山田内装①");
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(SettingsTest, EachBoxHoldsItsOwnTextAndIndicesOutOfRangeHoldNone) {
  SettingsPanel panel;
  Type(&panel, Box::kOffset, 5, "12");
  Type(&panel, Box::kCandidateEntry, 2, "EP");
  Type(&panel, Box::kWorkTypeEntry, 0, "内装");
  Type(&panel, Box::kUnitEntry, 0, "m2");
  Type(&panel, Box::kCompanyName, 0, "山田内装");
  Type(&panel, Box::kCompanyNameEntry, 0, "ABC建装");
  EXPECT_EQ(panel.offsets()[5], "12");
  EXPECT_EQ(panel.candidate_entries()[2], "EP");
  EXPECT_EQ(panel.work_type_entry(), "内装");
  EXPECT_EQ(panel.unit_entry(), "m2");
  EXPECT_EQ(panel.company_name(), "山田内装");
  EXPECT_EQ(panel.company_name_entry(), "ABC建装");
  EXPECT_EQ(panel.Text(Box::kOffset, 5), "12");
  EXPECT_EQ(panel.Text(Box::kOffset, 4), "");
  EXPECT_EQ(panel.Text(Box::kCandidateEntry, 2), "EP");
  EXPECT_EQ(panel.Text(Box::kWorkTypeEntry, 0), "内装");
  EXPECT_EQ(panel.Text(Box::kUnitEntry, 0), "m2");
  EXPECT_EQ(panel.Text(Box::kCompanyNameEntry, 0), "ABC建装");

  const SettingsPanel before = panel;
  EXPECT_FALSE(panel.TypeText(Box::kOffset, kOffsetCount, "1", dialogs_));
  EXPECT_FALSE(panel.TypeText(Box::kCandidateEntry, -1, "x", dialogs_));
  EXPECT_EQ(panel, before);
  EXPECT_EQ(panel.Text(Box::kOffset, kOffsetCount), "");
  EXPECT_EQ(panel.Text(Box::kCandidateEntry, kCandidateListCount), "");
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(SettingsTest, CommandsRefuseABoxThatHoldsARefusedText) {
  // An apostrophe does not split an item of a file: such an item, chosen
  // from its list, reaches the command without passing the typing check.
  Install();
  Put("Kousyu.ini", Sjis("内'装\r\n"));
  Put("Tani.ini", "m'\r\n");
  Put("ListTosou.ini", "E'P\r\n");
  Put("NameKouho.ini", Sjis("山田'内装\r\n\r\n"));
  SettingsPanel panel = Load();
  std::string error;
  ASSERT_TRUE(panel.LoadCompanyNames(folders_, &error)) << error;

  panel.ChooseWorkType(0);
  ASSERT_EQ(panel.work_type_entry(), "内'装");
  EXPECT_FALSE(panel.AddWorkType(dialogs_));
  panel.ChooseUnit(0);
  ASSERT_EQ(panel.unit_entry(), "m'");
  EXPECT_FALSE(panel.AddUnit(dialogs_));
  panel.ChooseCandidate(2, 0);
  ASSERT_EQ(panel.candidate_entries()[2], "E'P");
  EXPECT_FALSE(panel.AddCandidate(2, dialogs_));
  panel.ChooseCompanyName(0);
  ASSERT_EQ(panel.company_name_entry(), "山田'内装");
  EXPECT_TRUE(panel.RegisterCompanyName(folders_, dialogs_));

  EXPECT_EQ(dialogs_.Take().size(), 4u);
  EXPECT_THAT(panel.work_types(), ElementsAre("内'装"));
  EXPECT_THAT(panel.units(), ElementsAre("m'"));
  EXPECT_THAT(panel.work_type_panel_units(), IsEmpty());
  EXPECT_THAT(panel.candidates()[2], ElementsAre("E'P"));
  EXPECT_THAT(panel.company_names(), ElementsAre("山田'内装", ""));
  EXPECT_EQ(panel.work_type_entry(), "");
  EXPECT_EQ(panel.unit_entry(), "");
  EXPECT_EQ(panel.candidate_entries()[2], "");
  EXPECT_EQ(panel.company_name_entry(), "");
  // Not written: a written file would have lost its empty line.
  EXPECT_EQ(Get("NameKouho.ini"), Sjis("山田'内装\r\n\r\n"));
}

// --- List editors ---------------------------------------------------------

TEST_F(SettingsTest, UnitsAllowDuplicatesAndDeleteTheFirstMatchFromBoth) {
  Install();
  SettingsPanel panel;
  AddUnits(&panel, {"m2", "m2", "式"});
  Type(&panel, Box::kUnitEntry, 0, "");
  EXPECT_FALSE(panel.AddUnit(dialogs_));
  EXPECT_THAT(panel.units(), ElementsAre("m2", "m2", "式"));
  EXPECT_THAT(panel.work_type_panel_units(), ElementsAre("m2", "m2", "式"));

  // Reading the unit file replaces the registered units only.
  Put("Tani.ini", Sjis("式\r\nM2\r\n"));
  std::string error;
  ASSERT_TRUE(panel.LoadSettings(folders_, &error)) << error;
  ASSERT_THAT(panel.units(), ElementsAre("式", "M2"));

  panel.ChooseUnit(1);
  EXPECT_EQ(panel.unit_entry(), "M2");
  panel.ChooseUnit(2);
  EXPECT_EQ(panel.unit_entry(), "M2");
  panel.DeleteUnit();
  EXPECT_THAT(panel.units(), ElementsAre("式"));
  EXPECT_THAT(panel.work_type_panel_units(), ElementsAre("m2", "式"));
  EXPECT_EQ(panel.unit_entry(), "");

  panel.ChooseUnit(0);
  EXPECT_EQ(panel.unit_entry(), "式");
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(SettingsTest, WorkTypesRefuseADuplicateIgnoringCaseSilently) {
  SettingsPanel panel;
  AddWorkTypes(&panel, {"内装", "ALC"});
  Type(&panel, Box::kWorkTypeEntry, 0, "alc");
  EXPECT_FALSE(panel.AddWorkType(dialogs_));
  Type(&panel, Box::kWorkTypeEntry, 0, "内装");
  EXPECT_FALSE(panel.AddWorkType(dialogs_));
  Type(&panel, Box::kWorkTypeEntry, 0, "");
  EXPECT_FALSE(panel.AddWorkType(dialogs_));
  Type(&panel, Box::kWorkTypeEntry, 0, "ＡＬＣ");  // full width: another name
  EXPECT_TRUE(panel.AddWorkType(dialogs_));
  Type(&panel, Box::kWorkTypeEntry, 0, "塗装");
  EXPECT_TRUE(panel.AddWorkType(dialogs_));
  EXPECT_THAT(panel.work_types(), ElementsAre("内装", "ALC", "ＡＬＣ", "塗装"));
  EXPECT_EQ(panel.work_type_entry(), "塗装");
  // The aggregation list follows only when the aggregation mode is chosen.
  EXPECT_THAT(panel.aggregation_work_types(), IsEmpty());
  panel.RefillAggregationWorkTypes();
  EXPECT_EQ(panel.aggregation_work_types(), panel.work_types());
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(SettingsTest, DeletingAWorkTypeScansTheListOnce) {
  // Names equal but for letter case come only from the file.
  Install();
  Put("Kousyu.ini", "A\r\na\r\nB\r\na\r\nC\r\nA\r\n");
  SettingsPanel panel = Load();
  ASSERT_THAT(panel.work_types(), ElementsAre("A", "a", "B", "a", "C", "A"));
  panel.DeleteWorkType();  // the box is empty
  EXPECT_EQ(panel.work_types().size(), 6u);

  // "a" right after a removed "A" moves into its place and is passed over.
  Type(&panel, Box::kWorkTypeEntry, 0, "a");
  panel.DeleteWorkType();
  EXPECT_THAT(panel.work_types(), ElementsAre("a", "B", "C"));
  EXPECT_EQ(panel.work_type_entry(), "");

  Type(&panel, Box::kWorkTypeEntry, 0, "x");
  panel.DeleteWorkType();
  EXPECT_THAT(panel.work_types(), ElementsAre("a", "B", "C"));
  EXPECT_EQ(panel.work_type_entry(), "");

  panel.ChooseWorkType(1);
  EXPECT_EQ(panel.work_type_entry(), "B");
  panel.DeleteWorkType();
  EXPECT_THAT(panel.work_types(), ElementsAre("a", "C"));
}

TEST_F(SettingsTest, CandidateListsFollowTheWorkTypeRulesEachOnItsOwn) {
  SettingsPanel panel;
  AddCandidates(&panel, 1, {"シリコン"});
  AddCandidates(&panel, 5, {"10×10"});
  Type(&panel, Box::kCandidateEntry, 5, "15×10");
  EXPECT_TRUE(panel.AddCandidate(5, dialogs_));
  EXPECT_FALSE(panel.AddCandidate(5, dialogs_));
  Type(&panel, Box::kCandidateEntry, 0, "fl5");
  EXPECT_TRUE(panel.AddCandidate(0, dialogs_));
  Type(&panel, Box::kCandidateEntry, 0, "FL5");
  EXPECT_FALSE(panel.AddCandidate(0, dialogs_));
  EXPECT_FALSE(panel.AddCandidate(6, dialogs_));
  EXPECT_FALSE(panel.AddCandidate(-1, dialogs_));
  EXPECT_THAT(panel.candidates()[5], ElementsAre("10×10", "15×10"));
  EXPECT_THAT(panel.candidates()[0], ElementsAre("fl5"));
  EXPECT_THAT(panel.candidates()[1], ElementsAre("シリコン"));

  Type(&panel, Box::kCandidateEntry, 1, "変成");
  panel.ChooseCandidate(1, 0);
  EXPECT_EQ(panel.candidate_entries()[1], "シリコン");
  panel.DeleteCandidate(0);  // the box of list 0 still holds "FL5"
  EXPECT_THAT(panel.candidates()[0], IsEmpty());
  EXPECT_EQ(panel.candidate_entries()[0], "");
  EXPECT_THAT(panel.candidates()[1], ElementsAre("シリコン"));
  EXPECT_EQ(panel.candidate_entries()[1], "シリコン");
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

// --- Company names --------------------------------------------------------

TEST_F(SettingsTest, CompanyNamesAreWrittenAtOnce) {
  Install();
  Put("NameKouho.ini", Sjis("山田内装\r\n\r\n"));  // a file with a gap
  SettingsPanel panel;
  std::string error;
  ASSERT_TRUE(panel.LoadCompanyNames(folders_, &error)) << error;
  ASSERT_THAT(panel.company_names(), ElementsAre("山田内装", ""));
  Type(&panel, Box::kCompanyNameEntry, 0, "ABC建装");
  ASSERT_TRUE(panel.RegisterCompanyName(folders_, dialogs_));
  EXPECT_THAT(panel.company_names(), ElementsAre("山田内装", "", "ABC建装"));
  EXPECT_EQ(Get("NameKouho.ini"), Sjis("山田内装\r\nABC建装\r\n"));

  // Registered already (ignoring case): not added, the file is still written.
  Put("NameKouho.ini", "");
  Type(&panel, Box::kCompanyNameEntry, 0, "abc建装");
  ASSERT_TRUE(panel.RegisterCompanyName(folders_, dialogs_));
  EXPECT_EQ(panel.company_names().size(), 3u);
  EXPECT_EQ(Get("NameKouho.ini"), Sjis("山田内装\r\nABC建装\r\n"));

  ASSERT_TRUE(panel.DeleteCompanyName(folders_, dialogs_));
  EXPECT_THAT(panel.company_names(), ElementsAre("山田内装", ""));
  EXPECT_EQ(Get("NameKouho.ini"), Sjis("山田内装\r\n"));

  // An empty combo box does nothing, not even write.
  Put("NameKouho.ini", "kept\r\n");
  Type(&panel, Box::kCompanyNameEntry, 0, "");
  ASSERT_TRUE(panel.RegisterCompanyName(folders_, dialogs_));
  ASSERT_TRUE(panel.DeleteCompanyName(folders_, dialogs_));
  EXPECT_EQ(Get("NameKouho.ini"), "kept\r\n");
  EXPECT_THAT(dialogs_.shown, IsEmpty());

  // What was written is what the next start reads.
  Type(&panel, Box::kCompanyNameEntry, 0, "新日本塗装");
  ASSERT_TRUE(panel.RegisterCompanyName(folders_, dialogs_));
  SettingsPanel next;
  ASSERT_TRUE(next.LoadCompanyNames(folders_, &error)) << error;
  EXPECT_THAT(next.company_names(), ElementsAre("山田内装", "新日本塗装"));
}

TEST_F(SettingsTest, ChoosingACompanyNameFillsTheCompanyNameBox) {
  Install();
  Put("NameKouho.ini", Sjis("山田内装\r\nABC建装\r\n"));
  SettingsPanel panel;
  std::string error;
  ASSERT_TRUE(panel.LoadCompanyNames(folders_, &error)) << error;
  Type(&panel, Box::kCompanyName, 0, "old");
  panel.ChooseCompanyName(1);
  EXPECT_EQ(panel.company_name(), "ABC建装");
  EXPECT_EQ(panel.company_name_entry(), "ABC建装");
  panel.ChooseCompanyName(2);
  EXPECT_EQ(panel.company_name(), "ABC建装");
}

TEST_F(SettingsTest, ACompanyNameThatCannotBeWrittenIsReported) {
  Install();
  fs::remove(folders_.info / "NameKouho.ini");
  fs::create_directories(folders_.info / "NameKouho.ini" / "x");
  SettingsPanel panel;
  Type(&panel, Box::kCompanyNameEntry, 0, "山田内装");
  EXPECT_FALSE(panel.RegisterCompanyName(folders_, dialogs_));
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].title, "エラー");
}

}  // namespace
}  // namespace veltrano
