// Undo and redo over random sequences of sheet actions in several rooms:
// undoing every step gives back the project as it was saved at the start,
// byte for byte, and redoing every step the project of the end.
#include "project/history.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "support/workspace_fixture.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::testing {
namespace {

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class HistoryTest : public WorkspaceTest {
 protected:
  std::string Saved(const std::string& name) {
    const std::filesystem::path path = DataFile(name);
    EXPECT_TRUE(w->session().WriteProjectTo(path));
    return FileBytes(path);
  }
};

TEST_F(HistoryTest, UndoingEveryStepGivesBackTheStartAndRedoingGivesTheEnd) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    NewProjectNamed("履歴" + std::to_string(seed));
    AddRooms({"居間", "和室", "台所"});
    w->ClickRoomList(0);
    w->sheets().SetParameter(0, "3.5");
    dialogs.Take();
    std::mt19937 random(seed);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Every room shown once: a room is stored in its full form the first
    // time it is left, which is no step of the history.
    w->ClickRoomList(1);
    w->ClickRoomList(2);
    w->ClickRoomList(0);
    // Some content to start from, then the state to come back to.
    TypeAt(1, 3, "2");
    TypeAt(2, 3, "A");
    w->sheets().ClickSheet(3, 5, false);
    const std::string start = Saved("start.xdt");
    w->history().Clear();

    const std::vector<std::string> texts = {"1", "2.5", "A*2", "(1+2)", "PB張", "", "x"};
    for (int action = 0; action < 60; ++action) {
      const int row = 1 + pick(12);
      const int part = pick(kParts);
      const int f = kFormulaColumn[static_cast<std::size_t>(part)];
      switch (pick(9)) {
        case 0:
          w->ClickRoomList(pick(3));
          break;
        case 1:
        case 2:
          w->sheets().ClickSheet(row, pick(2) == 0 ? f : ItemColumn(part), false);
          if (w->sheets().editor_visible()) {
            w->sheets().EditorTextChanged(texts[static_cast<std::size_t>(pick(7))]);
            w->sheets().EditorKeyPressed(pick(2) == 0 ? EditorKey::kEnter : EditorKey::kDown);
          }
          break;
        case 3:
          w->sheets().ClickSheet(row, ValueColumn(f), false);  // subtotal
          break;
        case 4:
          w->sheets().ClickSheet(row, DeductionColumn(f), false);
          break;
        case 5:
          w->sheets().ClickSheet(row, kMarkColumn[static_cast<std::size_t>(part)], true);
          w->sheets().HideEditor();
          break;
        case 6:
          w->sheets().SelectRange(row, 1, row + pick(3), 1 + pick(10));
          w->sheet_editing().CopySelection();
          w->sheets().SelectRange(1 + pick(45), 1 + pick(20), 1, 1);
          w->sheets().SetCurrentCell(1 + pick(45), 1 + pick(20));
          w->sheet_editing().Paste();
          break;
        case 7:
          w->sheets().SelectRange(row, 1, row + pick(4), 1 + pick(26));
          dialogs.answers = {Answer::kOk};
          w->sheet_editing().DeleteSelection();
          break;
        default:
          if (pick(2) == 0) {
            w->sheets().ClearAllValues();
          } else {
            w->sheets().RecalculateAll();
          }
      }
      dialogs.Take();
      dialogs.answers.clear();
    }
    w->sheets().HideEditor();
    const std::string end = Saved("end.xdt");

    int undone = 0;
    while (!w->history().undo_name().empty()) {
      ASSERT_TRUE(w->Undo());
      ASSERT_LT(++undone, 1000);
    }
    EXPECT_EQ(Saved("undone.xdt"), start);
    while (!w->history().redo_name().empty()) {
      ASSERT_TRUE(w->Redo());
    }
    EXPECT_EQ(Saved("redone.xdt"), end);
    dialogs.Take();
  }
}

}  // namespace
}  // namespace veltrano::testing
