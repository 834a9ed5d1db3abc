#ifndef VELTRANO_CLI_COMMANDS_ARGUMENTS_H_
#define VELTRANO_CLI_COMMANDS_ARGUMENTS_H_

// What the commands share in reading their arguments and input.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// The calculation-digits setting D: "0", "1" or "2".
std::optional<int> ParseDigits(std::string_view text);

// Reads the words after the command's name in args[0]: "--digits D" sets
// *digits; every other word goes to `other` with its index, which it moves
// onto a value it takes. `other` returns a usage problem or "" when it took
// the word. Returns the first problem, or "".
std::string ReadOptions(
    const std::vector<std::string>& args, int* digits,
    const std::function<std::string(std::size_t* i)>& other);

// Reads the lines of standard input, without the CR of a CR LF.
bool NextLine(std::istream& in, std::string* line);

struct ProjectArgs {
  std::string file;
  std::string out;
  std::optional<int> digits;
  bool force = false;  // --force: write over a project another holder has locked
};

// Parses FILE [-o OUT [--force]] [--digits D] after the command's name in args[0];
// returns an error text or "".
std::string ParseProjectArgs(const std::vector<std::string>& args,
                             bool wants_out, bool allows_digits,
                             ProjectArgs* parsed);

}  // namespace veltrano

#endif  // VELTRANO_CLI_COMMANDS_ARGUMENTS_H_
