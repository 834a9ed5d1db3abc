#include "calc/number_text.h"

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "calc/formula.h"
#include "gtest/gtest.h"

namespace veltrano {
namespace {

TEST(LeadingNumberTest, TakesTheLongestLeadingNumber) {
  EXPECT_EQ(LeadingNumber("3."), 3);
  EXPECT_EQ(LeadingNumber("(2"), 0);
  EXPECT_EQ(LeadingNumber("2A"), 2);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("  -12.5m2"), -12.5);
  EXPECT_EQ(LeadingNumber("+4"), 4);
  EXPECT_EQ(LeadingNumber(".25"), 0.25);
  EXPECT_EQ(LeadingNumber("-.5"), -0.5);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber("1e5"), 1);
  EXPECT_EQ(LeadingNumber("- 3"), 0);
  EXPECT_EQ(LeadingNumber("1 2"), 1);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("▲3"), 0);
  EXPECT_EQ(LeadingNumber("0.1"), 0.1);
}

TEST(LeadingNumberTest, ReportsNumbersBeyondADouble) {
  double v = 5;
  EXPECT_FALSE(ReadLeadingNumber(std::string(400, '9'), &v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ReadLeadingNumber("0." + std::string(400, '0') + "1", &v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ReadLeadingNumber(std::string(300, '9'), &v));
  EXPECT_GT(v, 1e299);
}

TEST(ShortestTextTest, FifteenDigitsForDoublesSevenForSingles) {
  EXPECT_EQ(ShortestText(0.1 + 0.2), "0.3");
  EXPECT_EQ(ShortestText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(ShortestText(-2.5), "-2.5");
  EXPECT_EQ(ShortestText(-0.0), "0");
  EXPECT_EQ(ShortestText(1e16), "10000000000000000");
  EXPECT_EQ(ShortestText(4e-5), "0.00004");
  EXPECT_EQ(ShortestText(1.23e-7), "0.000000123");
  EXPECT_EQ(ShortestText(123456789012345678.0), "123456789012346000");
  EXPECT_EQ(ShortestText(2.675f), "2.675");
  EXPECT_EQ(ShortestText(0.1f), "0.1");
  EXPECT_EQ(ShortestText(16777217.0f), "16777220");
  EXPECT_EQ(ShortestText(-1.0f / 3), "-0.3333333");
}

TEST(RoundDecimalTextTest, RoundsOrCutsTheDecimalText) {
  using M = RoundMode;
  EXPECT_EQ(RoundDecimalText("1.005", 2, M::kHalfAwayFromZero), "1.01");
  EXPECT_EQ(RoundDecimalText("1.004999", 2, M::kHalfAwayFromZero), "1.00");
  EXPECT_EQ(RoundDecimalText("9.995", 2, M::kHalfAwayFromZero), "10.00");
  EXPECT_EQ(RoundDecimalText("0.999995", 5, M::kHalfAwayFromZero), "1.00000");
  EXPECT_EQ(RoundDecimalText("0.5", 0, M::kHalfAwayFromZero), "1");
  EXPECT_EQ(RoundDecimalText("99.5", 0, M::kHalfAwayFromZero), "100");
  EXPECT_EQ(RoundDecimalText("12", 3, M::kHalfAwayFromZero), "12.000");
  EXPECT_EQ(RoundDecimalText("0.00004", 2, M::kHalfAwayFromZero), "0.00");
  EXPECT_EQ(RoundDecimalText("1.23456", 4, M::kCutOff), "1.2345");
  EXPECT_EQ(RoundDecimalText("1.99999", 3, M::kCutOff), "1.999");
  EXPECT_EQ(RoundDecimalText(".5", 1, M::kCutOff), "0.5");
}

TEST(FiveDecimalTextTest, WritesAtMostFiveDecimals) {
  EXPECT_EQ(FiveDecimalText(0.333333), "0.33333");
  EXPECT_EQ(FiveDecimalText(2.0), "2");
  EXPECT_EQ(FiveDecimalText(-2.5), "-2.5");
  EXPECT_EQ(FiveDecimalText(0.999995), "1");
  EXPECT_EQ(FiveDecimalText(1.000005), "1.00001");
  EXPECT_EQ(FiveDecimalText(-0.000004), "0");
  EXPECT_EQ(FiveDecimalText(0.3 - 0.1 - 0.2), "0");
  EXPECT_EQ(FiveDecimalText(-0.000005), "-0.00001");
  EXPECT_EQ(FiveDecimalText(1e20), "100000000000000000000");
}

// The texts written from a value's five-decimal units must be the texts the
// general digit rounding gives; checked on the values takeoffs make (short
// decimals, their products and quotients, halves at every place, both signs,
// both sides of 10^9).
TEST(FiveDecimalTextTest, ShortcutForShortDecimalsAgreesWithDigitRounding) {
  using M = RoundMode;
  auto reference_five = [](double v) {
    std::string text = TrimFraction(
        RoundDecimalText(PlainMagnitude(v, 15), 5, M::kHalfAwayFromZero));
    if (v < 0 && text != "0") text.insert(text.begin(), '-');
    return text;
  };
  auto reference_rounded = [](double v, int q) {
    std::string magnitude = PlainMagnitude(v, 15);
    if (magnitude.find('.') == std::string::npos) {
      magnitude += "." + std::string(static_cast<std::size_t>(q), '0');
    } else {
      magnitude = RoundDecimalText(
          magnitude, q, q == 2 ? M::kHalfAwayFromZero : M::kCutOff);
    }
    if (v < 0) magnitude.insert(magnitude.begin(), '-');
    return magnitude;
  };
  std::mt19937_64 random(20261208);
  auto decimal = [&](int decimals, long long limit) {
    const long long whole = static_cast<long long>(random() % static_cast<unsigned long long>(limit));
    long long fraction = 0;
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) {
      fraction = fraction * 10 + static_cast<long long>(random() % 10);
      scale *= 10;
    }
    const double v = static_cast<double>(whole) +
                     static_cast<double>(fraction) / static_cast<double>(scale);
    return random() % 4 == 0 ? -v : v;
  };
  int shortcut = 0;
  for (int i = 0; i < 300000; ++i) {
    const int kind = i % 6;
    const long long limit = kind == 5 ? 3000000000LL : i % 3 == 0 ? 100 : 100000;
    double v = decimal(static_cast<int>(random() % 8), limit);
    if (kind == 1) v *= decimal(static_cast<int>(random() % 4), 100);
    if (kind == 2) {
      const double d = decimal(static_cast<int>(random() % 3), 50);
      if (d != 0) v /= d;
    }
    if (kind == 3) v = std::nextafter(v, random() % 2 ? 1e300 : -1e300);
    if (kind == 4) v = (std::floor(v * 1e4) + 0.5) / 1e4;  // a half at the fifth
    long long units = 0;
    if (ExactFiveDecimalUnits(v, &units)) ++shortcut;
    ASSERT_EQ(FiveDecimalText(v), reference_five(v)) << std::hexfloat << v;
    ASSERT_EQ(FiveDecimalValue(v), LeadingNumber(reference_five(v))) << std::hexfloat << v;
    for (int q = 2; q <= 4; ++q) {
      ASSERT_EQ(RoundCalculated(v, q), reference_rounded(v, q)) << std::hexfloat << v << " q " << q;
    }
  }
  // Most cases must have taken the shortcut, or it is not being tested.
  EXPECT_GT(shortcut, 100000);
}

TEST(ToSingleTest, KeepsRangeAndOverflowsToInfinity) {
  EXPECT_EQ(ToSingle(2.5), 2.5f);
  EXPECT_EQ(ToSingle(1e39), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToSingle(-1e39), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToSingle(3.4028235e38), std::numeric_limits<float>::max());
}

}  // namespace
}  // namespace veltrano
