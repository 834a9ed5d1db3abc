#include "project/project_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/text_file.h"
#include "calc/text_util.h"
#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "project/project.h"
#include "support/big_project.h"
#include "support/room_lines.h"
#include "support/fake_dialogs.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using testing::SideLines;
using ::testing::Contains;
using ::testing::ElementsAre;
using testing::FakeDialogs;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::SizeIs;
using ::testing::StartsWith;

class RecordingProgress : public Progress {
 public:
  void ShowProgress(int maximum) override { shown.push_back(maximum); }
  void SetProgress(int value) override {
    ++steps;
    last = value;
  }
  void HideProgress() override { ++hidden; }

  std::vector<int> shown;
  int steps = 0;
  int last = 0;
  int hidden = 0;
};

// The bytes of a file of these lines: CP932, each line ended by CR LF.
std::string FileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  std::string encoded;
  std::string bad;
  for (const std::string& line : lines) {
    EXPECT_TRUE(Utf8ToCp932(line, &encoded, &bad)) << bad;
    bytes += encoded + "\r\n";
  }
  return bytes;
}

Project Fresh() {
  Project t;
  t.Reset(/*keep_unit_prices=*/false);
  return t;
}

// One sheet line: tag, name or "@", sheet columns 1-27, the extra value.
std::string SheetLine(std::string_view tag, std::string_view name,
                      const std::map<int, std::string>& cells,
                      std::string_view extra) {
  std::string line = std::string(tag) + "," + std::string(name) + ",";
  for (int c = 1; c <= 27; ++c) {
    if (auto it = cells.find(c); it != cells.end()) line += it->second;
    line += ',';
  }
  return line + std::string(extra) + ",";
}

// The 50 lines of a room; `rows` maps a sheet row to its cells.
std::vector<std::string> RoomLines(
    std::string_view tag, std::string_view name, std::string_view places,
    const std::map<int, std::map<int, std::string>>& rows = {}) {
  std::vector<std::string> lines;
  for (int r = 1; r <= 50; ++r) {
    const auto it = rows.find(r);
    const std::map<int, std::string> cells =
        it == rows.end() ? std::map<int, std::string>{} : it->second;
    const std::string_view extra = r == 1   ? places
                                   : r == 2 ? "3.64"
                                   : r == 3 ? "2.73"
                                   : r == 4 ? "2.4"
                                   : r == 5 ? "1"
                                            : "dm";
    lines.push_back(SheetLine(tag, r == 1 ? name : "@", cells, extra));
  }
  return lines;
}

void AddRoom(Project* t, int side,
             const std::vector<std::string>& lines) {
  testing::AppendRoomLines(t, side, lines);
}

// A small project with something in every table: Japanese names, markers,
// half-width katakana, "＼", "～" and characters from every part of CP932.
Project SmallProject() {
  Project t = Fresh();
  AddRoom(&t, kInterior,
          RoomLines("Data", "応接室～ｵｰﾅｰ＼1F", "2",
                    {{1,
                      {{1, "○"},
                       {2, "ﾌﾛｰﾘﾝｸﾞ張り t12"},
                       {3, "3.64*2.73-0.91*1.82"},
                       {5, "8.28"},
                       {6, "○"},
                       {7, "木製巾木 H60"},
                       {9, "(A+S)*2"},
                       {11, "12.74"}}},
                     {2,
                      {{7, "開口部"},
                       {8, "SD1*2"},
                       {9, "0.80*2"},
                       {10, "▲"},
                       {11, "-1.60"},
                       {13, "髙級クロス①"},
                       {15, "(A+S)*2*L"},
                       {17, "30.58"}}},
                     {3, {{9, "小計"}, {11, "11.14"}}}}));
  AddRoom(&t, kExterior,
          RoomLines("Gaib", "外壁 北面≒", "1",
                    {{1, {{12, "○"}, {13, "弾性塗料"}, {15, "12.5*6.2"}}}}));
  t.fittings_register().Edit()->Set(1, 0, "AW1");
  t.fittings_register().Edit()->Set(1, 1, "1650");
  t.fittings_register().Edit()->Set(1, 2, "1100");
  t.fittings_register().Edit()->Set(2, 0, "SD1");
  t.fittings_register().Edit()->Set(2, 1, "800");
  t.fittings_register().Edit()->Set(2, 2, "2000");
  t.work_type_memory().Edit()->Set(0, 0, "ﾌﾛｰﾘﾝｸﾞ張り t12");
  t.work_type_memory().Edit()->Set(0, 1, "木");
  t.fittings_store() = TextGrid(6, kFittingsStoreCols);
  for (int r = 0; r < 6; ++r) {
    t.fittings_store().Edit()->Set(r, 0, "Mado");
    t.fittings_store().Edit()->Set(r, 1, r == 0 ? "AW1" : "@");
  }
  t.fittings_store().Edit()->Set(0, 2, "FL5");
  t.fittings_store().Edit()->Set(0, 34, "1650");
  t.fittings_store().Edit()->Set(1, 34, "1100");
  t.fittings_store().Edit()->Set(2, 34, "1");
  t.work_type_copy() = TextGrid(2, kWorkTypeCopyCols);
  const std::vector<std::string> copy_row = {
      "Syuk",  "木工事", "ﾌﾛｰﾘﾝｸﾞ張り t12", "内部",   "床",
      "16.56", "m2",     "4,500",           "74,520", "～別途"};
  for (int c = 0; c < kWorkTypeCopyCols; ++c)
    t.work_type_copy().Edit()->Set(0, c, copy_row[c]);
  t.work_type_copy().Edit()->Set(1, 0, "Syuk");
  t.work_type_copy().Edit()->Set(1, 5, "小計");
  t.work_type_copy().Edit()->Set(1, 7, "(74,520)");
  t.unit_prices().Edit()->Set(0, 0, "木工事");
  t.unit_prices().Edit()->Set(0, 1, "ﾌﾛｰﾘﾝｸﾞ張り t12");
  t.unit_prices().Edit()->Set(0, 5, "4,500");
  TextGrid& floor = *t.interior_summaries()[0].Edit();
  floor.Set(0, 2, " 1     ");
  floor.Set(1, 2, "木");
  floor.Set(2, 2, "ﾌﾛｰﾘﾝｸﾞ張り t12");
  floor.Set(3, 1, "2");
  floor.Set(3, 2, "16.56");
  floor.Set(4, 0, "応接室～ｵｰﾅｰ＼1F");
  floor.Set(4, 1, "2");
  floor.Set(4, 2, "16.56");
  TextGrid& work = *t.interior_summaries()[kWorkTypeTable].Edit();
  work.SetRows(3);
  for (int c = 0; c < kWorkTypeTableCols; ++c) {
    work.Set(1, c, copy_row[c + 1]);
    work.Set(2, c, t.work_type_copy()->At(1, c + 1));
  }
  return t;
}

