#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "gtest/gtest.h"
#include "support/workspace_fixture.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::testing {
namespace {

class RowEntryTest : public WorkspaceTest {
 protected:
  void SetUp() override {
    WorkspaceTest::SetUp();
    NewProjectNamed("現場");
    AddRooms({"居間"});
    dialogs.Take();
  }
};

TEST_F(RowEntryTest, FormulaWithParameterGivesValueAndMovesDown) {
  w->sheets().SetParameter(0, "2.5");
  TypeAt(1, 3, "A*2");
  EXPECT_EQ(Cell(1, 3), "A*2");
  EXPECT_EQ(Cell(1, 5), "5.00");
  EXPECT_TRUE(w->sheets().editor_visible());
  EXPECT_EQ(w->sheets().current_row(), 2);
  EXPECT_EQ(w->sheets().current_col(), 3);
  // A lone letter shows the parameter as typed.
  w->sheets().SetParameter(1, "3.456");
  TypeAt(2, 20, "s");
  EXPECT_EQ(Cell(2, 22), "3.456");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RowEntryTest, UnusableParameterClearsTheFormulaAndKeepsTheValue) {
  w->sheets().SetParameter(0, "2");
  TypeAt(1, 3, "A*2");
  ASSERT_EQ(Cell(1, 5), "4.00");
  // The box takes numbers only: a sign, a formula or a letter is refused
  // as it is typed, and the box keeps its number.
  for (const char* refused : {"-2", "1/2", "2x", "2 3", "１"}) {
    EXPECT_FALSE(w->sheets().SetParameter(0, refused)) << refused;
    EXPECT_EQ(w->sheets().parameter(0), "2") << refused;
    EXPECT_EQ(dialogs.Take(),
              (std::vector<ShownDialog>{{"入力確認", "数値以外は入力できません。"}}))
        << refused;
  }
  for (const char* bad : {"", "0", "0.0"}) {
    w->sheets().SetParameter(0, bad);
    TypeAt(1, 3, "a*3");
    EXPECT_EQ(Cell(1, 3), "") << "A=" << bad;
    EXPECT_EQ(Cell(1, 5), "4.00") << "A=" << bad;
    EXPECT_EQ(dialogs.Take(),
              (std::vector<ShownDialog>{
                  {"入力確認", "Aの値が入力されていません。または不正です。"}}))
        << "A=" << bad;
  }
  // Blanks around a plain number are allowed; S is checked after A.
  w->sheets().SetParameter(0, " 3 ");
  w->sheets().SetParameter(1, "");
  TypeAt(1, 3, "A*S");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"入力確認", "Sの値が入力されていません。または不正です。"}}));
}

TEST_F(RowEntryTest, DeductionFlipsTheSign) {
  TypeAt(1, 3, "3");
  ASSERT_EQ(Cell(1, 5), "3.00");
  w->sheets().ClickSheet(1, 4, false);
  EXPECT_EQ(Cell(1, 4), "▲");
  EXPECT_EQ(Cell(1, 5), "-3.00");
  w->sheets().ClickSheet(1, 4, false);
  EXPECT_EQ(Cell(1, 4), "");
  EXPECT_EQ(Cell(1, 5), "3.00");
  TypeAt(2, 3, "1-2.5");
  w->sheets().ClickSheet(2, 4, false);
  EXPECT_EQ(Cell(2, 5), "1.50");
  // A refused formula shows its marker, signed like a value.
  TypeAt(2, 3, "2*-1");
  EXPECT_EQ(Cell(2, 5), "-?");
}

TEST_F(RowEntryTest, SubtotalRowsAreMadeKeptAndRemovedByClicks) {
  TypeAt(1, 9, "10.5");
  TypeAt(2, 9, "2");
  TypeAt(3, 7, "合計");  // an item name does not stop a subtotal
  w->sheets().ClickSheet(3, 11, false);
  EXPECT_EQ(Cell(3, 9), "小計");
  EXPECT_EQ(Cell(3, 11), "12.50");
  // A changed row updates the subtotal below it.
  TypeAt(1, 9, "1.25");
  EXPECT_EQ(Cell(3, 11), "3.25");
  // The second subtotal sums only the rows after the first.
  TypeAt(4, 9, "4");
  w->sheets().ClickSheet(5, 11, false);
  EXPECT_EQ(Cell(5, 11), "4.00");
  // The subtotal cell cannot be typed over.
  w->sheets().ClickSheet(3, 9, false);
  EXPECT_FALSE(w->sheets().editor_visible());
  w->sheets().ClickSheet(3, 11, false);
  EXPECT_EQ(Cell(3, 9), "");
  EXPECT_EQ(Cell(3, 11), "");
  EXPECT_EQ(Cell(5, 11), "7.25");
  // Rows that sum to 0 make no subtotal row.
  w->sheets().ClickSheet(10, 17, false);
  EXPECT_EQ(Cell(10, 15), "");
  EXPECT_EQ(Cell(10, 17), "");
}

