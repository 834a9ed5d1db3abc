#include "calc/text_file.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "gmock/gmock.h"
#include "gtest/gtest.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("veltrano_text_file_" + std::to_string(::getpid()) + "_" +
            info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }

  void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  std::string Get(const fs::path& path) {
    std::string bytes;
    std::string error;
    EXPECT_TRUE(ReadFileBytes(path, &bytes, &error)) << error;
    return bytes;
  }
  std::vector<std::string> ReadLines(const std::string& bytes) {
    Put(dir_ / "in.txt", bytes);
    std::vector<std::string> lines;
    std::string error;
    EXPECT_TRUE(ReadTextLines(dir_ / "in.txt", &lines, &error)) << error;
    return lines;
  }
  std::vector<std::string> Entries() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

// --- Reading
// ------------------------------------------------------------------

TEST_F(TextFileTest, SplitsLinesAtCrLfAndAtLf) {
  EXPECT_THAT(ReadLines("a,1\r\nb,2\r\n"), ElementsAre("a,1", "b,2"));
  EXPECT_THAT(ReadLines("a,1\nb,2\n"), ElementsAre("a,1", "b,2"));
  EXPECT_THAT(ReadLines("a\r\nb\nc\r\n"), ElementsAre("a", "b", "c"));
}

TEST_F(TextFileTest, LastLineWithoutLineEndIsALine) {
  EXPECT_THAT(ReadLines("a\r\nb"), ElementsAre("a", "b"));
  EXPECT_THAT(ReadLines("a"), ElementsAre("a"));
}

TEST_F(TextFileTest, EmptyLinesAreKept) {
  EXPECT_THAT(ReadLines(""), IsEmpty());
  EXPECT_THAT(ReadLines("\r\n"), ElementsAre(""));
  EXPECT_THAT(ReadLines("\n\n"), ElementsAre("", ""));
  EXPECT_THAT(ReadLines("a\r\n\r\nb\r\n"), ElementsAre("a", "", "b"));
}

TEST_F(TextFileTest, LoneCrStaysInTheLine) {
  EXPECT_THAT(ReadLines("a\rb\r\nc\r"), ElementsAre("a\rb", "c\r"));
  EXPECT_THAT(ReadLines("a\r\r\n"), ElementsAre("a\r"));
}

TEST_F(TextFileTest, DecodesEachLineFromCp932) {
  EXPECT_THAT(ReadLines("\x94\x7A\x8A\xC7,\xB1\r\n\x81\xE0\x87\x90\r\n\x80"),
              ElementsAre("配管,ｱ", "≒≒\uFE00", "\uF780"));
}

TEST_F(TextFileTest, ReadingAMissingFileFails) {
  std::vector<std::string> lines = {"stale"};
  std::string error;
  EXPECT_FALSE(ReadTextLines(dir_ / "missing.txt", &lines, &error));
  EXPECT_THAT(error, HasSubstr("missing.txt"));
  EXPECT_THAT(lines, IsEmpty());
  std::string bytes;
  error.clear();
  EXPECT_FALSE(ReadFileBytes(dir_, &bytes, &error));  // a folder
  EXPECT_THAT(error, Not(IsEmpty()));
}

TEST_F(TextFileTest, OnlyRegularFilesAreRead) {
  // A FIFO would block the open until a writer comes; the alarm ends the
  // test program instead of hanging it for ever.
  const fs::path fifo = dir_ / "fifo.xdt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ::alarm(20);
  std::vector<std::string> lines;
  std::string error;
  EXPECT_FALSE(ReadTextLines(fifo, &lines, &error));
  EXPECT_THAT(error, HasSubstr("通常のファイルではない"));
  EXPECT_THAT(error, HasSubstr("fifo.xdt"));
  ::alarm(0);

  // A device, also behind a symbolic link, would be read for ever.
  fs::create_symlink("/dev/zero", dir_ / "zero.ini");
  for (const fs::path& device : {fs::path("/dev/zero"), dir_ / "zero.ini"}) {
    std::string bytes;
    error.clear();
    EXPECT_FALSE(ReadFileBytes(device, &bytes, &error)) << device;
    EXPECT_THAT(error, HasSubstr("通常のファイルではない"));
    EXPECT_TRUE(bytes.empty());
  }
}

