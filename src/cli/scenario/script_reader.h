#ifndef VELTRANO_CLI_SCENARIO_SCRIPT_READER_H_
#define VELTRANO_CLI_SCENARIO_SCRIPT_READER_H_

// Reading scenario scripts: lines, words, quoted texts with their escapes,
// the "|" lines that follow write-file, and the texts as failures and the
// output write them back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::scenario {

// One word of a script line.
struct Token {
  std::string text;
};

using Args = std::vector<Token>;

// Splits a line into words at blanks and tabs. A word in double quotes may
// hold blanks and the escapes \" \\ \n \t; an unquoted word starting with
// "#" begins a comment that runs to the end of the line.
bool Tokenize(std::string_view line, Args* tokens, std::string* error);

// The lines of a script, without a leading byte order mark and without the
// CR of a CR LF.
std::vector<std::string_view> SplitLines(std::string_view script);

// The content of a line starting with "|" (blanks before it allowed; one
// blank after it dropped), or nothing for any other line.
std::optional<std::string_view> BlockLine(std::string_view line);

// `tokens` with "{i}" in every word after the first replaced by `i`: one
// round of "repeat N COMMAND...".
Args RepeatRound(const Args& tokens, int i);

// A text as scripts write it: line breaks as \n.
std::string Escaped(std::string_view text);

// A text in quotes, for failures: "" shows an empty text.
std::string Quoted(std::string_view text);

// Quoted texts separated by blanks, or "(none)".
std::string QuotedList(const std::vector<std::string>& items);

}  // namespace veltrano::scenario

#endif  // VELTRANO_CLI_SCENARIO_SCRIPT_READER_H_
