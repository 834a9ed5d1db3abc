#ifndef VELTRANO_CALC_ROUNDING_H_
#define VELTRANO_CALC_ROUNDING_H_

#include <string>

namespace veltrano {

// The calculation-digits setting D (0, 1 or 2) and what it selects.
//   D = 0: values 2 decimals rounded; totals 2 decimals rounded.
//   D = 1: values 3 decimals cut off; totals 2 decimals rounded.
//   D = 2: values 4 decimals cut off; totals 2 decimals cut off.
// A setting that names none of these keeps the rules of D = 0.
class DigitSetting {
 public:
  DigitSetting() = default;
  explicit DigitSetting(int d) : d_(d >= 0 && d <= 2 ? d : -1) {}

  // The setting as selected, or -1 when none of the three is selected.
  int d() const { return d_; }

  // Digit mode q: the number of decimals of a calculated value.
  int q() const { return d_ < 0 ? 2 : d_ + 2; }

  // The column-total form of a summary table.
  std::string FormatColumnTotal(float total) const;

  // The form of a room's cell in a summary table: q decimals, rounded.
  std::string FormatCell(float total) const;

 private:
  int d_ = 0;
};

// Writes a single-precision total with q decimals, rounded half away from
// zero on its 7-significant-digit decimal text. With `cut_off` and q = 4 the
// total is instead cut off after two decimals, and the text is padded to two
// decimals rather than q. A total that comes out as zero has no sign. An
// infinite or undefined total gives "?".
std::string FormatTotal(float total, int q, bool cut_off);

}  // namespace veltrano

#endif  // VELTRANO_CALC_ROUNDING_H_
