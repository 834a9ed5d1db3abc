#include "config/folders.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "gmock/gmock.h"
#include "gtest/gtest.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Sets an environment variable for the life of the object and puts the old
// value (or its absence) back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value)
      : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value.has_value()) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_.has_value()) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class FoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("veltrano_folders_" + std::to_string(::getpid()) + "_" +
            info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "home");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Touch(const fs::path& path) { std::ofstream(path) << "x"; }

  fs::path dir_;
};

TEST_F(FoldersTest, BaseComesFromOptionThenEnvironmentThenHome) {
  const fs::path home = dir_ / "home";
  ScopedEnv home_env("HOME", home.string());

  {
    ScopedEnv base_env("VELTRANO_BASE", (dir_ / "from_env").string());
    EXPECT_EQ(ResolveFolders((dir_ / "from_option").string()).base,
              dir_ / "from_option");
    EXPECT_EQ(ResolveFolders(std::nullopt).base, dir_ / "from_env");
    // An empty option counts as not given.
    EXPECT_EQ(ResolveFolders(std::string()).base, dir_ / "from_env");
  }
  {
    ScopedEnv base_env("VELTRANO_BASE", std::string());
    EXPECT_EQ(ResolveFolders(std::nullopt).base, home / "Veltrano");
  }
  ScopedEnv base_env("VELTRANO_BASE", std::nullopt);
  const Folders folders = ResolveFolders(std::nullopt);
  EXPECT_EQ(folders.base, home / "Veltrano");
  EXPECT_EQ(folders.data, home / "Veltrano" / "Data");
  EXPECT_EQ(folders.info, home / "Veltrano" / "info");
  EXPECT_EQ(folders.list, home / "Veltrano" / "list");
  EXPECT_EQ(folders.manual, home / "Veltrano" / "Manual");
}

TEST_F(FoldersTest, BackupsGoToTheInfoFolderOfTheBaseGiven) {
  const fs::path home = dir_ / "home";
  ScopedEnv home_env("HOME", home.string());
  ScopedEnv base_env("VELTRANO_BASE", (dir_ / "from_env").string());

  EXPECT_EQ(ResolveFolders((dir_ / "d").string()).backup, dir_ / "d" / "info");
  const Folders from_env = ResolveFolders(std::nullopt);
  EXPECT_EQ(from_env.backup, dir_ / "from_env" / "info");
  EXPECT_EQ(from_env.info, dir_ / "from_env" / "info");
  // An "Info" already there holds the backups too.
  fs::create_directories(dir_ / "e" / "Info");
  EXPECT_EQ(ResolveFolders((dir_ / "e").string()).backup, dir_ / "e" / "Info");

  ScopedEnv no_base("VELTRANO_BASE", std::nullopt);
  EXPECT_EQ(ResolveFolders(std::nullopt).backup, home / "Veltrano" / "info");
  EXPECT_EQ(FoldersUnder(dir_ / "b", dir_ / "c").backup,
            dir_ / "c" / "Veltrano" / "info");
}

TEST_F(FoldersTest, RelativeBaseIsTakenFromTheWorkingDirectory) {
  ScopedEnv home_env("HOME", (dir_ / "home").string());
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  const Folders folders = ResolveFolders(std::string("work/../site"));
  fs::current_path(before);

  EXPECT_TRUE(folders.base.is_absolute());
  EXPECT_EQ(folders.base, dir_ / "site");
}

TEST_F(FoldersTest, ExistingSubfoldersUnderAnotherCaseAreReused) {
  const fs::path base = dir_ / "base";
  fs::create_directories(base / "INFO");
  fs::create_directories(base / "List");
  fs::create_directories(dir_ / "home" / "veltrano" / "Info");
  Touch(base / "data");  // a file, not a folder: not taken for "Data"

  const Folders folders = FoldersUnder(base, dir_ / "home");
  EXPECT_EQ(folders.info, base / "INFO");
  EXPECT_EQ(folders.list, base / "List");
  EXPECT_EQ(folders.data, base / "Data");
  EXPECT_EQ(folders.backup, dir_ / "home" / "veltrano" / "Info");
}

TEST_F(FoldersTest, EnsureFoldersCreatesTheBaseFolderButNoBackupFolder) {
  const Folders folders = FoldersUnder(dir_ / "new" / "Veltrano",
                                       dir_ / "home");
  std::string error;
  ASSERT_TRUE(EnsureFolders(folders, &error)) << error;
  for (const fs::path& p : {folders.base, folders.data, folders.info,
                            folders.list, folders.manual}) {
    EXPECT_TRUE(fs::is_directory(p)) << p;
  }
  // The backup folder is made by the first backup.
  EXPECT_TRUE(fs::is_empty(dir_ / "home"));
  // A second call finds everything in place.
  EXPECT_TRUE(EnsureFolders(folders, &error)) << error;
}

TEST_F(FoldersTest, EnsureFoldersNamesAFolderItCannotMake) {
  Touch(dir_ / "blocked");
  const Folders folders = FoldersUnder(dir_ / "blocked", dir_ / "home");
  std::string error;
  EXPECT_FALSE(EnsureFolders(folders, &error));
  EXPECT_THAT(error, HasSubstr("blocked"));
}

TEST_F(FoldersTest, FileLookupIgnoresLetterCase) {
  Touch(dir_ / "Kousyu.ini");
  EXPECT_EQ(FindFileIgnoringCase(dir_, "kousyu.ini"), dir_ / "Kousyu.ini");
  EXPECT_EQ(FindFileIgnoringCase(dir_, "KOUSYU.INI"), dir_ / "Kousyu.ini");

  // The exact name wins over another spelling.
  Touch(dir_ / "kousyu.ini");
  EXPECT_EQ(FindFileIgnoringCase(dir_, "kousyu.ini"), dir_ / "kousyu.ini");
  EXPECT_EQ(FindFileIgnoringCase(dir_, "Kousyu.ini"), dir_ / "Kousyu.ini");

  // Nothing there, or only a folder of that name: the name as asked for.
  fs::create_directories(dir_ / "tani.ini");
  EXPECT_EQ(FindFileIgnoringCase(dir_, "Tani.ini"), dir_ / "Tani.ini");
  EXPECT_EQ(FindFileIgnoringCase(dir_, "Hasu.ini"), dir_ / "Hasu.ini");
  EXPECT_EQ(FindFileIgnoringCase(dir_ / "missing", "Hasu.ini"),
            dir_ / "missing" / "Hasu.ini");
}

}  // namespace
}  // namespace veltrano
