#include "calc/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gtest/gtest.h"

namespace veltrano {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Hex(const std::string& bytes) {
  std::string s;
  char buffer[4];
  for (unsigned char b : bytes) {
    std::snprintf(buffer, sizeof(buffer), "%02X ", b);
    s += buffer;
  }
  return s;
}

std::string Encode(const std::string& utf8, bool* ok = nullptr) {
  std::string out;
  const bool written = Utf8ToCp932(utf8, &out);
  if (ok != nullptr) *ok = written;
  return out;
}

bool IsLead(int b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrail(int b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Splits decoded text into its code points (the decoder only makes BMP
// characters).
std::vector<char32_t> CodePoints(const std::string& utf8) {
  std::vector<char32_t> result;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 < 0x80) {
      result.push_back(b0);
      i += 1;
    } else if (b0 < 0xE0) {
      result.push_back((char32_t{b0} & 0x1F) << 6 |
                       (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      i += 2;
    } else {
      result.push_back(
          (char32_t{b0} & 0x0F) << 12 |
          (char32_t{static_cast<unsigned char>(utf8[i + 1])} & 0x3F) << 6 |
          (static_cast<unsigned char>(utf8[i + 2]) & 0x3F));
      i += 3;
    }
  }
  return result;
}

// --- Round trips -----------------------------------------------------------

TEST(Cp932RoundTripTest, EverySingleByteIsKept) {
  for (int b = 0; b < 0x100; ++b) {
    const std::string bytes = Bytes({b});
    bool ok = false;
    EXPECT_EQ(Encode(Cp932ToUtf8(bytes), &ok), bytes) << Hex(bytes);
    EXPECT_TRUE(ok) << Hex(bytes);
  }
}

TEST(Cp932RoundTripTest, EveryPairStartingWithAHighByteIsKept) {
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (int trail = 0; trail < 0x100; ++trail) {
      const std::string bytes = Bytes({lead, trail});
      const std::string utf8 = Cp932ToUtf8(bytes);
      bool ok = false;
      ASSERT_EQ(Encode(utf8, &ok), bytes) << Hex(bytes);
      ASSERT_TRUE(ok) << Hex(bytes);
      ASSERT_EQ(ByteWidth(utf8), 2u) << Hex(bytes);
    }
  }
}

TEST(Cp932RoundTripTest, LongMixedStreamIsKept) {
  // Valid characters, raw bytes and a lead byte at the very end, packed
  // together so that every kind meets every other at its boundaries.
  std::string bytes;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>((seed >> 16) & 0xFF));
  }
  bytes.push_back('\x81');
  const std::string utf8 = Cp932ToUtf8(bytes);
  bool ok = false;
  EXPECT_EQ(Encode(utf8, &ok), bytes);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ByteWidth(utf8), bytes.size());
}

// --- The characters the program's files use -----------------------------

TEST(Cp932Test, NamedCharactersDecodeAndEncode) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"A,1", "A,1"},         {"\x5C", "\\"},         {"\x7E", "~"},
      {"\x81\xA3", "▲"},      {"\x81\x9B", "○"},      {"\x81\x5F", "＼"},
      {"\x81\x60", "～"},     {"\x87\x40", "①"},      {"\x81\xE0", "≒"},
      {"\x87\x5F", "㍉"},     {"\x82\xA0", "あ"},     {"\x88\x9F", "亜"},
      {"\xB1", "ｱ"},          {"\xA1", "｡"},          {"\xDF", "ﾟ"},
      {"\xF0\x40", "\uE000"}, {"\xF9\xFC", "\uE757"}, {"\xFA\x5C", "纊"},
      {"\xFB\xFC", "髙"},     {"\xFC\x4B", "黑"},
  };
  for (const auto& [bytes, utf8] : cases) {
    EXPECT_EQ(Cp932ToUtf8(bytes), utf8) << Hex(bytes);
    bool ok = false;
    EXPECT_EQ(Encode(utf8, &ok), bytes) << utf8;
    EXPECT_TRUE(ok) << utf8;
    EXPECT_TRUE(Cp932CanHold(utf8)) << utf8;
  }
}

