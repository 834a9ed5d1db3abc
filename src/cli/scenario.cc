#include "cli/scenario.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "calc/text_file.h"
#include "cli/cli.h"
#include "port/dialogs.h"
#include "shell/workspace.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

namespace fs = std::filesystem;

// One word of a script line.
struct Token {
  std::string text;
};

using Args = std::vector<Token>;

// Splits a line into words at blanks and tabs. A word in double quotes may
// hold blanks and the escapes \" \\ \n \t; an unquoted word starting with
// "#" begins a comment that runs to the end of the line.
bool Tokenize(std::string_view line, Args* tokens, std::string* error) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '#') return true;
    Token token;
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d != '\\') {
          token.text += d;
          continue;
        }
        if (i >= line.size()) break;
        const char e = line[i++];
        switch (e) {
          case '"':
            token.text += '"';
            break;
          case '\\':
            token.text += '\\';
            break;
          case 'n':
            token.text += '\n';
            break;
          case 't':
            token.text += '\t';
            break;
          default:
            *error = std::string("unknown escape \\") + e + " in a quoted text";
            return false;
        }
      }
      if (!closed) {
        *error = "a quoted text is not closed";
        return false;
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        *error = "a quoted text must be followed by a blank";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        if (line[i] == '"') {
          *error = "a quote inside a word; quote the whole text";
          return false;
        }
        token.text += line[i++];
      }
    }
    tokens->push_back(std::move(token));
  }
  return true;
}

// A text as scripts write it: line breaks as \n.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

// A text in quotes, for failures: "" shows an empty text.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return Escaped(out);
}

std::string QuotedList(const std::vector<std::string>& items) {
  if (items.empty()) return "(none)";
  std::string out;
  for (const std::string& item : items) {
    if (!out.empty()) out += ' ';
    out += Quoted(item);
  }
  return out;
}

std::string_view AnswerName(Answer a) {
  switch (a) {
    case Answer::kOk:
      return "ok";
    case Answer::kCancel:
      return "cancel";
    case Answer::kYes:
      return "yes";
    case Answer::kNo:
      return "no";
  }
  return "?";
}

std::string_view ButtonsName(Buttons b) {
  switch (b) {
    case Buttons::kOk:
      return "OK";
    case Buttons::kOkCancel:
      return "OK and Cancel";
    case Buttons::kYesNo:
      return "Yes and No";
    case Buttons::kYesNoCancel:
      return "Yes, No and Cancel";
  }
  return "?";
}

bool AnswerFits(Answer a, Buttons b) {
  switch (b) {
    case Buttons::kOk:
      return a == Answer::kOk;
    case Buttons::kOkCancel:
      return a == Answer::kOk || a == Answer::kCancel;
    case Buttons::kYesNo:
      return a == Answer::kYes || a == Answer::kNo;
    case Buttons::kYesNoCancel:
      return a == Answer::kYes || a == Answer::kNo || a == Answer::kCancel;
  }
  return false;
}

// What closing an unanswered question amounts to: its most cautious button.
Answer CautiousAnswer(Buttons b) {
  switch (b) {
    case Buttons::kOk:
      return Answer::kOk;
    case Buttons::kYesNo:
      return Answer::kNo;
    default:
      return Answer::kCancel;
  }
}

enum class ShownKind { kMessage, kQuestion, kBeep };

// A message box, question or beep as the user met it.
struct Shown {
  ShownKind kind;
  std::string title;
  std::string text;
  bool matched = false;  // taken by an expectation
};

std::string Describe(const Shown& s) {
  switch (s.kind) {
    case ShownKind::kMessage:
      return "message " + Escaped(s.title) + ": " + Escaped(s.text);
    case ShownKind::kQuestion:
      return "question " + Escaped(s.title) + ": " + Escaped(s.text);
    case ShownKind::kBeep:
      return "beep";
  }
  return "";
}

// Message boxes and questions of a scenario: each is written out as it
// comes and kept for the expectations; questions take the queued answers.
class ScriptDialogs : public Dialogs {
 public:
  explicit ScriptDialogs(std::ostream& out) : out_(out) {}

  void ShowMessage(std::string_view title, std::string_view text,
                   MessageIcon) override {
    out_ << "message " << Escaped(title) << ": " << Escaped(text) << '\n';
    shown.push_back(
        {ShownKind::kMessage, std::string(title), std::string(text)});
  }

  Answer Ask(std::string_view title, std::string_view text, Buttons buttons,
             MessageIcon) override {
    shown.push_back(
        {ShownKind::kQuestion, std::string(title), std::string(text)});
    out_ << "question " << Escaped(title) << ": " << Escaped(text) << " -> ";
    if (answers.empty()) {
      out_ << "(no answer queued)\n";
      Note("unexpected question " + Escaped(title) + ": " + Escaped(text));
      return CautiousAnswer(buttons);
    }
    const Answer a = answers.front();
    answers.pop_front();
    out_ << AnswerName(a) << '\n';
    if (!AnswerFits(a, buttons)) {
      Note("the answer " + std::string(AnswerName(a)) +
           " does not fit the question " + Escaped(title) + ": " +
           Escaped(text) + ", which offers " +
           std::string(ButtonsName(buttons)));
      return CautiousAnswer(buttons);
    }
    return a;
  }

  void Beep() override {
    out_ << "beep\n";
    shown.push_back({ShownKind::kBeep, "", ""});
  }

  // Keeps the first problem of the action being replayed.
  void Note(std::string what) {
    if (problem.empty()) problem = std::move(what);
  }

  std::deque<Answer> answers;
  std::vector<Shown> shown;
  std::string problem;

 private:
  std::ostream& out_;
};

// A prepared reply to a file dialog: a path, or a cancel.
struct FileAnswer {
  std::optional<fs::path> path;
  std::string shown_as;
};

