#include "project/plan_geometry.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "calc/number_text.h"

namespace veltrano {

namespace {

std::optional<double> PositiveNumber(std::string_view text) {
  text = TrimBlanks(text);
  double value = 0;
  const auto [at, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || at != text.data() + text.size() ||
      !std::isfinite(value) || value <= 0) {
    return std::nullopt;
  }
  return value;
}

// Rounds half away from zero after snapping to a millionth, so that the
// last bits of floating-point error decide nothing.
std::int64_t Rounded(double value) {
  const double snapped = std::round(value * 1e6) / 1e6;
  return static_cast<std::int64_t>(std::round(snapped));
}

double Distance(PagePoint a, PagePoint b) { return std::hypot(b.x - a.x, b.y - a.y); }

std::string ThreeDecimals(std::int64_t thousandths) {
  const bool negative = thousandths < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(thousandths) : static_cast<std::uint64_t>(thousandths);
  std::string fraction = std::to_string(magnitude % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / 1000) + "." + fraction;
}

}  // namespace

std::optional<PageScale> PageScale::FromRatioText(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  if (TrimBlanks(text.substr(0, slash)) != "1") return std::nullopt;
  const std::optional<double> n = PositiveNumber(text.substr(slash + 1));
  if (!n) return std::nullopt;
  PageScale scale;
  scale.millimetres_per_point_ = kMillimetresPerPoint * *n;
  scale.ratio_text_ = "1/" + std::string(TrimBlanks(text.substr(slash + 1)));
  return scale;
}

std::optional<PageScale> PageScale::Calibrated(PagePoint a, PagePoint b, double millimetres) {
  const double points = Distance(a, b);
  if (!(points > 0) || !std::isfinite(points) || !(millimetres > 0) ||
      !std::isfinite(millimetres)) {
    return std::nullopt;
  }
  PageScale scale;
  scale.millimetres_per_point_ = millimetres / points;
  return scale;
}

std::optional<PageScale> PageScale::FromMillimetresPerPoint(double millimetres_per_point) {
  if (!std::isfinite(millimetres_per_point) || !(millimetres_per_point > 0)) return std::nullopt;
  PageScale scale;
  scale.millimetres_per_point_ = millimetres_per_point;
  return scale;
}

std::optional<Measured> Measure(MeasureKind kind, const std::vector<PagePoint>& points,
                                const PageScale& scale) {
  const double k = scale.millimetres_per_point();
  // Nothing real is measured beyond a thousand kilometres: a value past it
  // (a hostile file's point, an absurd scale) measures nothing rather than
  // overflowing.
  constexpr double kLargest = 1e12;
  bool in_range = std::isfinite(k);
  for (const PagePoint& p : points) in_range = in_range && std::isfinite(p.x) && std::isfinite(p.y);
  const auto round = [&in_range](double value) -> std::int64_t {
    if (!(std::fabs(value) <= kLargest)) {
      in_range = false;
      return 0;
    }
    return Rounded(value);
  };
  Measured m;
  switch (kind) {
    case MeasureKind::kLength: {
      if (points.size() < 2) return std::nullopt;
      for (std::size_t i = 1; i < points.size() && in_range; ++i) {
        m.segments_mm.push_back(round(Distance(points[i - 1], points[i]) * k));
        m.length_mm += m.segments_mm.back();
        if (m.length_mm > static_cast<std::int64_t>(kLargest)) in_range = false;
      }
      break;
    }
    case MeasureKind::kArea: {
      if (points.size() < 3) return std::nullopt;
      double twice_area = 0;
      double perimeter = 0;
      for (std::size_t i = 0; i < points.size(); ++i) {
        const PagePoint& a = points[i];
        const PagePoint& b = points[(i + 1) % points.size()];
        twice_area += a.x * b.y - b.x * a.y;
        perimeter += Distance(a, b);
      }
      // Square millimetres / 1000: thousandths of a square metre.
      m.area_thousandths = round(std::fabs(twice_area) / 2 * k * k / 1000);
      m.length_mm = round(perimeter * k);
      break;
    }
    case MeasureKind::kRect: {
      if (points.size() < 2) return std::nullopt;
      m.width_mm = round(std::fabs(points[1].x - points[0].x) * k);
      m.height_mm = round(std::fabs(points[1].y - points[0].y) * k);
      break;
    }
    case MeasureKind::kCount:
      if (points.empty() || points.size() > 1000000) return std::nullopt;
      m.count = static_cast<int>(points.size());
      break;
  }
  if (!in_range) return std::nullopt;
  return m;
}

std::string ThousandthsText(std::int64_t thousandths) { return ThreeDecimals(thousandths); }

std::string SentText(MeasureKind kind, const Measured& measured) {
  switch (kind) {
    case MeasureKind::kRect:
      return ThousandthsText(measured.width_mm) + "*" + ThousandthsText(measured.height_mm);
    case MeasureKind::kLength: {
      std::string text;
      for (const std::int64_t segment : measured.segments_mm) {
        if (!text.empty()) text += '+';
        text += ThousandthsText(segment);
      }
      return text;
    }
    case MeasureKind::kArea:
      return ThousandthsText(measured.area_thousandths);
    case MeasureKind::kCount:
      return std::to_string(measured.count);
  }
  return "";
}

}  // namespace veltrano
