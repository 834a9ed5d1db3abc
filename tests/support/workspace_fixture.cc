#include "support/workspace_fixture.h"

#include <atomic>
#include <unistd.h>

#include "calc/text_file.h"

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

void WorkspaceTest::OpenProjectOfLines(const std::string& name,
                                       const std::vector<std::string>& lines) {
  std::string error;
  ASSERT_TRUE(WriteTextLinesAtomic(DataFile(name + ".xdt"), lines, &error))
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