// File dialogs of a scenario: each returns the next queued reply. A save
// dialog that asks before replacing does so through the question mechanism,
// as the platform's dialog would.
class ScriptFileDialogs : public FileDialogs {
 public:
  ScriptFileDialogs(std::ostream& out, ScriptDialogs& dialogs)
      : out_(out), dialogs_(dialogs) {}

  std::optional<fs::path> ChooseFileToOpen(
      const FileDialogRequest& r) override {
    return Next(r, false);
  }
  std::optional<fs::path> ChooseFileToSave(
      const FileDialogRequest& r) override {
    return Next(r, true);
  }

  std::deque<FileAnswer> answers;
  std::vector<std::string> titles;  // of every file dialog shown

 private:
  std::optional<fs::path> Next(const FileDialogRequest& r, bool saving) {
    titles.push_back(r.title);
    out_ << "file-dialog " << Escaped(r.title) << " -> ";
    if (answers.empty()) {
      out_ << "(nothing queued)\n";
      dialogs_.Note("unexpected file dialog " + Escaped(r.title));
      return std::nullopt;
    }
    FileAnswer a = std::move(answers.front());
    answers.pop_front();
    out_ << (a.path ? a.shown_as : std::string("cancel")) << '\n';
    if (!a.path) return std::nullopt;
    fs::path path = *a.path;
    if (saving && !r.default_extension.empty() && !path.has_extension()) {
      path += "." + r.default_extension;
    }
    return path;
  }

  std::ostream& out_;
  ScriptDialogs& dialogs_;
};

// Where a command can be given.
enum class Where {
  kAnywhere,     // expectations, queued answers, files: no user action
  kMainWindow,   // an action on the main window (no dialog open)
  kRoomsDialog,  // an action in the rooms dialog
  kNameDialog,   // an action in the name dialog
};

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

constexpr std::array<std::string_view, 5> kPartWords = {"床", "巾木", "壁",
                                                        "天井", "雑"};

}  // namespace

class ScenarioRunner::Impl {
 public:
  Impl(Folders folders, std::ostream& out)
      : folders_(std::move(folders)),
        out_(out),
        dialogs_(out),
        files_(out, dialogs_),
        ws_(folders_, Platform{dialogs_, files_, progress_}) {
    DefineCommands();
  }

  bool Run(std::string_view script, std::string_view name);

  std::string failure;
  int failure_line = 0;

 private:
  using Handler = std::function<bool(const Args&)>;
  struct Command {
    Where where;
    Handler run;
  };

  void DefineCommands();
  void Define(const std::string& words, Where where, Handler run) {
    commands_[words] = Command{where, std::move(run)};
  }
  bool RunLine(const Args& tokens);

