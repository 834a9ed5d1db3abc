#include <cstddef>
#include <istream>
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
  Eval()
      : Command("eval",
                "eval [--digits D] [--param A=TEXT] [--param S=TEXT] "
                "[--param L=TEXT]",
                "evaluate formulas read from standard input, one per line") {}

  int Execute(const CommandLine& line, std::istream& in, std::ostream& out,
              std::ostream& err) const override {
    const std::vector<std::string>& args = line.words;
    int digits = 0;
    FormulaParams params;
    const std::string problem =
        ReadOptions(args, &digits, [&](std::size_t* i) -> std::string {
          const std::string& a = args[*i];
          if (a != "--param" || *i + 1 >= args.size()) {
            return "unknown argument for eval: " + a;
          }
          constexpr std::string_view kParamProblem =
              "--param takes A=TEXT, S=TEXT or L=TEXT";
          const std::string& p = args[++*i];
          if (p.size() < 2 || p[1] != '=') return std::string(kParamProblem);
          std::string* target = nullptr;
          switch (p[0]) {
            case 'A':
            case 'a':
              target = &params.a;
              break;
            case 'S':
            case 's':
              target = &params.s;
              break;
            case 'L':
            case 'l':
              target = &params.l;
              break;
            default:
              return std::string(kParamProblem);
          }
          *target = p.substr(2);
          return "";
        });
    if (!problem.empty()) return UsageError(err, problem);
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