void ExpectSameTables(const Project& a, const Project& b) {
  for (int side : {kInterior, kExterior}) {
    EXPECT_EQ(SideLines(a, side), SideLines(b, side)) << side;
    EXPECT_EQ(a.rooms().names(side), b.rooms().names(side)) << side;
  }
  EXPECT_TRUE(a.fittings_register() == b.fittings_register());
  EXPECT_TRUE(a.fittings_store() == b.fittings_store());
  EXPECT_TRUE(a.work_type_memory() == b.work_type_memory());
  EXPECT_TRUE(a.work_type_copy() == b.work_type_copy());
  EXPECT_TRUE(a.unit_prices() == b.unit_prices());
  for (int n = 0; n < 6; ++n) {
    EXPECT_TRUE(a.interior_summaries()[n] == b.interior_summaries()[n]) << n;
  }
  for (int n = 0; n < 5; ++n) {
    EXPECT_TRUE(a.exterior_summaries()[n] == b.exterior_summaries()[n]) << n;
  }
  EXPECT_TRUE(a.fittings_summary() == b.fittings_summary());
}

// Runs of equal record tags: {"Data", 50}, {"Tate", 2}, ...
std::vector<std::pair<std::string, int>> TagRuns(
    const std::vector<std::string>& lines) {
  std::vector<std::pair<std::string, int>> runs;
  for (const std::string& line : lines) {
    const std::string tag = line.substr(0, 4);
    if (runs.empty() || runs.back().first != tag) runs.emplace_back(tag, 0);
    ++runs.back().second;
  }
  return runs;
}

class ProjectFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(::testing::TempDir()) /
           ("veltrano_project_file_" + std::to_string(::getpid()) + "_" +
            info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  void WriteRaw(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  // Parses lines into fresh tables.
  Project Parse(const std::vector<std::string>& lines,
                      ProjectReadResult* result = nullptr) {
    Project t = Fresh();
    ProjectReadResult r = ParseProjectLines(lines, &t, dialogs_, progress_);
    if (result != nullptr) *result = std::move(r);
    return t;
  }

  // Writes, reads back and writes again: the two files must be identical.
  Project RoundTrip(const Project& t) {
    const fs::path first = dir_ / "first.xdt";
    const fs::path second = dir_ / "second.xdt";
    std::string error;
    EXPECT_TRUE(WriteProjectFile(first, t, &error)) << error;
    Project read = Fresh();
    const ProjectReadResult result =
        ReadProjectFile(first, &read, dialogs_, progress_);
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(WriteProjectFile(second, read, &error)) << error;
    EXPECT_EQ(Bytes(first), Bytes(second));
    return read;
  }

  fs::path dir_;
  FakeDialogs dialogs_;
  RecordingProgress progress_;
};

TEST_F(ProjectFileTest, WritesEveryRecordKindInOrderWithItsFieldForm) {
  Project t = SmallProject();
  while (t.rooms().count(kExterior) > 0) t.rooms().Remove(kExterior, 0);
  // A register entry below a gap and a deleted store block are not written.
  t.fittings_register().Edit()->Set(4, 0, "WD9");
  t.fittings_store().Edit()->SetRows(13);
  for (int r = 6; r < 12; ++r) {
    t.fittings_store().Edit()->Set(r, 0, r == 6 ? "deldata" : "DelData");
    t.fittings_store().Edit()->Set(r, 1, r == 6 ? "SD1" : "@");
    t.fittings_store().Edit()->Set(r, 2, "SOP");
  }

  const std::vector<std::string> lines = BuildProjectLines(t);

  EXPECT_THAT(TagRuns(lines),
              ElementsAre(Pair("Data", 50), Pair("Tate", 2), Pair("KoSu", 1),
                          Pair("Mado", 6), Pair("Syuk", 2), Pair("Tank", 1),
                          Pair("SyNC", 6), Pair("SyGC", 5), Pair("SyTC", 1),
                          Pair("SyND", 25), Pair("SySD", 3), Pair("SyGD", 25),
                          Pair("SyTD", 5)));
  const std::vector<std::string> room = SideLines(t, kInterior);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 50), room);
  EXPECT_EQ(lines[50], "Tate,AW1,1650,1100");
  EXPECT_EQ(lines[51], "Tate,SD1,800,2000");
  EXPECT_EQ(lines[52], "KoSu,ﾌﾛｰﾘﾝｸﾞ張り t12,木," + std::string(20, ','));
  EXPECT_EQ(lines[53], "Mado,AW1,FL5," + std::string(31, ',') + "1650,");
  EXPECT_EQ(lines[54], "Mado,@," + std::string(32, ',') + "1100,");
  EXPECT_EQ(
      lines[59],
      "Syuk'木工事'ﾌﾛｰﾘﾝｸﾞ張り t12'内部'床'16.56'm2'4,500'74,520'～別途'");
  EXPECT_EQ(lines[60], "Syuk'''''小計''(74,520)'''");
  EXPECT_EQ(lines[61], "Tank'木工事'ﾌﾛｰﾘﾝｸﾞ張り t12''''4,500''");
  EXPECT_THAT(
      std::vector<std::string>(lines.begin() + 62, lines.begin() + 74),
      ElementsAre("SyNC,0,3,5,", "SyNC,1,3,5,", "SyNC,2,3,5,", "SyNC,3,3,5,",
                  "SyNC,4,3,5,", "SyNC,5,9,3,", "SyGC,0,3,5,", "SyGC,1,3,5,",
                  "SyGC,2,3,5,", "SyGC,3,3,5,", "SyGC,4,3,5,", "SyTC,5,3,5,"));
  EXPECT_EQ(lines[74], "SyND,0,【内部集計表】,ヶ所, 1     ,");
  EXPECT_EQ(lines[77], "SyND,0,部屋名＼合計,2,16.56,");
  EXPECT_EQ(lines[78], "SyND,0,応接室～ｵｰﾅｰ＼1F,2,16.56,");
  EXPECT_EQ(lines[79], "SyND,1,【内部集計表】,ヶ所,,");
  EXPECT_EQ(lines[99],
            "SySD'5'工種'項目名'区分'部位'数量'単位'単価'金額'備考'");
  EXPECT_EQ(
      lines[100],
      "SySD'5'木工事'ﾌﾛｰﾘﾝｸﾞ張り t12'内部'床'16.56'm2'4,500'74,520'～別途'");
  EXPECT_EQ(lines[102], "SyGD,0,【外部集計表】,ヶ所,,");
  EXPECT_EQ(lines[105], "SyGD,0,場所名＼合計,,,");
  EXPECT_EQ(lines[127], "SyTD,@,【建具廻り集計表】,ヶ所,,");
  EXPECT_EQ(lines.back(), "SyTD,@,,,,");
}

TEST_F(ProjectFileTest, OneNewRoomAndNoPlacesWritesFiftyDataLinesFirst) {
  Project t = Fresh();
  // A room as the rooms dialog adds it: every cell and extra empty.
  std::vector<std::string> added = {"Data,新規" + std::string(29, ',')};
  for (int i = 1; i < 50; ++i) added.push_back("Data,@" + std::string(29, ','));
  testing::AppendRoomLines(&t, kInterior, added);
  ASSERT_TRUE(t.rooms().room(kInterior, 0) == Room("新規"));

  const std::vector<std::string> lines = BuildProjectLines(t);

  ASSERT_THAT(TagRuns(lines), SizeIs(::testing::Ge(2u)));
  EXPECT_THAT(TagRuns(lines)[0], Pair("Data", 50));
  EXPECT_EQ(TagRuns(lines)[1].first, "KoSu");
  // The empty work-type copy row is written as separators only, and the
  // project reads back as it was.
  EXPECT_THAT(lines, ::testing::Contains("''''''''''"));
  ExpectSameTables(RoundTrip(t), t);
}

