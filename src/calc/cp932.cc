#include "calc/cp932.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {
namespace {

// A code that repeats the character of another, preferred code, and the
// number of the variation selector (0: U+FE00, 1: U+FE01) that marks it.
struct Cp932Alternate {
  std::uint16_t code;
  std::uint16_t ucs;
  std::uint8_t selector;
};

#include "calc/cp932_table.inc"

constexpr int kLeadCount = 60;
constexpr int kTrailCount = 188;
constexpr int kPairCount = kLeadCount * kTrailCount;
static_assert(sizeof(kCp932DoubleByte) / sizeof(kCp932DoubleByte[0]) ==
              kPairCount);

constexpr char32_t kFirstSelector = 0xFE00;
constexpr char32_t kRawByteBase = 0xF700;  // + the byte, 0x80-0xFF
constexpr std::uint16_t kNoCode = 0xFFFF;  // no lead byte is 0xFF

// Lead and trail byte positions in the double-byte table, -1 for other
// bytes: two ranges of bytes, numbered on from 0.
constexpr std::array<std::int16_t, 256> MakeByteIndex(int first_low,
                                                      int first_high,
                                                      int second_low,
                                                      int second_high) {
  std::array<std::int16_t, 256> index{};
  const int second_start = first_high - first_low + 1;
  for (int b = 0; b < 256; ++b) {
    index[b] = -1;
    if (b >= first_low && b <= first_high) {
      index[b] = static_cast<std::int16_t>(b - first_low);
    }
    if (b >= second_low && b <= second_high) {
      index[b] = static_cast<std::int16_t>(b - second_low + second_start);
    }
  }
  return index;
}
constexpr std::array<std::int16_t, 256> kLeadIndex =
    MakeByteIndex(0x81, 0x9F, 0xE0, 0xFC);
constexpr std::array<std::int16_t, 256> kTrailIndex =
    MakeByteIndex(0x40, 0x7E, 0x80, 0xFC);

std::uint16_t CodeAt(int pair_index) {
  const int lead = pair_index / kTrailCount;
  const int trail = pair_index % kTrailCount;
  const int lead_byte = lead < 31 ? 0x81 + lead : 0xE0 + lead - 31;
  const int trail_byte = trail < 63 ? 0x40 + trail : 0x80 + trail - 63;
  return static_cast<std::uint16_t>((lead_byte << 8) | trail_byte);
}

int PairIndexOf(std::uint16_t code) {
  return kLeadIndex[code >> 8] * kTrailCount + kTrailIndex[code & 0xFF];
}

// The number of 256-character rows of the BMP that hold CP932 characters.
constexpr int CountPages() {
  bool used[256] = {};
  used[0x00] = true;  // ASCII
  used[0xFF] = true;  // half-width katakana
  for (std::uint16_t ucs : kCp932DoubleByte) {
    if (ucs != 0) used[ucs >> 8] = true;
  }
  int count = 0;
  for (bool u : used) count += u ? 1 : 0;
  return count;
}
constexpr int kPageCount = CountPages();

// Appends the UTF-8 form of a BMP character at `w`; returns the new end.
char* PutUtf8(char* w, char32_t ucs) {
  if (ucs < 0x80) {
    *w++ = static_cast<char>(ucs);
  } else if (ucs < 0x800) {
    *w++ = static_cast<char>(0xC0 | (ucs >> 6));
    *w++ = static_cast<char>(0x80 | (ucs & 0x3F));
  } else {
    *w++ = static_cast<char>(0xE0 | (ucs >> 12));
    *w++ = static_cast<char>(0x80 | ((ucs >> 6) & 0x3F));
    *w++ = static_cast<char>(0x80 | (ucs & 0x3F));
  }
  return w;
}

// The decoded form of one code: its character in UTF-8 (up to three bytes,
// copied out four at a time), their count, and the variation selector that
// follows them (0 for none, else 1 + its number).
struct Utf8Form {
  char bytes[3];
  std::uint8_t length;  // 0: the code has no character
  std::uint8_t selector;
};

static_assert(offsetof(Utf8Form, bytes) == 0 && sizeof(Utf8Form) >= 4);

Utf8Form FormOf(char32_t ucs, std::uint8_t selector) {
  Utf8Form form{};
  form.length =
      static_cast<std::uint8_t>(PutUtf8(form.bytes, ucs) - form.bytes);
  form.selector = selector;
  return form;
}

// What the tables in cp932_table.inc lead to, built on first use:
//  * for the decoder, the UTF-8 form of each byte 0x80-0xFF on its own
//    (half-width katakana or a raw-byte character) and of each double-byte
//    code (56 KB);
//  * for the encoder, the preferred code of each character, kept as
//    256-character pages for the BMP rows CP932 uses (106 of them, 53 KB),
//    and the alternates in character order.
struct Tables {
  std::array<Utf8Form, 256> byte_form{};
  std::array<Utf8Form, kPairCount> pair_form{};
  std::array<std::uint8_t, 256> page_of{};  // row -> 1 + page, 0 for none
  std::array<std::uint16_t, kPageCount * 256> pages{};  // kNoCode: none
  std::vector<Cp932Alternate> by_char;

