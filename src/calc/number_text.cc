#include "calc/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace veltrano {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The significant digits of a magnitude and the position of the decimal
// point relative to them: 12.5 is "125" with point 2, 0.004 is "4" with
// point -2.
struct Digits {
  char text[24];
  int count = 0;
  int point = 0;

  std::string_view view() const {
    return std::string_view(text, static_cast<std::size_t>(count));
  }
  // Number of digits after the decimal point.
  int fraction() const { return count > point ? count - point : 0; }
};

// Reads a scientific text d.ddde+XX into digits and point.
void ParseScientific(const char* first, const char* last, Digits* d) {
  d->count = 0;
  const char* p = first;
  for (; p < last && *p != 'e'; ++p) {
    if (*p != '.') d->text[d->count++] = *p;
  }
  int exponent = 0;
  ++p;  // past 'e'
  if (p < last && *p == '+') ++p;
  std::from_chars(p, last, exponent);
  d->point = exponent + 1;
}

template <typename T>
Digits DigitsOf(T value, int significant) {
  Digits d;
  if (value == 0 || !std::isfinite(value)) {
    d.text[0] = '0';
    d.count = 1;
    d.point = 1;
    return d;
  }
  if (value < 0) value = -value;
  char buf[64];
  // The shortest text that reads back as the value is, when it has no more
  // digits than wanted, also the value correctly rounded to that many digits.
  auto res = std::to_chars(buf, buf + sizeof(buf), value,
                           std::chars_format::scientific);
  ParseScientific(buf, res.ptr, &d);
  if (d.count > significant) {
    res = std::to_chars(buf, buf + sizeof(buf), value,
                        std::chars_format::scientific, significant - 1);
    ParseScientific(buf, res.ptr, &d);
  }
  while (d.count > 1 && d.text[d.count - 1] == '0') --d.count;
  return d;
}

// Writes the plain decimal form of digits with their point.
void AppendPlain(const Digits& d, std::string* out) {
  const std::string_view digits = d.view();
  const int n = d.count;
  const int point = d.point;
  if (point <= 0) {
    out->append("0.");
    out->append(static_cast<std::size_t>(-point), '0');
    out->append(digits);
  } else if (point >= n) {
    out->append(digits);
    out->append(static_cast<std::size_t>(point - n), '0');
  } else {
    out->append(digits.substr(0, static_cast<std::size_t>(point)));
    out->push_back('.');
    out->append(digits.substr(static_cast<std::size_t>(point)));
  }
}

template <typename T>
std::string PlainMagnitudeOf(T value, int significant) {
  std::string out;
  AppendPlain(DigitsOf(value, significant), &out);
  return out;
}

// The leading number of a text: its sign and its digits with at most one
// point ("" when the text has no leading number).
struct LeadingParts {
  bool negative = false;
  std::string_view number;
};

LeadingParts ScanLeadingNumber(std::string_view text) {
  LeadingParts parts;
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    parts.negative = text[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  bool any_digit = false;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
    any_digit = true;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      any_digit = true;
    }
  }
  if (any_digit) parts.number = text.substr(start, i - start);
  return parts;
}

}  // namespace

bool ReadLeadingNumber(std::string_view text, double* value) {
  *value = 0;
  const LeadingParts parts = ScanLeadingNumber(text);
  if (parts.number.empty()) return true;
  const bool negative = parts.negative;
  std::string_view number = parts.number;
  // Up to 15 digits fit a double exactly, and so does every power of ten up
  // to 10^22, so one division gives the correctly rounded value.
  {
    std::uint64_t mantissa = 0;
    int digit_count = 0;
    int fraction_digits = 0;
    bool after_point = false;
    for (char c : number) {
      if (c == '.') {
        after_point = true;
        continue;
      }
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      ++digit_count;
      if (after_point) ++fraction_digits;
    }
    if (digit_count <= 15) {
      static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4, 1e5,
                                           1e6, 1e7, 1e8,  1e9,  1e10, 1e11,
                                           1e12, 1e13, 1e14, 1e15};
      const double v = static_cast<double>(mantissa) / kPowers[fraction_digits];
      *value = negative ? -v : v;
      return true;
    }
  }
  // from_chars wants a digit before the point.
  std::string with_zero;
  if (number.front() == '.') {
    with_zero = "0";
    with_zero.append(number);
    number = with_zero;
  }
  if (number.back() == '.') number.remove_suffix(1);
  double v = 0;
  auto res = std::from_chars(number.data(), number.data() + number.size(), v,
                             std::chars_format::fixed);
  if (res.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is a fault for the caller.
    bool all_zero_before_point = true;
    for (char c : number) {
      if (c == '.') break;
      if (c != '0') all_zero_before_point = false;
    }
    if (all_zero_before_point) return true;
    return false;
  }
  if (res.ec != std::errc()) return true;
  *value = negative ? -v : v;
  return true;
}