TEST_F(ProjectFileTest, PlacesFollowRooms) {
  const Project t = SmallProject();
  const std::vector<std::string> lines = BuildProjectLines(t);
  const auto runs = TagRuns(lines);
  ASSERT_THAT(runs, SizeIs(::testing::Ge(3u)));
  EXPECT_THAT(runs[0], Pair("Data", 50));
  EXPECT_THAT(runs[1], Pair("Gaib", 50));
  EXPECT_THAT(runs[2], Pair("Tate", 2));
  EXPECT_EQ(lines[50], SideLines(t, kExterior)[0]);
}

TEST_F(ProjectFileTest, SheetLinesComeBackAsTheyWereSpeltUntilTheirRowChanges) {
  // Tags in other letter case, rows short of fields or with fields a later
  // program added, a tag without its separator: each line is written back
  // as it was read, also after the room is renamed or another row changes.
  std::vector<std::string> lines = RoomLines("Data", "A", "1");
  lines[1] = "DATA,@,x";
  lines[2] = "data,@";
  lines[3] = "Data,@" + std::string(29, ',') + "later,fields";
  lines[4] = "Database,@,,";
  std::vector<std::string> place = {"Gaib"};
  for (int i = 1; i < 50; ++i) place.push_back("gaib,@,");
  lines.insert(lines.end(), place.begin(), place.end());
  Project t = Parse(lines);
  ASSERT_THAT(t.rooms().names(kInterior), ElementsAre("A"));
  ASSERT_THAT(t.rooms().names(kExterior), ElementsAre(""));
  const std::vector<std::string> read_back = BuildProjectLines(t);
  EXPECT_EQ(std::vector<std::string>(read_back.begin(), read_back.begin() + 100), lines);
  EXPECT_EQ(t.rooms().room(kInterior, 0).Cell(2, 1), "x");
  EXPECT_EQ(t.rooms().room(kInterior, 0).Cell(4, 28), "");

  t.rooms().Rename(kInterior, 0, "B");
  Room room = t.rooms().room(kInterior, 0);
  RoomRow row = room.row(3);
  row.SetCell(2, "y");
  room.SetRow(3, row);
  t.rooms().Store(kInterior, 0, room);
  const std::vector<std::string> written = BuildProjectLines(t);
  EXPECT_EQ(written[0], "Data,B" + lines[0].substr(6));
  EXPECT_EQ(written[1], lines[1]);
  EXPECT_EQ(written[2], "Data,@,,y");
  EXPECT_EQ(written[3], lines[3]);
  EXPECT_EQ(written[4], lines[4]);
  EXPECT_EQ(written[50], "Gaib");
}

TEST_F(ProjectFileTest, DeletedStoreBlocksAreGoneAfterTheNextSave) {
  Project t = SmallProject();
  t.fittings_store().Edit()->SetRows(12);
  for (int r = 6; r < 12; ++r) {
    t.fittings_store().Edit()->Set(r, 0, "DelData");
    t.fittings_store().Edit()->Set(r, 1, r == 6 ? "SD1" : "@");
    t.fittings_store().Edit()->Set(r, 28, "SOP");
  }
  const Project read = RoundTrip(t);
  ASSERT_EQ(read.fittings_store()->rows(), 6);
  for (int r = 0; r < 6; ++r) EXPECT_EQ(read.fittings_store()->At(r, 0), "Mado");
  EXPECT_EQ(read.fittings_store()->At(0, 1), "AW1");
}

