#include "calc/text_file.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
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

// --- Writing --------------------------------------------------------------

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
