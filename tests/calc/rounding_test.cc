#include "calc/rounding.h"

#include <limits>

#include "gtest/gtest.h"

namespace veltrano {
namespace {

TEST(DigitSettingTest, SelectsDigitModeAndFallsBackToTwoDecimals) {
  EXPECT_EQ(DigitSetting().q(), 2);
  EXPECT_EQ(DigitSetting(0).q(), 2);
  EXPECT_EQ(DigitSetting(1).q(), 3);
  EXPECT_EQ(DigitSetting(2).q(), 4);
  EXPECT_EQ(DigitSetting(3).q(), 2);
  EXPECT_EQ(DigitSetting(3).d(), -1);
  EXPECT_EQ(DigitSetting(-1).q(), 2);
  // An unselected setting totals like D = 0.
  EXPECT_EQ(DigitSetting(7).FormatColumnTotal(7.999f), "8.00");
}

TEST(FormatTotalTest, ColumnTotalsFollowTheDigitSetting) {
  const DigitSetting d0(0), d1(1), d2(2);
  EXPECT_EQ(d0.FormatColumnTotal(12.375f), "12.38");
  EXPECT_EQ(d0.FormatColumnTotal(0.996f), "1.00");
  EXPECT_EQ(d0.FormatColumnTotal(2.675f), "2.68");
  EXPECT_EQ(d0.FormatColumnTotal(1.005f), "1.01");
  EXPECT_EQ(d1.FormatColumnTotal(2.5f), "2.50");
  EXPECT_EQ(d1.FormatColumnTotal(0.125f), "0.13");
  EXPECT_EQ(d1.FormatColumnTotal(12.344f), "12.34");
  EXPECT_EQ(d2.FormatColumnTotal(7.999f), "7.99");
  EXPECT_EQ(d2.FormatColumnTotal(3.0f), "3.00");
  EXPECT_EQ(d2.FormatColumnTotal(0.5f), "0.50");
  EXPECT_EQ(d2.FormatColumnTotal(12.3f), "12.30");
  for (const DigitSetting& d : {d0, d1, d2}) {
    EXPECT_EQ(d.FormatColumnTotal(0.0f), "0.00");
    EXPECT_EQ(d.FormatColumnTotal(-0.0f), "0.00");
  }
}

TEST(FormatTotalTest, CellsUseTheDigitModeWithoutCutOff) {
  EXPECT_EQ(DigitSetting(0).FormatCell(1.234f), "1.23");
  EXPECT_EQ(DigitSetting(1).FormatCell(1.2345f), "1.235");
  EXPECT_EQ(DigitSetting(1).FormatCell(2.0f), "2.000");
  EXPECT_EQ(DigitSetting(2).FormatCell(1.23456f), "1.2346");
  EXPECT_EQ(DigitSetting(2).FormatCell(0.5f), "0.5000");
}

TEST(FormatTotalTest, SignsAndMagnitudes) {
  EXPECT_EQ(FormatTotal(-0.5f, 2, false), "-0.50");
  EXPECT_EQ(FormatTotal(-7.999f, 4, true), "-7.99");
  EXPECT_EQ(FormatTotal(-12.375f, 2, false), "-12.38");
  // Negative totals that round to zero carry no sign.
  EXPECT_EQ(FormatTotal(-0.001f, 2, false), "0.00");
  EXPECT_EQ(FormatTotal(-0.001f, 4, true), "0.00");
  // Seven significant digits, never exponent form.
  EXPECT_EQ(FormatTotal(12345678.0f, 2, false), "12345680.00");
  EXPECT_EQ(FormatTotal(1e16f, 2, false), "10000000000000000.00");
  EXPECT_EQ(FormatTotal(1e16f, 4, true), "10000000000000000.00");
  EXPECT_EQ(FormatTotal(0.00001f, 2, false), "0.00");
  EXPECT_EQ(FormatTotal(0.00005f, 4, false), "0.0001");
  EXPECT_EQ(FormatTotal(0.00005f, 4, true), "0.00");
  EXPECT_EQ(FormatTotal(99999.99f, 2, false), "99999.99");
  EXPECT_EQ(FormatTotal(0.9999996f, 2, false), "1.00");
  EXPECT_EQ(FormatTotal(std::numeric_limits<float>::infinity(), 2, false),
            "?");
}

}  // namespace
}  // namespace veltrano
