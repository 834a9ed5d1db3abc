// PDF files of "印刷開始" (the desktop's file output and veltrano-cli
// print): a file is put in place only when it was written whole, and any
// failure is told by the name of the file the user chose.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "gmock/gmock.h"
#include "gtest/gtest.h"
#include "main_form_fixture.h"
#include "qt/printer_canvas.h"
#include "ui/print_dialog_widget.h"
#include "ui/qt_platform.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::string Bytes(const fs::path& path) {
  std::string bytes, error;
  EXPECT_TRUE(ReadFileBytes(path, &bytes, &error)) << error;
  return bytes;
}

std::vector<std::string> Entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool IsWholePdf(const std::string& bytes) {
  return bytes.starts_with("%PDF-") && bytes.find("%%EOF", bytes.size() - 8) != std::string::npos;
}

// The system calls of a save, failing as a full disk or a failing device
// would.
int g_write_calls = 0;
int g_write_fails_at = 0;
ssize_t FullDiskWrite(int fd, const void* data, std::size_t size) {
  if (++g_write_calls == g_write_fails_at) {
    errno = ENOSPC;
    return -1;
  }
  return ::write(fd, data, size);
}
int FailingFsync(int) {
  errno = EIO;
  return -1;
}
int FailingClose(int fd) {
  ::close(fd);
  errno = EIO;
  return -1;
}
int FailingRename(const char*, const char*) {
  errno = EXDEV;
  return -1;
}
int ReadOnlyFolderOpen(const char*, int, mode_t) {
  errno = EACCES;
  return -1;
}

class PdfOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(::testing::TempDir()) /
           ("veltrano_pdf_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    SetSaveCallsForTesting(nullptr);
    fs::remove_all(dir_);
  }

  // A page with a heading and a rule on a PDF canvas at `path`: whether the
  // job ended, with the reason when it did not.
  static bool PrintOnePage(const fs::path& path, std::string* error) {
    std::unique_ptr<QtPrinterCanvas> canvas = QtPrinterCanvas::ForPdf(PathToQString(path), error);
    if (canvas == nullptr) return false;
    canvas->SetFont(PrintFont{"ＭＳ 明朝", 10, true});
    canvas->DrawText(800, 750, "内部拾い 事務室");
    canvas->DrawLine(800, 1000, 15380, 1000, 5);
    return canvas->EndJob(error);
  }

  fs::path dir_;
};

TEST_F(PdfOutputTest, AWholePdfReplacesTheOldOneWithNothingLeftBeside) {
  const fs::path path = dir_ / "拾い表.pdf";
  std::string error;
  ASSERT_TRUE(PrintOnePage(path, &error)) << error;
  EXPECT_TRUE(IsWholePdf(Bytes(path)));
  std::ofstream(path, std::ios::binary) << "old";
  ASSERT_TRUE(PrintOnePage(path, &error)) << error;
  EXPECT_TRUE(IsWholePdf(Bytes(path)));
  EXPECT_THAT(Entries(dir_), ElementsAre("拾い表.pdf"));
}

TEST_F(PdfOutputTest, EveryFailingStepKeepsTheGoodOldPdf) {
  const fs::path path = dir_ / "out.pdf";
  std::string error;
  ASSERT_TRUE(PrintOnePage(path, &error)) << error;
  const std::string good = Bytes(path);

  struct Case {
    const char* step;
    SaveCalls calls;
    int write_fails_at;
    int error_number;
  };
  const Case cases[] = {
      {"first write", {.write = &FullDiskWrite}, 1, ENOSPC},
      {"second write", {.write = &FullDiskWrite}, 2, ENOSPC},
      {"a later write", {.write = &FullDiskWrite}, 12, ENOSPC},
      {"fsync", {.fsync = &FailingFsync}, 0, EIO},
      {"close", {.close = &FailingClose}, 0, EIO},
      {"rename", {.rename = &FailingRename}, 0, EXDEV},
  };
  for (const Case& c : cases) {
    g_write_calls = 0;
    g_write_fails_at = c.write_fails_at;
    SetSaveCallsForTesting(&c.calls);
    error.clear();
    EXPECT_FALSE(PrintOnePage(path, &error)) << c.step;
    SetSaveCallsForTesting(nullptr);
    EXPECT_THAT(error, HasSubstr(path.string())) << c.step;
    EXPECT_THAT(error, HasSubstr(std::strerror(c.error_number))) << c.step;
    EXPECT_THAT(error, Not(HasSubstr(".vtmp"))) << c.step;
    EXPECT_EQ(Bytes(path), good) << c.step;
    EXPECT_THAT(Entries(dir_), ElementsAre("out.pdf")) << c.step;
  }
}