  bool Fail(std::string what) {
    failure_line = line_;
    failure = name_ + ":" + std::to_string(line_) + ": " + std::move(what);
    return false;
  }
  bool Arity(const Args& a, std::size_t least, std::size_t most,
             std::string_view usage) {
    if (a.size() < least || a.size() > most) {
      return Fail("usage: " + std::string(usage));
    }
    return true;
  }
  bool Count(const Token& t, int low, int high, std::string_view what,
             int* out) {
    const std::optional<int> v = ParseCount(t);
    if (!v || *v < low || *v > high) {
      return Fail(std::string(what) + " must be a number from " +
                  std::to_string(low) + " to " + std::to_string(high) +
                  ", not " + Quoted(t.text));
    }
    *out = *v;
    return true;
  }
  bool OnOff(const Token& t, bool* out) {
    if (t.text == "on") {
      *out = true;
    } else if (t.text == "off") {
      *out = false;
    } else {
      return Fail("expected on or off, not " + Quoted(t.text));
    }
    return true;
  }
  bool Cell(const Args& a, int* row, int* col) {
    return Count(a[0], 0, kSheetRows - 1, "the row", row) &&
           Count(a[1], 0, kSheetCols - 1, "the column", col);
  }
  // A file named in a script: a plain name is in the Data folder; the
  // prefixes "backup:", "info:" and "base:" name the backup folder, the
  // settings folder and the base folder.
  bool FilePath(const Token& t, fs::path* out) {
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
  bool NeedTakeoff() {
    if (ws_.mode() != kModeInterior && ws_.mode() != kModeExterior) {
      return Fail("the takeoff panel is not shown (mode " +
                  std::to_string(ws_.mode()) + "); choose mode 0 or 5 first");
    }
    return true;
  }
  bool NeedSettingsPanel() {
    if (ws_.mode() != kModeSettings) {
      return Fail("the settings panel is not shown (mode " +
                  std::to_string(ws_.mode()) + "); choose mode 4 first");
    }
    return true;
  }
  bool NeedEditor() {
    if (!ws_.sheets().editor_visible()) return Fail("the cell editor is not open");
    return true;
  }
  bool Expect(bool ok, std::string_view what, std::string_view expected,
              std::string_view found) {
    if (ok) return true;
    return Fail("expected " + std::string(what) + " " + std::string(expected) +
                ", found " + std::string(found));
  }
  bool ExpectText(std::string_view what, const std::string& expected,
                  const std::string& found) {
    return Expect(expected == found, what, Quoted(expected), Quoted(found));
  }
  bool ExpectList(std::string_view what, const Args& a,
                  const std::vector<std::string>& found) {
    std::vector<std::string> expected;
    for (const Token& t : a) expected.push_back(t.text);
    return Expect(expected == found, what, QuotedList(expected),
                  QuotedList(found));
  }
  // The message boxes, questions and beeps shown since the last check that
  // no expectation has taken yet.
  std::vector<std::string> Untaken() const {
    std::vector<std::string> out;
    for (const Shown& s : dialogs_.shown) {
      if (!s.matched) out.push_back(Describe(s));
    }
    return out;
  }
  std::string UntakenText() const {
    const std::vector<std::string> untaken = Untaken();
    if (untaken.empty()) return "nothing";
    std::string out;
    for (const std::string& s : untaken) out += (out.empty() ? "" : "; ") + s;
    return out;
  }
  bool TakeShown(ShownKind kind, const std::function<bool(const Shown&)>& fits,
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
  bool ReadLines(const fs::path& path, const Token& name,
                 std::vector<std::string>* lines) {
    std::string error;
    if (!ReadTextLines(path, lines, &error)) {
      return Fail("cannot read " + Quoted(name.text) + ": " + error);
    }
    return true;
  }
  const std::vector<std::string>& Rooms(int side) const {
    return ws_.rooms().room_names(side);
  }
  bool ExpectFile(const Args& a);

  Folders folders_;
  std::ostream& out_;
  ScriptDialogs dialogs_;
  ScriptFileDialogs files_;
  Progress progress_;
  Workspace ws_;

  std::map<std::string, Command> commands_;
  std::string name_;
  int line_ = 0;
  std::vector<std::string> block_;  // the "|" lines after the current line
  int block_line_ = 0;              // the line of the first of them
  bool checked_ = false;  // a dialog expectation ran since the last action
  bool name_dialog_open_ = false;
  bool window_closed_ = false;
  std::optional<bool> print_opened_;
};

void ScenarioRunner::Impl::DefineCommands() {
  Workspace& w = ws_;
  constexpr Where kMain = Where::kMainWindow;
  constexpr Where kAny = Where::kAnywhere;
  constexpr Where kRooms = Where::kRoomsDialog;

  // ---- Modes and the takeoff sheet ----------------------------------------
  Define("mode", kMain, [this, &w](const Args& a) {
    int mode = 0;
    if (!Arity(a, 1, 1, "mode 0..5") || !Count(a[0], 0, 5, "the mode", &mode))
      return false;
    w.SwitchMode(mode);
    return true;
  });
  auto click = [this, &w](bool right) {
    return [this, &w, right](const Args& a) {
      int row = 0, col = 0;
      if (!Arity(a, 2, 2, right ? "right-click ROW COL" : "click ROW COL") ||
          !NeedTakeoff() || !Cell(a, &row, &col)) {
        return false;
      }
      w.sheets().ClickSheet(row, col, right);
      return true;
    };
  };
  Define("click", kMain, click(false));
  Define("right-click", kMain, click(true));
  Define("type", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "type TEXT") || !NeedEditor()) return false;
    w.sheets().EditorTextChanged(a[0].text);
    return true;
  });
  Define("press", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "press enter|up|down|tab|escape|f2")) return false;
    const std::string& key = a[0].text;
    static const std::map<std::string, EditorKey> kKeys = {
        {"enter", EditorKey::kEnter}, {"up", EditorKey::kUp},
        {"down", EditorKey::kDown},   {"tab", EditorKey::kTab},
        {"escape", EditorKey::kEscape}};
    if (key == "f2") {
      // F2 on the sheet, with the editor closed.
      if (!NeedTakeoff()) return false;
      if (w.sheets().editor_visible()) return Fail("the cell editor is open already");
      w.sheets().EditCurrentCell();
      return true;
    }
    const auto it = kKeys.find(key);
    if (it == kKeys.end()) {
      return Fail("press takes enter, up, down, tab, escape or f2, not " +
                  Quoted(key));
    }
    if (!NeedEditor()) return false;
    w.sheets().EditorKeyPressed(it->second);
    return true;
  });
  Define("type-grid", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "type-grid TEXT") || !NeedTakeoff()) return false;
    if (w.sheets().editor_visible()) return Fail("the cell editor is open already");
    if (a[0].text.empty()) return Fail("type-grid needs a text to type");
    w.sheets().TypeIntoCurrentCell(a[0].text);
    return true;
  });
  Define("fill", kMain, [this, &w](const Args& a) {
    int row = 0, col = 0;
    if (!Arity(a, 3, 3, "fill ROW COL TEXT") || !NeedTakeoff() ||
        !Cell(a, &row, &col)) {
      return false;
    }
    w.sheets().ClickSheet(row, col, false);
    if (!w.sheets().editor_visible()) {
      return Fail("no cell editor opened at " + a[0].text + "," + a[1].text);
    }
    w.sheets().EditorTextChanged(a[2].text);
    w.sheets().EditorKeyPressed(EditorKey::kEnter);
    return true;
  });
  Define("param", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 2, 2, "param A|S|L TEXT") || !NeedTakeoff()) return false;
    static const std::map<std::string, int> kLetters = {
        {"A", 0}, {"S", 1}, {"L", 2}};
    const auto it = kLetters.find(a[0].text);
    if (it == kLetters.end())
      return Fail("param takes A, S or L, not " + Quoted(a[0].text));
    w.sheets().SetParameter(w.side() * 3 + it->second, a[1].text);
    return true;
  });
  Define("places", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "places TEXT")) return false;
    if (w.mode() != kModeInterior)
      return Fail("the places box is shown in mode 0 only");
    w.sheets().SetPlacesBox(a[0].text);
    return true;
  });
  Define("done-mark", kMain, [this, &w](const Args& a) {
    bool on = false;
    if (!Arity(a, 1, 1, "done-mark on|off") || !NeedTakeoff() ||
        !OnOff(a[0], &on)) {
      return false;
    }
    w.sheets().SetDoneMark(on);
    return true;
  });
  Define("recalculate", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "recalculate") || !NeedTakeoff()) return false;
    w.sheets().RecalculateAll();
    return true;
  });
  Define("clear-values", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "clear-values") || !NeedTakeoff()) return false;
    w.sheets().ClearAllValues();
    return true;
  });
  Define("part", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "part 床|巾木|壁|天井|雑") || !NeedTakeoff())
      return false;
    const auto it = std::find(kPartWords.begin(), kPartWords.end(), a[0].text);
    if (it == kPartWords.end())
      return Fail("no part named " + Quoted(a[0].text));
    w.sheets().ShowPart(static_cast<int>(it - kPartWords.begin()));
    return true;
  });
  Define("arrow", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "arrow left|right") || !NeedTakeoff()) return false;
    if (a[0].text != "left" && a[0].text != "right") {
      return Fail("arrow takes left or right, not " + Quoted(a[0].text));
    }
    w.sheets().ScrollColumns(a[0].text == "left" ? -1 : 1);
    return true;
  });

  // ---- The room list ------------------------------------------------------
  Define("room", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "room NAME") || !NeedTakeoff()) return false;
    const std::vector<std::string>& names = Rooms(w.side());
    const auto it = std::find(names.begin(), names.end(), a[0].text);
    if (it == names.end()) {
      return Fail("no " + Quoted(a[0].text) + " in the list " +
                  QuotedList(names));
    }
    w.ClickRoomList(static_cast<int>(it - names.begin()));
    return true;
  });
  Define("room-at", kMain, [this, &w](const Args& a) {
    const int count = static_cast<int>(Rooms(w.side()).size());
    int position = 0;
    if (!Arity(a, 1, 1, "room-at N") || !NeedTakeoff()) return false;
    if (count == 0)
      return Fail("the list is empty; use room-none for a click on no item");
    if (!Count(a[0], 1, count, "the list position", &position)) return false;
    w.ClickRoomList(position - 1);
    return true;
  });
  Define("room-none", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "room-none") || !NeedTakeoff()) return false;
    w.ClickRoomList(std::nullopt);
    return true;
  });

  // ---- The rooms dialog ---------------------------------------------------
  Define("rooms open", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "rooms open") || !NeedTakeoff()) return false;
    w.rooms().OpenRoomsDialog();
    return true;
  });
  auto dialog_position = [this, &w](const Token& t, int* position) {
    const std::vector<std::string>& names = w.rooms().dialog().names;
    const auto it = std::find(names.begin(), names.end(), t.text);
    if (it == names.end()) {
      return Fail("no " + Quoted(t.text) + " in the dialog's list " +
                  QuotedList(names));
    }
    *position = static_cast<int>(it - names.begin());
    return true;
  };
  Define("rooms select", kRooms, [this, &w, dialog_position](const Args& a) {
    int position = 0;
    if (!Arity(a, 1, 1, "rooms select NAME") ||
        !dialog_position(a[0], &position)) {
      return false;
    }
    w.rooms().RoomsDialogSelect(position);
    return true;
  });
  Define("rooms name", kRooms, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "rooms name TEXT")) return false;
    w.rooms().TypeName(a[0].text);
    return true;
  });
  Define("rooms add", kRooms, [this, &w](const Args& a) {
    if (!Arity(a, 0, 1, "rooms add [NAME]")) return false;
    if (!a.empty()) w.rooms().TypeName(a[0].text);
    w.rooms().RoomsDialogAdd();
    return true;
  });
  Define("rooms rename", kRooms, [this, &w](const Args& a) {
    if (!Arity(a, 0, 1, "rooms rename [NAME]")) return false;
    if (!a.empty()) w.rooms().TypeName(a[0].text);
    w.rooms().RoomsDialogRename();
    return true;
  });
  Define("rooms delete", kRooms, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "rooms delete")) return false;
    w.rooms().RoomsDialogDelete();
    return true;
  });
  Define("rooms move", kRooms, [this, &w, dialog_position](const Args& a) {
    int unused = 0;
    if (!Arity(a, 2, 2, "rooms move NAME BEFORE")) return false;
    for (const Token& t : a) {
      if (!t.text.empty() && !dialog_position(t, &unused)) return false;
    }
    w.rooms().ChooseMove(a[0].text, a[1].text);
    w.rooms().RoomsDialogMove();
    return true;
  });
  Define("rooms close", kRooms, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "rooms close")) return false;
    w.rooms().RoomsDialogClose();
    return true;
  });

  // ---- Toolbar, name dialog, close request, backup ------------------------
  Define("new", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "new")) return false;
    name_dialog_open_ = w.CommandNew();
    return true;
  });
  Define("name-dialog create", Where::kNameDialog, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "name-dialog create")) return false;
    w.session().NewProject();
    name_dialog_open_ = false;
    return true;
  });
  Define("name-dialog save-as", Where::kNameDialog, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "name-dialog save-as")) return false;
    if (!w.session().project_open()) {
      return Fail(
          "the name dialog shows no save-as button while no project is open");
    }
    w.session().SaveProjectAs();
    name_dialog_open_ = false;
    return true;
  });
  Define("name-dialog close", Where::kNameDialog, [this](const Args& a) {
    if (!Arity(a, 0, 0, "name-dialog close")) return false;
    name_dialog_open_ = false;
    return true;
  });
  Define("open", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "open")) return false;
    w.CommandOpen();
    return true;
  });
  Define("save", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "save")) return false;
    w.CommandSave();
    return true;
  });
  Define("print", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "print")) return false;
    print_opened_ = w.CommandPrint();
    if (*print_opened_) out_ << "print-dialog\n";
    return true;
  });
  Define("close", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "close")) return false;
    window_closed_ = w.RequestClose();
    if (window_closed_) out_ << "window closed\n";
    return true;
  });
  Define("backup", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "backup")) return false;
    w.BackUpProject();
    return true;
  });

  // ---- Settings panel -----------------------------------------------------
  Define("setting digits", kMain, [this, &w](const Args& a) {
    int digits = 0;
    if (!Arity(a, 1, 1, "setting digits 0|1|2") || !NeedSettingsPanel() ||
        !Count(a[0], 0, 2, "the digit setting", &digits)) {
      return false;
    }
    w.settings().SetDigits(digits);
    return true;
  });
  Define("setting save-on-switch", kMain, [this, &w](const Args& a) {
    bool on = false;
    if (!Arity(a, 1, 1, "setting save-on-switch on|off") ||
        !NeedSettingsPanel() || !OnOff(a[0], &on)) {
      return false;
    }
    w.settings().SetSaveOnSwitch(on);
    return true;
  });
  Define("import choose", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "import choose") || !NeedSettingsPanel()) return false;
    w.importer().ChooseImportSource();
    return true;
  });
  auto tick = [this, &w](bool on) {
    return [this, &w, on](const Args& a) {
      if (!Arity(a, 1, 2,
                 on ? "import tick interior|exterior..."
                    : "import untick interior|exterior...") ||
          !NeedSettingsPanel()) {
        return false;
      }
      for (const Token& t : a) {
        if (t.text == "interior") {
          w.importer().SetSide(kInterior, on);
        } else if (t.text == "exterior") {
          w.importer().SetSide(kExterior, on);
        } else {
          return Fail("expected interior or exterior, not " + Quoted(t.text));
        }
      }
      return true;
    };
  };
  Define("import tick", kMain, tick(true));
  Define("import untick", kMain, tick(false));
  Define("import execute", kMain, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "import execute") || !NeedSettingsPanel()) return false;
    w.importer().ImportRooms();
    return true;
  });

  // ---- Answers for the next action ----------------------------------------
  Define("answer", kAny, [this](const Args& a) {
    if (!Arity(a, 1, 99, "answer ok|cancel|yes|no...")) return false;
    static const std::map<std::string, Answer> kAnswers = {
        {"ok", Answer::kOk},
        {"cancel", Answer::kCancel},
        {"yes", Answer::kYes},
        {"no", Answer::kNo}};
    for (const Token& t : a) {
      const auto it = kAnswers.find(t.text);
      if (it == kAnswers.end()) {
        return Fail("answer takes ok, cancel, yes or no, not " +
                    Quoted(t.text));
      }
      dialogs_.answers.push_back(it->second);
    }
    return true;
  });
  Define("choose-file", kAny, [this](const Args& a) {
    fs::path path;
    if (!Arity(a, 1, 1, "choose-file NAME") || !FilePath(a[0], &path))
      return false;
    files_.answers.push_back({path, a[0].text});
    return true;
  });
  Define("cancel-file-dialog", kAny, [this](const Args& a) {
    if (!Arity(a, 0, 0, "cancel-file-dialog")) return false;
    files_.answers.push_back({std::nullopt, ""});
    return true;
  });

  // ---- Files outside the program ------------------------------------------
  Define("write-file", kAny, [this](const Args& a) {
    fs::path path;
    if (!Arity(a, 1, 1, "write-file NAME, then the lines, each after \"|\"") ||
        !FilePath(a[0], &path)) {
      return false;
    }
    std::string error;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (!WriteTextLinesAtomic(path, block_, &error)) {
      return Fail("cannot write " + Quoted(a[0].text) + ": " + error);
    }
    return true;
  });
  Define("copy-file", kAny, [this](const Args& a) {
    fs::path from, to;
    if (!Arity(a, 2, 2, "copy-file FROM TO") || !FilePath(a[0], &from) ||
        !FilePath(a[1], &to)) {
      return false;
    }
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec)
      return Fail("cannot copy " + Quoted(a[0].text) + ": " + ec.message());
    return true;
  });
  Define("remove-file", kAny, [this](const Args& a) {
    fs::path path;
    if (!Arity(a, 1, 1, "remove-file NAME") || !FilePath(a[0], &path))
      return false;
    std::error_code ec;
    fs::remove_all(path, ec);
    if (ec)
      return Fail("cannot remove " + Quoted(a[0].text) + ": " + ec.message());
    return true;
  });
  Define("make-folder", kAny, [this](const Args& a) {
    fs::path path;
    if (!Arity(a, 1, 1, "make-folder NAME") || !FilePath(a[0], &path))
      return false;
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec)
      return Fail("cannot make " + Quoted(a[0].text) + ": " + ec.message());
    return true;
  });

  // ---- Expectations -------------------------------------------------------
  Define("expect cell", kAny, [this, &w](const Args& a) {
    int row = 0, col = 0;
    if (!Arity(a, 3, 3, "expect cell ROW COL TEXT") || !Cell(a, &row, &col))
      return false;
    return ExpectText("cell " + a[0].text + "," + a[1].text, a[2].text,
                      w.sheets().sheet(w.side()).At(row, col));
  });
  Define("expect cells", kAny, [this, &w](const Args& a) {
    int row = 0, col = 0;
    if (!Arity(a, 3, kSheetCols + 2, "expect cells ROW COL TEXT...") ||
        !Cell(a, &row, &col)) {
      return false;
    }
    std::vector<std::string> found;
    for (std::size_t i = 2; i < a.size(); ++i) {
      found.push_back(w.sheets().sheet(w.side()).At(row, col + static_cast<int>(i) - 2));
    }
    return ExpectList("cells from " + a[0].text + "," + a[1].text,
                      Args(a.begin() + 2, a.end()), found);
  });
  Define("expect editor", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect editor TEXT")) return false;
    if (!w.sheets().editor_visible()) {
      return Fail("expected the cell editor open with " + Quoted(a[0].text) +
                  ", found it hidden");
    }
    return ExpectText("the editor's text", a[0].text, w.sheets().editor_text());
  });
  Define("expect editor-hidden", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 0, 0, "expect editor-hidden")) return false;
    return Expect(!w.sheets().editor_visible(), "the cell editor", "hidden",
                  "it open with " + Quoted(w.sheets().editor_text()));
  });
  Define("expect input-method", kAny, [this, &w](const Args& a) {
    bool on = false;
    if (!Arity(a, 1, 1, "expect input-method on|off") || !OnOff(a[0], &on))
      return false;
    if (!w.sheets().editor_visible()) return Fail("the cell editor is not open");
    return Expect(on == w.sheets().editor_wants_input_method(), "the input method",
                  a[0].text, w.sheets().editor_wants_input_method() ? "on" : "off");
  });
  Define("expect current", kAny, [this, &w](const Args& a) {
    int row = 0, col = 0;
    if (!Arity(a, 2, 2, "expect current ROW COL") || !Cell(a, &row, &col))
      return false;
    return Expect(row == w.sheets().current_row() && col == w.sheets().current_col(),
                  "the current cell", a[0].text + "," + a[1].text,
                  std::to_string(w.sheets().current_row()) + "," +
                      std::to_string(w.sheets().current_col()));
  });
  Define("expect list", kAny, [this, &w](const Args& a) {
    return ExpectList("the list", a, Rooms(w.side()));
  });
  Define("expect list-of", kAny, [this](const Args& a) {
    if (!Arity(a, 1, 10000, "expect list-of interior|exterior NAME..."))
      return false;
    if (a[0].text != "interior" && a[0].text != "exterior") {
      return Fail("expected interior or exterior, not " + Quoted(a[0].text));
    }
    const int side = a[0].text == "interior" ? kInterior : kExterior;
    return ExpectList("the " + a[0].text + " list",
                      Args(a.begin() + 1, a.end()), Rooms(side));
  });
  Define("expect list-size", kAny, [this, &w](const Args& a) {
    int size = 0;
    if (!Arity(a, 1, 1, "expect list-size N") ||
        !Count(a[0], 0, 1 << 30, "the list size", &size)) {
      return false;
    }
    const std::size_t found = Rooms(w.side()).size();
    return Expect(found == static_cast<std::size_t>(size), "the list to hold",
                  a[0].text + " names", std::to_string(found));
  });
  Define("expect room-label", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect room-label TEXT")) return false;
    return ExpectText("the room-name label", a[0].text, w.sheets().room_label(w.side()));
  });
  Define("expect project", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect project NAME")) return false;
    return ExpectText("the project name", a[0].text, w.session().project_name());
  });
  Define("expect param", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 2, 2, "expect param A|S|L TEXT")) return false;
    const std::string letters = "ASL";
    const std::size_t k =
        a[0].text.size() == 1 ? letters.find(a[0].text[0]) : std::string::npos;
    if (k == std::string::npos)
      return Fail("param takes A, S or L, not " + Quoted(a[0].text));
    return ExpectText("parameter " + a[0].text, a[1].text,
                      w.sheets().parameter(w.side() * 3 + static_cast<int>(k)));
  });
  Define("expect places", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect places TEXT")) return false;
    return ExpectText("the places box", a[0].text, w.sheets().places_box());
  });
  Define("expect done-mark", kAny, [this, &w](const Args& a) {
    bool on = false;
    if (!Arity(a, 1, 1, "expect done-mark on|off") || !OnOff(a[0], &on))
      return false;
    return Expect(on == w.sheets().done_mark(), "the done mark", a[0].text,
                  w.sheets().done_mark() ? "on" : "off");
  });
  Define("expect mode", kAny, [this, &w](const Args& a) {
    int mode = 0;
    if (!Arity(a, 1, 1, "expect mode N") ||
        !Count(a[0], 0, 5, "the mode", &mode)) {
      return false;
    }
    return Expect(mode == w.mode(), "mode", a[0].text,
                  std::to_string(w.mode()));
  });
  Define("expect first-column", kAny, [this, &w](const Args& a) {
    int col = 0;
    if (!Arity(a, 1, 1, "expect first-column N") ||
        !Count(a[0], 0, kSheetCols - 1, "the column", &col)) {
      return false;
    }
    const int found = w.sheets().first_visible_column(w.side());
    return Expect(col == found, "the first visible column", a[0].text,
                  std::to_string(found));
  });
  Define("expect message", kAny, [this](const Args& a) {
    if (!Arity(a, 2, 2, "expect message TITLE TEXT")) return false;
    return TakeShown(
        ShownKind::kMessage,
        [&](const Shown& s) {
          return s.title == a[0].text && s.text == a[1].text;
        },
        "message " + Escaped(a[0].text) + ": " + Escaped(a[1].text));
  });
  // A message or question with the title whose text holds every piece.
  auto with_pieces = [this](ShownKind kind, std::string_view word) {
    return [this, kind, word](const Args& a) {
      if (!Arity(a, 1, 100,
                 "expect " + std::string(word) + "-with TITLE [PIECE...]")) {
        return false;
      }
      std::string expected =
          std::string(word) + " " + Escaped(a[0].text) + ": with";
      for (std::size_t i = 1; i < a.size(); ++i)
        expected += " " + Quoted(a[i].text);
      return TakeShown(
          kind,
          [&](const Shown& s) {
            if (s.title != a[0].text) return false;
            return std::all_of(a.begin() + 1, a.end(), [&](const Token& t) {
              return s.text.find(t.text) != std::string::npos;
            });
          },
          expected);
    };
  };
  Define("expect message-with", kAny,
         with_pieces(ShownKind::kMessage, "message"));
  Define("expect question-with", kAny,
         with_pieces(ShownKind::kQuestion, "question"));
  Define("expect question", kAny, [this](const Args& a) {
    if (!Arity(a, 2, 2, "expect question TITLE TEXT")) return false;
    return TakeShown(
        ShownKind::kQuestion,
        [&](const Shown& s) {
          return s.title == a[0].text && s.text == a[1].text;
        },
        "question " + Escaped(a[0].text) + ": " + Escaped(a[1].text));
  });
  Define("expect beep", kAny, [this](const Args& a) {
    if (!Arity(a, 0, 0, "expect beep")) return false;
    return TakeShown(
        ShownKind::kBeep, [](const Shown&) { return true; }, "a beep");
  });
  Define("expect no-message", kAny, [this](const Args& a) {
    if (!Arity(a, 0, 0, "expect no-message")) return false;
    checked_ = true;
    if (Untaken().empty()) return true;
    return Fail(
        "expected no other message, question or beep since the last check, "
        "found " +
        UntakenText());
  });
  Define("expect file-dialog", kAny, [this](const Args& a) {
    if (!Arity(a, 1, 1, "expect file-dialog TITLE")) return false;
    if (files_.titles.empty()) {
      return Fail("expected the file dialog " + Quoted(a[0].text) +
                  ", found none shown");
    }
    return ExpectText("the last file dialog's title", a[0].text,
                      files_.titles.back());
  });
  Define("expect rooms-dialog", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect rooms-dialog open|closed")) return false;
    if (a[0].text != "open" && a[0].text != "closed") {
      return Fail("expected open or closed, not " + Quoted(a[0].text));
    }
    const bool open = w.rooms().dialog().open;
    return Expect(open == (a[0].text == "open"), "the rooms dialog", a[0].text,
                  open ? "open" : "closed");
  });
  Define("expect rooms-dialog-list", kAny, [this, &w](const Args& a) {
    return ExpectList("the rooms dialog's list", a, w.rooms().dialog().names);
  });
  Define("expect rooms-name-box", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect rooms-name-box TEXT")) return false;
    return ExpectText("the name box", a[0].text, w.rooms().dialog().name_box);
  });
  Define("expect name-dialog", kAny, [this](const Args& a) {
    if (!Arity(a, 1, 1, "expect name-dialog open|closed")) return false;
    if (a[0].text != "open" && a[0].text != "closed") {
      return Fail("expected open or closed, not " + Quoted(a[0].text));
    }
    return Expect(name_dialog_open_ == (a[0].text == "open"), "the name dialog",
                  a[0].text, name_dialog_open_ ? "open" : "closed");
  });
  Define("expect print-dialog", kAny, [this](const Args& a) {
    if (!Arity(a, 1, 1, "expect print-dialog opened|not-opened")) return false;
    if (a[0].text != "opened" && a[0].text != "not-opened") {
      return Fail("expected opened or not-opened, not " + Quoted(a[0].text));
    }
    if (!print_opened_) return Fail("print has not been clicked");
    return Expect(*print_opened_ == (a[0].text == "opened"), "the print dialog",
                  a[0].text, *print_opened_ ? "opened" : "not-opened");
  });
  Define("expect window", kAny, [this](const Args& a) {
    if (!Arity(a, 1, 1, "expect window open|closed")) return false;
    if (a[0].text != "open" && a[0].text != "closed") {
      return Fail("expected open or closed, not " + Quoted(a[0].text));
    }
    return Expect(window_closed_ == (a[0].text == "closed"), "the window",
                  a[0].text, window_closed_ ? "closed" : "open");
  });
  Define("expect import-name", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect import-name TEXT")) return false;
    return ExpectText("the import name box", a[0].text,
                      w.importer().state().name_box);
  });
  Define("expect import-status", kAny, [this, &w](const Args& a) {
    if (!Arity(a, 1, 1, "expect import-status TEXT")) return false;
    return ExpectText("the import status", a[0].text, w.importer().state().status);
  });
  Define("expect file", kAny, [this](const Args& a) { return ExpectFile(a); });
}