  std::uint16_t Preferred(char32_t ucs) const {
    if (ucs > 0xFFFF) return kNoCode;
    const unsigned page = page_of[ucs >> 8];
    if (page == 0) return kNoCode;
    return pages[(page - 1) * 256 + (ucs & 0xFF)];
  }
};

bool ByCharacter(const Cp932Alternate& a, const Cp932Alternate& b) {
  return a.ucs != b.ucs ? a.ucs < b.ucs : a.selector < b.selector;
}

const Tables& GetTables() {
  static const Tables* const tables = [] {
    auto t = std::make_unique<Tables>();
    t->pages.fill(kNoCode);
    int pages_used = 0;
    auto set = [&t, &pages_used](char32_t ucs, std::uint16_t code) {
      std::uint8_t& page = t->page_of[ucs >> 8];
      if (page == 0) page = static_cast<std::uint8_t>(++pages_used);
      t->pages[(page - 1u) * 256 + (ucs & 0xFF)] = code;
    };
    for (char32_t ucs = 0; ucs < 0x80; ++ucs) {
      set(ucs, static_cast<std::uint16_t>(ucs));
    }
    for (std::uint16_t b = 0x80; b <= 0xFF; ++b) {
      const bool kana = b >= 0xA1 && b <= 0xDF;
      const char32_t ucs = kana ? 0xFF61 + (b - 0xA1u) : kRawByteBase + b;
      t->byte_form[b] = FormOf(ucs, 0);
      if (kana) set(ucs, b);
    }
    std::array<std::uint8_t, kPairCount> selector{};
    for (const Cp932Alternate& alt : kCp932Alternates) {
      selector[PairIndexOf(alt.code)] =
          static_cast<std::uint8_t>(alt.selector + 1);
    }
    for (int i = 0; i < kPairCount; ++i) {
      if (kCp932DoubleByte[i] == 0) continue;
      t->pair_form[i] = FormOf(kCp932DoubleByte[i], selector[i]);
      if (selector[i] == 0) set(kCp932DoubleByte[i], CodeAt(i));
    }
    t->by_char.assign(std::begin(kCp932Alternates), std::end(kCp932Alternates));
    std::sort(t->by_char.begin(), t->by_char.end(), ByCharacter);
    return t.release();
  }();
  return *tables;
}

// Reads one UTF-8 character at p[0..n); returns its length, or 0 when the
// bytes there are not well-formed UTF-8 (overlong forms, surrogates and
// values past U+10FFFF included).
std::size_t ReadUtf8(const unsigned char* p, std::size_t n, char32_t* ucs) {
  const unsigned char b0 = p[0];
  auto cont = [&](std::size_t i) { return i < n && (p[i] & 0xC0) == 0x80; };
  if (b0 < 0x80) {
    *ucs = b0;
    return 1;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    if (!cont(1)) return 0;
    *ucs = (char32_t{b0} & 0x1F) << 6 | (p[1] & 0x3F);
    return 2;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (b0 == 0xE0 && p[1] < 0xA0) return 0;
    if (b0 == 0xED && p[1] >= 0xA0) return 0;
    *ucs = (char32_t{b0} & 0x0F) << 12 | (char32_t{p[1]} & 0x3F) << 6 |
           (p[2] & 0x3F);
    return 3;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (b0 == 0xF0 && p[1] < 0x90) return 0;
    if (b0 == 0xF4 && p[1] >= 0x90) return 0;
    *ucs = (char32_t{b0} & 0x07) << 18 | (char32_t{p[1]} & 0x3F) << 12 |
           (char32_t{p[2]} & 0x3F) << 6 | (p[3] & 0x3F);
    return 4;
  }
  return 0;
}

// True when p[0..n) begins with U+FE00 or U+FE01 (EF B8 80 / EF B8 81).
bool StartsWithSelector(const unsigned char* p, std::size_t n) {
  return n >= 3 && p[0] == 0xEF && p[1] == 0xB8 && (p[2] & 0xFE) == 0x80;
}

// What the encoder writes for the character(s) at the front of the text.
struct Step {
  std::uint16_t code;  // 0x00-0xFF one byte, else two; kNoCode: none
  bool raw;            // a raw-byte character
  bool malformed;      // a malformed UTF-8 byte
  std::size_t length;  // UTF-8 bytes consumed
};

Step NextStep(const Tables& tables, const unsigned char* p, std::size_t n) {
  char32_t ucs = 0;
  const std::size_t length = ReadUtf8(p, n, &ucs);
  if (length == 0) return {kNoCode, false, true, 1};
  if (ucs >= kRawByteBase + 0x80 && ucs <= kRawByteBase + 0xFF) {
    return {static_cast<std::uint16_t>(ucs - kRawByteBase), true, false,
            length};
  }
  const std::uint16_t code = tables.Preferred(ucs);
  if (code != kNoCode && code >= 0x100 &&
      StartsWithSelector(p + length, n - length)) {
    const Cp932Alternate key{0, static_cast<std::uint16_t>(ucs),
                             static_cast<std::uint8_t>(p[length + 2] - 0x80)};
    const auto it = std::lower_bound(tables.by_char.begin(),
                                     tables.by_char.end(), key, ByCharacter);
    if (it != tables.by_char.end() && it->ucs == key.ucs &&
        it->selector == key.selector) {
      return {it->code, false, false, length + 3};
    }
  }
  return {code, false, false, length};
}

// The code of a well-formed three-byte UTF-8 character with a code of its
// own and no variation selector after it, or kNoCode when the text at p
// needs NextStep. Most Japanese text takes only this path.
inline std::uint16_t QuickCode(const Tables& tables, const unsigned char* p,
                               std::size_t n) {
  if (n < 3 || (p[0] & 0xF0) != 0xE0 || (p[1] & 0xC0) != 0x80 ||
      (p[2] & 0xC0) != 0x80 || (p[0] == 0xE0 && p[1] < 0xA0) ||
      (p[0] == 0xED && p[1] >= 0xA0) || StartsWithSelector(p + 3, n - 3)) {
    return kNoCode;
  }
  const char32_t ucs = (char32_t{p[0]} & 0x0F) << 12 |
                       (char32_t{p[1]} & 0x3F) << 6 | (p[2] & 0x3F);
  return tables.Preferred(ucs);
}

// The first step at which `refuse` holds, as text for messages.
template <typename Refuse>
std::string FirstRefused(std::string_view utf8, Refuse refuse) {
  const Tables& tables = GetTables();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    if (QuickCode(tables, p + i, n - i) != kNoCode) {
      i += 3;
      continue;
    }
    const Step step = NextStep(tables, p + i, n - i);
    if (refuse(step)) {
      if (step.malformed) return "\xEF\xBF\xBD";
      return std::string(utf8.substr(i, step.length));
    }
    i += step.length;
  }
  return std::string();
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
  const Tables& tables = GetTables();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  // Each byte gives at most three UTF-8 bytes, a pair at most six; forms are
  // copied four bytes at a time, so one more byte may be touched at the end.
  // The text is made in a scratch buffer and then copied at its own size:
  // made in place, every string would keep three times its length, and a
  // whole project read line by line would hold twice the memory it needs.
  thread_local std::string scratch;
  if (scratch.size() < n * 3 + 1) scratch.resize(n * 3 + 1);
  char* const start = scratch.data();
  char* w = start;
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      *w++ = static_cast<char>(b);
      ++i;
      continue;
    }
    const Utf8Form* form = &tables.byte_form[b];
    std::size_t used = 1;
    const int lead = kLeadIndex[b];
    if (lead >= 0 && i + 1 < n) {
      const int trail = kTrailIndex[p[i + 1]];
      if (trail >= 0) {
        const Utf8Form& pair = tables.pair_form[lead * kTrailCount + trail];
        if (pair.length != 0) {
          form = &pair;
          used = 2;
        }
      }
    }
    std::memcpy(w, form, 4);  // the UTF-8 bytes, then one spare
    w += form->length;
    if (form->selector != 0) {
      w = PutUtf8(w, kFirstSelector + (form->selector - 1u));
    }
    i += used;
  }
  std::string out(start, static_cast<std::size_t>(w - start));
  // A long line once read leaves its buffer large; a later short one gives
  // it back rather than keeping megabytes for the thread's lifetime.
  if (scratch.size() > (1u << 20) && n * 3 + 1 < (1u << 16)) {
    scratch.clear();
    scratch.shrink_to_fit();
  }
  return out;
}

