#include "takeoff/templates.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::veltrano::testing::ShownDialog;

class TemplatesTest : public testing::WorkspaceTest {
 protected:
  fs::path ListFile(const std::string& name) const {
    return w->folders().list / (name + ".klt");
  }
  void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string Get(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Lines 1-200 of a template: `first` lines, then empty rows.
  static std::string TemplateBytes(const std::vector<std::string>& first) {
    std::string bytes;
    for (std::size_t n = 0; n < kTemplateRows; ++n) {
      bytes += (n < first.size() ? first[n] : ",,,,,") + "\r\n";
    }
    return bytes;
  }
  std::vector<std::string> Row(int row) {
    const TextGrid& table = w->item_templates().table();
    std::vector<std::string> cells;
    for (int c = 1; c <= kTemplateParts; ++c) cells.push_back(table.At(row, c));
    return cells;
  }

  ItemTemplates& t() { return w->item_templates(); }
};

// --- Bytes that are not CP932 and files too large --------------------------

// Such bytes come back as "〓", so the template can be saved again, and the
// user learns which lines held them.
TEST_F(TemplatesTest, BytesThatAreNotCp932AreReadAsAVisibleMark) {
  // 0x81 0x2C: a lead byte before a comma; 0xFF and 0xA0 begin nothing.
  Put(ListFile("壊れ"), TemplateBytes({",,,,,", "\x81,\xFF\xA0,,,,",
                                       ",,,,,", ",,,\x8F\xB0\xFD,,"}));
  t().Open();
  t().SetName("壊れ");
  t().Load();
  EXPECT_THAT(Row(2), ElementsAre("〓", "〓〓", "", "", ""));
  EXPECT_THAT(Row(4), ElementsAre("", "", "", "床〓", ""));
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"確認",
                 "項目リスト「壊れ」の 2、4 行目に Shift-JIS "
                 "の文字として読めないバイトがあったため、「〓」に置き換えまし"
                 "た。"}}));

  dialogs.answers.push_back(Answer::kOk);
  t().Save();
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "上書きしますか？", true},
                                      {"確認", "保存しました。"}}));
  const std::string saved = Get(ListFile("壊れ"));
  EXPECT_EQ(saved.substr(0, 27),
            ",,,,,\r\n\x81\xAC,\x81\xAC\x81\xAC,,,,\r\n,,,,,\r\n");

  // The item copy panel reads the template the same way.
  Put(ListFile("壊れ"), TemplateBytes({"\xFE,,,,,"}));
  w->item_copy().ChooseSource(2);
  w->item_copy().ChooseEntry("壊れ");
  EXPECT_THAT(w->item_copy().source_list(0), ElementsAre("〓"));
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"確認",
                 "項目リスト「壊れ」の 1 行目に Shift-JIS "
                 "の文字として読めないバイトがあったため、「〓」に置き換えまし"
                 "た。"}}));
}

// Only the first megabyte of a template is read: a line far longer than
// any template holds gives the items before the cut; the rest of the file
// is left unread.
TEST_F(TemplatesTest, ALargeTemplateIsReadOnlyAtItsStart) {
  std::string bytes = "A,,,,,\r\n,B,,,,\r\nC,D," +
                      std::string(kMaxTemplateFileBytes, 'z') + ",E,,\r\n";
  for (int n = 0; n < 1000; ++n) bytes += "F,,,,,\r\n";
  Put(ListFile("大"), bytes);
  std::vector<TemplateRow> rows;
  std::string error;
  TemplateFileNotes notes;
  ASSERT_TRUE(ReadTemplateFile(ListFile("大"), &rows, &error, &notes))
      << error;
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kTemplateRows));
  EXPECT_THAT(rows[0], ElementsAre("A", "", "", "", ""));
  EXPECT_THAT(rows[1], ElementsAre("", "B", "", "", ""));
  EXPECT_THAT(rows[2], ElementsAre("C", "D", "", "", ""));
  EXPECT_THAT(rows[3], ElementsAre("", "", "", "", ""));
  EXPECT_TRUE(notes.too_large);
  EXPECT_EQ(TemplateFileNotice("大", notes),
            "項目リスト「大」は 1 MB を超えているため、先頭の 1 MB "
            "だけを読み込みました。");

  // A file of more than 200 lines, within the bound, stops at line 200
  // without notice.
  Put(ListFile("長"), TemplateBytes({}) + "X,,,,,\r\n");
  ASSERT_TRUE(ReadTemplateFile(ListFile("長"), &rows, &error, &notes))
      << error;
  EXPECT_EQ(rows.size(), static_cast<std::size_t>(kTemplateRows));
  EXPECT_EQ(TemplateFileNotice("長", notes), "");
}

}  // namespace
}  // namespace veltrano