TEST_F(ProjectFileTest, SmallProjectComesBackByteForByte) {
  const Project t = SmallProject();
  const Project read = RoundTrip(t);
  ExpectSameTables(read, t);
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(ProjectFileTest, LargestProjectComesBackByteForByte) {
  const Project t = testing::MakeLargestProject();
  ASSERT_EQ(t.rooms().count(kInterior) * kItemRows, 25000);
  ASSERT_EQ(t.rooms().count(kExterior) * kItemRows, 5000);
  ASSERT_FALSE(t.fittings_register()->At(kMaxFittings, 0).empty());
  ASSERT_EQ(t.fittings_store()->rows(), 3594);

  const Project read = RoundTrip(t);

  ExpectSameTables(read, t);
  EXPECT_THAT(read.rooms().names(kInterior), SizeIs(500));
  EXPECT_THAT(read.rooms().names(kExterior), SizeIs(100));
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(ProjectFileTest, LargestProjectIsTheSameForTheSameSeed) {
  const std::vector<std::string> a =
      BuildProjectLines(testing::MakeLargestProject(7));
  EXPECT_EQ(a, BuildProjectLines(testing::MakeLargestProject(7)));
  EXPECT_NE(a, BuildProjectLines(testing::MakeLargestProject(8)));
}

TEST_F(ProjectFileTest, LoneCarriageReturnStaysInsideItsLine) {
  Project t = Fresh();
  std::vector<std::string> lines = RoomLines("Data", "A\rB", "1");
  lines[3] = SheetLine("Data", "@", {{2, "床\r"}}, "");
  AddRoom(&t, kInterior, lines);
  const Project read = RoundTrip(t);
  EXPECT_EQ(SideLines(read, kInterior)[3], lines[3]);
  EXPECT_THAT(read.rooms().names(kInterior), ElementsAre("A\rB"));
}

TEST_F(ProjectFileTest, NewFileOpensAsAnEmptyProject) {
  const fs::path path = dir_ / "new.xdt";
  WriteRaw(path, "New\r\n");
  Project t = Fresh();
  t.unit_prices().Edit()->Set(0, 0, "left from before");  // opening replaces it
  const ProjectReadResult result =
      ReadProjectFile(path, &t, dialogs_, progress_);
  EXPECT_FALSE(result.failed);
  EXPECT_FALSE(result.had_sheet_or_fittings);
  ExpectSameTables(t, Fresh());
  EXPECT_THAT(dialogs_.shown, IsEmpty());

  // "New" in any case and empty lines are ignored alike.
  const Project also = Parse({"", "new", "NEW", ""});
  ExpectSameTables(also, Fresh());
}

TEST_F(ProjectFileTest, TagsAreReadWithoutRegardToCase) {
  ProjectReadResult result;
  std::vector<std::string> lines = RoomLines("data", "小部屋", "1");
  lines.push_back("GAIB,外部,");
  for (int i = 1; i < 50; ++i) lines.push_back("gAiB,@,");
  lines.insert(
      lines.end(),
      {"tate,aw1,800,900", "kosu,名,工,", "mado,aw1,FL5,", "syuk'木工事'名'",
       "tank'木工事'名'", "sync,0,4,6,", "synd,0,見出し,,,x,", "sysd'5'工種'",
       "sygd,1,外,", "sytd,@,建具,", "sygc,1,2,5,", "sytc,5,2,5,"});
  const Project t = Parse(lines, &result);

  EXPECT_TRUE(result.had_sheet_or_fittings);
  EXPECT_EQ(SideLines(t, kInterior)[0], lines[0]);
  EXPECT_THAT(t.rooms().names(kInterior), ElementsAre("小部屋"));
  EXPECT_THAT(t.rooms().names(kExterior), ElementsAre("外部"));
  EXPECT_EQ(t.fittings_register()->At(1, 0), "aw1");
  EXPECT_EQ(t.work_type_memory()->At(0, 1), "工");
  EXPECT_EQ(t.fittings_store()->At(0, 0), "mado");
  EXPECT_EQ(t.work_type_copy()->At(0, 0), "syuk");
  EXPECT_EQ(t.unit_prices()->At(0, 1), "名");
  EXPECT_EQ(t.interior_summaries()[0]->cols(), 4);
  EXPECT_EQ(t.interior_summaries()[0]->rows(), 6);
  EXPECT_EQ(t.interior_summaries()[0]->At(0, 0), "見出し");
  EXPECT_EQ(t.interior_summaries()[0]->At(0, 3), "x");
  EXPECT_EQ(t.interior_summaries()[kWorkTypeTable]->At(0, 0), "工種");
  EXPECT_EQ(t.exterior_summaries()[1]->At(0, 0), "外");
  EXPECT_EQ(t.exterior_summaries()[1]->cols(), 2);
  EXPECT_EQ(t.fittings_summary()->At(0, 0), "建具");
}

TEST_F(ProjectFileTest, RoomListsAreBuiltFromFirstLinesOnly) {
  std::vector<std::string> lines = RoomLines("Data", "一階 ホール", "1");
  const std::vector<std::string> second = RoomLines("Data", "二階 ﾛﾋﾞｰ", "3");
  lines.insert(lines.end(), second.begin(), second.end());
  Project t = Parse(lines);
  EXPECT_THAT(t.rooms().names(kInterior), ElementsAre("一階 ホール", "二階 ﾛﾋﾞｰ"));
  EXPECT_EQ(SideLines(t, kInterior), lines);
}

TEST_F(ProjectFileTest, ShortLastRoomIsCompletedWithEmptyRows) {
  std::vector<std::string> lines = RoomLines("Data", "一", "1");
  lines.push_back("Data,二,");
  for (int i = 0; i < 9; ++i) lines.push_back("Data,@,x,");
  const Project t = Parse(lines);
  ASSERT_EQ(t.rooms().count(kInterior) * kItemRows, 100);
  EXPECT_EQ(SideLines(t, kInterior)[59], "Data,@,x,");
  EXPECT_EQ(SideLines(t, kInterior)[60], "Data,@" + std::string(29, ','));
  EXPECT_EQ(SideLines(t, kInterior)[99], "Data,@" + std::string(29, ','));
  EXPECT_THAT(t.rooms().names(kInterior), ElementsAre("一", "二"));
}

TEST_F(ProjectFileTest, OtherRecordsAreAppliedWithoutSheetOrFittingsRecords) {
  Project source = Fresh();
  source.work_type_memory().Edit()->Set(0, 4, "クロス貼り");
  source.work_type_memory().Edit()->Set(0, 5, "内装");
  source.unit_prices().Edit()->Set(0, 1, "クロス貼り");
  source.unit_prices().Edit()->Set(0, 5, "1,200");
  source.interior_summaries()[2].Edit()->Resize(6, 4);
  source.interior_summaries()[2].Edit()->Set(2, 2, "クロス貼り");
  source.interior_summaries()[2].Edit()->Set(5, 3, "99.00");
  source.fittings_summary().Edit()->Set(4, 0, "AW1");
  const std::vector<std::string> lines = BuildProjectLines(source);

  ProjectReadResult result;
  const Project t = Parse(lines, &result);

  EXPECT_FALSE(result.had_sheet_or_fittings);
  ExpectSameTables(t, source);
}

TEST_F(ProjectFileTest, ProgressCountsSheetAndRegisterLines) {
  std::vector<std::string> lines = RoomLines("Data", "一", "1");
  const std::vector<std::string> second = RoomLines("Data", "二", "1");
  const std::vector<std::string> place = RoomLines("Gaib", "外", "1");
  lines.insert(lines.end(), second.begin(), second.end());
  lines.insert(lines.end(), place.begin(), place.end());
  lines.insert(lines.end(), {"Tate,A,1,1", "Tate,B,1,1", "Tate,C,1,1"});
  Parse(lines);
  EXPECT_THAT(progress_.shown, ElementsAre(100 + 50 + 3 + 1));
  EXPECT_EQ(progress_.steps, 150);
  EXPECT_EQ(progress_.last, 150);
  EXPECT_EQ(progress_.hidden, 1);
}

TEST_F(ProjectFileTest, TooManyRoomsAreReadUpToTheCapacityWithAMessage) {
  std::vector<std::string> lines;
  for (int room = 0; room < 501; ++room) {
    lines.push_back("Data,部屋" + std::to_string(room) + ",");
    for (int i = 1; i < 50; ++i) lines.push_back("Data,@,");
  }
  for (int place = 0; place < 102; ++place) {
    lines.push_back("Gaib,場所" + std::to_string(place) + ",");
    for (int i = 1; i < 50; ++i) lines.push_back("Gaib,@,");
  }
  ProjectReadResult result;
  const Project t = Parse(lines, &result);

  EXPECT_EQ(t.rooms().count(kInterior) * kItemRows, 25000);
  EXPECT_EQ(t.rooms().count(kExterior) * kItemRows, 5000);
  ASSERT_THAT(t.rooms().names(kInterior), SizeIs(500));
  EXPECT_EQ(t.rooms().names(kInterior).back(), "部屋499");
  EXPECT_THAT(t.rooms().names(kExterior), SizeIs(100));
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_EQ(dialogs_.shown[0].title, "チェック");
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("501部屋目以降の50行"));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("101場所目以降の100行"));
  EXPECT_THAT(result.cut, SizeIs(2));
}

TEST_F(ProjectFileTest, RegisterIsCutAtItsCapacityWithAMessage) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 600; ++i) {
    lines.push_back("Tate,F" + std::to_string(i) + ",800,2000");
  }
  lines.push_back("Tate,,800,2000");  // no code: nothing to register
  const Project t = Parse(lines);

  EXPECT_EQ(t.fittings_register()->rows(), kRegisterRows);
  EXPECT_EQ(t.fittings_register()->At(kMaxFittings, 0), "F599");
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  const std::string& text = dialogs_.shown[0].text;
  EXPECT_THAT(text, HasSubstr("符号のない建具データ1件"));
  EXPECT_THAT(text, HasSubstr("600件目以降の1件"));
}