std::string Cp932ToUtf8Visible(std::string_view bytes, bool* replaced) {
  std::string text = Cp932ToUtf8(bytes);
  bool any = false;
  // The raw-byte characters U+F780-U+F7FF are EF 9E 80 - EF 9F BF in UTF-8;
  // no other character of the decoded text begins EF 9E or EF 9F.
  std::string::size_type at = 0;
  while ((at = text.find('\xEF', at)) != std::string::npos) {
    if (at + 2 < text.size() &&
        (text[at + 1] == '\x9E' || text[at + 1] == '\x9F')) {
      text.replace(at, 3, kNotCp932Mark);
      any = true;
    }
    at += 3;
  }
  if (replaced != nullptr) *replaced = any;
  return text;
}

namespace {

// Calls `visit(code, step, at)` for each character of `utf8` in turn: its
// CP932 code (a byte below 0x80 is its own code; kNoCode when CP932 has
// none), the step of the slow path (null on the fast paths) and where the
// character starts.
template <typename Visit>
void ForEachCode(const Tables& tables, std::string_view utf8, Visit&& visit) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n;) {
    if (p[i] < 0x80) {
      visit(static_cast<std::uint16_t>(p[i]), nullptr, i);
      ++i;
      continue;
    }
    const std::uint16_t code = QuickCode(tables, p + i, n - i);
    if (code != kNoCode) {
      visit(code, nullptr, i);
      i += 3;
    } else {
      const Step step = NextStep(tables, p + i, n - i);
      visit(step.code, &step, i);
      i += step.length;
    }
  }
}

}  // namespace