TEST(Cp932Test, PlainCharactersGetTheCodeWindowsWrites) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"≒", "\x81\xE0"},  {"≡", "\x81\xDF"},  {"∵", "\x81\xE6"},
      {"￢", "\x81\xCA"}, {"∩", "\x81\xBF"},  {"√", "\x81\xE3"},
      {"Ⅰ", "\x87\x54"},  {"№", "\x87\x82"},  {"㈱", "\x87\x8A"},
      {"ⅰ", "\xFA\x40"},  {"＇", "\xFA\x56"}, {"纊", "\xFA\x5C"},
      {"＼", "\x81\x5F"}, {"～", "\x81\x60"},
  };
  for (const auto& [utf8, bytes] : cases) {
    EXPECT_EQ(Encode(utf8), bytes) << utf8;
  }
}

TEST(Cp932Test, OtherCodesOfACharacterCarryAVariationSelector) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\x87\x90", "≒\uFE00"},  {"\x87\x9A", "∵\uFE00"},
      {"\xFA\x5B", "∵\uFE01"},  {"\xEE\xF9", "￢\uFE00"},
      {"\xFA\x54", "￢\uFE01"}, {"\xFA\x4A", "Ⅰ\uFE00"},
      {"\xEE\xEF", "ⅰ\uFE00"},  {"\xFA\x59", "№\uFE00"},
      {"\xED\x40", "纊\uFE00"}, {"\xEE\xEC", "黑\uFE00"},
  };
  for (const auto& [bytes, utf8] : cases) {
    EXPECT_EQ(Cp932ToUtf8(bytes), utf8) << Hex(bytes);
    EXPECT_EQ(Encode(utf8), bytes) << Hex(bytes);
    EXPECT_TRUE(Cp932CanHold(utf8)) << Hex(bytes);
    EXPECT_EQ(ByteWidth(utf8), 2u) << Hex(bytes);
  }
}

// Over the whole table: each character has one code without a selector, the
// one Windows prefers, and its other codes take U+FE00, U+FE01 in byte order.
TEST(Cp932Test, EveryRepeatedCharacterFollowsThePreferenceOrder) {
  auto rank = [](int code) {
    const int lead = code >> 8;
    if (lead == 0x87) return 1;
    if (lead >= 0xFA && lead <= 0xFC) return 2;
    if (lead == 0xED || lead == 0xEE) return 3;
    return 0;
  };
  struct Code {
    int code;
    int selector;  // -1 for none
  };
  std::map<char32_t, std::vector<Code>> codes_of;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsLead(lead) || !IsTrail(trail)) continue;
      const std::vector<char32_t> decoded =
          CodePoints(Cp932ToUtf8(Bytes({lead, trail})));
      if (decoded.front() >= 0xF780 && decoded.front() <= 0xF7FF) continue;
      ASSERT_LE(decoded.size(), 2u);
      int selector = -1;
      if (decoded.size() == 2) {
        ASSERT_TRUE(decoded[1] == 0xFE00 || decoded[1] == 0xFE01);
        selector = static_cast<int>(decoded[1] - 0xFE00);
      }
      codes_of[decoded[0]].push_back({(lead << 8) | trail, selector});
    }
  }
  int repeated = 0;
  for (const auto& [ucs, codes] : codes_of) {
    const auto plain =
        std::find_if(codes.begin(), codes.end(),
                     [](const Code& c) { return c.selector < 0; });
    ASSERT_NE(plain, codes.end()) << std::hex << static_cast<unsigned>(ucs);
    int next_selector = 0;
    for (const Code& c : codes) {  // in byte order
      if (c.code == plain->code) continue;
      EXPECT_EQ(c.selector, next_selector++) << std::hex << c.code;
      EXPECT_TRUE(rank(plain->code) < rank(c.code) ||
                  (rank(plain->code) == rank(c.code) && plain->code < c.code))
          << std::hex << c.code;
    }
    if (codes.size() > 1) ++repeated;
  }
  // 374 kanji and symbols of 0xED/0xEE, the row 13 symbols repeated in row 2
  // and the IBM extensions repeating row 13.
  EXPECT_GT(repeated, 370);
}

