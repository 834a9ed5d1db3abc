// Writes src/calc/cp932_table.inc: the CP932 double-byte table and the list of
// codes that repeat a character found at another code.
//
// The mapping is read from glibc's iconv ("CP932"), which follows Microsoft's
// table. Where a character has several codes, the one written for the plain
// character is chosen by Windows' rule: a JIS X 0208 row code (0x81xx...)
// before NEC row 13 (0x87xx), NEC row 13 before the IBM extensions
// (0xFA40-0xFC4B), the IBM extensions before the NEC-selected IBM extensions
// (0xED40-0xEEFC). Any place where glibc's own choice differs is printed on
// stderr, together with the one-way conversions glibc makes that are not part
// of Microsoft's table, so that they can be reviewed when the table is
// regenerated.
//
// Build and run from the repository root:
//   g++ -std=c++20 -O2 -o /tmp/gen_cp932_table tools/gen_cp932_table.cc
//   /tmp/gen_cp932_table > src/calc/cp932_table.inc

#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kLeadCount = 60;    // 0x81-0x9F, 0xE0-0xFC
constexpr int kTrailCount = 188;  // 0x40-0x7E, 0x80-0xFC

int LeadByte(int index) {
  return index < 31 ? 0x81 + index : 0xE0 + index - 31;
}
int TrailByte(int index) {
  return index < 63 ? 0x40 + index : 0x80 + index - 63;
}

// Converts `in` with `cd`; returns false unless all of it converted.
bool Convert(iconv_t cd, const std::string& in, std::string* out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string buffer(64, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char* dst = buffer.data();
  std::size_t dst_left = buffer.size();
  if (iconv(cd, &src, &src_left, &dst, &dst_left) ==
      static_cast<std::size_t>(-1)) {
    return false;
  }
  if (iconv(cd, nullptr, nullptr, &dst, &dst_left) ==
      static_cast<std::size_t>(-1)) {
    return false;
  }
  if (src_left != 0) return false;
  out->assign(buffer.data(), buffer.size() - dst_left);
  return true;
}

// Decodes CP932 bytes to a single code point, or returns -1.
long DecodeOne(iconv_t to_utf32, const std::string& bytes) {
  std::string out;
  if (!Convert(to_utf32, bytes, &out) || out.size() != 4) return -1;
  const auto* p = reinterpret_cast<const unsigned char*>(out.data());
  return static_cast<long>(p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24));
}

// Encodes a code point to CP932 with glibc, or returns -1.
long EncodeOne(iconv_t from_utf32, std::uint32_t ucs) {
  std::string in(4, '\0');
  for (int i = 0; i < 4; ++i)
    in[i] = static_cast<char>((ucs >> (8 * i)) & 0xFF);
  std::string out;
  if (!Convert(from_utf32, in, &out)) return -1;
  const auto* p = reinterpret_cast<const unsigned char*>(out.data());
  if (out.size() == 1) return p[0];
  if (out.size() == 2) return (p[0] << 8) | p[1];
  return -1;
}

// Windows' preference among codes of one character: lower ranks win, then
// the lower code.
int Rank(int code) {
  const int lead = code >> 8;
  if (lead == 0x87) return 1;                  // NEC row 13
  if (lead >= 0xFA && lead <= 0xFC) return 2;  // IBM extensions
  if (lead == 0xED || lead == 0xEE) return 3;  // NEC-selected IBM extensions
  return 0;                                    // JIS X 0208 rows, user area
}

}  // namespace

