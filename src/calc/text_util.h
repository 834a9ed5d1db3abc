#ifndef VELTRANO_CALC_TEXT_UTIL_H_
#define VELTRANO_CALC_TEXT_UTIL_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// Field n (counted from 0) of a line split at ","; "" when the line has fewer
// fields.
std::string_view FieldOf(std::string_view line, int n);

// Splits a line at every `separator`; a line without one is a single field.
std::vector<std::string_view> SplitFields(std::string_view line,
                                          char separator = ',');
// The same into `fields`, whose memory is reused from line to line.
void SplitFieldsInto(std::string_view line, char separator,
                     std::vector<std::string_view>* fields);

// Replaces field n of a comma-separated line; every other field and the
// number of fields stay as they were. A line with too few fields is
// returned unchanged.
std::string ReplaceField(std::string_view line, int n, std::string_view text);

// Names, codes, tags and markers compare without regard to letter case:
// ASCII letters and full-width Latin letters fold to upper case.
std::string FoldCase(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Replaces characters that input methods produce but code page 932 cannot
// hold by the look-alike it can: 〜 (U+301C) by ～, − (U+2212) by －, — by ―,
// ‖ by ∥, ¢ £ ¬ ¥ ‾ by their full-width forms.
std::string FoldToCodePageLookalikes(std::string_view text);

// Why a typed text cannot go into a record of a file, or "" when it can:
// "," and "'" separate fields, a line break ends the record, and a
// character code page 932 cannot hold cannot be written. Sheet cells and
// settings boxes word the comma and apostrophe with full-width brackets
// (",（カンマ）は使用できません。"), names of rooms and places with
// half-width ones (",(カンマ)は使用できません。").
enum class RefusalBrackets { kFullWidth, kHalfWidth };
std::string RecordTextRefusal(std::string_view text,
                              RefusalBrackets brackets = RefusalBrackets::kFullWidth);

// What a number box holds: a count or page number of digits alone; a
// length or parameter of digits with one decimal point; an offset that may
// also begin with a sign; a unit price that may begin with "-" and carry
// thousands separators (",").
enum class NumberBox { kWhole, kUnsigned, kSigned, kPrice };

// The message for a number box given anything but a number.
inline constexpr std::string_view kNumbersOnlyMessage =
    "数値以外は入力できません。";

// Why a text typed into a number box cannot be taken, or "" when it can:
// first what RecordTextRefusal says (a price's "," excepted), and then
// `*record` is set: the box is emptied, as a sheet cell's editor is; then
// kNumbersOnlyMessage for a character the box's numbers are not written
// with, the keystroke refused and the box keeping its number. A number
// being typed ("", "-", "12.") is taken, and so are blanks around it.
std::string NumberBoxRefusal(std::string_view text, NumberBox box,
                             bool* record = nullptr);

// A path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);

// True for a text of nothing but blanks: half-width spaces and tabs and the
// full-width space (U+3000). An empty text is blank.
bool IsBlankText(std::string_view text);

}  // namespace veltrano

#endif  // VELTRANO_CALC_TEXT_UTIL_H_