TEST(Cp932Test, CharactersOutsideMicrosoftsTableAreNotHeld) {
  // JIS-style look-alikes some converters map one way: yen and overline for
  // \ and ~, em dash, wave dash, minus sign, double vertical line, cent,
  // pound and not sign. Windows reads 0x5C, 0x7E, 0x815C... as other
  // characters, so writing these would change them on the next read.
  for (const std::string utf8 : {"¥", "‾", "—", "〜", "−", "‖", "¢", "£", "¬",
                                 "😀", "\uF77F", "\uFFFD"}) {
    bool ok = true;
    EXPECT_EQ(Encode("a" + utf8 + "b", &ok), "a?b") << utf8;
    EXPECT_FALSE(ok) << utf8;
    EXPECT_FALSE(Cp932CanHold(utf8)) << utf8;
    EXPECT_EQ(FirstUnholdableChar("a" + utf8), utf8);
  }
}

// --- Bytes that are not CP932 ---------------------------------------------

TEST(Cp932Test, BytesThatAreNotCp932DecodeToRawByteCharacters) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\x80", "\uF780"},
      {"\xA0", "\uF7A0"},
      {"\xFD\xFE\xFF", "\uF7FD\uF7FE\uF7FF"},
      {"a\x81", "a\uF781"},          // lead byte at the end
      {"\x81 ", "\uF781 "},          // not a trail byte
      {"\x81\x7F", "\uF781\x7F"},    // 0x7F is no trail byte
      {"\x85\x40", "\uF785@"},       // pair without a character
      {"\x85\x82\xA0", "\uF785あ"},  // decoding resumes at the next byte
      {"\xEE\xED\x40", "\uF7EE纊\uFE00"},
  };
  for (const auto& [bytes, utf8] : cases) {
    EXPECT_EQ(Cp932ToUtf8(bytes), utf8) << Hex(bytes);
    bool ok = false;
    EXPECT_EQ(Encode(utf8, &ok), bytes) << Hex(bytes);
    EXPECT_TRUE(ok) << Hex(bytes);
    EXPECT_FALSE(Cp932CanHold(utf8)) << Hex(bytes);
  }
  // A lead byte at the end of a view does not reach past it.
  EXPECT_EQ(Cp932ToUtf8(std::string_view("a\x81\x40", 2)), "a\uF781");
}

// Read for text that must be written again, every byte that begins no
// character shows as "〓", and everything else reads as it always does:
// over every pair of bytes, the text can be held and differs from the plain
// decoding exactly where a byte was replaced.
TEST(Cp932Test, VisibleDecodingMarksEachByteThatIsNotCp932) {
  EXPECT_EQ(Cp932ToUtf8Visible("\x85\x82\xA0\xFF"), "〓あ〓");
  for (int first = 0x80; first <= 0xFF; ++first) {
    for (int second = 0; second <= 0xFF; ++second) {
      const std::string bytes = Bytes({first, second});
      bool replaced = true;
      const std::string text = Cp932ToUtf8Visible(bytes, &replaced);
      ASSERT_TRUE(Cp932CanHold(text)) << Hex(bytes);
      const std::string plain = Cp932ToUtf8(bytes);
      ASSERT_EQ(replaced, text != plain) << Hex(bytes);
      // What the plain decoding gives can be held unless it holds a
      // raw-byte character.
      ASSERT_EQ(replaced, !Cp932CanHold(plain)) << Hex(bytes);
    }
  }
}

// --- Entry checks -----------------------------------------------------------

TEST(Cp932CanHoldTest, AcceptsTextThatCanBeWritten) {
  EXPECT_TRUE(Cp932CanHold(""));
  EXPECT_TRUE(Cp932CanHold("配管 100A ｶﾝ ①≒▲ \uE000"));
  EXPECT_TRUE(Cp932CanHold("∵\uFE01"));
  EXPECT_EQ(FirstUnholdableChar("配管 100A"), "");
}

