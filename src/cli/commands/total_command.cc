#include <cstddef>
#include <istream>
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
  Total()
      : Command("total", "total [--digits D] [--cell]",
                "write summary totals of numbers read from standard input") {}

  int Execute(const CommandLine& line, std::istream& in, std::ostream& out,
              std::ostream& err) const override {
    const std::vector<std::string>& args = line.words;
    int digits = 0;
    bool cell = false;
    const std::string problem =
        ReadOptions(args, &digits, [&](std::size_t* i) -> std::string {
          if (args[*i] != "--cell") {
            return "unknown argument for total: " + args[*i];
          }
          cell = true;
          return "";
        });
    if (!problem.empty()) return UsageError(err, problem);
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
