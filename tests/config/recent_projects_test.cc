// The recent projects: ten at most, the latest first, each once, and the
// list read back as written, whatever else the file holds.
#include "config/recent_projects.h"

#include <fstream>
#include <string>

#include "gtest/gtest.h"
#include "support/scratch_folder.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

TEST(RecentProjectsTest, TheLatestTenEachOnceReadBackAsWritten) {
  testing::ScratchFolder scratch("veltrano_recent");
  const fs::path file = scratch.path() / RecentProjects::kFileName;
  RecentProjects recent(file);
  recent.Load();  // no file yet
  EXPECT_TRUE(recent.entries().empty());
  for (int i = 1; i <= 12; ++i) {
    ASSERT_TRUE(recent.Add(scratch.path() / ("物件" + std::to_string(i) + ".xdt")));
  }
  // Named again another way: moved up, not listed twice.
  ASSERT_TRUE(recent.Add(scratch.path() / "sub" / ".." / "物件5.xdt"));
  ASSERT_EQ(recent.entries().size(), RecentProjects::kMost);
  EXPECT_EQ(recent.entries()[0].filename(), "物件5.xdt");
  EXPECT_EQ(recent.entries()[1].filename(), "物件12.xdt");
  EXPECT_EQ(recent.entries()[9].filename(), "物件3.xdt");

  RecentProjects again(file);
  again.Load();
  EXPECT_EQ(again.entries(), recent.entries());

  // What is not an absolute path, and repeats, are passed over.
  std::ofstream(file, std::ios::app) << "relative.xdt\r\n\r\n" << recent.entries()[0].string() << "\n";
  again.Load();
  EXPECT_EQ(again.entries(), recent.entries());
  ASSERT_TRUE(again.Remove(recent.entries()[0]));
  EXPECT_EQ(again.entries().size(), RecentProjects::kMost - 1);
  // A file that cannot be written is said, and the list stays in memory.
  RecentProjects nowhere(scratch.path() / "missing" / "folder" / "Recent.txt");
  EXPECT_FALSE(nowhere.Add(scratch.path() / "a.xdt"));
  EXPECT_EQ(nowhere.entries().size(), 1u);
}

}  // namespace
}  // namespace veltrano