TEST(Cp932CanHoldTest, RefusesWhatIsNeverTyped) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"配管😀と🍣", "😀"},       // not in CP932
      {"a\uF780", "\uF780"},   // a raw byte
      {"\uFE00", "\uFE00"},    // a selector on its own
      {"A\uFE00", "\uFE00"},   // ASCII has no other code
      {"あ\uFE00", "\uFE00"},  // nor has あ
      {"≒\uFE01", "\uFE01"},   // ≒ has only one other code
      {"≒\uFE00\uFE00", "\uFE00"},
  };
  for (const auto& [utf8, first] : cases) {
    EXPECT_FALSE(Cp932CanHold(utf8)) << utf8;
    EXPECT_EQ(FirstUnholdableChar(utf8), first) << utf8;
  }
}

TEST(Cp932Test, StraySelectorIsNotWritten) {
  bool ok = true;
  EXPECT_EQ(Encode("≒\uFE01", &ok), "\x81\xE0?");
  EXPECT_FALSE(ok);
  std::string out;
  std::string first;
  EXPECT_FALSE(Utf8ToCp932("あ\uFE00😀", &out, &first));
  EXPECT_EQ(first, "\uFE00");
  EXPECT_EQ(out, "\x82\xA0??");
}

TEST(Cp932Test, FirstUnencodableIsClearedOnSuccess) {
  std::string out;
  std::string first = "stale";
  EXPECT_TRUE(Utf8ToCp932("\uF780", &out, &first));
  EXPECT_EQ(first, "");
}

// --- Malformed UTF-8 ---------------------------------------------------------

TEST(Cp932Test, MalformedUtf8IsOneUnholdableCharacterPerByte) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xFF", "?"},
      {"a\x80!", "a?!"},        // stray continuation byte
      {"\xC0\xAF", "??"},       // overlong "/"
      {"\xE0\x80\xAF", "???"},  // overlong "/"
      {"\xE3\x81", "??"},       // cut short at the end
      {"\xE3\x81.", "??."},     // cut short before ASCII
      {"\xE3\x81\x82\xE3", "\x82\xA0?"},
      {"\xED\xA0\x80", "???"},       // surrogate
      {"\xF4\x90\x80\x80", "????"},  // past U+10FFFF
      {"\xF8\x88\x80\x80\x80", "?????"},
  };
  for (const auto& [utf8, bytes] : cases) {
    std::string out;
    std::string first;
    EXPECT_FALSE(Utf8ToCp932(utf8, &out, &first)) << Hex(utf8);
    EXPECT_EQ(out, bytes) << Hex(utf8);
    EXPECT_EQ(first, "\uFFFD") << Hex(utf8);
    EXPECT_FALSE(Cp932CanHold(utf8)) << Hex(utf8);
    EXPECT_EQ(FirstUnholdableChar(utf8), "\uFFFD") << Hex(utf8);
  }
  EXPECT_EQ(ByteWidth("\xE3\x81"), 4u);
}

// --- Widths
// -------------------------------------------------------------------

TEST(Cp932Test, ByteWidthCountsCp932Bytes) {
  EXPECT_EQ(ByteWidth(""), 0u);
  EXPECT_EQ(ByteWidth("A"), 1u);
  EXPECT_EQ(ByteWidth("ｱ"), 1u);
  EXPECT_EQ(ByteWidth("あ"), 2u);
  EXPECT_EQ(ByteWidth("▲"), 2u);
  EXPECT_EQ(ByteWidth("≒\uFE00"), 2u);
  EXPECT_EQ(ByteWidth("\uF780"), 1u);
  EXPECT_EQ(ByteWidth("配管ﾊｲｶﾝ 100A"), 4u + 4u + 5u);
  // Characters CP932 cannot hold count as full-width.
  EXPECT_EQ(ByteWidth("😀"), 2u);
  EXPECT_EQ(ByteWidth("¥"), 2u);
  EXPECT_EQ(ByteWidth("A\uFE00"), 3u);
}

