#include "takeoff/templates.h"

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
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
using ::testing::IsEmpty;
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

  // Runs `action` while the template folder cannot be listed, and leaves it
  // so for the rest of the test where that can be done: for a user by
  // taking the folder's read permission (mode 0300, still searchable and
  // writable); for root, whom permissions do not stop, by leaving no file
  // descriptor free to open it while `action` runs.
  // For root under the sanitizers the descriptors cannot be taken: their
  // runtime opens a pipe to check each virtual call.
  static bool FolderCanBeMadeUnlistable() {
#if defined(__SANITIZE_ADDRESS__)
    return ::geteuid() != 0;
#else
    return true;
#endif
  }
  void WhileTheFolderCannotBeListed(const std::function<void()>& action) {
    const fs::path list = w->folders().list;
    if (::geteuid() != 0) {
      fs::permissions(list, fs::perms::owner_write | fs::perms::owner_exec);
      unreadable_ = list;
      action();
      return;
    }
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    const int lowest_free = ::dup(0);
    ASSERT_GE(lowest_free, 0);
    ::close(lowest_free);
    rlimit tight = old;
    tight.rlim_cur = static_cast<rlim_t>(lowest_free);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    action();
    ::setrlimit(RLIMIT_NOFILE, &old);
  }
  void TearDown() override {
    if (!unreadable_.empty()) {
      fs::permissions(unreadable_, fs::perms::owner_all);
    }
    WorkspaceTest::TearDown();
  }

  fs::path unreadable_;
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

// --- Saving over a template ---------------------------------------------

// Whether "保存" replaces a template is asked of its file, not of the name
// list: a template folder that cannot be listed leaves the list empty, and
// the user is told so, but a template is still not replaced unasked.
TEST_F(TemplatesTest, NoTemplateIsReplacedUnaskedWhenTheFolderIsUnlistable) {
  if (!FolderCanBeMadeUnlistable()) {
    GTEST_SKIP() << "root under the sanitizers: run in the normal build";
  }
  Put(ListFile("事務所"), TemplateBytes({"old,,,,,"}));
  const std::string before = Get(ListFile("事務所"));
  WhileTheFolderCannotBeListed([&] { t().Open(); });
  EXPECT_THAT(t().names(), IsEmpty());
  std::vector<ShownDialog> shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "確認");
  EXPECT_THAT(shown[0].text,
              HasSubstr("項目リストのフォルダを読めないため、"
                        "登録済みのリスト名を表示できません。"));

  t().SetName("事務所");
  t().ClickCell(1, 1);
  t().EditorTextChanged("new");
  dialogs.answers.push_back(Answer::kCancel);
  t().Save();
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "上書きしますか？", true}}));
  EXPECT_EQ(Get(ListFile("事務所")), before);

  dialogs.answers.push_back(Answer::kOk);
  t().Save();
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "上書きしますか？", true},
                                      {"確認", "保存しました。"}}));
  EXPECT_EQ(Get(ListFile("事務所")).substr(0, 8), "new,,,,,");
  EXPECT_THAT(t().names(), ElementsAre("事務所"));
}

// Names compare without regard to letter case: saving "SHOP" where
// "shop.klt" is asks first, then replaces that very file.
TEST_F(TemplatesTest, ATemplateUnderAnotherLetterCaseIsTheSameTemplate) {
  Put(ListFile("shop"), TemplateBytes({"old,,,,,"}));
  t().Open();
  t().SetName("SHOP");
  dialogs.answers.push_back(Answer::kCancel);
  t().Save();
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "上書きしますか？", true}}));
  dialogs.answers.push_back(Answer::kOk);
  t().Save();
  EXPECT_EQ(Get(ListFile("shop")), TemplateBytes({}));
  EXPECT_FALSE(fs::exists(ListFile("SHOP")));
  // A name of no file saves without a question.
  dialogs.Take();
  t().SetName("new");
  t().Save();
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{{"確認", "保存しました。"}}));
}

}  // namespace
}  // namespace veltrano