TEST_F(ProjectFileTest, TablesPastTheFormerReaderLimitsComeBackByteForByte) {
  // The program writes all of these: a work-type table of 2002 rows writes
  // as many "Tank" lines, blocks of codes gone from the register stay in the
  // store. Once the reader cut them at 1001, 4001, 2001 and 10001 lines.
  Project t = SmallProject();
  t.work_type_memory() = TextGrid(1003, kWorkTypeMemoryCols);
  for (int r = 0; r < 1003; ++r) {
    t.work_type_memory().Edit()->Set(r, 0, "名" + std::to_string(r));
    t.work_type_memory().Edit()->Set(r, 21, "内装");
  }
  t.fittings_store() = TextGrid(668 * 6, kFittingsStoreCols);
  for (int block = 0; block < 668; ++block) {
    for (int i = 0; i < 6; ++i) {
      t.fittings_store().Edit()->Set(block * 6 + i, 0, "Mado");
      t.fittings_store().Edit()->Set(block * 6 + i, 1,
                           i == 0 ? "K" + std::to_string(block) : "@");
      t.fittings_store().Edit()->Set(block * 6 + i, 34, "1.5");
    }
  }
  t.unit_prices() = TextGrid(2002, kUnitPriceCols);
  for (int r = 0; r < 2002; ++r) {
    t.unit_prices().Edit()->Set(r, 0, "工" + std::to_string(r));
    t.unit_prices().Edit()->Set(r, 6, "備考");
  }
  TextGrid& floor = *t.interior_summaries()[0].Edit();
  floor.Resize(6000, 4);
  TextGrid& fittings = *t.fittings_summary().Edit();
  fittings.Resize(4003, 3);
  for (int r = 4; r < 6000; ++r) floor.Set(r, 3, std::to_string(r));
  for (int r = 4; r < 4003; ++r) fittings.Set(r, 0, "W" + std::to_string(r));

  const Project read = RoundTrip(t);
  ExpectSameTables(read, t);
  EXPECT_EQ(read.work_type_memory()->At(1002, 21), "内装");
  EXPECT_EQ(read.fittings_store()->At(668 * 6 - 6, 1), "K667");
  EXPECT_EQ(read.unit_prices()->At(2001, 6), "備考");
  EXPECT_EQ(read.interior_summaries()[0]->At(5999, 3), "5999");
  EXPECT_EQ(read.fittings_summary()->At(4002, 0), "W4002");
  EXPECT_THAT(dialogs_.shown, IsEmpty());
}

TEST_F(ProjectFileTest, ShortRecordsReadTheirMissingFieldsAsEmpty) {
  ProjectReadResult result;
  const Project t =
      Parse({"Data", "Tate,B1", "KoSu", "Mado", "Syuk", "Tank", "SyGC,2,4",
             "SyTC", "SyND,0", "SySD'5", "SyGD,2", "SyTD"},
            &result);

  EXPECT_EQ(SideLines(t, kInterior)[0], "Data");
  EXPECT_EQ(t.rooms().count(kInterior) * kItemRows, 50);
  EXPECT_THAT(t.rooms().names(kInterior), ElementsAre(""));
  EXPECT_EQ(t.fittings_register()->At(1, 0), "B1");
  EXPECT_EQ(t.fittings_register()->At(1, 1), "");
  EXPECT_EQ(t.work_type_memory()->rows(), 1);
  EXPECT_EQ(t.fittings_store()->At(0, 0), "Mado");
  EXPECT_EQ(t.work_type_copy()->At(0, 0), "Syuk");
  EXPECT_EQ(t.unit_prices()->rows(), 1);
  // A row line with no cells empties the row it lands on.
  EXPECT_EQ(t.interior_summaries()[0]->At(0, 0), "");
  EXPECT_EQ(t.interior_summaries()[0]->rows(), 5);
  EXPECT_EQ(t.interior_summaries()[kWorkTypeTable]->At(0, 0), "");
  // "SyGC,2,4": four columns and no rows, so its row line is left out.
  EXPECT_EQ(t.exterior_summaries()[2]->rows(), 0);
  EXPECT_EQ(t.exterior_summaries()[2]->cols(), 4);
  // "SyTC" alone: no columns and no rows.
  EXPECT_EQ(t.fittings_summary()->rows(), 0);
  EXPECT_EQ(t.fittings_summary()->cols(), 0);
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("行数を超える2行"));

  // The tables written from there read back the same.
  ExpectSameTables(Parse(BuildProjectLines(t)), t);
}

TEST_F(ProjectFileTest, SummarySizesAndContentsComeBackExactly) {
  Project t = Fresh();
  TextGrid& floor = *t.interior_summaries()[0].Edit();
  floor.Resize(7, 6);
  for (int c = 2; c < 6; ++c) {
    floor.Set(0, c, " " + std::to_string(c - 1) + "     ");
    floor.Set(1, c, c % 2 == 0 ? "内装" : "");
    floor.Set(2, c, "床材" + std::to_string(c));
    floor.Set(3, c, "12.50");
  }
  floor.Set(3, 1, "5");
  floor.Set(4, 0, "ﾘﾋﾞﾝｸﾞ");
  floor.Set(5, 0, "和室～次の間");
  floor.Set(6, 0, "ホール＼玄関");
  floor.Set(6, 5, "0.25");
  TextGrid& work = *t.interior_summaries()[kWorkTypeTable].Edit();
  work.Resize(4, kWorkTypeTableCols);
  work.Set(1, 0, "内装工事");
  work.Set(1, 6, "1,500");
  work.Set(2, 5, "小計");
  work.Set(3, 7, "(18,750)");
  t.exterior_summaries()[3].Edit()->Resize(4, 2);  // headings only, no item column
  t.fittings_summary().Edit()->Resize(8, 5);
  t.fittings_summary().Edit()->Set(0, 4, "塗装・貼物");
  t.fittings_summary().Edit()->Set(7, 4, "3.00");

  const Project read = RoundTrip(t);
  ExpectSameTables(read, t);
  EXPECT_EQ(read.interior_summaries()[0]->At(3, 0), "部屋名＼合計");
  EXPECT_EQ(read.exterior_summaries()[3]->rows(), 4);
  EXPECT_EQ(read.exterior_summaries()[3]->cols(), 2);
}

TEST_F(ProjectFileTest, SummaryTablesTakeTheSizeOfTheirSizeRecords) {
  // Table 1: 3 columns, 5 rows; seven row lines, one with a fourth field.
  // Table 0: 4 columns, 6 rows; one row line. The fittings summary has no
  // row line at all.
  const Project t =
      Parse({"SyNC,1,3,5,", "SyNC,0,4,6,", "SyTC,5,2,3,", "SyND,1,a,,,",
             "SyND,1,b,,,", "SyND,1,c,,,", "SyND,1,d,,,x,", "SyND,1,e,,,",
             "SyND,1,f,,,", "SyND,1,g,,,", "SyND,0,見出し,,,"});
  const TextGrid& g = t.interior_summaries()[1];
  EXPECT_EQ(g.rows(), 5);
  EXPECT_EQ(g.cols(), 3);
  EXPECT_EQ(g.At(4, 0), "e");
  EXPECT_EQ(g.At(3, 3), "");
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("行数を超える2行"));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("列数を超える項目のある1行"));

  const TextGrid& floor = t.interior_summaries()[0];
  EXPECT_EQ(floor.rows(), 6);
  EXPECT_EQ(floor.cols(), 4);
  EXPECT_EQ(floor.At(0, 0), "見出し");
  // Missing rows are empty, not the headings of the laid-out table.
  EXPECT_EQ(floor.At(3, 0), "");
  EXPECT_EQ(t.fittings_summary()->rows(), 3);
  EXPECT_EQ(t.fittings_summary()->At(0, 0), "");

  // The declared size is written back.
  const std::vector<std::string> written = BuildProjectLines(t);
  const auto count = [&](std::string_view head) {
    return std::count_if(written.begin(), written.end(),
                         [&](const auto& l) { return l.starts_with(head); });
  };
  EXPECT_EQ(count("SyND,0,"), 6);
  EXPECT_EQ(count("SyND,1,"), 5);
  EXPECT_EQ(count("SyTD,"), 3);
  EXPECT_THAT(written, Contains("SyND,0,,,,,"));
  EXPECT_THAT(written, Contains("SyTD,@,,,"));
}