TEST(Cp932Test, PrefixWithinByteWidthCutsBetweenCharacters) {
  // Every kind of character: ASCII, half-width katakana, full-width, a
  // character with the selector of its other code, a raw byte, one CP932
  // cannot hold, a malformed byte.
  const std::string text =
      "A配ｱ≒\uFE00管\uF780😀1\xFF\xE3\x81"
      "B";
  std::vector<std::size_t> ends = {0};  // where the characters end
  for (std::size_t length : {1, 3, 3, 6, 3, 3, 4, 1, 1, 1, 1, 1}) {
    ends.push_back(ends.back() + length);
  }
  ASSERT_EQ(ends.back(), text.size());
  for (std::size_t max = 0; max <= ByteWidth(text) + 1; ++max) {
    const std::size_t cut = PrefixWithinByteWidth(text, max);
    // Between two characters, within the width, and the longest such.
    EXPECT_NE(std::find(ends.begin(), ends.end(), cut), ends.end()) << max;
    EXPECT_LE(ByteWidth(text.substr(0, cut)), max);
    if (cut < text.size()) {
      const auto next = std::upper_bound(ends.begin(), ends.end(), cut);
      EXPECT_GT(ByteWidth(text.substr(0, *next)), max) << max;
    }
  }
  EXPECT_EQ(PrefixWithinByteWidth(text, 1000), text.size());
}

// --- The committed table against glibc
// -----------------------------------------

class IconvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    to_utf8_ = iconv_open("UTF-8", "CP932");
    from_utf8_ = iconv_open("CP932", "UTF-8");
    if (to_utf8_ == kNone || from_utf8_ == kNone) {
      GTEST_SKIP() << "iconv does not know CP932 here";
    }
  }
  void TearDown() override {
    if (to_utf8_ != kNone) iconv_close(to_utf8_);
    if (from_utf8_ != kNone) iconv_close(from_utf8_);
  }

  static bool Convert(iconv_t cd, const std::string& in, std::string* out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[32];
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = buffer;
    std::size_t dst_left = sizeof(buffer);
    if (iconv(cd, &src, &src_left, &dst, &dst_left) ==
            static_cast<std::size_t>(-1) ||
        src_left != 0) {
      return false;
    }
    out->assign(buffer, sizeof(buffer) - dst_left);
    return true;
  }

  static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
  iconv_t to_utf8_ = kNone;
  iconv_t from_utf8_ = kNone;
};

TEST_F(IconvTest, TableMatchesGlibc) {
  std::vector<std::string> codes;
  for (int b = 0; b < 0x100; ++b) codes.push_back(Bytes({b}));
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (IsLead(lead) && IsTrail(trail)) codes.push_back(Bytes({lead, trail}));
    }
  }
  int checked = 0;
  for (const std::string& bytes : codes) {
    const std::string ours = Cp932ToUtf8(bytes);
    std::string glibc;
    if (!Convert(to_utf8_, bytes, &glibc)) {
      // glibc has no character there: neither have we.
      EXPECT_EQ(CodePoints(ours).front() & 0xFF80u, 0xF780u) << Hex(bytes);
      continue;
    }
    const bool has_selector =
        ours.size() > 3 && ours.compare(ours.size() - 3, 2, "\xEF\xB8") == 0;
    const std::string plain =
        has_selector ? ours.substr(0, ours.size() - 3) : ours;
    EXPECT_EQ(plain, glibc) << Hex(bytes);
    if (!has_selector) {
      // The preferred code: glibc writes the same one.
      std::string written;
      ASSERT_TRUE(Convert(from_utf8_, plain, &written)) << Hex(bytes);
      EXPECT_EQ(written, bytes) << Hex(bytes);
    }
    ++checked;
  }
  EXPECT_GT(checked, 9000);
}

}  // namespace
}  // namespace veltrano
