#ifndef VELTRANO_CALC_NUMBER_TEXT_H_
#define VELTRANO_CALC_NUMBER_TEXT_H_

#include <charconv>
#include <string>
#include <string_view>
#include <system_error>

namespace veltrano {

// Reads a cell text as a number by the leading-number rule: optional blanks,
// an optional sign, digits with at most one decimal point; the longest such
// prefix is taken and the rest ignored. A text without a leading number
// ("", "(2", "-", ".") reads 0. Returns false only when the number does not
// fit a double (then *value is left at 0).
bool ReadLeadingNumber(std::string_view text, double* value);

// The leading-number rule, with a number too large for a double read as 0.
double LeadingNumber(std::string_view text);

// Converts a double to single precision as the summary tables hold their
// quantities; a value beyond the single-precision range becomes infinite.
float ToSingle(double value);

// The plain decimal text of |value| with at most `significant` significant
// digits (15 for a double, 7 for a single-precision value), rounded to
// nearest from the binary value, trailing zeros removed, never in exponent
// form: 1e16 gives "10000000000000000", 4e-05 gives "0.00004", 0 gives "0".
// The sign is not written. `value` must be finite.
std::string PlainMagnitude(double value, int significant);

// The shortest decimal text of a double: 15 significant digits, sign in
// front, plain decimal ("-0.5", "12.345", "0"). Negative zero gives "0".
std::string ShortestText(double value);

// The shortest decimal text of a single-precision value: 7 significant digits.
std::string ShortestText(float value);

enum class RoundMode { kHalfAwayFromZero, kCutOff };

// Rounds a plain non-negative decimal text (digits with at most one point) to
// exactly `decimals` decimals, either half away from zero on the next digit or
// by cutting the rest off. The result has exactly `decimals` digits after the
// point (no point when `decimals` is 0): "1.005" at 2 gives "1.01".
std::string RoundDecimalText(std::string_view plain, int decimals,
                             RoundMode mode);

// Removes trailing zeros after the point, and the point itself when nothing
// follows it: "12.500" gives "12.5", "3.00" gives "3".
std::string TrimFraction(std::string_view plain);

// The five-decimal text of a number, as the number format "###0.#####"
// writes it: at most five decimals, rounded half away from zero on the
// 15-significant-digit decimal text of the value, no point for a whole
// number, and "0" (never "-0") for a value that rounds to zero.
std::string FiveDecimalText(double value);

// The number FiveDecimalText's text reads back as: what a formula's product
// becomes before the next operator takes it.
double FiveDecimalValue(double value);

// When the value is a decimal of at most five decimals below 10^9 (the
// double nearest to units / 10^5, shortest text of at most 14 digits),
// gives those units and true; otherwise false. Most takeoff values are; for
// them the decimal text is known without generating digits.
bool ExactFiveDecimalUnits(double value, long long* units);

// Writes |units| / 10^5 with exactly `decimals` decimals (1 to 5), rounded
// half away from zero or cut off on the digits dropped: the same text
// RoundDecimalText gives for the plain decimal text of the same number.
std::string RoundFiveDecimalUnits(long long units, int decimals, RoundMode mode);

// Adds decimal numbers exactly: each text is read by the leading-number rule
// and the sum is written as a plain decimal text ("-12.5", "0").
class DecimalSum {
 public:
  void Add(std::string_view text);
  std::string Text() const;

 private:
  bool exact_ = true;
  int scale_ = 0;             // decimals held in units_
  __extension__ __int128 units_ = 0;
  double approximate_ = 0;    // used when the exact sum would not fit
};

// Is the text a plain unsigned decimal number: digits with at most one
// point (and at least one digit), blanks around allowed?
bool IsPlainUnsignedNumber(std::string_view text);

// Removes leading and trailing half-width blanks.
std::string_view TrimBlanks(std::string_view text);

// Reads `text` whole as a whole number in decimal ("-" allowed for a
// signed type); false for anything else, an empty text or one out of range.
template <typename Integer>
bool ReadWholeNumber(std::string_view text, Integer* number) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, *number);
  return error == std::errc() && at == end && !text.empty();
}

}  // namespace veltrano

#endif  // VELTRANO_CALC_NUMBER_TEXT_H_