TEST_F(ProjectFileTest, SummaryLinesNamingNoTableAreCountedInOneMessage) {
  ProjectReadResult result;
  const Project t =
      Parse({"SyND,7,x,", "SyND,5,x,", "SyGD,5,x,", "SySD'3'x'", "SyND,,x,",
             "SyNC,9,3,3,", "SyGC,-1,3,3,", "SyND,2.5,x,", "SyND,0,ok,"},
            &result);
  EXPECT_EQ(result.unplaced_summary_lines, 8);
  EXPECT_EQ(t.interior_summaries()[0]->At(0, 0), "ok");
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_EQ(dialogs_.shown[0].title, "チェック");
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("8行"));
}

TEST_F(ProjectFileTest, SizeLinesAloneAllocateNothing) {
  // Without lazy storage the first two lines would take gigabytes.
  const Project t =
      Parse({"SyNC,1,40000,800,", "SyNC,0,99999999,99999999,", "SyND,1,a,b,",
             "SyGC,0,-5,-7,", "SyTC,5,1e9,abc,", "SyNC,5,12x,3y,"});
  EXPECT_EQ(t.interior_summaries()[1]->rows(), 800);
  EXPECT_EQ(t.interior_summaries()[1]->cols(), 40000);
  EXPECT_EQ(t.interior_summaries()[1]->At(0, 1), "b");
  // A size whose lines could not be written back within bounds is shrunk,
  // with a notice.
  const TextGrid& huge = t.interior_summaries()[0];
  EXPECT_LE(static_cast<double>(huge.rows()) * (huge.cols() + 12), 32 << 20);
  EXPECT_GT(huge.cols(), 0);
  EXPECT_EQ(t.exterior_summaries()[0]->rows(), 0);
  EXPECT_EQ(t.exterior_summaries()[0]->cols(), 0);
  EXPECT_EQ(t.fittings_summary()->rows(), 0);
  EXPECT_EQ(t.fittings_summary()->cols(), 1);
  EXPECT_EQ(t.interior_summaries()[kWorkTypeTable]->rows(), 3);
  EXPECT_EQ(t.interior_summaries()[kWorkTypeTable]->cols(), 12);
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("99999999行×99999999列"));
}

TEST_F(ProjectFileTest, CodelessRegisterLinesLeaveNoGap) {
  const Project t = Parse({"Tate,A,1,2", "Tate,,3,4", "Tate,B,5,6"});
  EXPECT_EQ(t.fittings_register()->At(1, 0), "A");
  EXPECT_EQ(t.fittings_register()->At(2, 0), "B");
  EXPECT_EQ(t.fittings_register()->At(2, 2), "6");
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_THAT(dialogs_.shown[0].text, HasSubstr("符号のない建具データ1件"));
}

TEST_F(ProjectFileTest, DamagedFilesAreNoticed) {
  Project source = Fresh();
  AddRoom(&source, kInterior, RoomLines("Data", "和室", "1"));
  AddRoom(&source, kInterior, RoomLines("Data", "洋室", "2"));
  const std::vector<std::string> lines = BuildProjectLines(source);
  const std::string bytes = FileBytes(lines);
  const fs::path path = dir_ / "damaged.xdt";

  // A byte-order mark in front of the first line is skipped: the rooms keep
  // their names and sheets, and nothing is said.
  WriteRaw(path, "\xEF\xBB\xBF" + bytes);
  Project t = Fresh();
  ProjectReadResult result = ReadProjectFile(path, &t, dialogs_, progress_);
  EXPECT_FALSE(result.failed);
  EXPECT_FALSE(result.damaged);
  EXPECT_THAT(t.rooms().names(kInterior), ElementsAre("和室", "洋室"));
  EXPECT_EQ(SideLines(t, kInterior), SideLines(source, kInterior));
  EXPECT_THAT(dialogs_.Take(), IsEmpty());

  // A last line without its line end: the file may have been cut short.
  WriteRaw(path, bytes.substr(0, bytes.size() - 5));
  t = Fresh();
  result = ReadProjectFile(path, &t, dialogs_, progress_);
  EXPECT_FALSE(result.failed);
  EXPECT_TRUE(result.damaged);
  std::vector<testing::ShownDialog> shown = dialogs_.Take();
  ASSERT_THAT(shown, SizeIs(1));
  EXPECT_THAT(shown[0].text, HasSubstr("途中で切れている可能性"));
  EXPECT_THAT(shown[0].text, HasSubstr("最後に読み込んだ部屋：「洋室」（2部屋目）"));

  // Cut inside the sheet lines: the short last room is completed, and the
  // notice names it.
  WriteRaw(path, FileBytes(std::vector<std::string>(lines.begin(),
                                                    lines.begin() + 52)) +
                     "Data,@,,");
  t = Fresh();
  result = ReadProjectFile(path, &t, dialogs_, progress_);
  EXPECT_FALSE(result.failed);
  EXPECT_TRUE(result.damaged);
  EXPECT_EQ(t.rooms().count(kInterior) * kItemRows, 100);
  EXPECT_THAT(t.rooms().names(kInterior), ElementsAre("和室", "洋室"));
  shown = dialogs_.Take();
  ASSERT_THAT(shown, SizeIs(1));
  EXPECT_THAT(shown[0].text, HasSubstr("破損している可能性"));
  EXPECT_THAT(shown[0].text, HasSubstr("「洋室」（2部屋目）"));
}

TEST_F(ProjectFileTest, FilesCutAtALineEndAreDamaged) {
  const fs::path whole = dir_ / "whole.xdt";
  testing::WriteLargestProjectFile(whole);
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(whole, &lines, &error)) << error;
  const auto first = [&](std::size_t n) {
    return FileBytes(std::vector<std::string>(lines.begin(),
                                              lines.begin() + n));
  };
  const fs::path path = dir_ / "cut.xdt";
  struct Case {
    std::size_t lines;
    std::string named;  // the last room or place the notice names
  };
  const std::size_t gaib = 25000;
  const std::size_t summaries = static_cast<std::size_t>(
      std::find_if(lines.begin(), lines.end(),
                   [](const std::string& l) { return l.starts_with("SyND"); }) -
      lines.begin());
  for (const Case& c : {
           // Inside the 21st room, as `head -n 1025` cuts it.
           Case{1025, "部屋：「" + std::string(FieldOf(lines[1000], 1)) +
                          "」（21部屋目）"},
           // At the end of a room: every room is whole, the rest is gone.
           Case{1000, "（20部屋目）"},
           // Inside the places.
           Case{gaib + 130, "（3場所目）"},
           // Inside the summary rows, after every size record.
           Case{summaries + 3, "（100場所目）"},
       }) {
    SCOPED_TRACE(c.lines);
    WriteRaw(path, first(c.lines));
    Project t = Fresh();
    const ProjectReadResult result =
        ReadProjectFile(path, &t, dialogs_, progress_);
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(result.damaged);
    const std::vector<testing::ShownDialog> shown = dialogs_.Take();
    ASSERT_THAT(shown, SizeIs(1));
    EXPECT_THAT(shown[0].text, StartsWith("ファイルが途中で切れているか"));
    EXPECT_THAT(shown[0].text, HasSubstr(c.named));
  }

  // The whole file is not.
  Project t = Fresh();
  EXPECT_FALSE(ReadProjectFile(whole, &t, dialogs_, progress_).damaged);
  EXPECT_THAT(dialogs_.Take(), IsEmpty());
}