TEST_F(RowEntryTest, FittingCodesBecomeDeductions) {
  // The register of the project as its file holds it.
  w->CommandSave();
  std::vector<std::string> lines;
  std::string error;
  ASSERT_TRUE(ReadTextLines(DataFile("現場.xdt"), &lines, &error)) << error;
  lines.push_back("Tate,AW1,1650,1100");
  lines.push_back("Tate,d1,800,2000");
  ASSERT_TRUE(WriteTextLinesAtomic(DataFile("現場.xdt"), lines, &error)) << error;
  dialogs.answers = {Answer::kNo};
  files.answers.push_back(DataFile("現場.xdt"));
  w->CommandOpen();
  w->ClickRoomList(0);
  dialogs.Take();
  TypeAt(1, 14, "D1*3");
  EXPECT_EQ(Cell(1, 15), "0.80*2.00*3");
  EXPECT_EQ(Cell(1, 16), "▲");
  EXPECT_EQ(Cell(1, 17), "-4.80");
  TypeAt(2, 8, "aw1");
  EXPECT_EQ(Cell(2, 9), "1.65");
  EXPECT_EQ(Cell(2, 11), "-1.65");
  EXPECT_TRUE(dialogs.Take().empty());
  TypeAt(3, 14, "X9");
  EXPECT_EQ(Cell(3, 14), "");
  EXPECT_EQ(Cell(3, 15), "");
  EXPECT_EQ(dialogs.Take(),
            (std::vector<ShownDialog>{
                {"確認", "入力された建具符号は登録されていません。"}}));
}

TEST_F(RowEntryTest, SeparatorsAndUnholdableCharactersAreRefusedAsTyped) {
  w->sheets().ClickSheet(1, 2, false);
  w->sheets().EditorTextChanged("PB");
  EXPECT_EQ(Cell(1, 2), "PB");  // item cells follow every keystroke
  w->sheets().EditorTextChanged("PB,");
  EXPECT_EQ(w->sheets().editor_text(), "");
  EXPECT_EQ(Cell(1, 2), "");
  w->sheets().EditorTextChanged("it's");
  w->sheets().EditorTextChanged("床😀");
  const auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, ",（カンマ）は使用できません。");
  EXPECT_EQ(shown[1].text, "'（コーテーション）は使用できません。");
  EXPECT_NE(shown[2].text.find("😀"), std::string::npos);
  // Parameters and the places box go into the same records.
  EXPECT_FALSE(w->sheets().SetParameter(0, "1,5"));
  EXPECT_EQ(w->sheets().parameter(0), "");
  EXPECT_FALSE(w->sheets().SetPlacesBox("2'"));
  EXPECT_EQ(w->sheets().places_box(), "");
  EXPECT_EQ(dialogs.Take().size(), 2u);
  // The wave dash of input methods becomes the full-width tilde.
  w->sheets().EditorTextChanged("1〜2");
  EXPECT_EQ(Cell(1, 2), "1～2");
  EXPECT_TRUE(dialogs.Take().empty());
}

TEST_F(RowEntryTest, MovingToAnotherCellClosesTheEditor) {
  TypeAt(1, 3, "2");
  w->sheets().ClickSheet(1, 3, false);
  w->sheets().EditorTextChanged("5");
  w->sheets().ClickSheet(1, 5, false);  // a value cell: the row is recalculated
  EXPECT_FALSE(w->sheets().editor_visible());
  w->sheets().EditorKeyPressed(EditorKey::kEnter);
  EXPECT_EQ(Cell(1, 5), "2.00");
  EXPECT_EQ(Cell(1, 3), "2");
}

TEST_F(RowEntryTest, ArrowsStopAtTheFirstAndLastRows) {
  w->sheets().ClickSheet(1, 3, false);
  w->sheets().EditorTextChanged("1");
  w->sheets().EditorKeyPressed(EditorKey::kUp);
  EXPECT_EQ(w->sheets().current_row(), 1);
  EXPECT_EQ(Cell(1, 5), "1.00");
  w->sheets().ClickSheet(50, 25, false);
  w->sheets().EditorTextChanged("2");
  w->sheets().EditorKeyPressed(EditorKey::kDown);
  EXPECT_EQ(w->sheets().current_row(), 50);
  EXPECT_EQ(Cell(50, 27), "2.00");
  // Enter on an item moves right to the formula (or fitting) cell.
  TypeAt(5, 7, "巾木");
  EXPECT_EQ(w->sheets().current_col(), 8);
  EXPECT_TRUE(w->sheets().editor_visible());
}