int main() {
  iconv_t to_utf32 = iconv_open("UTF-32LE", "CP932");
  iconv_t from_utf32 = iconv_open("CP932", "UTF-32LE");
  if (to_utf32 == reinterpret_cast<iconv_t>(-1) ||
      from_utf32 == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "iconv does not know CP932\n");
    return 1;
  }

  // Single bytes must follow the fixed layout the decoder relies on.
  for (int b = 0; b < 0x100; ++b) {
    const long ucs = DecodeOne(to_utf32, std::string(1, static_cast<char>(b)));
    long expected = -1;
    if (b < 0x80) expected = b;
    if (b >= 0xA1 && b <= 0xDF) expected = 0xFF61 + (b - 0xA1);
    if (ucs != expected) {
      std::fprintf(stderr, "single byte %02X decodes to %lX, expected %lX\n", b,
                   ucs, expected);
      return 1;
    }
  }

  std::vector<std::uint16_t> table(kLeadCount * kTrailCount, 0);
  std::map<std::uint32_t, std::vector<int>> codes_of;  // character -> codes
  for (int li = 0; li < kLeadCount; ++li) {
    for (int ti = 0; ti < kTrailCount; ++ti) {
      const int code = (LeadByte(li) << 8) | TrailByte(ti);
      std::string bytes{static_cast<char>(LeadByte(li)),
                        static_cast<char>(TrailByte(ti))};
      const long ucs = DecodeOne(to_utf32, bytes);
      if (ucs < 0) continue;
      if (ucs == 0 || ucs > 0xFFFF || (ucs >= 0xF700 && ucs <= 0xF7FF) ||
          (ucs >= 0xFE00 && ucs <= 0xFE0F)) {
        std::fprintf(
            stderr,
            "%04X decodes to U+%04lX, outside what the decoder allows\n", code,
            ucs);
        return 1;
      }
      table[li * kTrailCount + ti] = static_cast<std::uint16_t>(ucs);
      codes_of[static_cast<std::uint32_t>(ucs)].push_back(code);
    }
  }

  struct Alternate {
    int code;
    std::uint32_t ucs;
    int selector;
  };
  std::vector<Alternate> alternates;
  int differences = 0;
  for (auto& [ucs, codes] : codes_of) {
    // Single-byte characters never repeat at a double-byte code.
    for (int b = 0; b < 0x100; ++b) {
      if ((b < 0x80 && static_cast<std::uint32_t>(b) == ucs) ||
          (b >= 0xA1 && b <= 0xDF && 0xFF61u + (b - 0xA1) == ucs)) {
        std::fprintf(stderr,
                     "U+%04X has both a single and a double byte code\n", ucs);
        return 1;
      }
    }
    std::sort(codes.begin(), codes.end());
    const int preferred =
        *std::min_element(codes.begin(), codes.end(), [](int a, int b) {
          return Rank(a) != Rank(b) ? Rank(a) < Rank(b) : a < b;
        });
    const long glibc = EncodeOne(from_utf32, ucs);
    if (glibc != preferred) {
      std::fprintf(stderr,
                   "differs: U+%04X glibc writes %lX, Windows writes %X\n", ucs,
                   glibc, preferred);
      ++differences;
    }
    if (codes.size() > 3) {
      std::fprintf(stderr, "U+%04X has more than three codes\n", ucs);
      return 1;
    }
    int selector = 0;
    for (int code : codes) {
      if (code == preferred) continue;
      alternates.push_back({code, ucs, selector++});
    }
  }
  std::sort(
      alternates.begin(), alternates.end(),
      [](const Alternate& a, const Alternate& b) { return a.code < b.code; });

  // Conversions glibc makes only towards CP932.
  int one_way = 0;
  for (std::uint32_t ucs = 0x80; ucs < 0x10000; ++ucs) {
    if (ucs >= 0xD800 && ucs <= 0xDFFF) continue;
    if (ucs >= 0xFF61 && ucs <= 0xFF9F) continue;
    if (codes_of.count(ucs) != 0) continue;
    const long code = EncodeOne(from_utf32, ucs);
    if (code >= 0) {
      std::fprintf(stderr, "one-way in glibc (left out): U+%04X -> %lX\n", ucs,
                   code);
      ++one_way;
    }
  }
  std::fprintf(stderr,
               "%zu characters, %zu alternate codes, %d preference "
               "differences, %d one-way\n",
               codes_of.size(), alternates.size(), differences, one_way);

  std::printf(
      "// Generated by tools/gen_cp932_table.cc from glibc iconv \"CP932\"; do "
      "not edit.\n"
      "//\n"
      "// kCp932DoubleByte: the character of each double-byte code, 0 where "
      "the\n"
      "// pair has none, indexed by lead (0x81-0x9F, 0xE0-0xFC) * 188 + trail\n"
      "// (0x40-0x7E, 0x80-0xFC).\n"
      "// kCp932Alternates: the codes that repeat a character written at "
      "another,\n"
      "// preferred code, in code order, with the number of the variation "
      "selector\n"
      "// (0 for U+FE00, 1 for U+FE01) that marks each.\n"
      "\n"
      "// NOLINTBEGIN\n"
      "inline constexpr std::uint16_t kCp932DoubleByte[%d] = {\n",
      kLeadCount * kTrailCount);
  for (int li = 0; li < kLeadCount; ++li) {
    std::printf("    // lead %02X\n", LeadByte(li));
    for (int ti = 0; ti < kTrailCount; ++ti) {
      if (ti % 12 == 0) std::printf("   ");
      std::printf(" 0x%04X,", table[li * kTrailCount + ti]);
      if (ti % 12 == 11 || ti == kTrailCount - 1) std::printf("\n");
    }
  }
  std::printf("};\n\n");
  std::printf("inline constexpr Cp932Alternate kCp932Alternates[%zu] = {\n",
              alternates.size());
  for (const Alternate& a : alternates) {
    std::printf("    {0x%04X, 0x%04X, %d},\n", a.code, a.ucs, a.selector);
  }
  std::printf("};\n// NOLINTEND\n");

  iconv_close(to_utf32);
  iconv_close(from_utf32);
  return 0;
}
