#include "cli/scenario.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "gtest/gtest.h"
#include "config/folders.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

// Each test replays scripts on a base folder of its own.
class ScenarioRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    root_ = fs::path(::testing::TempDir()) /
            ("veltrano_scenario_" + std::to_string(::getpid()) + "_" +
             std::to_string(counter++));
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  // Runs `script` on a fresh runner and a fresh base folder; keeps what it
  // wrote and why it failed.
  bool Run(const std::string& script) {
    out_.str("");
    base_ = root_ / ("run" + std::to_string(++runs_)) / "Veltrano";
    ScenarioRunner runner(FoldersUnder(base_, root_ / "home"), out_);
    const bool passed = runner.Run(script, "t.vts");
    failure_ = runner.failure();
    line_ = runner.failure_line();
    return passed;
  }

  std::string Bytes(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path root_;
  fs::path base_;
  int runs_ = 0;
  std::ostringstream out_;
  std::string failure_;
  int line_ = 0;
};

// A project with one room, made through the toolbar and the rooms dialog.
constexpr char kProjectWithRoom[] =
    "new\n"
    "choose-file p.xdt\n"
    "name-dialog create\n"
    "rooms open\n"
    "rooms add 居間\n"
    "rooms close\n";

TEST_F(ScenarioRunnerTest, PassingScriptWritesEveryDialogAsItComes) {
  ASSERT_TRUE(Run(std::string(kProjectWithRoom) +
                  "# a comment, then a blank line\n"
                  "\n"
                  "fill 1 3 2*3   # trailing comment\n"
                  "expect cells 1 3 2*3 \"\" 6.00\n"
                  "save\n"
                  "expect message 確認 上書きしました。\n"
                  "expect no-message\n"
                  "rooms open\n"
                  "rooms select 居間\n"
                  "answer ok\n"
                  "rooms delete\n"
                  "expect question 確認 居間を削除します。\n"
                  "expect message 確認 削除しました。\n"
                  "expect no-message\n"))
      << failure_;
  EXPECT_EQ(failure_, "");
  EXPECT_EQ(line_, 0);
  EXPECT_EQ(out_.str(),
            "file-dialog 新規物件作成 -> p.xdt\n"
            "message 確認: 上書きしました。\n"
            "question 確認: 居間を削除します。 -> ok\n"
            "message 確認: 削除しました。\n");
}

TEST_F(ScenarioRunnerTest, FailedExpectationStopsTheRunAtItsLine) {
  EXPECT_FALSE(Run(std::string(kProjectWithRoom) +  // lines 1-6
                   "fill 1 3 2*3\n"                 // 7
                   "expect cell 1 5 6.01\n"         // 8
                   "fill 2 3 1\n"));                // never run
  EXPECT_EQ(line_, 8);
  EXPECT_EQ(failure_, "t.vts:8: expected cell 1,5 \"6.01\", found \"6.00\"");

  // Every kind of expectation names what it expected and what it found.
  EXPECT_FALSE(Run("expect project 現場\n"));
  EXPECT_EQ(failure_,
            "t.vts:1: expected the project name \"現場\", found \"\"");
  EXPECT_FALSE(Run(std::string(kProjectWithRoom) + "expect list 台所 居間\n"));
  EXPECT_EQ(failure_,
            "t.vts:7: expected the list \"台所\" \"居間\", found \"居間\"");
  EXPECT_FALSE(Run("\n\nexpect message 確認 上書きしました。\n"));
  EXPECT_EQ(
      failure_,
      "t.vts:3: expected message 確認: 上書きしました。 since the last check, "
      "found nothing");
  EXPECT_FALSE(
      Run(std::string(kProjectWithRoom) + "expect file p.xdt lines 2\n"));
  EXPECT_EQ(line_, 7);
  EXPECT_FALSE(Run("expect file nothing.xdt exists\n"));
  EXPECT_EQ(line_, 1);
}

