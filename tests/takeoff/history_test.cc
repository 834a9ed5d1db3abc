// Undo and redo over random sequences of sheet actions in several rooms:
// undoing every step gives back the project as it was saved at the start,
// byte for byte, and redoing every step the project of the end.
#include "project/history.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "gtest/gtest.h"
#include "support/workspace_fixture.h"
#include "takeoff/sheet_layout.h"
#include "fittings/takeoff.h"
#include "shell/workspace.h"

namespace veltrano::testing {
namespace {

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class HistoryTest : public WorkspaceTest {
 protected:
  // Two project files, compared line by line: a difference names its first
  // line rather than printing both files.
  static void ExpectSameFile(const std::string& actual, const std::string& expected) {
    if (actual == expected) return;
    std::size_t a = 0;
    std::size_t b = 0;
    for (int line = 1;; ++line) {
      const std::size_t a_end = std::min(actual.find("\r\n", a), actual.size());
      const std::size_t b_end = std::min(expected.find("\r\n", b), expected.size());
      const std::string_view x(actual.data() + a, a_end - a);
      const std::string_view y(expected.data() + b, b_end - b);
      if (x != y || a_end == actual.size() || b_end == expected.size()) {
        ADD_FAILURE() << "line " << line << "\n  is: " << x << "\n  was: " << y;
        return;
      }
      a = a_end + 2;
      b = b_end + 2;
    }
  }
  // Types into a cell when the click opens its editor.
  void TypeIfOpen(int row, int col, const std::string& text) {
    w->sheets().ClickSheet(row, col, false);
    if (!w->sheets().editor_visible()) return;
    w->sheets().EditorTextChanged(text);
    w->sheets().EditorKeyPressed(EditorKey::kEnter);
  }
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

// The same over every kind of change a project takes: the rooms dialog,
// the fittings register, the fittings takeoff and the summaries, between
// sheet edits, the boxes beside the sheet and the commands over a whole
// side, on both sides. Undo walks back through the modes to the start file.
TEST_F(HistoryTest, EveryKindOfChangeUndoesToTheStartFileAndRedoesToTheEnd) {
  std::set<std::string> undone_steps;
  for (unsigned seed = 1; seed <= 10; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    w->SwitchMode(kModeInterior);
    NewProjectNamed("全履歴" + std::to_string(seed));
    for (int i = 0; i < 6; ++i) {
      w->settings().TypeText(Settings::Box::kOffset, i, i < 2 ? "0" : "10");
    }
    AddRooms({"居間", "和室", "台所"});
    for (int k = 0; k < 3; ++k) {
      w->ClickRoomList(k);
      w->sheets().ClickSheet(1, 1, true);
      w->sheets().HideEditor();
      TypeAt(1, 2, "床材" + std::to_string(k));
      TypeAt(1, 3, std::to_string(k + 2));
      w->sheets().ClickSheet(2, 5, false);
    }
    w->SwitchMode(kModeFittingsRegister);
    for (const char* code : {"AW1", "D2"}) {
      w->fittings_register().TypeBox(0, code);
      w->fittings_register().TypeBox(1, "1800");
      w->fittings_register().TypeBox(2, "2000");
      w->fittings_register().RegisterFitting();
    }
    w->SwitchMode(kModeInterior);
    w->ClickRoomList(0);
    dialogs.Take();
    const std::string start = Saved("start.xdt");
    w->history().Clear();

    std::mt19937 random(seed);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto room_names = [this] { return w->tables().rooms().names(kInterior); };
    int made = 0;
    for (int action = 0; action < 70; ++action) {
      dialogs.answers = {Answer::kOk, Answer::kOk, Answer::kOk};
      const int rooms = static_cast<int>(room_names().size());
      switch (pick(12)) {
        case 0:
        case 1:
          w->SwitchMode(pick(3) == 0 ? kModeExterior : kModeInterior);
          if (rooms > 0 && w->side() == kInterior) w->ClickRoomList(pick(rooms));
          if (!w->sheets().RoomShown()) break;
          switch (pick(5)) {
            case 0:
              w->sheets().SetParameter(w->side() * 3 + pick(3), std::to_string(pick(5)));
              break;
            case 1:
              w->sheets().SetPlacesBox(std::to_string(pick(4)));
              break;
            case 2:
              w->sheets().ClearAllValues();
              break;
            case 3:
              w->sheets().RecalculateAll();
              break;
            default:
              TypeIfOpen(1 + pick(10), 3, std::to_string(pick(9) + 1));
          }
          break;
        case 2:
          w->SwitchMode(kModeInterior);
          if (!w->sheets().RoomShown()) break;
          if (pick(2) == 0) {
            w->sheets().ClickSheet(1 + pick(10), 5, false);
          } else {
            // The check mark, kept when the mode is left for a panel that
            // takes steps of its own.
            w->sheets().SetDoneMark(!w->sheets().done_mark());
          }
          break;
        case 3:
        case 4:
        case 5: {
          w->SwitchMode(pick(2) == 0 ? kModeInterior : kModeExterior);
          ASSERT_TRUE(w->rooms().OpenRoomsDialog());
          const int side = w->side();
          const int count = static_cast<int>(w->tables().rooms().names(side).size());
          const int which = pick(4);
          if (which == 0 || count < 2) {
            w->rooms().TypeName("室" + std::to_string(++made));
            w->rooms().RoomsDialogAdd();
          } else if (which == 1) {
            w->rooms().RoomsDialogSelect(pick(count));
            w->rooms().TypeName("改" + std::to_string(++made));
            w->rooms().RoomsDialogRename();
          } else if (which == 2) {
            w->rooms().RoomsDialogSelect(pick(count));
            w->rooms().RoomsDialogDelete();
          } else {
            const std::vector<std::string>& names = w->tables().rooms().names(side);
            w->rooms().ChooseMove(names[static_cast<std::size_t>(pick(count))],
                                  names[static_cast<std::size_t>(pick(count))]);
            w->rooms().RoomsDialogMove();
          }
          w->rooms().RoomsDialogClose();
          break;
        }
        case 6:
        case 7: {
          w->SwitchMode(kModeFittingsRegister);
          FittingsRegister& reg = w->fittings_register();
          if (pick(3) == 0) {
            reg.ClickRow(1 + pick(3));
            reg.DeleteSelected();
          } else {
            static const std::vector<std::string> codes = {"AW1", "D2", "SD3", "WD4"};
            reg.TypeBox(0, codes[static_cast<std::size_t>(pick(4))]);
            reg.TypeBox(1, std::to_string(600 + 100 * pick(10)));
            reg.TypeBox(2, std::to_string(1800 + 100 * pick(4)));
            reg.RegisterFitting();
          }
          break;
        }
        case 8:
        case 9: {
          w->SwitchMode(kModeFittingsTakeoff);
          FittingsTakeoff& takeoff = w->fittings_takeoff();
          const std::vector<std::string> codes = w->fittings_register().Codes();
          if (codes.empty()) break;
          takeoff.ChooseFitting(codes[static_cast<std::size_t>(pick(static_cast<int>(codes.size())))]);
          takeoff.OpenCell(kGlassTable, 1 + pick(2), 0);
          if (takeoff.shown_list() >= 0) takeoff.ApplyCandidate(pick(2) == 0 ? "FL5" : "FL6");
          takeoff.Commit();
          break;
        }
        case 10: {
          // Aggregation, and a work type for every item column, which the
          // work-type table asks for.
          w->SwitchMode(kModeAggregation);
          w->aggregation_dialog().OpenAggregationDialog(kInterior);
          w->aggregation_dialog().SelectAll();
          w->aggregation_dialog().Execute();
          w->fittings_summary().AggregateFittings();
          const char* work_type = pick(2) == 0 ? "内装" : "木工";
          for (int part = 0; part < kParts; ++part) {
            for (int c = 2; c < w->part_summaries().table(kInterior, part).cols(); ++c) {
              w->part_summaries().AssignWorkType(kInterior, part, 4, c, work_type);
            }
          }
          for (int c = 2; c < w->fittings_summary().table().cols(); ++c) {
            w->fittings_summary().AssignWorkType(0, c, work_type);
          }
          break;
        }
        default: {
          w->SwitchMode(kModeAggregation);
          WorkTypeTable& table = w->work_type_table();
          if (pick(2) == 0) table.StartAggregation({"内装", "木工"}, MoneyRounding::kDown);
          if (table.table().rows() > 1) {
            table.ClickCell(1, pick(2) == 0 ? 6 : 8, "", MoneyRounding::kDown);
            table.EditorTextChanged(std::to_string(100 * (1 + pick(20))));
            table.PressEditorKey(WorkTypeTable::EditorKey::kEnter, "", MoneyRounding::kDown);
          }
          if (pick(2) == 0) table.SaveUnitPrices();
          break;
        }
      }
      dialogs.Take();
      dialogs.answers.clear();
    }
    w->sheets().HideEditor();
    const std::string end = Saved("end.xdt");
    EXPECT_NE(end, start);

    int undone = 0;
    while (!w->history().undo_name().empty()) {
      undone_steps.insert(w->history().undo_name());
      ASSERT_TRUE(w->Undo());
      ASSERT_LT(++undone, 1000);
    }
    ExpectSameFile(Saved("undone.xdt"), start);
    while (!w->history().redo_name().empty()) {
      ASSERT_TRUE(w->Redo());
    }
    ExpectSameFile(Saved("redone.xdt"), end);
    dialogs.Take();
  }
  // Every kind of step was taken and undone.
  for (const char* name : {"入力", "小計", "部屋追加", "場所追加", "部屋名変更", "部屋削除",
                           "部屋移動", "建具登録", "建具削除", "入力確定", "集計", "工種",
                           "単価", "備考", "単価保存", "チェック済", "代数", "ヶ所",
                           "値削除"}) {
    EXPECT_TRUE(undone_steps.count(name) > 0) << name;
  }
}

}  // namespace
}  // namespace veltrano::testing
