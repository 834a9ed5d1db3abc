#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "calc/text_file.h"
#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "shell/workspace.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::scenario {

namespace {

namespace fs = std::filesystem;

// expect file NAME exists|missing|lines N|has-line TEXT|no-line TEXT|
//   line N TEXT|same-as OTHER
bool ExpectFile(Runner& r, const Args& a) {
  constexpr std::string_view kUsage =
      "expect file NAME exists|missing|lines N|has-line TEXT|no-line TEXT|"
      "line N TEXT|same-as OTHER";
  fs::path path;
  if (a.size() < 2 || !r.FilePath(a[0], &path)) {
    return a.size() < 2 ? r.Fail("usage: " + std::string(kUsage)) : false;
  }
  const std::string& what = a[1].text;
  const std::string file = "file " + Quoted(a[0].text);
  std::error_code ec;
  if (what == "exists" || what == "missing") {
    if (!r.Arity(a, 2, 2, kUsage)) return false;
    const bool exists = fs::is_regular_file(path, ec);
    return r.Expect(exists == (what == "exists"), file, what,
                    exists ? "it exists" : "it missing");
  }
  if (what == "same-as") {
    fs::path other;
    if (!r.Arity(a, 3, 3, kUsage) || !r.FilePath(a[2], &other)) return false;
    std::string mine, theirs, error;
    if (!ReadFileBytes(path, &mine, &error) ||
        !ReadFileBytes(other, &theirs, &error)) {
      return r.Fail("cannot compare: " + error);
    }
    if (mine == theirs) return true;
    std::size_t at = 0;
    while (at < mine.size() && at < theirs.size() && mine[at] == theirs[at])
      ++at;
    return r.Fail("expected " + file + " to equal " + Quoted(a[2].text) +
                  " byte for byte; they differ from byte " +
                  std::to_string(at) + " (sizes " +
                  std::to_string(mine.size()) + " and " +
                  std::to_string(theirs.size()) + ")");
  }
  std::vector<std::string> lines;
  // "lines N" and "line N TEXT": `size` words, N from `low`, then the lines.
  auto number_and_lines = [&](std::size_t size, int low, std::string_view name,
                              int* number) {
    return r.Arity(a, size, size, kUsage) &&
           r.Count(a[2], low, 1 << 30, name, number) &&
           r.ReadLines(path, a[0], &lines);
  };
  if (what == "lines") {
    int count = 0;
    if (!number_and_lines(3, 0, "the line count", &count)) return false;
    return r.Expect(static_cast<int>(lines.size()) == count, file + " to have",
                    a[2].text + " lines", std::to_string(lines.size()));
  }
  if (what == "has-line" || what == "no-line") {
    if (!r.Arity(a, 3, 3, kUsage) || !r.ReadLines(path, a[0], &lines))
      return false;
    const bool has =
        std::find(lines.begin(), lines.end(), a[2].text) != lines.end();
    if (has == (what == "has-line")) return true;
    return r.Fail("expected " + file + (has ? " without" : " with") +
                  " the line " + Quoted(a[2].text) +
                  (has ? ", found it" : ", found none"));
  }
  if (what == "line") {
    int number = 0;
    if (!number_and_lines(4, 1, "the line number", &number)) return false;
    if (number > static_cast<int>(lines.size())) {
      return r.Fail("expected line " + a[2].text + " of " + file + " to be " +
                    Quoted(a[3].text) + ", found only " +
                    std::to_string(lines.size()) + " lines");
    }
    return r.ExpectText("line " + a[2].text + " of " + file, a[3].text,
                        lines[static_cast<std::size_t>(number - 1)]);
  }
  return r.Fail("usage: " + std::string(kUsage));
}

}  // namespace

