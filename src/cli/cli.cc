#include "cli/cli.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/formula.h"
#include "calc/text_util.h"
#include "cli/cli_platform.h"
#include "cli/scenario.h"
#include "config/folders.h"
#include "shell/workspace.h"
#include "calc/number_text.h"
#include "calc/rounding.h"
#include "port/dialogs.h"

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
    "  [--base DIR] info FILE.xdt\n"
    "      print the counts and the room and place names of a project\n"
    "  [--base DIR] resave FILE.xdt -o OUT.xdt\n"
    "      open a project and write it as \"Save\" does\n"
    "  [--base DIR] recalc FILE.xdt -o OUT.xdt [--digits D]\n"
    "      recalculate every room and place, then write as \"Save\" does\n"
    "  [--base DIR] run SCRIPT\n"
    "      replay a script of user actions (see docs/scenarios.md)\n"
    "\n"
    "D is the calculation-digits setting: 0, 1 or 2 (default 0).\n"
    "DIR is the base folder (default: $VELTRANO_BASE, else ~/Veltrano).\n";

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

// A workspace started on the base folder, with a project opened from FILE.
struct OpenedProject {
  StderrDialogs dialogs;
  QueuedFileDialogs files;
  Progress progress;
  Workspace workspace;

  OpenedProject(const std::optional<std::string>& base, std::ostream& err)
      : dialogs(err),
        workspace(ResolveFolders(base), Platform{dialogs, files, progress}) {}
};

// Starts the workspace and opens `file` as "Open" does; false when either
// fails (the messages have been written).
bool StartAndOpen(OpenedProject& p, const std::string& file,
                  std::optional<int> digits) {
  if (!p.workspace.Startup()) return false;
  if (digits) p.workspace.settings().SetDigits(*digits);
  p.files.Push(file);
  p.workspace.session().OpenProject();
  return p.workspace.session().project_open();
}

struct ProjectArgs {
  std::string file;
  std::string out;
  std::optional<int> digits;
};

// Parses FILE [-o OUT] [--digits D]; returns an error text or "".
std::string ParseProjectArgs(const std::vector<std::string>& args,
                             bool wants_out, bool allows_digits,
                             ProjectArgs* parsed) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" && wants_out && i + 1 < args.size()) {
      parsed->out = args[++i];
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

int RunInfo(const std::optional<std::string>& base,
            const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err) {
  ProjectArgs parsed;
  if (std::string problem = ParseProjectArgs(args, false, false, &parsed);
      !problem.empty()) {
    return UsageError(err, problem);
  }
  OpenedProject p(base, err);
  if (!StartAndOpen(p, parsed.file, std::nullopt)) return kExitFailure;
  const ProjectTables& t = p.workspace.tables();
  int fittings = 0;
  for (int r = 1; r < t.fittings_register.rows(); ++r) {
    if (!t.fittings_register.At(r, 0).empty()) ++fittings;
  }
  int takeoffs = 0;
  for (int r = 0; r < t.fittings_store.rows(); ++r) {
    const std::string& marker = t.fittings_store.At(r, 0);
    const std::string& code = t.fittings_store.At(r, 1);
    if (EqualsIgnoreCase(marker, "Mado") && !code.empty() && code != "@") {
      ++takeoffs;
    }
  }
  out << "rooms " << t.room_names[0].size() << '\n';
  out << "places " << t.room_names[1].size() << '\n';
  out << "fittings " << fittings << '\n';
  out << "takeoffs " << takeoffs << '\n';
  for (const std::string& n : t.room_names[0]) out << "room " << n << '\n';
  for (const std::string& n : t.room_names[1]) out << "place " << n << '\n';
  return kExitOk;
}

int RunResave(const std::optional<std::string>& base,
              const std::vector<std::string>& args, std::ostream& err,
              bool recalculate) {
  ProjectArgs parsed;
  if (std::string problem =
          ParseProjectArgs(args, true, recalculate, &parsed);
      !problem.empty()) {
    return UsageError(err, problem);
  }
  OpenedProject p(base, err);
  if (!StartAndOpen(p, parsed.file, parsed.digits)) return kExitFailure;
  Workspace& w = p.workspace;
  if (recalculate) {
    w.SwitchMode(kModeInterior);
    w.sheets().RecalculateAll();
    w.SwitchMode(kModeExterior);
    w.sheets().RecalculateAll();
  }
  w.SaveUnitPrices();
  return w.session().WriteProjectTo(parsed.out) ? kExitOk : kExitFailure;
}

}  // namespace

int RunCli(const std::vector<std::string>& all_args, std::istream& in,
           std::ostream& out, std::ostream& err) {
  std::vector<std::string> args = all_args;
  std::optional<std::string> base;
  if (args.size() >= 2 && args[0] == "--base") {
    base = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return UsageError(err, "no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "eval") return RunEval(args, in, out, err);
  if (command == "total") return RunTotal(args, in, out, err);
  if (command == "info") return RunInfo(base, args, out, err);
  if (command == "resave") return RunResave(base, args, err, false);
  if (command == "recalc") return RunResave(base, args, err, true);
  if (command == "run") return RunScenarioCommand(base, args, out, err);
  return UsageError(err, "unknown command: " + command);
}

}  // namespace veltrano