TEST_F(PdfOutputTest, OutputsThatCannotBeWrittenAreRefusedByTheirNames) {
  fs::create_symlink("loop.pdf", dir_ / "loop.pdf");
  fs::create_symlink(dir_ / "gone" / "out.pdf", dir_ / "dangling.pdf");
  fs::create_directory(dir_ / "folder.pdf");
  std::ofstream(dir_ / "folder.pdf" / "keep", std::ios::binary) << "x";
  for (const fs::path& path : {dir_ / "loop.pdf", dir_ / "dangling.pdf", dir_ / "folder.pdf",
                               dir_ / "gone" / "out.pdf"}) {
    std::string error;
    EXPECT_FALSE(PrintOnePage(path, &error)) << path;
    EXPECT_THAT(error, HasSubstr(path.string()));
    EXPECT_THAT(error, Not(HasSubstr(".vtmp")));
  }
  // A folder that may not be written.
  std::ofstream(dir_ / "out.pdf", std::ios::binary) << "old";
  const SaveCalls read_only{.open = &ReadOnlyFolderOpen};
  SetSaveCallsForTesting(&read_only);
  std::string error;
  EXPECT_FALSE(PrintOnePage(dir_ / "out.pdf", &error));
  SetSaveCallsForTesting(nullptr);
  EXPECT_THAT(error, HasSubstr((dir_ / "out.pdf").string()));
  EXPECT_THAT(error, HasSubstr(std::strerror(EACCES)));

  EXPECT_TRUE(fs::is_symlink(dir_ / "loop.pdf"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.pdf"));
  EXPECT_EQ(Bytes(dir_ / "folder.pdf" / "keep"), "x");
  EXPECT_EQ(Bytes(dir_ / "out.pdf"), "old");
  EXPECT_THAT(Entries(dir_), ElementsAre("dangling.pdf", "folder.pdf", "loop.pdf", "out.pdf"));
}

TEST_F(PdfOutputTest, APrintKilledHalfWayLeavesTheOldFileAndTheNextPrintTidiesUp) {
  const fs::path path = dir_ / "out.pdf";
  std::ofstream(path, std::ios::binary) << "old";
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string error;
    std::unique_ptr<QtPrinterCanvas> canvas = QtPrinterCanvas::ForPdf(PathToQString(path), &error);
    if (canvas != nullptr) canvas->DrawText(800, 750, "途中");
    ::kill(::getpid(), SIGKILL);
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(Bytes(path), "old");
  const std::vector<std::string> left = Entries(dir_);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_THAT(left[0], StartsWith(TemporaryNamePrefix(path, child)));

  std::string error;
  ASSERT_TRUE(PrintOnePage(path, &error)) << error;
  EXPECT_TRUE(IsWholePdf(Bytes(path)));
  EXPECT_THAT(Entries(dir_), ElementsAre("out.pdf"));
}

// veltrano-cli itself: no output it cannot write ends with status 0.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun RunCliProgram(const fs::path& work, const std::vector<std::string>& args) {
  std::string command = "HOME=" + Quote((work / "home").string()) + " " + Quote(VELTRANO_CLI_PATH);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " >" + Quote((work / "stdout").string()) + " 2>" + Quote((work / "stderr").string());
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Bytes(work / "stdout"), Bytes(work / "stderr")};
}