TEST_F(TextFileTest, FilesAboveTheLimitAreRefusedUnread) {
  // A sparse file of 100 GB; also one just past the limit.
  for (const std::uintmax_t size :
       {std::uintmax_t{100} << 30, kMaxTextFileBytes + 1}) {
    const fs::path path = dir_ / "huge.xdt";
    Put(path, "Data,部屋,\r\n");
    fs::resize_file(path, size);
    std::vector<std::string> lines;
    std::string error;
    EXPECT_FALSE(ReadTextLines(path, &lines, &error)) << size;
    EXPECT_THAT(error, HasSubstr("大きすぎる"));
    EXPECT_THAT(error, HasSubstr("256 MB"));
    EXPECT_THAT(lines, IsEmpty());
    fs::remove(path);
  }
  // A file of the limit itself is read (here its first two lines).
  const fs::path path = dir_ / "limit.txt";
  Put(path, "a\r\nb\r\n");
  fs::resize_file(path, kMaxTextFileBytes);
  std::uintmax_t lines_seen = 0;
  std::string error;
  EXPECT_TRUE(ForEachTextLine(
      path, [&](std::string_view) { return ++lines_seen < 2; }, &error))
      << error;
  EXPECT_EQ(lines_seen, 2u);
}

TEST_F(TextFileTest, ByteOrderMarkAndMissingLastLineEndAreReported) {
  Put(dir_ / "in.txt",
      "\xEF\xBB\xBF"
      "Data,a\r\nTank'b'");
  std::vector<std::string> lines;
  std::string error;
  TextFileShape shape;
  ASSERT_TRUE(ReadTextLines(dir_ / "in.txt", &lines, &error, nullptr, &shape));
  EXPECT_THAT(lines, ElementsAre("Data,a", "Tank'b'"));
  EXPECT_TRUE(shape.byte_order_mark);
  EXPECT_TRUE(shape.last_line_unterminated);
  EXPECT_EQ(shape.line_count, 2u);

  Put(dir_ / "in.txt", "Data,a\r\n\xEF\xBB\xBF\r\n");
  ASSERT_TRUE(ReadTextLines(dir_ / "in.txt", &lines, &error, nullptr, &shape));
  EXPECT_FALSE(shape.byte_order_mark);  // only at the start of the file
  EXPECT_FALSE(shape.last_line_unterminated);
  EXPECT_EQ(lines.size(), 2u);
}

TEST_F(TextFileTest, TextThatBeginsLikeAByteOrderMarkComesBackWhole) {
  // Raw bytes of a damaged settings file, kept as text, may land at the
  // start of the file written next; the second save must not lose them.
  Put(dir_ / "in.txt", ",\xEF\xBB\xBF" "3\r\n");
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(dir_ / "in.txt", &lines, &error));
  ASSERT_EQ(lines.size(), 1u);
  const std::string text = lines[0].substr(1);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(WriteTextLinesAtomic(dir_ / "out.txt", {text}, &error))
        << error;
    ASSERT_TRUE(ReadTextLines(dir_ / "out.txt", &lines, &error));
    EXPECT_THAT(lines, ElementsAre(text));
  }
}