TEST_F(RowEntryTest, RecalculationKeepsFormulasItCannotCompute) {
  AddRooms({"寝室"});
  w->sheets().SetParameter(0, "2");
  TypeAt(1, 3, "A*3");
  TypeAt(2, 3, "1+1");
  w->sheets().ClickSheet(3, 5, false);  // subtotal 8.00
  ASSERT_EQ(Cell(3, 5), "8.00");
  w->ClickRoomList(0);
  w->sheets().SetParameter(0, "");
  TypeAt(1, 20, "2");
  w->ClickRoomList(1);         // 寝室 keeps A = 2; its parameters are stored
  w->sheets().SetParameter(0, "");      // now A is missing in 寝室 too
  dialogs.Take();
  w->sheets().RecalculateAll();
  // The last room stays shown: its formula is kept with "?".
  EXPECT_EQ(w->sheets().room_label(0), "寝室");
  EXPECT_EQ(Cell(1, 3), "A*3");
  EXPECT_EQ(Cell(1, 5), "?");
  EXPECT_EQ(Cell(2, 5), "2.00");
  EXPECT_EQ(Cell(3, 5), "2.00");
  const auto shown = dialogs.Take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "確認");
  EXPECT_NE(shown[0].text.find("寝室"), std::string::npos);
  EXPECT_NE(shown[0].text.find("1行目"), std::string::npos);
}

TEST_F(RowEntryTest, ClearingValuesKeepsFormulasAndAClickRecalculates) {
  TypeAt(1, 3, "2");
  TypeAt(2, 3, "3");
  w->sheets().ClickSheet(3, 5, false);
  ASSERT_EQ(Cell(3, 3), "小計");
  w->sheets().ClearAllValues();
  EXPECT_EQ(Cell(1, 5), "");
  EXPECT_EQ(Cell(3, 5), "");
  EXPECT_EQ(Cell(1, 3), "2");
  EXPECT_EQ(Cell(3, 3), "小計");
  w->sheets().ClickSheet(1, 5, false);
  EXPECT_EQ(Cell(1, 5), "2.00");
  // Row 2 has a formula but no value: a click calculates it, it does not
  // become a subtotal row.
  w->sheets().ClickSheet(2, 5, false);
  EXPECT_EQ(Cell(2, 3), "3");
  EXPECT_EQ(Cell(2, 5), "3.00");
  EXPECT_EQ(Cell(3, 5), "5.00");
}

// "値削除" leaves every room stored as showing it, emptying each value on
// the sheet and storing the sheet would: on both sides, for rooms whose
// rows are short or carry fields after the extra value, and whose boxes
// hold texts the sheet writes otherwise ("0" places, a parameter that is
// no number, a done mark other than 1).
class ClearValuesTest : public WorkspaceTest {};