TEST_F(PdfOutputTest, TheCliNeverSucceedsOverAnOutputItCouldNotWrite) {
  const fs::path work = dir_ / "work";
  const fs::path base = work / "Veltrano";
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  fs::create_directories(work);
  std::ofstream(work / "make.vts", std::ios::binary)
      << "new\nchoose-file p.xdt\nname-dialog create\n"
         "rooms open\nrooms add 居間\nrooms close\nfill 1 3 2*3\nsave\n";
  const CliRun made = RunCliProgram(work, {"--base", base.string(), "run",
                                           (work / "make.vts").string()});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string project = (base / "Data" / "p.xdt").string();

  const CliRun good = RunCliProgram(work, {"--base", base.string(), "print", project, "-o",
                                           (out / "good.pdf").string(), "interior"});
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.out, "pages 1\n");
  EXPECT_TRUE(IsWholePdf(Bytes(out / "good.pdf")));

  fs::create_symlink("loop.pdf", out / "loop.pdf");
  fs::create_symlink(out / "gone" / "x.pdf", out / "dangling.pdf");
  fs::create_directory(out / "folder.pdf");
  fs::create_symlink("looping", out / "looping");
  for (const fs::path& pdf : {out / "loop.pdf", out / "dangling.pdf", out / "folder.pdf",
                              out / "looping" / "x.pdf", out / "gone" / "x.pdf"}) {
    const CliRun run = RunCliProgram(
        work, {"--base", base.string(), "print", project, "-o", pdf.string(), "interior"});
    EXPECT_EQ(run.status, 1) << pdf;
    EXPECT_EQ(run.out, "") << pdf;
    EXPECT_THAT(run.err, HasSubstr("印刷できませんでした。")) << pdf;
    EXPECT_THAT(run.err, HasSubstr(pdf.string()));
    EXPECT_THAT(run.err, Not(HasSubstr(".vtmp")));
    EXPECT_THAT(run.err, Not(HasSubstr("終了しました")));
  }
  EXPECT_TRUE(fs::is_symlink(out / "loop.pdf"));
  EXPECT_TRUE(fs::is_symlink(out / "dangling.pdf"));
  EXPECT_TRUE(fs::is_directory(out / "folder.pdf"));
  EXPECT_THAT(Entries(out), ElementsAre("dangling.pdf", "folder.pdf", "good.pdf", "loop.pdf",
                                        "looping"));
}

}  // namespace

namespace testing {
namespace {

// The print dialog's file output in the desktop application.
TEST_F(MainFormTest, APdfFileThatCannotBeWrittenIsToldAndTheOldOneKept) {
  NewProject("印刷");
  Click("HiroiBunrui(1)");
  Toolbar("Print");
  PrintDialogWidget* dialog = window->print_dialog();
  ASSERT_NE(dialog, nullptr);
  const std::filesystem::path pdf = root / "建具廻り.pdf";
  dialog->PrintToPdf(PathToQString(pdf));
  EXPECT_EQ(dialogs.Take(), (std::vector<ShownDialog>{{"印刷", "終了しました", false}}));
  const std::string good = Bytes(pdf);
  EXPECT_TRUE(IsWholePdf(good));

  g_write_calls = 0;
  g_write_fails_at = 3;
  const SaveCalls full_disk{.write = &FullDiskWrite};
  SetSaveCallsForTesting(&full_disk);
  dialog->PrintToPdf(PathToQString(pdf));
  SetSaveCallsForTesting(nullptr);
  const std::vector<ShownDialog> shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "エラー");
  EXPECT_THAT(shown[0].text, StartsWith("印刷できませんでした。\n"));
  EXPECT_THAT(shown[0].text, HasSubstr(pdf.string()));
  EXPECT_EQ(Bytes(pdf), good);
  for (const std::string& name : Entries(root)) {
    EXPECT_THAT(name, Not(StartsWith(".vtmp"))) << name;
  }

  // An output that cannot be made at all.
  std::filesystem::create_symlink("loop.pdf", root / "loop.pdf");
  dialog->PrintToPdf(PathToQString(root / "loop.pdf"));
  const std::vector<ShownDialog> refused = dialogs.Take();
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].title, "エラー");
  EXPECT_THAT(refused[0].text, HasSubstr((root / "loop.pdf").string()));
  EXPECT_TRUE(std::filesystem::is_symlink(root / "loop.pdf"));
}

}  // namespace
}  // namespace testing
}  // namespace veltrano