TEST_F(TextFileTest, OnlyTheKeptLinesAreStored) {
  // Lines longer than the reading pieces are joined across them.
  std::string bytes(100000, '\n');
  const std::string wide = "Keep," + std::string(200000, 'x');
  bytes += wide + "\r\nskip\r\nKeep,b";
  Put(dir_ / "in.txt", bytes);
  std::vector<std::string> lines;
  std::string error;
  TextFileShape shape;
  ASSERT_TRUE(ReadTextLines(
      dir_ / "in.txt", &lines, &error,
      [](std::string_view line) { return line.starts_with("Keep"); }, &shape));
  EXPECT_THAT(lines, ElementsAre(wide, "Keep,b"));
  EXPECT_EQ(shape.line_count, 100003u);
}

TEST_F(TextFileTest, EmptyLinesTakeNoMemory) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit does not suit the sanitizer";
#else
  // 20 MB of empty lines once took a gigabyte; now they are counted and
  // dropped. A child process reads them within 200 MB more address space.
  Put(dir_ / "empty.xdt", std::string(20 << 20, '\n'));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ifstream status("/proc/self/statm");
    unsigned long pages = 0;
    status >> pages;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max =
        pages * static_cast<unsigned long>(::sysconf(_SC_PAGESIZE)) +
        (200ul << 20);
    ::setrlimit(RLIMIT_AS, &limit);
    std::vector<std::string> lines;
    std::string error;
    const bool read =
        ReadTextLines(dir_ / "empty.xdt", &lines, &error,
                      [](std::string_view line) { return !line.empty(); });
    ::_exit(read && lines.empty() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
#endif
}

// --- Writing --------------------------------------------------------------

// The start of a file, however large, in bounded memory: a sparse file of
// 100 GB gives its first bytes and says it holds more.
TEST_F(TextFileTest, HeadOfAFileIsReadUpToItsLimit) {
  const fs::path path = dir_ / "big.ini";
  Put(path, "a,b\r\n");
  fs::resize_file(path, std::uintmax_t{100} << 30);
  std::string bytes;
  bool cut = false;
  std::string error;
  ASSERT_TRUE(ReadFileHead(path, 4096, &bytes, &cut, &error)) << error;
  EXPECT_TRUE(cut);
  ASSERT_EQ(bytes.size(), 4096u);
  EXPECT_EQ(bytes.substr(0, 5), "a,b\r\n");
  EXPECT_LT(bytes.capacity(), 8192u);

  // A file of the limit itself, or smaller, is read whole.
  for (const std::size_t size : {std::size_t{4096}, std::size_t{10}}) {
    Put(path, std::string(size, 'x'));
    ASSERT_TRUE(ReadFileHead(path, 4096, &bytes, &cut, &error)) << error;
    EXPECT_FALSE(cut) << size;
    EXPECT_EQ(bytes, std::string(size, 'x'));
  }
  Put(path, "");
  ASSERT_TRUE(ReadFileHead(path, 4096, &bytes, &cut, &error)) << error;
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(cut);

  // What ReadFileBytes refuses, this refuses too.
  EXPECT_FALSE(ReadFileHead(dir_ / "missing", 10, &bytes, &cut, &error));
  EXPECT_THAT(error, HasSubstr("missing"));
  EXPECT_FALSE(ReadFileHead(dir_, 10, &bytes, &cut, &error));
  EXPECT_THAT(error, HasSubstr("通常のファイルではない"));
}

// Lines of bytes in memory split exactly as lines read from a file.
TEST_F(TextFileTest, LinesInMemorySplitAsLinesOfAFile) {
  for (const std::string bytes :
       {"", "a", "a\r\nb", "a\r\nb\r\n", "a\n\nb\n", "\r\n", "a\rb\r",
        "x\r\r\n", "\xEF\xBB\xBF", "\xEF\xBB\xBF" "a,b\r\n,\n",
        "\xEF\xBB\xBF\xEF\xBB\xBF" "a", "\x83\n\x83\x41\r\n"}) {
    Put(dir_ / "in.txt", bytes);
    std::vector<std::string> from_file;
    std::string error;
    ASSERT_TRUE(ForEachTextLine(
        dir_ / "in.txt",
        [&](std::string_view line) {
          from_file.emplace_back(line);
          return true;
        },
        &error))
        << error;
    std::vector<std::string> in_memory;
    ForEachLineIn(bytes, [&](std::string_view line) {
      in_memory.emplace_back(line);
      return true;
    });
    EXPECT_EQ(in_memory, from_file) << bytes;
  }
  // Stopping early.
  int seen = 0;
  ForEachLineIn("a\nb\nc\n", [&](std::string_view) { return ++seen < 2; });
  EXPECT_EQ(seen, 2);
}