bool ScenarioRunner::Impl::ExpectFile(const Args& a) {
  constexpr std::string_view kUsage =
      "expect file NAME exists|missing|lines N|has-line TEXT|no-line TEXT|"
      "line N TEXT|same-as OTHER";
  fs::path path;
  if (a.size() < 2 || !FilePath(a[0], &path)) {
    return a.size() < 2 ? Fail("usage: " + std::string(kUsage)) : false;
  }
  const std::string& what = a[1].text;
  const std::string file = "file " + Quoted(a[0].text);
  std::error_code ec;
  if (what == "exists" || what == "missing") {
    if (!Arity(a, 2, 2, kUsage)) return false;
    const bool exists = fs::is_regular_file(path, ec);
    return Expect(exists == (what == "exists"), file, what,
                  exists ? "it exists" : "it missing");
  }
  if (what == "same-as") {
    fs::path other;
    if (!Arity(a, 3, 3, kUsage) || !FilePath(a[2], &other)) return false;
    std::string mine, theirs, error;
    if (!ReadFileBytes(path, &mine, &error) ||
        !ReadFileBytes(other, &theirs, &error)) {
      return Fail("cannot compare: " + error);
    }
    if (mine == theirs) return true;
    std::size_t at = 0;
    while (at < mine.size() && at < theirs.size() && mine[at] == theirs[at])
      ++at;
    return Fail("expected " + file + " to equal " + Quoted(a[2].text) +
                " byte for byte; they differ from byte " + std::to_string(at) +
                " (sizes " + std::to_string(mine.size()) + " and " +
                std::to_string(theirs.size()) + ")");
  }
  std::vector<std::string> lines;
  if (what == "lines") {
    int count = 0;
    if (!Arity(a, 3, 3, kUsage) ||
        !Count(a[2], 0, 1 << 30, "the line count", &count) ||
        !ReadLines(path, a[0], &lines)) {
      return false;
    }
    return Expect(static_cast<int>(lines.size()) == count, file + " to have",
                  a[2].text + " lines", std::to_string(lines.size()));
  }
  if (what == "has-line" || what == "no-line") {
    if (!Arity(a, 3, 3, kUsage) || !ReadLines(path, a[0], &lines)) return false;
    const bool has =
        std::find(lines.begin(), lines.end(), a[2].text) != lines.end();
    if (has == (what == "has-line")) return true;
    return Fail("expected " + file + (has ? " without" : " with") +
                " the line " + Quoted(a[2].text) +
                (has ? ", found it" : ", found none"));
  }
  if (what == "line") {
    int number = 0;
    if (!Arity(a, 4, 4, kUsage) ||
        !Count(a[2], 1, 1 << 30, "the line number", &number) ||
        !ReadLines(path, a[0], &lines)) {
      return false;
    }
    if (number > static_cast<int>(lines.size())) {
      return Fail("expected line " + a[2].text + " of " + file + " to be " +
                  Quoted(a[3].text) + ", found only " +
                  std::to_string(lines.size()) + " lines");
    }
    return ExpectText("line " + a[2].text + " of " + file, a[3].text,
                      lines[static_cast<std::size_t>(number - 1)]);
  }
  return Fail("usage: " + std::string(kUsage));
}

