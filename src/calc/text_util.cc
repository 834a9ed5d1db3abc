#include "calc/text_util.h"

#include "calc/cp932.h"

#include <string>

namespace veltrano {
namespace {

// Full-width small letters U+FF41..U+FF5A are EF BD 81..9A in UTF-8; their
// capitals U+FF21..U+FF3A are EF BC A1..BA.
bool IsFullWidthSmall(std::string_view t, std::size_t i) {
  return i + 2 < t.size() && static_cast<unsigned char>(t[i]) == 0xEF &&
         static_cast<unsigned char>(t[i + 1]) == 0xBD &&
         static_cast<unsigned char>(t[i + 2]) >= 0x81 &&
         static_cast<unsigned char>(t[i + 2]) <= 0x9A;
}

}  // namespace

std::string_view FieldOf(std::string_view line, int n) {
  if (n < 0) return {};
  std::size_t start = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return {};
    start = comma + 1;
  }
  const std::size_t end = line.find(',', start);
  return line.substr(start, end == std::string_view::npos ? line.size() - start
                                                          : end - start);
}

std::vector<std::string_view> SplitFields(std::string_view line,
                                          char separator) {
  std::vector<std::string_view> fields;
  SplitFieldsInto(line, separator, &fields);
  return fields;
}

void SplitFieldsInto(std::string_view line, char separator,
                     std::vector<std::string_view>* fields) {
  fields->clear();
  // Fields are mostly short: a plain scan beats a library search per field.
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == separator) {
      fields->push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  fields->push_back(line.substr(start));
}

std::string ReplaceField(std::string_view line, int n, std::string_view text) {
  std::vector<std::string_view> fields = SplitFields(line);
  if (n < 0 || static_cast<std::size_t>(n) >= fields.size()) {
    return std::string(line);
  }
  std::string out;
  out.reserve(line.size() + text.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.push_back(',');
    out.append(i == static_cast<std::size_t>(n) ? text : fields[i]);
  }
  return out;
}

std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    } else if (IsFullWidthSmall(out, i)) {
      out[i + 1] = static_cast<char>(0xBC);
      out[i + 2] = static_cast<char>(
          static_cast<unsigned char>(out[i + 2]) - 0x81 + 0xA1);
      i += 2;
    }
  }
  return out;
}

std::string FoldToCodePageLookalikes(std::string_view text) {
  struct Fold {
    std::string_view from;
    std::string_view to;
  };
  static constexpr Fold kFolds[] = {
      {"\u301C", "\uFF5E"}, {"\u2212", "\uFF0D"}, {"\u2014", "\u2015"},
      {"\u2016", "\u2225"}, {"\u00A2", "\uFFE0"}, {"\u00A3", "\uFFE1"},
      {"\u00AC", "\uFFE2"}, {"\u00A5", "\uFFE5"}, {"\u203E", "\uFFE3"},
  };
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    bool folded = false;
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      for (const Fold& f : kFolds) {
        if (text.substr(i, f.from.size()) == f.from) {
          out.append(f.to);
          i += f.from.size();
          folded = true;
          break;
        }
      }
    }
    if (!folded) out.push_back(text[i++]);
  }
  return out;
}

namespace {

// The bytes of FoldCase(text), one at a time, without building the text.
class FoldedBytes {
 public:
  explicit FoldedBytes(std::string_view text) : text_(text) {}
  // The next byte; false at the end.
  bool Next(char* c) {
    if (held_ < count_) {
      *c = chunk_[held_++];
      return true;
    }
    if (at_ >= text_.size()) return false;
    if (IsFullWidthSmall(text_, at_)) {
      chunk_[0] = text_[at_];
      chunk_[1] = static_cast<char>(0xBC);
      chunk_[2] = static_cast<char>(
          static_cast<unsigned char>(text_[at_ + 2]) - 0x81 + 0xA1);
      at_ += 3;
      count_ = 3;
      held_ = 1;
      *c = chunk_[0];
      return true;
    }
    const char b = text_[at_++];
    *c = b >= 'a' && b <= 'z' ? static_cast<char>(b - 'a' + 'A') : b;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  char chunk_[3] = {};
  int count_ = 0;
  int held_ = 0;
};

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  // Folding keeps the length of a text.
  if (a.size() != b.size()) return false;
  if (a == b) return true;
  FoldedBytes fa(a);
  FoldedBytes fb(b);
  char ca = 0;
  char cb = 0;
  while (fa.Next(&ca)) {
    fb.Next(&cb);
    if (ca != cb) return false;
  }
  return true;
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool IsBlankText(std::string_view text) {
  constexpr std::string_view kFullWidthSpace = "\u3000";
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
    } else if (text.substr(i, kFullWidthSpace.size()) == kFullWidthSpace) {
      i += kFullWidthSpace.size();
    } else {
      return false;
    }
  }
  return true;
}

std::string RecordTextRefusal(std::string_view text, RefusalBrackets brackets) {
  const bool full = brackets == RefusalBrackets::kFullWidth;
  if (text.find(',') != std::string_view::npos) {
    return full ? ",（カンマ）は使用できません。" : ",(カンマ)は使用できません。";
  }
  if (text.find('\'') != std::string_view::npos) {
    return full ? "'（コーテーション）は使用できません。"
                : "'(コーテーション)は使用できません。";
  }
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    return "改行は使用できません。";
  }
  if (const std::string bad = FirstUnholdableChar(text); !bad.empty()) {
    return "「" + bad + "」はファイルに保存できない文字のため使用できません。";
  }
  return {};
}

std::string NumberBoxRefusal(std::string_view text, NumberBox box,
                             bool* record) {
  std::string record_text(text);
  if (box == NumberBox::kPrice) std::erase(record_text, ',');
  std::string refusal = RecordTextRefusal(record_text);
  if (record != nullptr) *record = !refusal.empty();
  if (!refusal.empty()) return refusal;
  // Blanks around a number are read past, as the leading-number rule does.
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
  std::size_t i = 0;
  const bool signed_box = box == NumberBox::kSigned || box == NumberBox::kPrice;
  if (signed_box && i < text.size() &&
      (text[i] == '-' || (box == NumberBox::kSigned && text[i] == '+'))) {
    ++i;
  }
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') continue;
    if (c == '.' && box != NumberBox::kWhole && !point) {
      point = true;
      continue;
    }
    // Thousands separators stand among the digits before the point.
    if (c == ',' && box == NumberBox::kPrice && !point) continue;
    return std::string(kNumbersOnlyMessage);
  }
  return {};
}

}  // namespace veltrano
