#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "calc/formula.h"
#include "cli/cli.h"
#include "cli/commands/arguments.h"
#include "cli/commands/command.h"
#include "port/dialogs.h"

namespace veltrano {

namespace {

class Eval : public Command {
 public:
  std::string_view name() const override { return "eval"; }
  std::string_view synopsis() const override {
    return "eval [--digits D] [--param A=TEXT] [--param S=TEXT] "
           "[--param L=TEXT]";
  }
  std::string_view description() const override {
    return "evaluate formulas read from standard input, one per line";
  }

  int Execute(const CommandLine& line, std::istream& in, std::ostream& out,
              std::ostream& err) const override {
    const std::vector<std::string>& args = line.words;
    int digits = 0;
    FormulaParams params;
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--digits" && i + 1 < args.size()) {
        std::optional<int> d = ParseDigits(args[++i]);
        if (!d) return UsageError(err, "--digits takes 0, 1 or 2");
        digits = *d;
      } else if (a == "--param" && i + 1 < args.size()) {
        const std::string& p = args[++i];
        if (p.size() < 2 || p[1] != '=') {
          return UsageError(err, "--param takes A=TEXT, S=TEXT or L=TEXT");
        }
        std::string* target = nullptr;
        switch (p[0]) {
          case 'A': case 'a': target = &params.a; break;
          case 'S': case 's': target = &params.s; break;
          case 'L': case 'l': target = &params.l; break;
          default:
            return UsageError(err, "--param takes A=TEXT, S=TEXT or L=TEXT");
        }
        *target = p.substr(2);
      } else {
        return UsageError(err, "unknown argument for eval: " + a);
      }
    }
    const int q = digits + 2;
    CollectingDialogs dialogs;
    std::string formula;
    while (NextLine(in, &formula)) {
      out << EvaluateFormula(formula, q, params, dialogs);
      for (const CollectingDialogs::Message& m : dialogs.messages) {
        out << '\t' << m.title << '\t' << m.text;
      }
      dialogs.messages.clear();
      out << '\n';
    }
    return kExitOk;
  }
};

}  // namespace

const Command& EvalCommand() {
  static const Eval kCommand;
  return kCommand;
}

}  // namespace veltrano
