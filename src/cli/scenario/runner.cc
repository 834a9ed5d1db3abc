#include "cli/scenario/runner.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "calc/text_file.h"
#include "cli/scenario/verbs.h"
#include "json/plans_json.h"
#include "xlsx/xlsx_writer.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::scenario {

namespace {

namespace fs = std::filesystem;

std::optional<int> ParseCount(const Token& t) {
  int value = 0;
  const char* first = t.text.data();
  const char* last = first + t.text.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (t.text.empty() || ec != std::errc() || end != last || value < 0) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

Runner::Runner(Folders folders, std::ostream& out)
    : folders_(std::move(folders)),
      out_(out),
      dialogs_(out),
      files_(out, dialogs_),
      ws_(folders_, Platform{dialogs_, files_, progress_, clipboard_}) {
  static const PlansJson kPlansFormat;
  ws_.set_plans_format(&kPlansFormat);
  static XlsxWriter spreadsheets;
  ws_.set_spreadsheet_writer(&spreadsheets);
  DefineSheetVerbs(*this);
  DefineRoomVerbs(*this);
  DefineProjectVerbs(*this);
  DefineSettingsVerbs(*this);
  DefineFileVerbs(*this);
  DefineFittingsVerbs(*this);
  DefinePlanVerbs(*this);
  DefineAggregationVerbs(*this);
  DefineEditingVerbs(*this);
  DefineExpectVerbs(*this);
}

void Runner::Define(const std::string& words, Where where, Handler run) {
  verbs_[words] = Verb{where, std::move(run)};
}

void Runner::DefineAction(const std::string& words, Where where, Need need,
                          std::function<void()> act) {
  Define(words, where, [this, words, need, act](const Args& a) {
    if (!Arity(a, 0, 0, words) || (need && !(this->*need)())) return false;
    act();
    return true;
  });
}

void Runner::DefineOnOff(const std::string& words, Where where, Need need,
                         std::function<void(bool)> act) {
  Define(words, where, [this, words, need, act](const Args& a) {
    bool on = false;
    if (!Arity(a, 1, 1, words + " on|off") || (need && !(this->*need)()) ||
        !OnOff(a[0], &on)) {
      return false;
    }
    act(on);
    return true;
  });
}

bool Runner::Fail(std::string what) {
  failure_line_ = line_;
  failure_ = name_ + ":" + std::to_string(line_) + ": " + std::move(what);
  return false;
}

bool Runner::Arity(const Args& a, std::size_t least, std::size_t most,
                   std::string_view usage) {
  if (a.size() < least || a.size() > most) {
    return Fail("usage: " + std::string(usage));
  }
  return true;
}

bool Runner::Count(const Token& t, int low, int high, std::string_view what,
                   int* out) {
  const std::optional<int> v = ParseCount(t);
  if (!v || *v < low || *v > high) {
    return Fail(std::string(what) + " must be a number from " +
                std::to_string(low) + " to " + std::to_string(high) + ", not " +
                Quoted(t.text));
  }
  *out = *v;
  return true;
}

bool Runner::OnOff(const Token& t, bool* out) {
  if (t.text == "on") {
    *out = true;
  } else if (t.text == "off") {
    *out = false;
  } else {
    return Fail("expected on or off, not " + Quoted(t.text));
  }
  return true;
}

bool Runner::Cell(const Args& a, int* row, int* col) {
  return Count(a[0], 0, kSheetRows - 1, "the row", row) &&
         Count(a[1], 0, kSheetCols - 1, "the column", col);
}

bool Runner::FilePath(const Token& t, fs::path* out) {
  std::string_view text = t.text;
  fs::path dir = folders_.data;
  for (const auto& [prefix, folder] :
       {std::pair<std::string_view, const fs::path*>{"backup:",
                                                     &folders_.backup},
        {"info:", &folders_.info},
        {"base:", &folders_.base}}) {
    if (text.substr(0, prefix.size()) == prefix) {
      text.remove_prefix(prefix.size());
      dir = *folder;
      break;
    }
  }
  const fs::path relative{std::string(text)};
  if (text.empty() || relative.is_absolute() || relative.has_root_name() ||
      std::any_of(relative.begin(), relative.end(),
                  [](const fs::path& part) { return part == ".."; })) {
    return Fail("a file is named relative to its folder, without \"..\": " +
                Quoted(t.text));
  }
  *out = dir / relative;
  return true;
}

bool Runner::NeedTakeoff() {
  if (ws_.mode() != kModeInterior && ws_.mode() != kModeExterior) {
    return Fail("the takeoff panel is not shown (mode " +
                std::to_string(ws_.mode()) + "); choose mode 0 or 5 first");
  }
  return true;
}

bool Runner::NeedRegisterPanel() {
  if (ws_.mode() != kModeFittingsRegister) {
    return Fail("the fittings register is not shown (mode " +
                std::to_string(ws_.mode()) + "); choose mode 3 first");
  }
  return true;
}

bool Runner::NeedAggregationPanel() {
  if (ws_.mode() != kModeAggregation) {
    return Fail("the aggregation panel is not shown (mode " +
                std::to_string(ws_.mode()) + "); choose mode 2 first");
  }
  return true;
}

bool Runner::NeedFittingsPanel() {
  if (ws_.mode() != kModeFittingsTakeoff) {
    return Fail("the fittings takeoff panel is not shown (mode " +
                std::to_string(ws_.mode()) + "); choose mode 1 first");
  }
  return true;
}

bool Runner::NeedSettingsPanel() {
  if (ws_.mode() != kModeSettings) {
    return Fail("the settings panel is not shown (mode " +
                std::to_string(ws_.mode()) + "); choose mode 4 first");
  }
  return true;
}

bool Runner::NeedEditor() {
  if (!ws_.sheets().editor_visible())
    return Fail("the cell editor is not open");
  return true;
}

bool Runner::ReadLines(const fs::path& path, const Token& name,
                       std::vector<std::string>* lines) {
  std::string error;
  if (!ReadTextLines(path, lines, &error)) {
    return Fail("cannot read " + Quoted(name.text) + ": " + error);
  }
  return true;
}

bool Runner::Expect(bool ok, std::string_view what, std::string_view expected,
                    std::string_view found) {
  if (ok) return true;
  return Fail("expected " + std::string(what) + " " + std::string(expected) +
              ", found " + std::string(found));
}

bool Runner::ExpectText(std::string_view what, const std::string& expected,
                        const std::string& found) {
  return Expect(expected == found, what, Quoted(expected), Quoted(found));
}

bool Runner::ExpectList(std::string_view what, const Args& a,
                        const std::vector<std::string>& found) {
  std::vector<std::string> expected;
  for (const Token& t : a) expected.push_back(t.text);
  return Expect(expected == found, what, QuotedList(expected),
                QuotedList(found));
}

std::vector<std::string> Runner::Untaken() const {
  std::vector<std::string> out;
  for (const Shown& s : dialogs_.shown) {
    if (!s.matched) out.push_back(Describe(s));
  }
  return out;
}

std::string Runner::UntakenText() const {
  const std::vector<std::string> untaken = Untaken();
  if (untaken.empty()) return "nothing";
  std::string out;
  for (const std::string& s : untaken) out += (out.empty() ? "" : "; ") + s;
  return out;
}

bool Runner::TakeShown(ShownKind kind,
                       const std::function<bool(const Shown&)>& fits,
                       const std::string& expected) {
  checked_ = true;
  for (Shown& s : dialogs_.shown) {
    if (!s.matched && s.kind == kind && fits(s)) {
      s.matched = true;
      return true;
    }
  }
  return Fail("expected " + expected + " since the last check, found " +
              UntakenText());
}

bool Runner::RunLine(const Args& tokens) {
  if (tokens[0].text == "repeat") {
    int times = 0;
    if (tokens.size() < 3) return Fail("usage: repeat N COMMAND...");
    if (!Count(tokens[1], 1, 100000, "the repeat count", &times)) return false;
    for (int i = 1; i <= times; ++i) {
      if (!RunLine(RepeatRound(tokens, i))) return false;
    }
    return true;
  }
  // Groups of verbs are named by their first two words.
  static const std::vector<std::string> kGroups = {
      "rooms",  "name-dialog",    "setting",
      "import", "expect",         "entered-dialog",
      "aggregate-dialog", "templates", "plan"};
  std::string key = tokens[0].text;
  std::size_t first_arg = 1;
  if (std::find(kGroups.begin(), kGroups.end(), key) != kGroups.end()) {
    if (tokens.size() < 2) return Fail(key + " needs a second word");
    key += " " + tokens[1].text;
    first_arg = 2;
  }
  const auto it = verbs_.find(key);
  if (it == verbs_.end()) return Fail("unknown command: " + key);
  const Args args(tokens.begin() + static_cast<std::ptrdiff_t>(first_arg),
                  tokens.end());
  if (key != "write-file" && !block_.empty()) {
    line_ = block_line_;
    return Fail("lines starting with \"|\" belong after write-file only");
  }
  const Verb& verb = it->second;
  if (verb.where == Where::kAnywhere) return verb.run(args);

  if (window_.window_closed) return Fail("the window has been closed");
  const bool rooms_open = ws_.rooms().dialog().open;
  const bool entered_open = ws_.fittings_takeoff().entered_dialog_open();
  const bool aggregation_open = ws_.aggregation_dialog().shown();
  const bool templates_open = ws_.item_templates().shown();
  switch (verb.where) {
    case Where::kMainWindow:
      if (rooms_open)
        return Fail("the rooms dialog is open; use rooms close first");
      if (entered_open) {
        return Fail(
            "the entered-fitting dialog is open; use entered-dialog close first");
      }
      if (window_.name_dialog_open)
        return Fail("the name dialog is open; use name-dialog close first");
      if (aggregation_open) {
        return Fail(
            "the aggregation dialog is open; use aggregate-dialog close first");
      }
      if (templates_open) {
        return Fail("the template dialog is open; use templates close first");
      }
      break;
    case Where::kRoomsDialog:
      if (!rooms_open) return Fail("the rooms dialog is not open");
      break;
    case Where::kNameDialog:
      if (!window_.name_dialog_open) return Fail("the name dialog is not open");
      break;
    case Where::kEnteredDialog:
      if (!entered_open) return Fail("the entered-fitting dialog is not open");
      break;
    case Where::kAggregationDialog:
      if (!aggregation_open) return Fail("the aggregation dialog is not open");
      break;
    case Where::kTemplatesDialog:
      if (!templates_open) return Fail("the template dialog is not open");
      break;
    case Where::kAnywhere:
      break;
  }
  // Expectations on dialogs look at what came since the last check.
  if (checked_) {
    dialogs_.shown.clear();
    checked_ = false;
  }
  dialogs_.problem.clear();
  if (!verb.run(args)) return false;
  if (!dialogs_.problem.empty()) return Fail(dialogs_.problem);
  if (!dialogs_.answers.empty() && !queuing_start_answers_) {
    std::string left;
    for (Answer answer : dialogs_.answers)
      left += " " + std::string(AnswerName(answer));
    dialogs_.answers.clear();
    return Fail("no question took the queued answer(s):" + left);
  }
  if (!files_.answers.empty()) {
    files_.answers.clear();
    return Fail("no file dialog took the queued file(s)");
  }
  return true;
}

bool Runner::Run(std::string_view script, std::string_view name) {
  name_ = std::string(name);
  failure_.clear();
  failure_line_ = 0;
  line_ = 0;
  const std::vector<std::string_view> lines = SplitLines(script);
  // The answers before the first other line are for the questions of
  // start-up (a recovery copy offered, a locked project).
  std::size_t first = 0;
  for (; first < lines.size(); ++first) {
    line_ = static_cast<int>(first) + 1;
    Args tokens;
    std::string error;
    if (!Tokenize(lines[first], &tokens, &error)) return Fail(error);
    if (tokens.empty()) continue;
    if (tokens[0].text != "answer") break;
    queuing_start_answers_ = true;
    const bool queued = RunLine(tokens);
    queuing_start_answers_ = false;
    if (!queued) return false;
  }
  if (!ws_.Startup()) return Fail("the program could not start");
  if (!dialogs_.problem.empty()) return Fail(dialogs_.problem);
  if (!dialogs_.answers.empty()) {
    dialogs_.answers.clear();
    return Fail("no question at start-up took the answer(s) queued for it");
  }

  for (std::size_t i = first; i < lines.size(); ++i) {
    line_ = static_cast<int>(i) + 1;
    if (BlockLine(lines[i])) {
      return Fail("lines starting with \"|\" belong after write-file only");
    }
    Args tokens;
    std::string error;
    if (!Tokenize(lines[i], &tokens, &error)) return Fail(error);
    if (tokens.empty()) continue;
    block_.clear();
    block_line_ = line_ + 1;
    while (i + 1 < lines.size()) {
      const std::optional<std::string_view> content = BlockLine(lines[i + 1]);
      if (!content) break;
      block_.emplace_back(*content);
      ++i;
    }
    if (!RunLine(tokens)) return false;
    block_.clear();
  }
  return true;
}

}  // namespace veltrano::scenario
