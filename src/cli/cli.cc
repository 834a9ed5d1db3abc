#include "cli/cli.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/formula.h"
#include "calc/number_text.h"
#include "calc/rounding.h"
#include "shell/dialogs.h"

namespace veltrano {
namespace {

constexpr std::string_view kUsage =
    "usage: veltrano-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  eval [--digits D] [--param A=TEXT] [--param S=TEXT] [--param L=TEXT]\n"
    "      evaluate formulas read from standard input, one per line\n"
    "  total [--digits D] [--cell]\n"
    "      write summary totals of numbers read from standard input\n"
    "\n"
    "D is the calculation-digits setting: 0, 1 or 2 (default 0).\n";

// Collects every message box an evaluation shows; questions are answered OK.
class CollectingDialogs : public Dialogs {
 public:
  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon) override {
    messages_.emplace_back(std::string(title), std::string(text));
  }
  Answer Ask(std::string_view title, std::string_view text, Buttons,
             MessageIcon) override {
    messages_.emplace_back(std::string(title), std::string(text));
    return Answer::kOk;
  }
  void Beep() override {}

  std::vector<std::pair<std::string, std::string>> Take() {
    return std::exchange(messages_, {});
  }

 private:
  std::vector<std::pair<std::string, std::string>> messages_;
};

int UsageError(std::ostream& err, std::string_view problem) {
  err << "veltrano-cli: " << problem << "\n\n" << kUsage;
  return kExitUsage;
}

std::optional<int> ParseDigits(std::string_view text) {
  if (text == "0") return 0;
  if (text == "1") return 1;
  if (text == "2") return 2;
  return std::nullopt;
}

// Reads the lines of standard input, without the CR of a CR LF.
bool NextLine(std::istream& in, std::string* line) {
  if (!std::getline(in, *line)) return false;
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

int RunEval(const std::vector<std::string>& args, std::istream& in,
            std::ostream& out, std::ostream& err) {
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
  std::string line;
  while (NextLine(in, &line)) {
    out << EvaluateFormula(line, q, params, dialogs);
    for (const auto& [title, text] : dialogs.Take()) {
      out << '\t' << title << '\t' << text;
    }
    out << '\n';
  }
  return kExitOk;
}

int RunTotal(const std::vector<std::string>& args, std::istream& in,
             std::ostream& out, std::ostream& err) {
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
  std::string line;
  while (NextLine(in, &line)) {
    // Summary quantities are held in single precision.
    const float total = ToSingle(LeadingNumber(line));
    out << (cell ? setting.FormatCell(total) : setting.FormatColumnTotal(total))
        << '\n';
  }
  return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in,
           std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "eval") return RunEval(args, in, out, err);
  if (command == "total") return RunTotal(args, in, out, err);
  return UsageError(err, "unknown command: " + command);
}

}  // namespace veltrano
