// When the recovery copy of the open project is written and when it goes.
#include "shell/recovery_keeper.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "gtest/gtest.h"
#include "json/plans_json.h"
#include "project/plans_file.h"
#include "support/scratch_folder.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

class RecoveryKeeperTest : public ::testing::Test {
 protected:
  // A tick at `seconds` with the project's change mark `mark`.
  void Tick(RecoveryKeeper& keeper, double seconds, std::uint64_t mark) {
    keeper.Tick(static_cast<std::int64_t>(seconds * 1000), mark, [] { return Project(); });
    keeper.Wait();
  }

  testing::ScratchFolder scratch_{"veltrano_keeper"};
  const fs::path folder_ = scratch_.path();
};

TEST_F(RecoveryKeeperTest, ACopyFollowsChangesAfterTheIntervalAndGoesWithTheWork) {
  RecoveryKeeper keeper(folder_ / "Recovery");
  keeper.set_interval(60);
  Tick(keeper, 0, 1);  // no project open
  keeper.ProjectStarted(folder_ / "山田邸.xdt", "山田邸", std::nullopt, 1, false);
  const fs::path copy = keeper.copy_path();
  Tick(keeper, 1, 1);  // nothing changed
  Tick(keeper, 100, 1);
  EXPECT_EQ(keeper.copies_written(), 0);

  Tick(keeper, 200, 2);  // a change: its minute starts
  Tick(keeper, 259.9, 3);
  EXPECT_EQ(keeper.copies_written(), 0);
  Tick(keeper, 260, 3);
  EXPECT_EQ(keeper.copies_written(), 1);
  EXPECT_TRUE(fs::exists(copy));
  EXPECT_TRUE(ParseRecordText([&] {
                std::ifstream in(RecoveryCopies::RecordPathOf(copy), std::ios::binary);
                return std::string(std::istreambuf_iterator<char>(in), {});
              }())
                  .has_value());
  Tick(keeper, 400, 3);  // nothing new since the copy
  EXPECT_EQ(keeper.copies_written(), 1);

  // Saved (started again at the saved mark): the copy goes, and no change
  // means no copy.
  keeper.ProjectStarted(folder_ / "山田邸.xdt", "山田邸", std::nullopt, 3, false);
  EXPECT_FALSE(fs::exists(copy));
  Tick(keeper, 1000, 3);
  EXPECT_EQ(keeper.copies_written(), 1);

  // Changed, copied, then closed without saving: gone.
  Tick(keeper, 1000, 4);
  Tick(keeper, 1060, 4);
  EXPECT_TRUE(fs::exists(copy));
  keeper.ProjectClosed();
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_FALSE(fs::exists(RecoveryCopies::RecordPathOf(copy)));

  // No copies wanted.
  keeper.ProjectStarted(folder_ / "山田邸.xdt", "山田邸", std::nullopt, 5, false);
  keeper.set_interval(0);
  Tick(keeper, 2000, 6);
  Tick(keeper, 9000, 6);
  EXPECT_FALSE(fs::exists(copy));
}

TEST_F(RecoveryKeeperTest, ARestoredProjectKeepsItsCopyUntilItIsSavedOrGivenUp) {
  RecoveryKeeper keeper(folder_ / "Recovery");
  keeper.set_interval(1);
  fs::create_directories(folder_ / "Recovery");
  const fs::path copy = keeper.copies().CopyPathOf(folder_ / "山田邸.xdt", "山田邸");
  std::ofstream(copy) << "New\r\n";
  keeper.ProjectStarted(folder_ / "山田邸.xdt", "山田邸", std::nullopt, 7, true);
  EXPECT_TRUE(keeper.changed(7));
  Tick(keeper, 0, 7);
  Tick(keeper, 10, 7);
  EXPECT_EQ(keeper.copies_written(), 0);  // the copy already holds this
  EXPECT_TRUE(fs::exists(copy));
  Tick(keeper, 11, 8);
  Tick(keeper, 12, 8);
  EXPECT_EQ(keeper.copies_written(), 1);
  keeper.ProjectClosed();
  EXPECT_FALSE(fs::exists(copy));
}

TEST_F(RecoveryKeeperTest, MeasurementsOnDrawingsAreCopiedBesideTheProjectAndGoWithIt) {
  const PlansJson format;
  RecoveryKeeper keeper(folder_ / "Recovery");
  keeper.set_plans_format(&format);
  keeper.set_interval(1);
  keeper.ProjectStarted(folder_ / "山田邸.xdt", "山田邸", std::nullopt, 1, false);
  const fs::path copy = keeper.copy_path();
  Project project;
  PlanSetEditor(project.plans())->AddDrawing("1F.pdf", {{595, 842, PageScale::FromRatioText("1/100")}});
  PlanSetEditor(project.plans())->AddMeasurement({0, 0, MeasureKind::kCount, 0, {{1, 1}}, {}});
  const auto tick = [&](double seconds, std::uint64_t mark) {
    keeper.Tick(static_cast<std::int64_t>(seconds * 1000), mark, [&] { return project.Snapshot(); });
    keeper.Wait();
  };
  tick(0, 2);
  tick(5, 2);
  ASSERT_EQ(keeper.copies_written(), 1);
  PlanSet read;
  std::string error;
  ASSERT_EQ(ReadPlansFolder(DrawingsFolderOf(copy), format, &read, &error), PlansRead::kRead)
      << error;
  EXPECT_EQ(read, *project.plans());
  keeper.ProjectClosed();
  EXPECT_FALSE(fs::exists(DrawingsFolderOf(copy)));
}

}  // namespace
}  // namespace veltrano
