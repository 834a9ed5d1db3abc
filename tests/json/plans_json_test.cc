// The measurements file: what is written reads back as it was, and a file
// that is not what the program writes is refused with a reason, never
// read in part.
#include <filesystem>
#include <fstream>
#include <string>

#include "gtest/gtest.h"
#include "json/plans_json.h"
#include "support/scratch_folder.h"

namespace veltrano::testing {
namespace {

namespace fs = std::filesystem;

PlanSet SampleSet() {
  PlanSet plans;
  plans.AddDrawing("1F平面図.pdf", {{2384, 1684, {}}, {595.3, 841.9, {}}});
  plans.AddDrawing("立面図.pdf", {{1190.55, 841.89, {}}});
  plans.SetScale(0, 0, *PageScale::FromRatioText("1/100"));
  // A calibrated scale whose value has no short decimal form.
  plans.SetScale(0, 1, *PageScale::Calibrated({0, 0}, {3, 7}, 1000.0 / 3));
  plans.SetScale(1, 0, *PageScale::FromRatioText("1/50"));
  plans.AddMeasurement({0, 0, MeasureKind::kRect, 0, {{10.5, 20.25}, {113.7, 97.1}}, {}});
  plans.AddMeasurement({0, 1, MeasureKind::kArea, 2, {{0, 0}, {100, 0}, {100, 0.1}, {0.3, 80}}, {}});
  plans.AddMeasurement({1, 0, MeasureKind::kLength, 1, {{1, 2}, {3, 4}, {5, 6.000001}}, {}});
  plans.AddMeasurement({1, 0, MeasureKind::kCount, 4, {{1, 1}, {2, 2}, {3, 3}}, {}});
  plans.Link(0, {0, "居間 (南)", 3, 0});
  plans.Link(2, {1, "外壁\"A\"", 50, 1});
  return plans;
}

TEST(PlansJsonTest, WhatIsWrittenReadsBackExactly) {
  const PlansJson format;
  const PlanSet plans = SampleSet();
  const std::string text = format.Encode(plans);
  PlanSet read;
  std::string error;
  ASSERT_TRUE(format.Decode(text, &read, &error)) << error;
  EXPECT_EQ(read, plans);
  EXPECT_EQ(format.Encode(read), text);
  // Readable by other programs: UTF-8 names as they are, parts by name.
  EXPECT_NE(text.find("\"1F平面図.pdf\""), std::string::npos);
  EXPECT_NE(text.find("\"壁\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"schema\": 1"), std::string::npos);

  // No drawings at all is a file too.
  ASSERT_TRUE(format.Decode(format.Encode(PlanSet()), &read, &error)) << error;
  EXPECT_EQ(read, PlanSet());
}

TEST(PlansJsonTest, AFileNotAsWrittenIsRefusedWithAReason) {
  const PlansJson format;
  const std::string good = format.Encode(SampleSet());
  const auto with = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  const std::string cases[] = {
      "",
      "{",
      "[]",
      "{\"schema\": 1}",
      with("\"schema\": 1", "\"schema\": 2"),
      with("\"schema\": 1", "\"schema\": \"1\""),
      with("\"1F平面図.pdf\"", "\"../../etc/passwd\""),
      with("\"1F平面図.pdf\"", "\"\""),
      with("\"1F平面図.pdf\"", "\"a/b.pdf\""),
      with("\"drawing\": 2", "\"drawing\": 3"),
      with("\"drawing\": 2", "\"drawing\": 0"),
      with("\"page\": 2", "\"page\": 9"),
      with("\"kind\": \"rect\"", "\"kind\": \"circle\""),
      with("\"part\": \"床\"", "\"part\": 0"),
      with("\"side\": \"interior\"", "\"side\": \"left\""),
      with("\"row\": 3", "\"row\": 51"),
      with("\"row\": 3", "\"row\": 3.5"),
      with("\"ratio\": \"1/100\"", "\"ratio\": \"1/0\""),
      with("\"width\": 2384", "\"width\": -2384"),
      with("\"width\": 2384", "\"width\": 1e999"),
      with("10.5", "1e300"),   // a point too far for anything real
      with("[\n     10.5", "[\n     \"10.5\""),
      with("20.25", "20.25, 1"),
  };
  for (const std::string& text : cases) {
    PlanSet read = SampleSet();
    std::string error;
    EXPECT_FALSE(format.Decode(text, &read, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_EQ(read, PlanSet()) << "nothing is read in part";
  }
  // Nested without end: refused, not a crash.
  PlanSet read;
  std::string error;
  EXPECT_FALSE(format.Decode(std::string(100000, '[') + std::string(100000, ']'), &read, &error));
}

TEST(PlansJsonTest, TheDrawingsFolderBesideTheProject) {
  ScratchFolder scratch("plans_folder");
  const PlansJson format;
  const fs::path folder = DrawingsFolderOf(scratch.path() / "山田邸.xdt");
  EXPECT_EQ(folder, scratch.path() / "山田邸_図面");

  // No folder: no drawings, and nothing to say.
  PlanSet read = SampleSet();
  std::string error;
  EXPECT_EQ(ReadPlansFolder(folder, format, &read, &error), PlansRead::kNone);
  EXPECT_EQ(read, PlanSet());

  ASSERT_TRUE(WritePlansFolder(folder, format, SampleSet(), &error)) << error;
  EXPECT_EQ(ReadPlansFolder(folder, format, &read, &error), PlansRead::kRead);
  EXPECT_EQ(read, SampleSet());

  std::ofstream(folder / kPlansFileName, std::ios::trunc) << "{\"schema\": 1, \"drawings\": [";
  EXPECT_EQ(ReadPlansFolder(folder, format, &read, &error), PlansRead::kDamaged);
  EXPECT_EQ(read, PlanSet());
  EXPECT_NE(error.find(kPlansFileName), std::string::npos) << error;

  // Attaching the same file twice keeps both; copying the folder takes the
  // drawings the measurements name.
  const fs::path pdf = scratch.path() / "1F平面図.pdf";
  std::ofstream(pdf, std::ios::binary) << "%PDF-1.4 drawing";
  ASSERT_EQ(CopyIntoDrawingsFolder(pdf, folder, &error), "1F平面図.pdf") << error;
  ASSERT_EQ(CopyIntoDrawingsFolder(pdf, folder, &error), "1F平面図(2).pdf") << error;
  const fs::path copy = scratch.path() / "copy_図面";
  ASSERT_TRUE(CopyDrawings(folder, copy, SampleSet(), &error)) << error;
  EXPECT_TRUE(fs::exists(copy / "1F平面図.pdf"));
  EXPECT_FALSE(fs::exists(copy / "1F平面図(2).pdf"));  // named by no drawing
  EXPECT_EQ(fs::file_size(copy / "1F平面図.pdf"), fs::file_size(pdf));
  // A missing source refuses the copy with a reason, leaving nothing.
  EXPECT_FALSE(CopyIntoDrawingsFolder(scratch.path() / "無い.pdf", folder, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace veltrano::testing