double LeadingNumber(std::string_view text) {
  double v = 0;
  ReadLeadingNumber(text, &v);
  return v;
}

float ToSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value > kMax || value < -kMax) {
    // Values that round to the largest single still convert to it.
    const double limit = 3.4028235677973366e38;  // FLT_MAX + half an ulp
    if (value >= limit) return std::numeric_limits<float>::infinity();
    if (value <= -limit) return -std::numeric_limits<float>::infinity();
    return value > 0 ? std::numeric_limits<float>::max()
                     : -std::numeric_limits<float>::max();
  }
  return static_cast<float>(value);
}

std::string PlainMagnitude(double value, int significant) {
  return PlainMagnitudeOf(value, significant);
}

std::string ShortestText(double value) {
  std::string plain = PlainMagnitudeOf(value, 15);
  if (value < 0 && plain != "0") plain.insert(plain.begin(), '-');
  return plain;
}

std::string ShortestText(float value) {
  std::string plain = PlainMagnitudeOf(value, 7);
  if (value < 0 && plain != "0") plain.insert(plain.begin(), '-');
  return plain;
}

std::string RoundDecimalText(std::string_view plain, int decimals,
                             RoundMode mode) {
  const std::size_t point = plain.find('.');
  std::string_view int_part = plain.substr(0, point);
  std::string_view frac_part = point == std::string_view::npos
                                   ? std::string_view()
                                   : plain.substr(point + 1);
  if (int_part.empty()) int_part = "0";
  const std::size_t keep = static_cast<std::size_t>(decimals);
  std::string digits(int_part);
  digits.append(frac_part.substr(0, keep));
  if (frac_part.size() < keep) digits.append(keep - frac_part.size(), '0');
  const char next = frac_part.size() > keep ? frac_part[keep] : '0';
  if (mode == RoundMode::kHalfAwayFromZero && next >= '5') {
    std::size_t i = digits.size();
    while (i > 0) {
      --i;
      if (digits[i] == '9') {
        digits[i] = '0';
      } else {
        ++digits[i];
        break;
      }
      if (i == 0) digits.insert(digits.begin(), '1');
    }
  }
  // Drop leading zeros of the whole part, keeping one digit before the point.
  std::size_t lead = 0;
  while (lead + keep + 1 < digits.size() && digits[lead] == '0') ++lead;
  digits.erase(0, lead);
  if (keep > 0) digits.insert(digits.size() - keep, 1, '.');
  return digits;
}

std::string TrimFraction(std::string_view plain) {
  if (plain.find('.') == std::string_view::npos) return std::string(plain);
  while (!plain.empty() && plain.back() == '0') plain.remove_suffix(1);
  if (!plain.empty() && plain.back() == '.') plain.remove_suffix(1);
  if (plain.empty()) return "0";
  return std::string(plain);
}

bool ExactFiveDecimalUnits(double value, long long* units) {
  // Below 10^9 two numbers of five decimals lie 10^-5 apart, far more than
  // a double's spacing there (at most 2^-23), so the one that reads back as
  // the value is its shortest text, whole digits, point and all.
  if (!(value > -1e9 && value < 1e9)) return false;
  const double scaled = std::nearbyint(value * 1e5);
  if (scaled / 1e5 != value) return false;
  *units = static_cast<long long>(scaled);
  return true;
}