TEST_F(ScenarioRunnerTest, UnusableLinesFail) {
  struct Case {
    std::string script;
    int line;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"mode 0\nfrobnicate 1\n", 2, "unknown command: frobnicate"},
      {"expect nonsense 1\n", 1, "unknown command: expect nonsense"},
      {"rooms\n", 1, "rooms needs a second word"},
      {"mode 6\n", 1, "the mode must be a number from 0 to 5"},
      {"mode\n", 1, "usage: mode 0..5"},
      {"expect cell 1 x \"\"\n", 1, "the column must be a number"},
      {"type abc\n", 1, "the cell editor is not open"},
      {"expect editor \"abc\n", 1, "a quoted text is not closed"},
      {"expect editor \"a\\qb\"\n", 1, "unknown escape"},
      {"expect editor a\"b\n", 1, "a quote inside a word"},
      {"answer maybe\n", 1, "answer takes ok, cancel, yes or no"},
      {"choose-file ../outside.xdt\n", 1, "without \"..\""},
      {"choose-file /tmp/outside.xdt\n", 1, "without \"..\""},
      {"| stray block line\n", 1, "belong after write-file only"},
      {"mode 0\n| stray block line\n", 2, "belong after write-file only"},
      {"import execute\n", 1, "the settings panel is not shown"},
      {"mode 2\nroom 居間\n", 2, "the takeoff panel is not shown"},
      {"rooms add 居間\n", 1, "the rooms dialog is not open"},
      {"name-dialog create\n", 1, "the name dialog is not open"},
      {"expect print-dialog opened\n", 1, "print has not been clicked"},
      {std::string(kProjectWithRoom) + "room 台所\n", 7,
       "no \"台所\" in the list"},
      {std::string(kProjectWithRoom) + "rooms open\nsave\n", 8,
       "the rooms dialog is open"},
      {std::string(kProjectWithRoom) + "new\nanswer no\nnew\n", 7,
       "unexpected question"},
      {"close\nmode 0\n", 2, "the window has been closed"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Run(c.script)) << c.script;
    EXPECT_EQ(line_, c.line) << c.script << failure_;
    EXPECT_NE(failure_.find(c.says), std::string::npos) << c.script << failure_;
    EXPECT_EQ(failure_.rfind("t.vts:" + std::to_string(c.line) + ": ", 0), 0u)
        << failure_;
  }
}

TEST_F(ScenarioRunnerTest, QuestionsAndFileDialogsTakeOnlyWhatIsQueuedForThem) {
  // A question with no answer queued fails the run at the action.
  EXPECT_FALSE(Run(std::string(kProjectWithRoom) +
                   "rooms open\nrooms select 居間\nrooms delete\n"));
  EXPECT_EQ(line_, 9);
  EXPECT_EQ(failure_, "t.vts:9: unexpected question 確認: 居間を削除します。");
  EXPECT_NE(out_.str().find(
                "question 確認: 居間を削除します。 -> (no answer queued)"),
            std::string::npos);

  // An answer the question does not offer.
  EXPECT_FALSE(
      Run(std::string(kProjectWithRoom) +
          "rooms open\nrooms select 居間\nanswer yes\nrooms delete\n"));
  EXPECT_EQ(line_, 10);
  EXPECT_NE(failure_.find("does not fit"), std::string::npos) << failure_;

  // An answer that no question takes.
  EXPECT_FALSE(Run(std::string(kProjectWithRoom) + "answer ok\nsave\n"));
  EXPECT_EQ(line_, 8);
  EXPECT_EQ(failure_, "t.vts:8: no question took the queued answer(s): ok");

  // A file dialog with nothing queued, and a queued file nothing asks for.
  EXPECT_FALSE(Run("open\n"));
  EXPECT_EQ(failure_, "t.vts:1: unexpected file dialog 物件データを開く");
  EXPECT_FALSE(Run("choose-file a.xdt\nmode 0\n"));
  EXPECT_EQ(failure_, "t.vts:2: no file dialog took the queued file(s)");

  // A queued cancel closes the file dialog; nothing opens.
  EXPECT_TRUE(
      Run("cancel-file-dialog\nopen\nexpect project \"\"\n"
          "expect file-dialog 物件データを開く\n"))
      << failure_;
  EXPECT_EQ(out_.str(), "file-dialog 物件データを開く -> cancel\n");

  // Saving over an existing file asks first, as the platform's dialog does.
  ASSERT_TRUE(Run(std::string(kProjectWithRoom) +
                  "write-file q.xdt\n| New\n"
                  "answer no\nnew\n"
                  "answer no\nchoose-file q\nname-dialog save-as\n"
                  "expect question 新規作成・名前を変えて登録 "
                  "現在編集中のデータを保存しますか？\n"
                  "expect question 名前を変えて保存 \"q.xdt "
                  "は既に存在します。\\n置き換えますか？\"\n"
                  "expect no-message\n"
                  "expect project p\n"))
      << failure_;
}

TEST_F(ScenarioRunnerTest, MessageChecksCoverWhatCameSinceTheLastCheck) {
  const std::string refusal = std::string(kProjectWithRoom) +
                              "rooms open\n"
                              "rooms add 居間\n";  // beep and a message
  EXPECT_FALSE(Run(refusal + "expect no-message\n"));
  EXPECT_NE(
      failure_.find("found beep; message 確認: 同じ名前の部屋があります。"),
      std::string::npos)
      << failure_;
  // Consecutive checks look at the same dialogs; each takes one.
  EXPECT_TRUE(Run(refusal + "expect message 確認 同じ名前の部屋があります。\n"
                            "expect beep\n"
                            "expect no-message\n"))
      << failure_;
  EXPECT_FALSE(Run(refusal +
                   "expect message 確認 同じ名前の部屋があります。\n"
                   "expect message 確認 同じ名前の部屋があります。\n"));
  EXPECT_EQ(line_, 10);
  // The next action starts afresh: the checked dialogs are gone.
  EXPECT_TRUE(Run(refusal + "expect beep\n"
                            "rooms add 台所\n"
                            "expect no-message\n"))
      << failure_;
  // Unchecked dialogs stay until a check looks at them.
  EXPECT_FALSE(Run(refusal + "rooms add 台所\nexpect no-message\n"));
  // Pieces of a message: all must be in one message of that title.
  EXPECT_TRUE(Run(refusal + "expect message-with 確認 同じ 部屋\n"))
      << failure_;
  EXPECT_FALSE(Run(refusal + "expect message-with 確認 同じ 場所\n"));
  EXPECT_FALSE(Run(refusal + "expect message-with エラー 同じ\n"));
  // Line breaks are written \n in a quoted text.
  EXPECT_TRUE(Run(
      "new\nchoose-file a.xdt\nname-dialog create\n"
      "answer no\nnew\nchoose-file A.XDT\nname-dialog create\n"
      "expect question 新規作成・名前を変えて登録 "
      "現在編集中のデータを保存しますか？\n"
      "expect message 新規物件作成 "
      "\"A.XDT\\n同じ名前の物件があります。\\n名前を変更してください。\"\n"))
      << failure_;
}