TEST_F(ProjectFileTest, FilesWithoutProjectRecordsAreRefused) {
  const fs::path path = dir_ / "foreign.xdt";
  std::string random(4096, '\0');
  unsigned state = 12345;
  for (char& c : random) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  // "Data,部\r\n" in UTF-16 with its byte-order mark.
  static constexpr char kUtf16[] = "\xFF\xFE" "D\0a\0t\0a\0,\0\xE8\x90\r\0\n\0";
  const std::string utf16(kUtf16, sizeof(kUtf16) - 1);
  for (const std::string& bytes :
       {std::string(), random, std::string(5000, '\0'), utf16,
        std::string("\r\n\r\n"), std::string("memo,Data,\r\n")}) {
    WriteRaw(path, bytes);
    Project t = Fresh();
    t.unit_prices().Edit()->Set(0, 0, "kept");
    const ProjectReadResult result =
        ReadProjectFile(path, &t, dialogs_, progress_);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(t.unit_prices()->At(0, 0), "kept");
    const std::vector<testing::ShownDialog> shown = dialogs_.Take();
    ASSERT_THAT(shown, SizeIs(1));
    EXPECT_EQ(shown[0].text, "物件データではありません。\n" + PathText(path));
  }

  // UTF-8 text from another program: read, with its own notice. CP932 text
  // that happens to hold valid UTF-8 pieces is not taken for it.
  Project source = Fresh();
  AddRoom(&source, kInterior, RoomLines("Data", "和室", "1"));
  std::string utf8;
  for (const std::string& line : BuildProjectLines(source)) {
    utf8 += line + "\r\n";
  }
  WriteRaw(path, utf8);
  Project t = Fresh();
  ProjectReadResult result = ReadProjectFile(path, &t, dialogs_, progress_);
  EXPECT_FALSE(result.failed);
  std::vector<testing::ShownDialog> shown = dialogs_.Take();
  ASSERT_THAT(shown, SizeIs(1));
  EXPECT_THAT(shown[0].text, HasSubstr("UTF-8"));

  source = Fresh();
  AddRoom(&source, kInterior, RoomLines("Data", "縺ゅ≠", "1"));
  WriteRaw(path, FileBytes(BuildProjectLines(source)));
  t = Fresh();
  result = ReadProjectFile(path, &t, dialogs_, progress_);
  EXPECT_FALSE(result.failed);
  EXPECT_THAT(dialogs_.Take(), IsEmpty());
}

TEST_F(ProjectFileTest, WorkTypeMemoryIsBoundedByTheMostAProjectMakes) {
  // One row per item column: every item cell of 500 rooms and 100 places in
  // five parts, and every kind of 599 fittings in five categories.
  constexpr int kMost = 600 * 50 * 5 + 599 * 6 * 5;
  std::vector<std::string> lines(kMost + 3, "KoSu,項目,工種,");
  lines.back() = "KoSu,最後,工種,";
  ProjectReadResult result;
  const Project t = Parse(lines, &result);
  EXPECT_EQ(t.work_type_memory()->rows(), kMost);
  EXPECT_EQ(t.work_type_memory()->At(kMost - 1, 0), "項目");
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_THAT(dialogs_.shown[0].text,
              HasSubstr(std::to_string(kMost + 1) + "行目以降の3行"));
}

TEST_F(ProjectFileTest, HugeDeclaredSummariesResaveIntoAReadableFile) {
  // Twelve size records of 1000 x 33000 in a file of a few hundred bytes.
  std::string small;
  for (int n = 0; n <= 5; ++n) small += "SyNC," + std::to_string(n) + ",33000,1000,\r\n";
  for (int n = 0; n <= 4; ++n) small += "SyGC," + std::to_string(n) + ",33000,1000,\r\n";
  small += "SyTC,5,33000,1000,\r\n";
  const fs::path path = dir_ / "sizes.xdt";
  WriteRaw(path, small);
  Project t = Fresh();
  ASSERT_FALSE(ReadProjectFile(path, &t, dialogs_, progress_).failed);
  ASSERT_THAT(dialogs_.shown, SizeIs(1));
  EXPECT_THAT(dialogs_.Take()[0].text, HasSubstr("縮小"));

  const fs::path resaved = dir_ / "resaved.xdt";
  std::string error;
  ASSERT_TRUE(WriteProjectFile(resaved, t, &error)) << error;
  EXPECT_LE(fs::file_size(resaved), kMaxTextFileBytes);
  Project back = Fresh();
  const ProjectReadResult result =
      ReadProjectFile(resaved, &back, dialogs_, progress_);
  EXPECT_FALSE(result.failed);
  EXPECT_FALSE(result.damaged);
  EXPECT_THAT(dialogs_.Take(), IsEmpty());
  for (int n = 0; n <= 5; ++n) {
    EXPECT_EQ(back.interior_summaries()[n]->rows(), t.interior_summaries()[n]->rows());
    EXPECT_EQ(back.interior_summaries()[n]->cols(), t.interior_summaries()[n]->cols());
  }
}

TEST_F(ProjectFileTest, AProjectTheReaderWouldRefuseIsNeverWritten) {
  const fs::path path = dir_ / "big.xdt";
  WriteRaw(path, "New\r\n");
  Project t = Fresh();
  AddRoom(&t, kInterior, RoomLines("Data", "巨大", "1"));
  Room huge = t.rooms().room(kInterior, 0);
  RoomRow row = huge.row(2);
  row.SetCell(1, std::string(kMaxTextFileBytes, 'x'));
  huge.SetRow(2, row);
  t.rooms().Store(kInterior, 0, huge);
  std::string error;
  EXPECT_FALSE(WriteProjectFile(path, t, &error));
  EXPECT_THAT(error, HasSubstr("大きすぎる"));
  EXPECT_EQ(Bytes(path), "New\r\n");
}