// The bytes made in memory are those a write puts on disk, and the same
// lines are refused.
TEST_F(TextFileTest, EncodedLinesAreTheBytesAWriteLeaves) {
  const std::vector<std::vector<std::string>> texts = {
      {},
      {""},
      {"仮設", "", "m2,ヶ所"},
      {"\uF7EF\uF7BB\uF7BF先頭"},
      {"≒\uFE00", "\uF781"}};
  for (const std::vector<std::string>& lines : texts) {
    std::string bytes;
    std::string error;
    ASSERT_TRUE(EncodeTextLines(lines, dir_ / "out.txt", &bytes, &error)) << error;
    ASSERT_TRUE(WriteTextLinesAtomic(dir_ / "out.txt", lines, &error))
        << error;
    EXPECT_EQ(bytes, Get(dir_ / "out.txt"));
  }
  std::string bytes;
  std::string error;
  EXPECT_FALSE(EncodeTextLines({"a", "b\nc"}, dir_ / "out.txt", &bytes, &error));
  EXPECT_THAT(error, HasSubstr("2 行目"));
  EXPECT_FALSE(EncodeTextLines({"¥"}, dir_ / "out.txt", &bytes, &error));
  EXPECT_THAT(error, HasSubstr("U+00A5"));
  EXPECT_THAT(error, HasSubstr("1 行目"));
}

TEST_F(TextFileTest, WritesCp932WithCrLf) {
  const fs::path path = dir_ / "out.txt";
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(path, {"配管,100A", "", "ｱ①"}, &error))
      << error;
  EXPECT_EQ(Get(path), "\x94\x7A\x8A\xC7,100A\r\n\r\n\xB1\x87\x40\r\n");
  ASSERT_TRUE(WriteTextLinesAtomic(path, {}, &error)) << error;
  EXPECT_EQ(Get(path), "");
}

TEST_F(TextFileTest, WhatWasReadIsWrittenBackByteForByte) {
  // Other codes of repeated characters, bytes that are not CP932 and lone CRs.
  const std::string bytes =
      "\x87\x90\xFA\x5B\xED\x40,\x80\xA0\xFD\x85\x40\r\n"
      "a\rb\r\r\n"
      "\xEE\xF9\x81\xCA\xFA\x54\r\n";
  Put(dir_ / "in.txt", bytes);
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(dir_ / "in.txt", &lines, &error)) << error;
  ASSERT_TRUE(WriteTextLinesAtomic(dir_ / "out.txt", lines, &error)) << error;
  EXPECT_EQ(Get(dir_ / "out.txt"), bytes);
}

TEST_F(TextFileTest, ReplacingKeepsPermissions) {
  const fs::path path = dir_ / "out.txt";
  Put(path, "old\r\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write |
                            fs::perms::group_read);
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(path, {"new"}, &error)) << error;
  EXPECT_EQ(Get(path), "new\r\n");
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read |
                                                fs::perms::owner_write |
                                                fs::perms::group_read);
  EXPECT_THAT(Entries(), ElementsAre("out.txt"));
}

TEST_F(TextFileTest, ReplacingKeepsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give files away";
  const fs::path path = dir_ / "out.txt";
  Put(path, "old\r\n");
  ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(path, {"new"}, &error)) << error;
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
  EXPECT_EQ(Get(path), "new\r\n");
}