namespace {

// The digits of a magnitude below 10^15, most significant first; returns
// the number written.
int WriteDigits(unsigned long long magnitude, char* out) {
  char reversed[20];
  int n = 0;
  do {
    reversed[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude > 0);
  for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
  return n;
}

// |units| / 10^decimals as a plain decimal text with exactly `decimals`
// decimals after a whole part of at least one digit, signed when asked.
std::string FixedText(unsigned long long magnitude, int decimals, bool minus) {
  char digits[24];
  int n = WriteDigits(magnitude, digits);
  std::string text;
  text.reserve(static_cast<std::size_t>(n + decimals + 3));
  if (minus) text.push_back('-');
  if (n <= decimals) {
    text.push_back('0');
    if (decimals > 0) text.push_back('.');
    text.append(static_cast<std::size_t>(decimals - n), '0');
    text.append(digits, static_cast<std::size_t>(n));
    return text;
  }
  text.append(digits, static_cast<std::size_t>(n - decimals));
  if (decimals > 0) {
    text.push_back('.');
    text.append(digits + (n - decimals), static_cast<std::size_t>(decimals));
  }
  return text;
}

constexpr unsigned long long kTens[] = {1, 10, 100, 1000, 10000, 100000};

unsigned long long Magnitude(long long units) {
  return units < 0 ? 0ull - static_cast<unsigned long long>(units)
                   : static_cast<unsigned long long>(units);
}

}  // namespace

std::string RoundFiveDecimalUnits(long long units, int decimals, RoundMode mode) {
  const int dropped = 5 - std::clamp(decimals, 1, 5);
  unsigned long long magnitude = Magnitude(units);
  const unsigned long long divisor = kTens[dropped];
  const unsigned long long rest = magnitude % divisor;
  magnitude /= divisor;
  if (mode == RoundMode::kHalfAwayFromZero && dropped > 0 && rest * 2 >= divisor) {
    ++magnitude;
  }
  return FixedText(magnitude, 5 - dropped, false);
}

std::string FiveDecimalText(double value) {
  long long units = 0;
  if (ExactFiveDecimalUnits(value, &units)) {
    unsigned long long magnitude = Magnitude(units);
    int decimals = 5;
    while (decimals > 0 && magnitude % 10 == 0) {
      magnitude /= 10;
      --decimals;
    }
    return FixedText(magnitude, decimals, value < 0 && magnitude != 0);
  }
  const Digits d = DigitsOf(value, 15);
  if (d.fraction() <= 5) {
    // Nothing to round: the decimal text is already the five-decimal text.
    std::string text;
    if (value < 0) text.push_back('-');
    AppendPlain(d, &text);
    return text;
  }
  std::string text = TrimFraction(RoundDecimalText(
      PlainMagnitude(value, 15), 5, RoundMode::kHalfAwayFromZero));
  if (value < 0 && text != "0") text.insert(text.begin(), '-');
  return text;
}

double FiveDecimalValue(double value) {
  long long units = 0;
  // A value that is its own five-decimal text reads back as itself.
  if (ExactFiveDecimalUnits(value, &units)) return value;
  return LeadingNumber(FiveDecimalText(value));
}

void DecimalSum::Add(std::string_view text) {
  double v = 0;
  if (!ReadLeadingNumber(text, &v)) {
    exact_ = false;
    return;
  }
  approximate_ += v;
  if (!exact_ || v == 0) return;
  // Take the digits of the leading number again, exactly.
  const LeadingParts parts = ScanLeadingNumber(text);
  const bool negative = parts.negative;
  std::string digits;
  int decimals = 0;
  bool after_point = false;
  for (char c : parts.number) {
    if (c == '.') {
      after_point = true;
    } else {
      digits.push_back(c);
      if (after_point) ++decimals;
    }
  }
  __extension__ using Int = __int128;
  constexpr Int kLimit = static_cast<Int>(1) << 120;
  // Bring both to the larger scale.
  while (scale_ < decimals) {
    if (units_ > kLimit / 10 || units_ < -kLimit / 10 || scale_ >= 30) {
      exact_ = false;
      return;
    }
    units_ *= 10;
    ++scale_;
  }
  Int value = 0;
  for (char c : digits) {
    if (value > kLimit / 10) {
      exact_ = false;
      return;
    }
    value = value * 10 + (c - '0');
  }
  for (int k = decimals; k < scale_; ++k) {
    if (value > kLimit / 10) {
      exact_ = false;
      return;
    }
    value *= 10;
  }
  units_ += negative ? -value : value;
  if (units_ > kLimit || units_ < -kLimit) exact_ = false;
}

std::string DecimalSum::Text() const {
  if (!exact_) return ShortestText(approximate_);
  __extension__ using Int = __int128;
  Int magnitude = units_ < 0 ? -units_ : units_;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude > 0);
  const std::size_t scale = static_cast<std::size_t>(scale_);
  if (digits.size() <= scale) digits.insert(0, scale - digits.size() + 1, '0');
  if (scale > 0) digits.insert(digits.size() - scale, 1, '.');
  std::string text = TrimFraction(digits);
  if (units_ < 0 && text != "0") text.insert(text.begin(), '-');
  return text;
}

bool IsPlainUnsignedNumber(std::string_view text) {
  text = TrimBlanks(text);
  bool any_digit = false;
  bool point = false;
  for (char c : text) {
    if (IsDigit(c)) {
      any_digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return any_digit;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace veltrano