TEST_F(ProjectFileTest, ACellHoldingItsRecordsSeparatorIsNeverWritten) {
  // Read back, the cell would split its record: the save is refused with
  // the text named, and the file stays as it was. A separator of the other
  // kind of record is written as it stands.
  const fs::path path = dir_ / "separator.xdt";
  struct Case {
    std::string what;
    void (*put)(Project*);
    std::string text;
  };
  const std::vector<Case> cases = {
      {"remark", [](Project* t) {
         t->interior_summaries()[kWorkTypeTable].Edit()->Set(1, 8, "O'Neil");
       }, "工種別集計表の「O'Neil」に区切りの文字「'」"},
      {"unit price", [](Project* t) {
         t->unit_prices().Edit()->Set(0, 6, "O'Neil");
       }, "工種別集計表の単価の「O'Neil」"},
      {"fitting", [](Project* t) {
         t->fittings_register().Edit()->Set(1, 1, "1,800");
       }, "建具リストの「1,800」に区切りの文字「,」"},
      {"summary", [](Project* t) {
         t->interior_summaries()[0].Edit()->Set(2, 2, "a,b");
       }, "内部集計表の「a,b」"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteRaw(path, "New\r\n");
    Project t = SmallProject();
    c.put(&t);
    std::string error;
    EXPECT_FALSE(WriteProjectFile(path, t, &error));
    EXPECT_THAT(error, HasSubstr(c.text));
    EXPECT_THAT(error, HasSubstr("保存できません"));
    EXPECT_EQ(Bytes(path), "New\r\n");
  }
  Project t = SmallProject();
  t.interior_summaries()[kWorkTypeTable].Edit()->Set(1, 6, "1,500");
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path, t, &error)) << error;
}

TEST_F(ProjectFileTest, SheetLinesOutOfStepWithTheRoomsFailTheReading) {
  const std::vector<std::string> first = RoomLines("Data", "和室", "1");
  const std::vector<std::string> second = RoomLines("Data", "洋室", "2");
  const std::vector<std::string> place = RoomLines("Gaib", "北面", "1");
  struct Case {
    std::string what;
    std::vector<std::string> lines;
    std::string named;
    std::string line;
  };
  std::vector<Case> cases;
  // A name line followed by 49 "@" lines... and one "@" line too few.
  std::vector<std::string> lines(first.begin(), first.end() - 1);
  lines.insert(lines.end(), second.begin(), second.end());
  cases.push_back({"short room", lines, "部屋「和室」", "50"});
  // One line too many.
  lines.assign(first.begin(), first.end());
  lines.push_back(first.back());
  lines.insert(lines.end(), second.begin(), second.end());
  cases.push_back({"long room", lines, "部屋「和室」", "51"});
  // The first line lost.
  lines.assign(first.begin() + 1, first.end());
  lines.insert(lines.end(), second.begin(), second.end());
  cases.push_back({"no first name", lines, "最初の部屋", "1"});
  // Places are checked alike.
  lines = first;
  lines.insert(lines.end(), place.begin(), place.end() - 2);
  lines.insert(lines.end(), place.begin(), place.end());
  cases.push_back({"short place", lines, "場所「北面」", "49"});

  for (const Case& c : cases) {
    const fs::path path = dir_ / "out_of_step.xdt";
    WriteRaw(path, FileBytes(c.lines));
    Project t = Fresh();
    const ProjectReadResult result =
        ReadProjectFile(path, &t, dialogs_, progress_);
    EXPECT_TRUE(result.failed) << c.what;
    ExpectSameTables(t, Fresh());
    const std::vector<testing::ShownDialog> shown = dialogs_.Take();
    ASSERT_THAT(shown, SizeIs(2)) << c.what;
    EXPECT_EQ(shown[0].title, "チェック");
    EXPECT_THAT(shown[0].text, StartsWith("エラー(SiageHiroi:FileOpen)4"));
    EXPECT_THAT(shown[0].text, HasSubstr(c.named)) << c.what;
    EXPECT_EQ(shown[1].title, "iチェック");
    EXPECT_EQ(shown[1].text, c.line) << c.what;
  }
}

TEST_F(ProjectFileTest, FilesThatAreNotRegularOrTooLargeAreRefused) {
  const fs::path fifo = dir_ / "fifo.xdt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path sparse = dir_ / "sparse.xdt";
  WriteRaw(sparse, "New\r\n");
  fs::resize_file(sparse, std::uintmax_t{100} << 30);
  fs::create_symlink("/dev/zero", dir_ / "zero.xdt");
  ::alarm(20);  // a FIFO once hung the reading
  for (const fs::path& path : {fifo, sparse, dir_ / "zero.xdt"}) {
    Project t = Fresh();
    const ProjectReadResult result =
        ReadProjectFile(path, &t, dialogs_, progress_);
    EXPECT_TRUE(result.failed) << path;
    const std::vector<testing::ShownDialog> shown = dialogs_.Take();
    ASSERT_THAT(shown, SizeIs(2)) << path;
    EXPECT_THAT(shown[0].text, StartsWith("エラー(SiageHiroi:FileOpen)1"));
    EXPECT_THAT(shown[0].text, HasSubstr(path.filename().string()));
    ExpectSameTables(t, Fresh());
  }
  ::alarm(0);
}

TEST_F(ProjectFileTest, OpeningRemovesTemporariesOfDeadSaves) {
  const fs::path path = dir_ / "物件.xdt";
  std::string error;
  ASSERT_TRUE(WriteProjectFile(path, SmallProject(), &error)) << error;
  const pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  const fs::path leftover = dir_ / (TemporaryNamePrefix(path, dead) + "0");
  WriteRaw(leftover, "Data,半分");
  Project t = Fresh();
  EXPECT_FALSE(ReadProjectFile(path, &t, dialogs_, progress_).failed);
  EXPECT_FALSE(fs::exists(leftover));
}

TEST_F(ProjectFileTest, UnreadableFileShowsBothFailureMessages) {
  for (const fs::path& path : {dir_ / "missing.xdt", dir_}) {
    Project t = Fresh();
    const ProjectReadResult result =
        ReadProjectFile(path, &t, dialogs_, progress_);
    EXPECT_TRUE(result.failed) << path;
    EXPECT_FALSE(result.error.empty());
    const std::vector<testing::ShownDialog> shown = dialogs_.Take();
    ASSERT_THAT(shown, SizeIs(2)) << path;
    EXPECT_EQ(shown[0].title, "チェック");
    EXPECT_THAT(shown[0].text, StartsWith("エラー(SiageHiroi:FileOpen)1"));
    EXPECT_EQ(shown[1].title, "iチェック");
    EXPECT_EQ(shown[1].text, "0");
    ExpectSameTables(t, Fresh());
  }
  EXPECT_THAT(progress_.shown, IsEmpty());
}

TEST_F(ProjectFileTest, FailedWriteLeavesTheOldFile) {
  const fs::path path = dir_ / "old.xdt";
  WriteRaw(path, "New\r\n");
  Project t = SmallProject();
  Room room = t.rooms().room(kInterior, 0);
  RoomRow row = room.row(6);
  row.SetCell(1, "\xEF\xBF\xBF");  // not in CP932
  room.SetRow(6, row);
  t.rooms().Store(kInterior, 0, room);
  std::string error;
  EXPECT_FALSE(WriteProjectFile(path, t, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Bytes(path), "New\r\n");
  EXPECT_FALSE(WriteProjectFile(dir_ / "no such folder" / "x.xdt", t, &error));
}

}  // namespace
}  // namespace veltrano