TEST_F(TextFileTest, ReadOnlyFileIsNotReplaced) {
  const fs::path path = dir_ / "old.xdt";
  Put(path, "old\r\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read |
                            fs::perms::others_read);
  std::string error;
  EXPECT_FALSE(WriteTextLinesAtomic(path, {"new"}, &error));
  EXPECT_THAT(error, HasSubstr("書き込みが禁止"));
  EXPECT_THAT(error, HasSubstr("old.xdt"));
  EXPECT_EQ(Get(path), "old\r\n");
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read |
                                                fs::perms::group_read |
                                                fs::perms::others_read);
  EXPECT_THAT(Entries(), ElementsAre("old.xdt"));
}

TEST_F(TextFileTest, SymbolicLinkIsSavedThroughToItsTarget) {
  fs::create_directory(dir_ / "real");
  const fs::path target = dir_ / "real" / "物件.xdt";
  Put(target, "old\r\n");
  fs::create_symlink(fs::path("real") / "物件.xdt", dir_ / "link.xdt");
  fs::create_symlink("link.xdt", dir_ / "chain.xdt");
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(dir_ / "chain.xdt", {"new"}, &error))
      << error;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.xdt"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "chain.xdt"));
  EXPECT_EQ(Get(target), "new\r\n");
  EXPECT_EQ(Get(dir_ / "chain.xdt"), "new\r\n");
  EXPECT_THAT(Entries(), ElementsAre("chain.xdt", "link.xdt", "real"));
  std::vector<std::string> beside;
  for (const auto& entry : fs::directory_iterator(dir_ / "real")) {
    beside.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(beside, ElementsAre("物件.xdt"));
}

TEST_F(TextFileTest, LongestFileNameCanBeSaved) {
  // 83 three-byte characters, two letters and the extension: 255 bytes,
  // the most a file name may have.
  std::string name;
  for (int i = 0; i < 83; ++i) name += "物";
  name += "ab.xdt";
  ASSERT_EQ(name.size(), 255u);
  const fs::path path = dir_ / name;
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(path, {"New"}, &error)) << error;
  ASSERT_TRUE(WriteTextLinesAtomic(path, {"again"}, &error)) << error;
  EXPECT_EQ(Get(path), "again\r\n");
  EXPECT_THAT(Entries(), ElementsAre(name));
}

TEST_F(TextFileTest, TemporariesOfDeadSavesAreRemoved) {
  const fs::path path = dir_ / "a.xdt";
  Put(path, "old\r\n");
  // A save killed in the middle: a process that no longer runs.
  const pid_t dead = ::fork();
  ASSERT_GE(dead, 0);
  if (dead == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  const std::string leftover = TemporaryNamePrefix(path, dead) + "7";
  Put(dir_ / leftover, std::string(1000, 'x'));
  // The naming of earlier versions.
  const std::string former = ".a.xdt.tmp" + std::to_string(dead) + "-0";
  Put(dir_ / former, "x");
  // Kept: a save still running (this process's parent), another project's
  // temporary, and files that only look alike.
  const std::string running = TemporaryNamePrefix(path, ::getppid()) + "0";
  const std::string other = TemporaryNamePrefix(dir_ / "b.xdt", dead) + "0";
  const std::string alike = TemporaryNamePrefix(path, dead) + "x";
  for (const std::string& name : {running, other, alike}) {
    Put(dir_ / name, "x");
  }
  EXPECT_EQ(RemoveStaleTemporaries(path), 2);
  EXPECT_FALSE(fs::exists(dir_ / leftover));
  EXPECT_FALSE(fs::exists(dir_ / former));
  for (const std::string& name : {running, other, alike}) {
    EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  }

  // A save removes them too.
  Put(dir_ / leftover, "x");
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(path, {"new"}, &error)) << error;
  EXPECT_FALSE(fs::exists(dir_ / leftover));
}

