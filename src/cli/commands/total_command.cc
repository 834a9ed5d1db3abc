#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "calc/number_text.h"
#include "calc/rounding.h"
#include "cli/cli.h"
#include "cli/commands/arguments.h"
#include "cli/commands/command.h"

namespace veltrano {

namespace {

class Total : public Command {
 public:
  std::string_view name() const override { return "total"; }
  std::string_view synopsis() const override {
    return "total [--digits D] [--cell]";
  }
  std::string_view description() const override {
    return "write summary totals of numbers read from standard input";
  }

  int Execute(const CommandLine& line, std::istream& in, std::ostream& out,
              std::ostream& err) const override {
    const std::vector<std::string>& args = line.words;
    int digits = 0;
    bool cell = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--digits" && i + 1 < args.size()) {
        std::optional<int> d = ParseDigits(args[++i]);
        if (!d) return UsageError(err, "--digits takes 0, 1 or 2");
        digits = *d;
      } else if (a == "--cell") {
        cell = true;
      } else {
        return UsageError(err, "unknown argument for total: " + a);
      }
    }
    const DigitSetting setting(digits);
    std::string number;
    while (NextLine(in, &number)) {
      // Summary quantities are held in single precision.
      const float total = ToSingle(LeadingNumber(number));
      out << (cell ? setting.FormatCell(total)
                   : setting.FormatColumnTotal(total))
          << '\n';
    }
    return kExitOk;
  }
};

}  // namespace

const Command& TotalCommand() {
  static const Total kCommand;
  return kCommand;
}

}  // namespace veltrano
