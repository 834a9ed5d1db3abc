// The lock file beside an open project: what it says, what a look at it
// decides, and that a holder only ever removes its own.
#include "project/project_lock.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "calc/text_file.h"
#include "gtest/gtest.h"
#include "support/scratch_folder.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

bool Alive(std::int64_t pid) { return pid == 4242; }

void WriteLock(const fs::path& project, const std::string& text) {
  std::ofstream(LockPathOf(project), std::ios::binary) << text;
}

class ProjectLockTest : public ::testing::Test {
 protected:
  testing::ScratchFolder scratch_{"veltrano_lock"};
  const fs::path folder_ = scratch_.path();
  const fs::path project_ = folder_ / "山田邸.xdt";
};

TEST_F(ProjectLockTest, TheLineNamesItsHolderAndAnythingElseNamesNobody) {
  EXPECT_EQ(LockPathOf(project_).filename().string(), ".~lock.山田邸.xdt#");
  const LockHolder holder{"sato,k", "事務所;1", 812, 1796000000};
  const std::string line = LockLine(holder);
  EXPECT_TRUE(line.starts_with("sato_k,事務所_1,812,1796000000,")) << line;
  EXPECT_TRUE(line.ends_with(";\n")) << line;
  const std::optional<LockHolder> read = ParseLockLine(line);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->Named(), "sato_k（事務所_1）");
  EXPECT_EQ(read->pid, 812);
  EXPECT_EQ(read->since, 1796000000);
  for (const char* text : {"", "sato,host,812,1796000000", "sato,host,x,1;",
                           ",host,1,1;", "sato,host,1;", "sato,host,1,1e3;"}) {
    EXPECT_FALSE(ParseLockLine(text).has_value()) << text;
  }
}

TEST_F(ProjectLockTest, ALookTellsOursLiveAndStaleHolders) {
  const ProcessIdentity self{"sato", "pc1", 100};
  const std::int64_t now = 1796000000;
  EXPECT_EQ(LookAtLock(project_, self, now, Alive).standing, LockStanding::kFree);
  struct Case {
    LockHolder holder;
    LockStanding standing;
  };
  const Case cases[] = {
      {{"sato", "pc1", 100, now - 5 * kStaleLockSeconds}, LockStanding::kOurs},
      {{"suzuki", "pc1", 4242, now - 5 * kStaleLockSeconds}, LockStanding::kLive},
      {{"suzuki", "pc1", 4243, now}, LockStanding::kStale},  // its process gone
      {{"sato", "pc2", 100, now - kStaleLockSeconds}, LockStanding::kLive},
      {{"sato", "pc2", 100, now - kStaleLockSeconds - 1}, LockStanding::kStale},
  };
  for (const Case& c : cases) {
    WriteLock(project_, LockLine(c.holder));
    const LockLook look = LookAtLock(project_, self, now, Alive);
    EXPECT_EQ(look.standing, c.standing) << LockLine(c.holder);
    EXPECT_EQ(look.holder.Named(), c.holder.Named());
  }
  WriteLock(project_, "\x82\xa0 not a lock");
  EXPECT_EQ(LookAtLock(project_, self, now, Alive).standing, LockStanding::kStale);
}

TEST_F(ProjectLockTest, AHolderRemovesOnlyItsOwnLock) {
  std::string error;
  {
    ProjectLock lock;
    ASSERT_TRUE(lock.Take(project_, &error)) << error;
    const LockLook look = LookAtLock(project_, ThisProcess(), SecondsNow());
    EXPECT_EQ(look.standing, LockStanding::kOurs);
    // Switching projects moves the lock.
    const fs::path other = folder_ / "other.xdt";
    ASSERT_TRUE(lock.Take(other, &error)) << error;
    EXPECT_FALSE(fs::exists(LockPathOf(project_)));
    EXPECT_TRUE(fs::exists(LockPathOf(other)));
  }
  EXPECT_FALSE(fs::exists(LockPathOf(folder_ / "other.xdt")));

  // Taken over by another program meanwhile: that one's lock stays.
  ProjectLock lock;
  ASSERT_TRUE(lock.Take(project_, &error)) << error;
  const std::string theirs = LockLine({"suzuki", "pc9", 77, SecondsNow()});
  WriteLock(project_, theirs);
  lock.Release();
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(LockPathOf(project_), &bytes, &error)) << error;
  EXPECT_EQ(bytes, theirs);

  // A folder that takes no file (here one that is a file, which refuses
  // even the superuser): the lock is not held, and says why.
  std::ofstream(folder_ / "share", std::ios::binary) << "x";
  ProjectLock refused;
  EXPECT_FALSE(refused.Take(folder_ / "share" / "物件.xdt", &error));
  EXPECT_FALSE(refused.held());
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace veltrano