// Each step of a save made to fail in turn: the old file stays, no
// temporary is left, and the error says what failed.
int g_fail_call = 0;
int g_calls = 0;
bool FailNow() { return ++g_calls == g_fail_call; }
ssize_t FailingWrite(int fd, const void* data, std::size_t size) {
  if (FailNow()) {
    errno = ENOSPC;
    return -1;
  }
  // Short writes: the rest must follow.
  return ::write(fd, data, size > 3 ? size / 2 : size);
}
int FailingFsync(int fd) {
  if (FailNow()) {
    errno = EIO;
    return -1;
  }
  return ::fsync(fd);
}
int FailingClose(int fd) {
  const int closed = ::close(fd);
  if (FailNow()) {
    errno = EIO;
    return -1;
  }
  return closed;
}
int FailingRename(const char* from, const char* to) {
  if (FailNow()) {
    errno = EXDEV;
    return -1;
  }
  return ::rename(from, to);
}

TEST_F(TextFileTest, EveryFailingStepOfASaveLeavesTheOldFile) {
  const fs::path path = dir_ / "old.xdt";
  const std::string content = std::string(40, 'y');
  const SaveCalls calls{&FailingWrite, &FailingFsync, &FailingClose,
                        &FailingRename};
  SetSaveCallsForTesting(&calls);
  // Writes come first (halving 42 bytes takes several), then fsync, close
  // and rename; failing call k fails the k-th of them.
  int failures = 0;
  for (g_fail_call = 1;; ++g_fail_call) {
    Put(path, "old\r\n");
    g_calls = 0;
    std::string error;
    const bool written = WriteTextLinesAtomic(path, {content}, &error);
    if (written) {
      EXPECT_EQ(Get(path), content + "\r\n");
      break;
    }
    ++failures;
    EXPECT_THAT(error, HasSubstr("old.xdt")) << g_fail_call;
    EXPECT_THAT(error, Not(HasSubstr(".vtmp"))) << g_fail_call;
    EXPECT_EQ(Get(path), "old\r\n") << g_fail_call;
    EXPECT_THAT(Entries(), ElementsAre("old.xdt")) << g_fail_call;
  }
  SetSaveCallsForTesting(nullptr);
  // At least one write, the fsync, the close and the rename failed.
  EXPECT_GE(failures, 4);
}

TEST_F(TextFileTest, WritesARelativePathInTheCurrentFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  std::string error;
  const bool written = WriteFileBytesAtomic("plain.txt", "x", &error);
  fs::current_path(before);
  ASSERT_TRUE(written) << error;
  EXPECT_EQ(Get(dir_ / "plain.txt"), "x");
}

// --- Failed writes leave the old file --------------------------------------

TEST_F(TextFileTest, RefusesTextCp932CannotHold) {
  const fs::path path = dir_ / "out.txt";
  Put(path, "old\r\n");
  std::string error;
  EXPECT_FALSE(WriteTextLinesAtomic(path, {"配管", "絵😀と🍣"}, &error));
  EXPECT_THAT(error, HasSubstr("😀"));
  EXPECT_THAT(error, HasSubstr("U+1F600"));
  EXPECT_THAT(error, HasSubstr("2 行目"));
  EXPECT_EQ(Get(path), "old\r\n");
  EXPECT_THAT(Entries(), ElementsAre("out.txt"));

  error.clear();
  EXPECT_FALSE(WriteTextLinesAtomic(path, {"\xE3\x81"}, &error));
  EXPECT_THAT(error, HasSubstr("U+FFFD"));
  error.clear();
  EXPECT_FALSE(WriteTextLinesAtomic(path, {"あ\uFE00"}, &error));
  EXPECT_THAT(error, HasSubstr("U+FE00"));
  EXPECT_EQ(Get(path), "old\r\n");
}

