#include "support/workspace_fixture.h"

#include <atomic>
#include <unistd.h>

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
                                  Platform{dialogs, files, progress});
  ASSERT_TRUE(w->Startup());
  dialogs.Take();
}

void WorkspaceTest::TearDown() {
  w.reset();
  std::filesystem::remove_all(base.parent_path());
}

void WorkspaceTest::NewProjectNamed(const std::string& name) {
  dialogs.answers.push_back(Answer::kNo);  // in case a project is open
  if (!w->project_open()) dialogs.answers.clear();
  ASSERT_TRUE(w->CommandNew());
  files.answers.push_back(DataFile(name + ".xdt"));
  w->NewProject();
  ASSERT_EQ(w->project_name(), name);
}

void WorkspaceTest::AddRooms(const std::vector<std::string>& names) {
  ASSERT_TRUE(w->OpenRoomsDialog());
  for (const std::string& n : names) {
    w->rooms_dialog().name_box = n;
    w->RoomsDialogAdd();
  }
  w->RoomsDialogClose();
}

void WorkspaceTest::TypeAt(int row, int col, const std::string& text) {
  w->ClickSheet(row, col, /*right_button=*/false);
  ASSERT_TRUE(w->editor_visible()) << "no editor at " << row << "," << col;
  w->EditorTextChanged(text);
  w->EditorKeyPressed(EditorKey::kEnter);
}

}  // namespace veltrano::testing
