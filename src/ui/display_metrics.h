#ifndef VELTRANO_UI_DISPLAY_METRICS_H_
#define VELTRANO_UI_DISPLAY_METRICS_H_

#include <array>
#include <cmath>

namespace veltrano {

// Positions and sizes of the screen are measured in twips (1/1440 inch) and
// drawn at the logical resolution of the screen, so that a high-resolution
// screen shows them at the same physical size, only sharper.
inline int TwipsToPixels(double twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// The display sizes 小, 中 and 大 scale the panels and grids of the main
// window by these factors.
inline constexpr int kDisplaySizes = 3;
inline constexpr std::array<double, kDisplaySizes> kDisplayScales = {1.0, 1.15,
                                                                     1.3};

}  // namespace veltrano

#endif  // VELTRANO_UI_DISPLAY_METRICS_H_