bool ScenarioRunner::Impl::RunLine(const Args& tokens) {
  if (tokens[0].text == "repeat") {
    int times = 0;
    if (tokens.size() < 3) return Fail("usage: repeat N COMMAND...");
    if (!Count(tokens[1], 1, 100000, "the repeat count", &times)) return false;
    for (int i = 1; i <= times; ++i) {
      Args once(tokens.begin() + 2, tokens.end());
      for (std::size_t t = 1; t < once.size(); ++t) {
        std::string& text = once[t].text;
        for (std::size_t at = text.find("{i}"); at != std::string::npos;
             at = text.find("{i}", at)) {
          text.replace(at, 3, std::to_string(i));
        }
      }
      if (!RunLine(once)) return false;
    }
    return true;
  }
  // Groups of commands are named by their first two words.
  static const std::vector<std::string> kGroups = {
      "rooms", "name-dialog", "setting", "import", "expect"};
  std::string key = tokens[0].text;
  std::size_t first_arg = 1;
  if (std::find(kGroups.begin(), kGroups.end(), key) != kGroups.end()) {
    if (tokens.size() < 2) return Fail(key + " needs a second word");
    key += " " + tokens[1].text;
    first_arg = 2;
  }
  const auto it = commands_.find(key);
  if (it == commands_.end()) return Fail("unknown command: " + key);
  const Args args(tokens.begin() + static_cast<std::ptrdiff_t>(first_arg),
                  tokens.end());
  if (key != "write-file" && !block_.empty()) {
    line_ = block_line_;
    return Fail("lines starting with \"|\" belong after write-file only");
  }
  const Command& command = it->second;
  if (command.where == Where::kAnywhere) return command.run(args);

  if (window_closed_) return Fail("the window has been closed");
  const bool rooms_open = ws_.rooms().dialog().open;
  switch (command.where) {
    case Where::kMainWindow:
      if (rooms_open)
        return Fail("the rooms dialog is open; use rooms close first");
      if (name_dialog_open_)
        return Fail("the name dialog is open; use name-dialog close first");
      break;
    case Where::kRoomsDialog:
      if (!rooms_open) return Fail("the rooms dialog is not open");
      break;
    case Where::kNameDialog:
      if (!name_dialog_open_) return Fail("the name dialog is not open");
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
  if (!command.run(args)) return false;
  if (!dialogs_.problem.empty()) return Fail(dialogs_.problem);
  if (!dialogs_.answers.empty()) {
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

bool ScenarioRunner::Impl::Run(std::string_view script, std::string_view name) {
  name_ = std::string(name);
  failure.clear();
  failure_line = 0;
  line_ = 0;
  if (!ws_.Startup()) return Fail("the program could not start");
  dialogs_.shown.clear();

  if (script.substr(0, 3) == "\xEF\xBB\xBF") script.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    std::string_view line = script.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    script.remove_prefix(end + 1);
  }
  auto block_line =
      [](std::string_view line) -> std::optional<std::string_view> {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] != '|')
      return std::nullopt;
    line.remove_prefix(start + 1);
    if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    return line;
  };

  for (std::size_t i = 0; i < lines.size(); ++i) {
    line_ = static_cast<int>(i) + 1;
    if (block_line(lines[i])) {
      return Fail("lines starting with \"|\" belong after write-file only");
    }
    Args tokens;
    std::string error;
    if (!Tokenize(lines[i], &tokens, &error)) return Fail(error);
    if (tokens.empty()) continue;
    block_.clear();
    block_line_ = line_ + 1;
    while (i + 1 < lines.size()) {
      const std::optional<std::string_view> content = block_line(lines[i + 1]);
      if (!content) break;
      block_.emplace_back(*content);
      ++i;
    }
    if (!RunLine(tokens)) return false;
    block_.clear();
  }
  return true;
}

