#include "support/workspace_fixture.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <set>
#include <string_view>

#include "calc/text_file.h"
#include "project/project_file.h"

namespace veltrano::testing {

void WorkspaceTest::SetUp() {
  static std::atomic<int> counter{0};
  const std::filesystem::path root =
      std::filesystem::path(::testing::TempDir()) /
      ("veltrano_ws_" + std::to_string(::getpid()) + "_" +
       std::to_string(counter++));
  std::filesystem::remove_all(root);
  base = root / "Veltrano";
  home = root / "home";
  w = std::make_unique<Workspace>(FoldersUnder(base, home),
                                  Platform{dialogs, files, progress, clipboard});
  ASSERT_TRUE(w->Startup());
  dialogs.Take();
}

void WorkspaceTest::TearDown() {
  w.reset();
  std::filesystem::remove_all(base.parent_path());
}

void WorkspaceTest::NewProjectNamed(const std::string& name) {
  dialogs.answers.push_back(Answer::kNo);  // in case a project is open
  if (!w->session().project_open()) dialogs.answers.clear();
  ASSERT_TRUE(w->CommandNew());
  files.answers.push_back(DataFile(name + ".xdt"));
  w->session().NewProject();
  ASSERT_EQ(w->session().project_name(), name);
}

std::vector<std::string> CompleteProjectLines(std::vector<std::string> lines) {
  // A summary table as its size line names it: "SYNC/0" .. "SYNC/5",
  // "SYGC/0" .. "SYGC/4", "SYTC/5". Row lines name theirs alike ("SyND,0"
  // is "SYNC/0", "SySD'5" is "SYNC/5", "SyTD,@" is "SYTC/5").
  auto table_of = [](std::string_view line) -> std::string {
    if (line.size() < 6) return "";
    std::string tag(line.substr(0, 4));
    for (char& c : tag) c = static_cast<char>(std::toupper(c));
    std::string number(1, line[5]);
    if (tag == "SYND" || tag == "SYSD") tag = "SYNC";
    if (tag == "SYGD") tag = "SYGC";
    if (tag == "SYTD") tag = "SYTC", number = "5";
    return tag + "/" + number;
  };
  std::set<std::string> sized;
  for (const std::string& line : lines) {
    const std::string table = table_of(line);
    if (table.starts_with("SY") && line.size() > 3 &&
        std::toupper(static_cast<unsigned char>(line[3])) == 'C') {
      sized.insert(table);
    }
  }
  // The size lines of the tables the lines do not size, with the heading
  // rows of their layout: what the program itself would have written.
  Project fresh;
  fresh.Reset(/*keep_unit_prices=*/false);
  for (const std::string& line : BuildProjectLines(fresh)) {
    if (line.starts_with("Sy") && !sized.contains(table_of(line))) {
      lines.push_back(line);
    }
  }
  return lines;
}

void WorkspaceTest::OpenProjectOfLines(const std::string& name,
                                       const std::vector<std::string>& lines) {
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(DataFile(name + ".xdt"),
                                   CompleteProjectLines(lines), &error))
      << error;
  ASSERT_FALSE(w->session().project_open());
  files.answers.push_back(DataFile(name + ".xdt"));
  w->CommandOpen();
  ASSERT_EQ(w->session().project_name(), name);
}

void WorkspaceTest::AddRooms(const std::vector<std::string>& names) {
  ASSERT_TRUE(w->rooms().OpenRoomsDialog());
  for (const std::string& n : names) {
    w->rooms().TypeName(n);
    w->rooms().RoomsDialogAdd();
  }
  w->rooms().RoomsDialogClose();
}

void WorkspaceTest::TypeAt(int row, int col, const std::string& text) {
  w->sheets().ClickSheet(row, col, /*right_button=*/false);
  ASSERT_TRUE(w->sheets().editor_visible()) << "no editor at " << row << "," << col;
  w->sheets().EditorTextChanged(text);
  w->sheets().EditorKeyPressed(EditorKey::kEnter);
}

}  // namespace veltrano::testing