TEST_F(ScenarioRunnerTest, FilesAreWrittenAndCheckedInCodePage932) {
  ASSERT_TRUE(
      Run("write-file 記録.xdt\n"
          "  | Tate,扉1,800,2000\n"
          "  |New\n"
          "copy-file 記録.xdt base:控え.xdt\n"
          "expect file 記録.xdt lines 2\n"
          "expect file 記録.xdt line 1 Tate,扉1,800,2000\n"
          "expect file 記録.xdt has-line New\n"
          "expect file 記録.xdt no-line new\n"
          "expect file 記録.xdt same-as base:控え.xdt\n"
          "make-folder sub\n"
          "write-file sub/x.xdt\n"
          "expect file sub/x.xdt lines 0\n"
          "remove-file sub\n"
          "expect file sub/x.xdt missing\n"))
      << failure_;
  // "扉" is 0x94 0xE0 in code page 932.
  EXPECT_EQ(Bytes(base_ / "Data" / "記録.xdt"),
            "Tate,\x94\xe0\x31,800,2000\r\nNew\r\n");
  EXPECT_FALSE(
      Run("write-file a.xdt\n| A\nwrite-file b.xdt\n| B\n"
          "expect file a.xdt same-as b.xdt\n"));
  EXPECT_EQ(line_, 5);
  EXPECT_FALSE(Run("write-file a.xdt\n| A\nexpect file a.xdt line 2 A\n"));
  EXPECT_NE(failure_.find("found only 1 lines"), std::string::npos) << failure_;
}

TEST_F(ScenarioRunnerTest, RepeatRunsACommandWithItsCount) {
  EXPECT_TRUE(
      Run("new\nchoose-file p.xdt\nname-dialog create\n"
          "rooms open\n"
          "repeat 3 rooms add 部屋{i}-{i}\n"
          "rooms close\n"
          "expect list 部屋1-1 部屋2-2 部屋3-3\n"
          "expect list-size 3\n"))
      << failure_;
  EXPECT_FALSE(Run("repeat 0 mode 0\n"));
  EXPECT_FALSE(Run("repeat 2 expect mode 5\n"));
  EXPECT_EQ(line_, 1);
}

TEST_F(ScenarioRunnerTest, RunCommandReportsThroughExitStatus) {
  fs::create_directories(root_);
  const fs::path script = root_ / "s.vts";
  auto run = [&](const std::string& text, std::string* out, std::string* err) {
    std::ofstream(script, std::ios::binary) << text;
    std::istringstream in;
    std::ostringstream o, e;
    const int status = RunCli(
        {"--base", (root_ / "Veltrano").string(), "run", script.string()}, in,
        o, e);
    *out = o.str();
    *err = e.str();
    return status;
  };
  // Backups would go under $HOME: keep them in the test's folder.
  const char* home = std::getenv("HOME");
  const std::string saved_home = home == nullptr ? "" : home;
  ::setenv("HOME", (root_ / "home").c_str(), 1);
  std::string out, err;
  EXPECT_EQ(run("\xEF\xBB\xBFmode 5\r\nexpect mode 5\r\n", &out, &err),
            kExitOk);
  EXPECT_EQ(out, "s.vts: passed\n");
  EXPECT_EQ(err, "");
  EXPECT_EQ(run("mode 5\nexpect mode 0\n", &out, &err), kExitFailure);
  EXPECT_EQ(err, "s.vts:2: expected mode 0, found 5\n");

  std::istringstream in;
  std::ostringstream o, e;
  EXPECT_EQ(RunCli({"run"}, in, o, e), kExitUsage);
  EXPECT_EQ(RunCli({"run", (root_ / "missing.vts").string()}, in, o, e),
            kExitFailure);
  if (home == nullptr) {
    ::unsetenv("HOME");
  } else {
    ::setenv("HOME", saved_home.c_str(), 1);
  }
}

}  // namespace
}  // namespace veltrano
