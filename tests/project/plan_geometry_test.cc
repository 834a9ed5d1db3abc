// Measuring on a drawing against cases worked out by hand.
#include "project/plan_geometry.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace veltrano {
namespace {

// A point `x_mm`, `y_mm` of paper from the page's top left.
PagePoint Paper(double x_mm, double y_mm) {
  return {x_mm / kMillimetresPerPoint, y_mm / kMillimetresPerPoint};
}

// One point of the page is one real millimetre.
PageScale OneToOne() { return *PageScale::Calibrated({0, 0}, {100, 0}, 100); }

std::string Sent(MeasureKind kind, const std::vector<PagePoint>& points, const PageScale& scale) {
  const std::optional<Measured> measured = Measure(kind, points, scale);
  return measured ? SentText(kind, *measured) : "(none)";
}

TEST(PlanGeometryTest, ADrawingScaleTurnsPaperIntoMetres) {
  const PageScale scale = *PageScale::FromRatioText("1/100");
  EXPECT_EQ(scale.ratio_text(), "1/100");
  // 36.4 mm of paper at 1/100 is 3.640 m; 27.3 mm is 2.730 m.
  EXPECT_EQ(Sent(MeasureKind::kLength, {Paper(0, 0), Paper(36.4, 0)}, scale), "3.640");
  EXPECT_EQ(Sent(MeasureKind::kRect, {Paper(10, 50), Paper(46.4, 22.7)}, scale), "3.640*2.730");
  EXPECT_EQ(Sent(MeasureKind::kLength,
                 {Paper(0, 0), Paper(36.4, 0), Paper(36.4, 27.3), Paper(27.3, 27.3)}, scale),
            "3.640+2.730+0.910");
  EXPECT_EQ(Sent(MeasureKind::kCount, {Paper(1, 1), Paper(2, 2), Paper(3, 3)}, scale), "3");

  EXPECT_EQ(PageScale::FromRatioText(" 1 / 50 ")->ratio_text(), "1/50");
  EXPECT_NEAR(PageScale::FromRatioText("1/200")->millimetres_per_point(),
              200 * 25.4 / 72, 1e-12);
  for (const char* text : {"", "1/0", "2/100", "1/abc", "1/-5", "1:100", "100", "1/1e400"}) {
    EXPECT_FALSE(PageScale::FromRatioText(text).has_value()) << text;
  }
  // A calibration: two points a known length apart.
  const PageScale calibrated = *PageScale::Calibrated(Paper(0, 0), Paper(30, 40), 5000);
  EXPECT_EQ(Sent(MeasureKind::kLength, {Paper(0, 0), Paper(0, 50)}, calibrated), "5.000");
  EXPECT_FALSE(PageScale::Calibrated({3, 4}, {3, 4}, 1000).has_value());
  EXPECT_FALSE(PageScale::Calibrated({0, 0}, {3, 4}, 0).has_value());
}

TEST(PlanGeometryTest, LengthsRoundHalfAwayFromZeroToTheMillimetre) {
  const PageScale mm = OneToOne();
  EXPECT_EQ(Sent(MeasureKind::kLength, {{0, 0}, {1234.5, 0}}, mm), "1.235");
  EXPECT_EQ(Sent(MeasureKind::kLength, {{0, 0}, {1234.4999, 0}}, mm), "1.234");
  EXPECT_EQ(Sent(MeasureKind::kLength, {{0, 0}, {0.5, 0}}, mm), "0.001");
  EXPECT_EQ(Sent(MeasureKind::kLength, {{0, 0}, {0.4, 0}}, mm), "0.000");
  // Floating-point error does not decide a half: 0.1 + 0.2 + 1000.2 is 1000.5.
  EXPECT_EQ(Sent(MeasureKind::kLength, {{0.1 + 0.2, 0}, {1000.8, 0}}, mm), "1.001");
  // Each segment is rounded on its own; the formula sums what it shows.
  EXPECT_EQ(Sent(MeasureKind::kLength, {{0, 0}, {0.6, 0}, {1.2, 0}}, mm), "0.001+0.001");
  EXPECT_EQ(Sent(MeasureKind::kRect, {{5, 5}, {5, 5}}, mm), "0.000*0.000");
}

TEST(PlanGeometryTest, APolygonHasItsShoelaceAreaAndItsPerimeter) {
  const PageScale mm = OneToOne();
  // An L of 4 m × 2 m and 2 m × 1 m: 10 m², 14 m around, either way round.
  std::vector<PagePoint> l_shape = {{0, 0},       {4000, 0},    {4000, 2000},
                                    {2000, 2000}, {2000, 3000}, {0, 3000}};
  for (int pass = 0; pass < 2; ++pass) {
    const Measured m = *Measure(MeasureKind::kArea, l_shape, mm);
    EXPECT_EQ(m.area_thousandths, 10000);
    EXPECT_EQ(m.length_mm, 14000);
    EXPECT_EQ(SentText(MeasureKind::kArea, m), "10.000");
    std::reverse(l_shape.begin(), l_shape.end());
  }
  // 2001 mm × 1000 mm / 2 = 1.0005 m², rounded away from zero.
  EXPECT_EQ(Sent(MeasureKind::kArea, {{0, 0}, {2001, 0}, {0, 1000}}, mm), "1.001");
  EXPECT_EQ(Sent(MeasureKind::kArea, {{0, 0}, {1999, 0}, {0, 1000}}, mm), "1.000");
  // At 1/100, 36.4 mm × 27.3 mm of paper: 9.9372 m².
  EXPECT_EQ(Sent(MeasureKind::kArea,
                 {Paper(0, 0), Paper(36.4, 0), Paper(36.4, 27.3), Paper(0, 27.3)},
                 *PageScale::FromRatioText("1/100")),
            "9.937");
}

TEST(PlanGeometryTest, AShapeNeedsItsPoints) {
  const PageScale mm = OneToOne();
  EXPECT_FALSE(Measure(MeasureKind::kLength, {{0, 0}}, mm).has_value());
  EXPECT_FALSE(Measure(MeasureKind::kArea, {{0, 0}, {1, 1}}, mm).has_value());
  EXPECT_FALSE(Measure(MeasureKind::kRect, {{0, 0}}, mm).has_value());
  EXPECT_FALSE(Measure(MeasureKind::kCount, {}, mm).has_value());
}

}  // namespace
}  // namespace veltrano
