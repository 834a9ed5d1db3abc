#include "calc/text_util.h"

#include <random>
#include <string>
#include <vector>

#include "calc/grid.h"
#include "gtest/gtest.h"

namespace veltrano {
namespace {

TEST(FieldOfTest, CountsFromZeroAndGivesEmptyPastTheEnd) {
  EXPECT_EQ(FieldOf("Data,居間,1,,▲", 0), "Data");
  EXPECT_EQ(FieldOf("Data,居間,1,,▲", 1), "居間");
  EXPECT_EQ(FieldOf("Data,居間,1,,▲", 3), "");
  EXPECT_EQ(FieldOf("Data,居間,1,,▲", 4), "▲");
  EXPECT_EQ(FieldOf("Data,居間,1,,▲", 5), "");
  EXPECT_EQ(FieldOf("", 0), "");
  EXPECT_EQ(FieldOf("a,b,", 2), "");
  EXPECT_EQ(FieldOf("a,b", -1), "");
}

TEST(ReplaceFieldTest, KeepsEveryOtherFieldAndTheCount) {
  EXPECT_EQ(ReplaceField("Data,居間,1,,▲", 1, "寝室"), "Data,寝室,1,,▲");
  EXPECT_EQ(ReplaceField("a,b,", 2, "c"), "a,b,c");
  EXPECT_EQ(ReplaceField("a,b", 5, "c"), "a,b");
  EXPECT_EQ(SplitFields("a'b'", '\'').size(), 3u);
}

TEST(FoldCaseTest, FoldsAsciiAndFullWidthLettersOnly) {
  EXPECT_TRUE(EqualsIgnoreCase("sd-1a", "SD-1A"));
  EXPECT_TRUE(EqualsIgnoreCase("ＡＷ－１ｂ", "ａｗ－１Ｂ"));
  EXPECT_FALSE(EqualsIgnoreCase("ＡＷ", "AW"));
  EXPECT_FALSE(EqualsIgnoreCase("あ", "ア"));
  EXPECT_FALSE(EqualsIgnoreCase("SD1", "SD1 "));
  EXPECT_EQ(FoldCase("ｚ居ａz"), "Ｚ居ＡZ");
}

TEST(FoldCaseTest, ComparingIsComparingTheFoldedTexts) {
  // Pieces that fold, pieces that look alike but do not, and bytes that
  // are not a whole character.
  const std::vector<std::string> pieces = {
      "a", "A", "z", "ａ", "Ａ", "ｚ", "Ｚ", "ｱ", "居", "-", "\xEF\xBD", "\x81"};
  std::mt19937 random(7);
  auto text = [&] {
    std::string t;
    for (int n = static_cast<int>(random() % 5); n > 0; --n) {
      t += pieces[random() % pieces.size()];
    }
    return t;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string a = text();
    const std::string b = text();
    ASSERT_EQ(EqualsIgnoreCase(a, b), FoldCase(a) == FoldCase(b))
        << a << " / " << b;
  }
}

TEST(TextGridTest, ResizeKeepsWhatFitsAndClearsByRange) {
  TextGrid g(3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) g.Set(r, c, std::to_string(r * 10 + c));
  g.Resize(4, 2);
  EXPECT_EQ(g.At(2, 1), "21");
  EXPECT_EQ(g.At(3, 0), "");
  EXPECT_EQ(g.At(0, 2), "");  // outside reads empty
  g.Set(0, 2, "x");           // outside is ignored
  g.Resize(4, 3);
  EXPECT_EQ(g.At(0, 2), "");
  EXPECT_EQ(g.At(1, 1), "11");
  g.Set(1, 2, "12");
  g.Set(2, 2, "22");
  g.ClearRange(2, 1, 0, 0);  // corners in either order
  EXPECT_EQ(g.At(0, 0), "");
  EXPECT_EQ(g.At(2, 1), "");
  EXPECT_EQ(g.At(2, 2), "22");
  EXPECT_EQ(g.At(3, 0), "");
  g.InsertRow(1);
  EXPECT_EQ(g.rows(), 5);
  EXPECT_EQ(g.At(1, 2), "");
  EXPECT_EQ(g.At(2, 2), "12");
  g.RemoveRow(0);
  EXPECT_EQ(g.At(1, 2), "12");
  EXPECT_EQ(g.At(2, 2), "22");
  g.Resize(-3, 2);
  EXPECT_EQ(g.rows(), 0);
}

}  // namespace
}  // namespace veltrano