void DefineExpectVerbs(Runner& r) {
  Workspace& w = r.workspace();
  constexpr Where kAny = Where::kAnywhere;

  // ---- Expectations -------------------------------------------------------
  r.Define("expect cell", kAny, [&r, &w](const Args& a) {
    int row = 0, col = 0;
    if (!r.Arity(a, 3, 3, "expect cell ROW COL TEXT") || !r.Cell(a, &row, &col))
      return false;
    return r.ExpectText("cell " + a[0].text + "," + a[1].text, a[2].text,
                        w.sheets().sheet(w.side()).At(row, col));
  });
  r.Define("expect cells", kAny, [&r, &w](const Args& a) {
    int row = 0, col = 0;
    if (!r.Arity(a, 3, kSheetCols + 2, "expect cells ROW COL TEXT...") ||
        !r.Cell(a, &row, &col)) {
      return false;
    }
    std::vector<std::string> found;
    for (std::size_t i = 2; i < a.size(); ++i) {
      found.push_back(
          w.sheets().sheet(w.side()).At(row, col + static_cast<int>(i) - 2));
    }
    return r.ExpectList("cells from " + a[0].text + "," + a[1].text,
                        Args(a.begin() + 2, a.end()), found);
  });
  r.Define("expect editor", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect editor TEXT")) return false;
    if (!w.sheets().editor_visible()) {
      return r.Fail("expected the cell editor open with " + Quoted(a[0].text) +
                    ", found it hidden");
    }
    return r.ExpectText("the editor's text", a[0].text,
                        w.sheets().editor_text());
  });
  r.Define("expect editor-hidden", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 0, 0, "expect editor-hidden")) return false;
    return r.Expect(!w.sheets().editor_visible(), "the cell editor", "hidden",
                    "it open with " + Quoted(w.sheets().editor_text()));
  });
  r.Define("expect input-method", kAny, [&r, &w](const Args& a) {
    bool on = false;
    if (!r.Arity(a, 1, 1, "expect input-method on|off") || !r.OnOff(a[0], &on))
      return false;
    if (!w.sheets().editor_visible())
      return r.Fail("the cell editor is not open");
    return r.Expect(on == w.sheets().editor_wants_input_method(),
                    "the input method", a[0].text,
                    w.sheets().editor_wants_input_method() ? "on" : "off");
  });
  r.Define("expect current", kAny, [&r, &w](const Args& a) {
    int row = 0, col = 0;
    if (!r.Arity(a, 2, 2, "expect current ROW COL") || !r.Cell(a, &row, &col))
      return false;
    return r.Expect(
        row == w.sheets().current_row() && col == w.sheets().current_col(),
        "the current cell", a[0].text + "," + a[1].text,
        std::to_string(w.sheets().current_row()) + "," +
            std::to_string(w.sheets().current_col()));
  });
  r.Define("expect list", kAny, [&r, &w](const Args& a) {
    return r.ExpectList("the list", a, r.Rooms(w.side()));
  });
  r.Define("expect list-of", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 1, 10000, "expect list-of interior|exterior NAME..."))
      return false;
    if (a[0].text != "interior" && a[0].text != "exterior") {
      return r.Fail("expected interior or exterior, not " + Quoted(a[0].text));
    }
    const int side = a[0].text == "interior" ? kInterior : kExterior;
    return r.ExpectList("the " + a[0].text + " list",
                        Args(a.begin() + 1, a.end()), r.Rooms(side));
  });
  r.Define("expect list-size", kAny, [&r, &w](const Args& a) {
    int size = 0;
    if (!r.Arity(a, 1, 1, "expect list-size N") ||
        !r.Count(a[0], 0, 1 << 30, "the list size", &size)) {
      return false;
    }
    const std::size_t found = r.Rooms(w.side()).size();
    return r.Expect(found == static_cast<std::size_t>(size), "the list to hold",
                    a[0].text + " names", std::to_string(found));
  });
  r.Define("expect room-label", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect room-label TEXT")) return false;
    return r.ExpectText("the room-name label", a[0].text,
                        w.sheets().room_label(w.side()));
  });
  r.Define("expect project", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect project NAME")) return false;
    return r.ExpectText("the project name", a[0].text,
                        w.session().project_name());
  });
  r.Define("expect recent", kAny, [&r, &w](const Args& a) {
    std::vector<std::string> names;
    for (const std::filesystem::path& p : w.recent_projects().entries()) {
      names.push_back(p.filename().string());
    }
    return r.ExpectList("the recent projects", a, names);
  });
  r.Define("expect param", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 2, 2, "expect param A|S|L TEXT")) return false;
    const std::string letters = "ASL";
    const std::size_t k =
        a[0].text.size() == 1 ? letters.find(a[0].text[0]) : std::string::npos;
    if (k == std::string::npos)
      return r.Fail("param takes A, S or L, not " + Quoted(a[0].text));
    return r.ExpectText(
        "parameter " + a[0].text, a[1].text,
        w.sheets().parameter(w.side() * 3 + static_cast<int>(k)));
  });
  r.Define("expect places", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect places TEXT")) return false;
    return r.ExpectText("the places box", a[0].text, w.sheets().places_box());
  });
  r.Define("expect done-mark", kAny, [&r, &w](const Args& a) {
    bool on = false;
    if (!r.Arity(a, 1, 1, "expect done-mark on|off") || !r.OnOff(a[0], &on))
      return false;
    return r.Expect(on == w.sheets().done_mark(), "the done mark", a[0].text,
                    w.sheets().done_mark() ? "on" : "off");
  });
  r.Define("expect mode", kAny, [&r, &w](const Args& a) {
    int mode = 0;
    if (!r.Arity(a, 1, 1, "expect mode N") ||
        !r.Count(a[0], 0, 5, "the mode", &mode)) {
      return false;
    }
    return r.Expect(mode == w.mode(), "mode", a[0].text,
                    std::to_string(w.mode()));
  });
  r.Define("expect first-column", kAny, [&r, &w](const Args& a) {
    int col = 0;
    if (!r.Arity(a, 1, 1, "expect first-column N") ||
        !r.Count(a[0], 0, kSheetCols - 1, "the column", &col)) {
      return false;
    }
    const int found = w.sheets().first_visible_column(w.side());
    return r.Expect(col == found, "the first visible column", a[0].text,
                    std::to_string(found));
  });
  // A message or question with the title and the text.
  auto exactly = [&r](ShownKind kind, std::string_view word) {
    return [&r, kind, word](const Args& a) {
      if (!r.Arity(a, 2, 2, "expect " + std::string(word) + " TITLE TEXT"))
        return false;
      return r.TakeShown(
          kind,
          [&](const Shown& s) {
            return s.title == a[0].text && s.text == a[1].text;
          },
          std::string(word) + " " + Escaped(a[0].text) + ": " +
              Escaped(a[1].text));
    };
  };
  r.Define("expect message", kAny, exactly(ShownKind::kMessage, "message"));
  r.Define("expect question", kAny, exactly(ShownKind::kQuestion, "question"));
  // A message or question with the title whose text holds every piece.
  auto with_pieces = [&r](ShownKind kind, std::string_view word) {
    return [&r, kind, word](const Args& a) {
      if (!r.Arity(a, 1, 100,
                   "expect " + std::string(word) + "-with TITLE [PIECE...]")) {
        return false;
      }
      std::string expected =
          std::string(word) + " " + Escaped(a[0].text) + ": with";
      for (std::size_t i = 1; i < a.size(); ++i)
        expected += " " + Quoted(a[i].text);
      return r.TakeShown(
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
  r.Define("expect message-with", kAny,
           with_pieces(ShownKind::kMessage, "message"));
  r.Define("expect question-with", kAny,
           with_pieces(ShownKind::kQuestion, "question"));
  r.Define("expect beep", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 0, 0, "expect beep")) return false;
    return r.TakeShown(
        ShownKind::kBeep, [](const Shown&) { return true; }, "a beep");
  });
  r.Define("expect no-message", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 0, 0, "expect no-message")) return false;
    r.MarkChecked();
    if (r.Untaken().empty()) return true;
    return r.Fail(
        "expected no other message, question or beep since the last check, "
        "found " +
        r.UntakenText());
  });
  r.Define("expect file-dialog", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect file-dialog TITLE")) return false;
    if (r.files().titles.empty()) {
      return r.Fail("expected the file dialog " + Quoted(a[0].text) +
                    ", found none shown");
    }
    return r.ExpectText("the last file dialog's title", a[0].text,
                        r.files().titles.back());
  });
  // expect rooms-dialog, name-dialog and window: open or closed.
  auto open_or_closed = [&r](std::string words, std::string what,
                             std::function<bool()> is_open) {
    return [&r, words, what, is_open](const Args& a) {
      if (!r.Arity(a, 1, 1, words + " open|closed")) return false;
      if (a[0].text != "open" && a[0].text != "closed") {
        return r.Fail("expected open or closed, not " + Quoted(a[0].text));
      }
      const bool open = is_open();
      return r.Expect(open == (a[0].text == "open"), what, a[0].text,
                      open ? "open" : "closed");
    };
  };
  r.Define("expect rooms-dialog", kAny,
           open_or_closed("expect rooms-dialog", "the rooms dialog",
                          [&w] { return w.rooms().dialog().open; }));
  r.Define("expect rooms-dialog-list", kAny, [&r, &w](const Args& a) {
    return r.ExpectList("the rooms dialog's list", a, w.rooms().dialog_names());
  });
  r.Define("expect rooms-name-box", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect rooms-name-box TEXT")) return false;
    return r.ExpectText("the name box", a[0].text, w.rooms().dialog().name_box);
  });
  r.Define("expect name-dialog", kAny,
           open_or_closed("expect name-dialog", "the name dialog",
                          [&r] { return r.window().name_dialog_open; }));
  r.Define("expect print-dialog", kAny, [&r](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect print-dialog opened|not-opened"))
      return false;
    if (a[0].text != "opened" && a[0].text != "not-opened") {
      return r.Fail("expected opened or not-opened, not " + Quoted(a[0].text));
    }
    if (!r.window().print_opened) return r.Fail("print has not been clicked");
    return r.Expect(*r.window().print_opened == (a[0].text == "opened"),
                    "the print dialog", a[0].text,
                    *r.window().print_opened ? "opened" : "not-opened");
  });
  r.Define("expect window", kAny,
           open_or_closed("expect window", "the window",
                          [&r] { return !r.window().window_closed; }));
  r.Define("expect import-name", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect import-name TEXT")) return false;
    return r.ExpectText("the import name box", a[0].text,
                        w.importer().state().name_box);
  });
  r.Define("expect import-status", kAny, [&r, &w](const Args& a) {
    if (!r.Arity(a, 1, 1, "expect import-status TEXT")) return false;
    return r.ExpectText("the import status", a[0].text,
                        w.importer().state().status);
  });
  r.Define("expect file", kAny,
           [&r](const Args& a) { return ExpectFile(r, a); });
}

}  // namespace veltrano::scenario