bool Utf8ToCp932(std::string_view utf8, std::string* out,
                 std::string* first_unencodable) {
  // No character takes more bytes in CP932 than in UTF-8; one spare byte
  // takes the second byte written for a one-byte code at the very end.
  out->assign(utf8.size() + 1, '\0');
  char* w = out->data();
  bool all_written = true;
  if (first_unencodable != nullptr) first_unencodable->clear();
  ForEachCode(GetTables(), utf8,
              [&](std::uint16_t code, const Step* step, std::size_t at) {
                if (code == kNoCode) {
                  if (all_written && first_unencodable != nullptr) {
                    *first_unencodable =
                        step->malformed ? std::string("\xEF\xBF\xBD")
                                        : std::string(utf8.substr(at, step->length));
                  }
                  all_written = false;
                  code = static_cast<std::uint16_t>('?');
                }
                // One byte or two, written without a branch.
                const bool two = code > 0xFF;
                w[0] = static_cast<char>(two ? code >> 8 : code);
                w[1] = static_cast<char>(code & 0xFF);
                w += two ? 2 : 1;
              });
  out->resize(static_cast<std::size_t>(w - out->data()));
  return all_written;
}

bool Cp932CanHold(std::string_view utf8) {
  return FirstUnholdableChar(utf8).empty();
}

std::string FirstUnholdableChar(std::string_view utf8) {
  return FirstRefused(
      utf8, [](const Step& step) { return step.code == kNoCode || step.raw; });
}

std::size_t ByteWidth(std::string_view utf8) {
  std::size_t width = 0;
  ForEachCode(GetTables(), utf8, [&](std::uint16_t code, const Step*, std::size_t) {
    width += code < 0x100 ? 1 : 2;  // kNoCode counts 2
  });
  return width;
}

Utf8Check CheckUtf8(std::string_view bytes) {
  Utf8Check check;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
      ++i;
      continue;
    }
    check.beyond_ascii = true;
    // The length of the sequence and the range its second byte must lie in.
    std::size_t length = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      length = 3;
      if (b0 == 0xE0) lo = 0xA0;  // overlong
      if (b0 == 0xED) hi = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      length = 4;
      if (b0 == 0xF0) lo = 0x90;  // overlong
      if (b0 == 0xF4) hi = 0x8F;  // past U+10FFFF
    } else {
      check.valid = false;
      return check;
    }
    if (i + length > bytes.size()) {
      check.valid = false;
      return check;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      const unsigned char low = k == 1 ? lo : 0x80;
      const unsigned char high = k == 1 ? hi : 0xBF;
      if (b < low || b > high) {
        check.valid = false;
        return check;
      }
    }
    i += length;
  }
  return check;
}

std::size_t PrefixWithinByteWidth(std::string_view utf8,
                                  std::size_t max_width) {
  // The steps of ForEachCode, stopped at the first that does not fit.
  const Tables& tables = GetTables();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  std::size_t width = 0;
  std::size_t i = 0;
  while (i < n) {
    std::uint16_t code = p[i];
    std::size_t length = 1;
    if (p[i] >= 0x80) {
      code = QuickCode(tables, p + i, n - i);
      length = 3;
      if (code == kNoCode) {
        const Step step = NextStep(tables, p + i, n - i);
        code = step.code;
        length = step.length;
      }
    }
    width += code < 0x100 ? 1 : 2;
    if (width > max_width) break;
    i += length;
  }
  return i;
}

}  // namespace veltrano
