#include "cli/commands/arguments.h"

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

std::optional<int> ParseDigits(std::string_view text) {
  if (text == "0") return 0;
  if (text == "1") return 1;
  if (text == "2") return 2;
  return std::nullopt;
}

std::string ReadOptions(
    const std::vector<std::string>& args, int* digits,
    const std::function<std::string(std::size_t* i)>& other) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--digits" && i + 1 < args.size()) {
      const std::optional<int> d = ParseDigits(args[++i]);
      if (!d) return "--digits takes 0, 1 or 2";
      *digits = *d;
    } else if (std::string problem = other(&i); !problem.empty()) {
      return problem;
    }
  }
  return "";
}

bool NextLine(std::istream& in, std::string* line) {
  if (!std::getline(in, *line)) return false;
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

std::string ParseProjectArgs(const std::vector<std::string>& args,
                             bool wants_out, bool allows_digits,
                             ProjectArgs* parsed) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" && wants_out && i + 1 < args.size()) {
      parsed->out = args[++i];
    } else if (a == "--force" && wants_out) {
      parsed->force = true;
    } else if (a == "--digits" && allows_digits && i + 1 < args.size()) {
      parsed->digits = ParseDigits(args[++i]);
      if (!parsed->digits) return "--digits takes 0, 1 or 2";
    } else if (!a.empty() && a[0] != '-' && parsed->file.empty()) {
      parsed->file = a;
    } else {
      return "unknown argument for " + args[0] + ": " + a;
    }
  }
  if (parsed->file.empty()) return args[0] + " needs a project file";
  if (wants_out && parsed->out.empty()) return args[0] + " needs -o OUT.xdt";
  return "";
}

}  // namespace veltrano