TEST_F(TextFileTest, RefusesALineHoldingALineFeed) {
  const fs::path path = dir_ / "out.txt";
  Put(path, "old\r\n");
  std::string error;
  EXPECT_FALSE(WriteTextLinesAtomic(path, {"a", "b\nc"}, &error));
  EXPECT_THAT(error, HasSubstr("2 行目"));
  EXPECT_EQ(Get(path), "old\r\n");
}

TEST_F(TextFileTest, WriteInterruptedByAFullDiskLeavesTheOldFile) {
  // A file size limit makes write() fail part way, as a full disk would.
  const fs::path path = dir_ / "out.txt";
  Put(path, "old\r\n");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 4096;
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::string error;
  const bool written = WriteTextLinesAtomic(
      path, std::vector<std::string>(2000, "配管,100A"), &error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(written);
  EXPECT_THAT(error, Not(IsEmpty()));
  EXPECT_EQ(Get(path), "old\r\n");
  EXPECT_THAT(Entries(), ElementsAre("out.txt"));
}

TEST_F(TextFileTest, UnwritableFolderLeavesTheOldFile) {
  const fs::path path = dir_ / "out.txt";
  Put(path, "old\r\n");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write |
                            fs::perms::others_read);
  // Folder permissions do not bind root, so root tries the write as "nobody"
  // in a child process.
  auto write = [&] {
    std::string error;
    return !WriteTextLinesAtomic(path, {"new"}, &error) && !error.empty();
  };
  if (::geteuid() == 0) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
      ::_exit(!dropped ? 2 : write() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "1: the write did not fail, 2: setuid failed";
  } else {
    EXPECT_TRUE(write());
  }
  EXPECT_EQ(Get(path), "old\r\n");
  EXPECT_THAT(Entries(), ElementsAre("out.txt"));
}

int FailingOpen(const char*, int, mode_t) {
  errno = EACCES;
  return -1;
}

TEST_F(TextFileTest, AFolderThatMayNotBeWrittenIsNamedNotTheTemporary) {
  const fs::path path = dir_ / "old.xdt";
  Put(path, "old\r\n");
  const SaveCalls calls{.open = &FailingOpen};
  SetSaveCallsForTesting(&calls);
  std::string error;
  const bool written = WriteTextLinesAtomic(path, {"new"}, &error);
  SetSaveCallsForTesting(nullptr);
  EXPECT_FALSE(written);
  EXPECT_THAT(error, HasSubstr(path.string()));
  EXPECT_THAT(error, HasSubstr(std::strerror(EACCES)));
  EXPECT_THAT(error, Not(HasSubstr(".vtmp")));
  EXPECT_EQ(Get(path), "old\r\n");
  EXPECT_THAT(Entries(), ElementsAre("old.xdt"));
}

TEST_F(TextFileTest, SymbolicLinksThatLoopAreRefusedAndKept) {
  fs::create_symlink("self.xdt", dir_ / "self.xdt");
  fs::create_symlink("b.xdt", dir_ / "a.xdt");
  fs::create_symlink("a.xdt", dir_ / "b.xdt");
  fs::create_symlink("loop", dir_ / "loop");
  for (const fs::path& path :
       {dir_ / "self.xdt", dir_ / "a.xdt", dir_ / "loop" / "out.xdt"}) {
    std::string error;
    EXPECT_FALSE(WriteTextLinesAtomic(path, {"new"}, &error)) << path;
    EXPECT_THAT(error, HasSubstr("循環"));
    EXPECT_THAT(error, HasSubstr(path.string()));
  }
  for (const char* name : {"self.xdt", "a.xdt", "b.xdt", "loop"}) {
    EXPECT_TRUE(fs::is_symlink(dir_ / name)) << name;
  }
  EXPECT_THAT(Entries(), ElementsAre("a.xdt", "b.xdt", "loop", "self.xdt"));
}

