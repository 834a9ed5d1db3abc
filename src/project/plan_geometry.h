#ifndef VELTRANO_PROJECT_PLAN_GEOMETRY_H_
#define VELTRANO_PROJECT_PLAN_GEOMETRY_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// A point on a drawing's page, in points (1/72 inch) from the page's top
// left, as the PDF gives its pages.
struct PagePoint {
  double x = 0;
  double y = 0;
  bool operator==(const PagePoint&) const = default;
};

// Millimetres of paper per point.
inline constexpr double kMillimetresPerPoint = 25.4 / 72.0;

// How a page's points become real millimetres: a drawing scale "1/N"
// applied to the paper, or a length measured between two points.
class PageScale {
 public:
  // "1/N" with N a positive number (blanks around the parts allowed);
  // nothing for any other text.
  static std::optional<PageScale> FromRatioText(std::string_view text);
  // The length between `a` and `b` is `millimetres`; nothing when the
  // points coincide or the length is not positive.
  static std::optional<PageScale> Calibrated(PagePoint a, PagePoint b, double millimetres);
  // A calibrated scale as it was kept; nothing unless positive and finite.
  static std::optional<PageScale> FromMillimetresPerPoint(double millimetres_per_point);

  // Real millimetres per point of the page.
  double millimetres_per_point() const { return millimetres_per_point_; }
  // "1/100", or "" for a calibrated scale.
  const std::string& ratio_text() const { return ratio_text_; }
  bool operator==(const PageScale&) const = default;

 private:
  double millimetres_per_point_ = 0;
  std::string ratio_text_;
};

// The kinds of measurement: 長さ, a polyline; 面積, a polygon; 矩形, two
// corners; 箇所, clicks counted.
enum class MeasureKind { kLength, kArea, kRect, kCount };
// The kinds' words in files, on the command line and in scripts, by kind.
inline constexpr std::array<std::string_view, 4> kMeasureKindWords = {"length", "area", "rect",
                                                                        "count"};
inline std::string_view MeasureKindWord(MeasureKind kind) {
  return kMeasureKindWords[static_cast<std::size_t>(kind)];
}

// What a shape measures, lengths in whole millimetres, each rounded half
// away from zero after the exact value is snapped to a millionth, so that
// 3639.9999999 and 3640.0000001 are the 3640 worked out by hand.
struct Measured {
  std::vector<std::int64_t> segments_mm;  // 長さ: each segment
  std::int64_t length_mm = 0;             // 長さ: their sum; 面積: perimeter
  std::int64_t width_mm = 0;              // 矩形
  std::int64_t height_mm = 0;             // 矩形
  // 面積: the polygon's area by the shoelace formula, in thousandths of a
  // square metre, rounded from the exact area as the lengths are.
  std::int64_t area_thousandths = 0;
  int count = 0;                          // 箇所
};

// The measure of a shape of `kind` through `points` at `scale`; nothing
// for too few points (長さ 2, 面積 3, 矩形 2, 箇所 1) and for a shape
// beyond any real building (a thousand kilometres, or points not finite).
std::optional<Measured> Measure(MeasureKind kind, const std::vector<PagePoint>& points,
                                const PageScale& scale);

// Thousandths as a number with three decimals: whole millimetres as
// metres (3640 → "3.640"), thousandths of a square metre as square metres.
std::string ThousandthsText(std::int64_t thousandths);

// The text "拾い表へ" sends into a formula cell: 矩形 "W*H", 長さ the
// segments joined with "+", 面積 the area, 箇所 the count.
std::string SentText(MeasureKind kind, const Measured& measured);

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PLAN_GEOMETRY_H_