TEST_F(ClearValuesTest, StoresEveryRoomAsTheSheetWouldOnBothSides) {
  std::vector<std::string> lines;
  const std::vector<std::string> places = {"0", "3", "abc"};
  const std::vector<std::string> parameters = {"0", "2.5", "", "x", "1.2.3", "7"};
  for (const std::string tag : {"Data", "Gaib"}) {
    for (int room = 0; room < 3; ++room) {
      for (int r = 1; r <= kItemRows; ++r) {
        std::string line = tag + "," + (r == 1 ? tag + std::to_string(room) : "@");
        if (r == 7 + room) {  // a short row
          lines.push_back(line + ",,,1+" + std::to_string(r));
          continue;
        }
        for (int c = 1; c <= kLastStoredColumn; ++c) {
          std::string cell;
          if (c % 6 == 3) cell = std::to_string(r) + "*" + std::to_string(room + 1);
          if (c % 6 == 5) cell = std::to_string(r * (room + 1)) + ".00";
          if (c == 2) cell = "項目" + std::to_string(r);
          line += "," + cell;
        }
        std::string extra = "dm";
        if (r == 1) extra = places[static_cast<std::size_t>(room)];
        if (r >= 2 && r <= 4) extra = parameters[static_cast<std::size_t>(room + r - 2)];
        if (r == 5) extra = room == 0 ? "0" : room == 1 ? "1" : "1.5";
        line += "," + extra + ",";
        if (r == 9) line += "later,fields,";
        lines.push_back(line);
      }
    }
  }
  auto stored = [&](int side) {
    std::vector<Room> rooms;
    for (int i = 0; i < w->tables().rooms().count(side); ++i) {
      rooms.push_back(w->tables().rooms().room(side, i));
    }
    return rooms;
  };
  std::array<std::vector<Room>, 2> by_hand;
  OpenProjectOfLines("値", lines);
  for (int side : {kInterior, kExterior}) {
    w->SwitchMode(side == kInterior ? kModeInterior : kModeExterior);
    for (int i = 0; i < 3; ++i) {
      w->ClickRoomList(i);
      for (int r = 1; r <= kItemRows; ++r) {
        for (int f : kFormulaColumn) w->sheets().WriteCell(r, ValueColumn(f), "");
      }
    }
    w->sheets().StoreShownRoom();
    by_hand[static_cast<std::size_t>(side)] = stored(side);
  }
  TearDown();  // a new workspace, the same file
  SetUp();
  OpenProjectOfLines("値", lines);
  for (int side : {kInterior, kExterior}) {
    w->SwitchMode(side == kInterior ? kModeInterior : kModeExterior);
    w->ClickRoomList(1);  // shown before, stored first
    w->sheets().ClearAllValues();
    EXPECT_EQ(w->sheets().room_label(side), (side == kInterior ? "Data2" : "Gaib2"));
    EXPECT_EQ(Cell(2, 5), "");
    EXPECT_EQ(Cell(2, 3), "2*3");
    w->sheets().StoreShownRoom();
    const std::vector<Room> cleared = stored(side);
    ASSERT_EQ(cleared.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_TRUE(cleared[i] == by_hand[static_cast<std::size_t>(side)][i])
          << "side " << side << " room " << i;
    }
    // And undone, every room is as it was read.
    w->Undo();
    EXPECT_EQ(w->tables().rooms().room(side, 0).row(1).Cell(5), "1.00");
    EXPECT_EQ(w->tables().rooms().room(side, 2).row(4).Cell(11), "12.00");
  }
}

// Whenever the window can look during "値削除" (every other step here), it
// sees the room being worked on, already emptied, exactly as it is stored;
// the rooms come in order, and the last stays shown.
TEST_F(ClearValuesTest, WheneverTheWindowLooksTheSheetShowsTheRoomAsStored) {
  struct WatchingProgress : Progress {
    bool EventsDue() const override { return due; }
    void ProcessPendingEvents() override {
      if (due && watch) watch();
      due = !due;
    }
    bool due = true;
    std::function<void()> watch;
  } watching;
  w = std::make_unique<Workspace>(FoldersUnder(base, home),
                                  Platform{dialogs, files, watching, clipboard});
  ASSERT_TRUE(w->Startup());
  NewProjectNamed("見る");
  AddRooms({"一", "二", "三", "四", "五"});
  for (int room = 0; room < 5; ++room) {
    w->ClickRoomList(room);
    TypeAt(1, 3, std::to_string(room + 1) + "*2");
    TypeAt(2, 9, "1.5");
  }
  w->ClickRoomList(2);
  TypeAt(3, 3, "7");  // typed into the shown room, not yet stored
  dialogs.Take();

  std::vector<std::string> seen;
  watching.watch = [&] {
    const std::string& label = w->sheets().room_label(kInterior);
    const std::vector<std::string>& names = w->rooms().room_names(kInterior);
    const auto at = std::find(names.begin(), names.end(), label);
    ASSERT_NE(at, names.end()) << label;
    const Room& stored = w->tables().rooms().room(kInterior, static_cast<int>(at - names.begin()));
    for (int r = 1; r <= kItemRows; ++r) {
      for (int c = 1; c <= kLastStoredColumn; ++c) {
        ASSERT_EQ(Cell(r, c), stored.Cell(r, c)) << label << " " << r << "," << c;
      }
    }
    EXPECT_EQ(Cell(1, 5), "") << label;
    seen.push_back(label);
  };
  w->sheets().ClearAllValues();
  watching.watch = nullptr;
  EXPECT_EQ(seen, (std::vector<std::string>{"一", "三", "五"}));
  EXPECT_EQ(w->sheets().room_label(kInterior), "五");
  w->ClickRoomList(2);
  EXPECT_EQ(Cell(3, 3), "7");
  EXPECT_EQ(Cell(3, 5), "");
  EXPECT_EQ(Cell(1, 3), "3*2");
}

TEST_F(RowEntryTest, DigitSettingTakesEffectOnTheNextModeSwitch) {
  w->settings().SetDigits(2);
  TypeAt(1, 3, "1.23456");
  EXPECT_EQ(Cell(1, 5), "1.23");
  w->SwitchMode(kModeSettings);
  w->SwitchMode(kModeInterior);
  TypeAt(1, 3, "1.23456");
  EXPECT_EQ(Cell(1, 5), "1.2345");
}

}  // namespace
}  // namespace veltrano::testing
