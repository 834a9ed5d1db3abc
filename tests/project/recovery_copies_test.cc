// The recovery folder: the records beside the copies, which copies count as
// left behind, and copies set aside.
#include "project/recovery_copies.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "gtest/gtest.h"
#include "support/scratch_folder.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

bool Alive(std::int64_t pid) { return pid == 4242; }

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class RecoveryCopiesTest : public ::testing::Test {
 protected:
  // A copy and its record, written by `pid` of host "pc1" at `saved`.
  fs::path Left(const RecoveryCopies& copies, const std::string& name, std::int64_t pid,
                std::int64_t saved) {
    const fs::path original = "/share/" + name + ".xdt";
    const fs::path copy = copies.CopyPathOf(original, name);
    Write(copy, "New\r\n");
    std::string error;
    EXPECT_TRUE(copies.WriteRecord(copy, {original, name, saved, "pc1", pid, std::nullopt},
                                   &error))
        << error;
    return copy;
  }

  testing::ScratchFolder scratch_{"veltrano_recovery"};
  const fs::path folder_ = scratch_.path();
};

TEST_F(RecoveryCopiesTest, ARecordComesBackAsWrittenAndNothingElseIsOne) {
  RecoveryRecord record{"/家/a\\b\nc.xdt", "山田邸", 1796000000, "pc1", 812, FileStamp{3, -5}};
  const std::optional<RecoveryRecord> read = ParseRecordText(RecordText(record));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->original, record.original);
  EXPECT_EQ(read->name, "山田邸");
  EXPECT_EQ(read->saved, 1796000000);
  EXPECT_EQ(read->pid, 812);
  EXPECT_EQ(read->original_stamp, record.original_stamp);
  // A key of a later version is passed over.
  EXPECT_TRUE(ParseRecordText(RecordText(record) + "colour=blue\n").has_value());

  const std::string whole = RecordText(record);
  for (const std::string& text :
       {std::string(), std::string("veltrano-recovery 2\n") + whole.substr(20),
        whole.substr(0, whole.size() - 1),  // cut short
        whole + "saved=soon\n", whole + "original=a\\q\n", whole + "no equals\n",
        std::string("veltrano-recovery 1\nname=x\nsaved=1\n")}) {  // no original
    EXPECT_FALSE(ParseRecordText(text).has_value()) << text;
  }
}

TEST_F(RecoveryCopiesTest, LeftCopiesAreThoseOfProgramsNoLongerRunning) {
  const RecoveryCopies copies(folder_);
  // One name in two folders: two copies.
  EXPECT_NE(copies.CopyPathOf("/a/山田邸.xdt", "山田邸"), copies.CopyPathOf("/b/山田邸.xdt", "山田邸"));
  EXPECT_EQ(copies.CopyPathOf("/a/../a/山田邸.xdt", "山田邸"),
            copies.CopyPathOf("/a/山田邸.xdt", "山田邸"));

  const fs::path newer = Left(copies, "新しい", 77, 200);
  const fs::path older = Left(copies, "古い", 78, 100);
  Left(copies, "動いている", 4242, 50);   // its program still runs
  Left(copies, "自分の", 100, 50);        // this program's own
  Write(folder_ / "記録なし-00.xdt", "New\r\n");
  Write(folder_ / ".vtmp-0123-1-0", "half");  // a write in progress
  const std::vector<RecoveryCopies::Left> left = copies.FindLeft({"sato", "pc1", 100}, Alive);
  ASSERT_EQ(left.size(), 3u);
  EXPECT_FALSE(left[0].record.has_value());
  EXPECT_EQ(left[1].copy, older);
  EXPECT_EQ(left[2].copy, newer);

  // Set aside twice under one name: the second is numbered; records go along.
  ASSERT_TRUE(copies.SetAside(older).has_value());
  const fs::path again = Left(copies, "古い", 78, 100);
  const std::optional<fs::path> aside = copies.SetAside(again);
  ASSERT_TRUE(aside.has_value());
  EXPECT_EQ(aside->parent_path(), folder_ / "Damaged");
  EXPECT_TRUE(fs::exists(RecoveryCopies::RecordPathOf(*aside)));
  EXPECT_NE(*aside, folder_ / "Damaged" / older.filename());
  RecoveryCopies::Remove(newer);
  EXPECT_FALSE(fs::exists(newer));
  EXPECT_FALSE(fs::exists(RecoveryCopies::RecordPathOf(newer)));
}

}  // namespace
}  // namespace veltrano
