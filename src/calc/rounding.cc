#include "calc/rounding.h"

#include <cmath>
#include <string>

#include "calc/number_text.h"

namespace veltrano {

std::string FormatTotal(float total, int q, bool cut_off) {
  // A total beyond single precision cannot be written as a number; "?" makes
  // that visible instead of passing a wrong figure on.
  if (!std::isfinite(total)) return "?";
  const std::string magnitude = PlainMagnitude(total, 7);
  std::string r;
  if (q == 4 && cut_off && magnitude.find('.') != std::string::npos) {
    r = RoundDecimalText(magnitude, 2, RoundMode::kCutOff);
  } else {
    r = RoundDecimalText(magnitude, q, RoundMode::kHalfAwayFromZero);
  }
  r = TrimFraction(r);
  const std::size_t decimals = static_cast<std::size_t>(cut_off ? 2 : q);
  const std::size_t point = r.find('.');
  if (point == std::string::npos) {
    r.push_back('.');
    r.append(decimals, '0');
  } else {
    const std::size_t have = r.size() - point - 1;
    if (have < decimals) r.append(decimals - have, '0');
  }
  if (total < 0 && r.find_first_not_of("0.") != std::string::npos) {
    r.insert(r.begin(), '-');
  }
  return r;
}

std::string DigitSetting::FormatColumnTotal(float total) const {
  if (d_ == 2) return FormatTotal(total, 4, /*cut_off=*/true);
  return FormatTotal(total, 2, /*cut_off=*/false);
}

std::string DigitSetting::FormatCell(float total) const {
  return FormatTotal(total, q(), /*cut_off=*/false);
}

}  // namespace veltrano