TEST_F(TextFileTest, ALinkIntoAMissingFolderIsNamedAndKept) {
  const fs::path link = dir_ / "Keta.ini";
  fs::create_symlink(dir_ / "gone" / "Keta.ini", link);
  std::string error;
  EXPECT_FALSE(WriteTextLinesAtomic(link, {"0"}, &error));
  EXPECT_THAT(error, HasSubstr(link.string()));
  EXPECT_THAT(error, HasSubstr("リンク先"));
  EXPECT_THAT(error, Not(HasSubstr(".vtmp")));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_THAT(Entries(), ElementsAre("Keta.ini"));

  // A link to a missing file in a folder that is there gets that file.
  fs::create_directory(dir_ / "gone");
  ASSERT_TRUE(WriteTextLinesAtomic(link, {"0"}, &error)) << error;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Get(dir_ / "gone" / "Keta.ini"), "0\r\n");
}

TEST_F(TextFileTest, AWriterInPiecesReplacesOnlyOnCommit) {
  const fs::path path = dir_ / "out.pdf";
  Put(path, "old");
  std::string error;
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path, &error)) << error;
    EXPECT_TRUE(writer.Write("%PDF-1.4\n"));
    EXPECT_TRUE(writer.Write("%%EOF\n"));
    EXPECT_EQ(Get(path), "old");
    ASSERT_TRUE(writer.Commit(&error)) << error;
  }
  EXPECT_EQ(Get(path), "%PDF-1.4\n%%EOF\n");
  EXPECT_THAT(Entries(), ElementsAre("out.pdf"));

  // Given up, or dropped unfinished: the old file and nothing beside it.
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path, &error)) << error;
    EXPECT_TRUE(writer.Write("half"));
    EXPECT_EQ(Entries().size(), 2u);
    writer.Abandon();
    EXPECT_FALSE(writer.Commit(&error));
  }
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path, &error)) << error;
    EXPECT_TRUE(writer.Write("half"));
  }
  EXPECT_EQ(Get(path), "%PDF-1.4\n%%EOF\n");
  EXPECT_THAT(Entries(), ElementsAre("out.pdf"));
}

TEST_F(TextFileTest, AFailedPieceFailsTheRestAndTheCommit) {
  const fs::path path = dir_ / "out.pdf";
  Put(path, "old");
  const SaveCalls calls{&FailingWrite, &FailingFsync, &FailingClose,
                        &FailingRename};
  SetSaveCallsForTesting(&calls);
  g_calls = 0;
  g_fail_call = 2;
  AtomicFileWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Open(path, &error)) << error;
  EXPECT_TRUE(writer.Write("a"));
  EXPECT_FALSE(writer.Write("b"));
  EXPECT_TRUE(writer.failed());
  // Later pieces are not written even when the disk would take them.
  EXPECT_FALSE(writer.Write("c"));
  EXPECT_FALSE(writer.Commit(&error));
  SetSaveCallsForTesting(nullptr);
  EXPECT_THAT(error, HasSubstr(std::strerror(ENOSPC)));
  EXPECT_THAT(error, HasSubstr(path.string()));
  EXPECT_EQ(Get(path), "old");
  EXPECT_THAT(Entries(), ElementsAre("out.pdf"));
}

TEST_F(TextFileTest, ReplacingAFolderFailsAndCleansUp) {
  fs::create_directory(dir_ / "sub");
  Put(dir_ / "sub" / "keep.txt", "x");
  std::string error;
  EXPECT_FALSE(WriteTextLinesAtomic(dir_ / "sub", {"new"}, &error));
  EXPECT_THAT(error, HasSubstr("sub"));
  EXPECT_THAT(Entries(), ElementsAre("sub"));
  EXPECT_EQ(Get(dir_ / "sub" / "keep.txt"), "x");

  error.clear();
  EXPECT_FALSE(WriteTextLinesAtomic(dir_ / "no" / "out.txt", {"new"}, &error));
  EXPECT_THAT(error, Not(IsEmpty()));
}

}  // namespace
}  // namespace veltrano