ScenarioRunner::ScenarioRunner(Folders folders, std::ostream& out)
    : impl_(std::make_unique<Impl>(std::move(folders), out)) {}

ScenarioRunner::~ScenarioRunner() = default;

bool ScenarioRunner::Run(std::string_view script, std::string_view name) {
  return impl_->Run(script, name);
}

const std::string& ScenarioRunner::failure() const { return impl_->failure; }

int ScenarioRunner::failure_line() const { return impl_->failure_line; }

int RunScenarioCommand(const std::optional<std::string>& base,
                       const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err) {
  if (args.size() != 2) {
    err << "veltrano-cli: usage: veltrano-cli [--base DIR] run SCRIPT\n";
    return kExitUsage;
  }
  const fs::path script_path(args[1]);
  std::string script, error;
  if (!ReadFileBytes(script_path, &script, &error)) {
    err << "veltrano-cli: " << error << '\n';
    return kExitFailure;
  }
  ScenarioRunner runner(ResolveFolders(base), out);
  const std::string name = script_path.filename().string();
  const bool passed = runner.Run(script, name);
  out.flush();
  if (!passed) {
    err << runner.failure() << '\n';
    return kExitFailure;
  }
  out << name << ": passed\n";
  return kExitOk;
}

}  // namespace veltrano
