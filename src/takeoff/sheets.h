#ifndef VELTRANO_TAKEOFF_SHEETS_H_
#define VELTRANO_TAKEOFF_SHEETS_H_

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "calc/formula.h"
#include "calc/grid.h"
#include "calc/rounding.h"
#include "fittings/register.h"
#include "port/dialogs.h"
#include "project/project.h"
#include "project/history.h"

namespace veltrano {

// How a cell of a takeoff sheet is activated.
enum class Activation { kRightClick, kLeftClick, kItemCommitted, kMoveUp, kMoveDown };

// Keys the cell editor reacts to. Tab does what Enter does; Escape closes
// the editor and leaves the cell as it was.
enum class EditorKey { kEnter, kUp, kDown, kTab, kEscape };

// The item-copy panel as the sheets see it: while it is shown, an
// activated cell first goes to PlaceItemsAtRow.
class ItemPlacer {
 public:
  virtual ~ItemPlacer() = default;
  virtual bool item_list_shown() const = 0;
  virtual void HideItemList() = 0;
  virtual void PlaceItemsAtRow(int row, int col) = 0;
};

// A rectangle of sheet cells, corners included.
struct CellRange {
  int top = 1;
  int left = 1;
  int bottom = 1;
  int right = 1;
  bool operator==(const CellRange&) const = default;
};

// The two takeoff sheets Grid1(0) and Grid1(1) with everything beside them:
// the current cell, the cell editor Text2, the room parameters, the places
// box, the done mark and the room-name labels; typing, row calculation,
// subtotals, fitting codes, "再計算" and "値削除"; and the shown room of
// each side, stored into and laid out from the project's rooms.
class TakeoffSheets {
 public:
  TakeoffSheets(Project& tables, const FittingsRegister& fittings,
                Platform platform);

  // Counts every change of what the sheets, their editor and the boxes
  // beside them show.
  std::uint64_t revision() const { return revision_; }

  // ---- Mode and side --------------------------------------------------------
  // InitialiseSheets: both sheets laid out, the current cells at row 1.
  void InitialiseSheets();
  // The calculation digits in force.
  void SetDigits(DigitSetting digits);
  DigitSetting digits() const { return digits_; }
  // A mode switch leaves: the open editor is entered, the shown room
  // stored, the editor closed and the done mark cleared.
  void LeaveMode();
  // The side of the mode chosen, and whether its takeoff panel is shown
  // (modes 0 and 5).
  void ShowSide(int side, bool shown);
  int side() const { return side_; }
  bool shown() const { return shown_; }

  // ---- The sheet ------------------------------------------------------------
  const TextGrid& sheet(int side) const { return sheets_[side]; }
  int current_row() const { return cursor_[side_].row; }
  int current_col() const { return cursor_[side_].col; }
  // Moves the current cell; the selection collapses onto it.
  void SetCurrentCell(int row, int col);
  // The selection: from the current cell to a second corner.
  CellRange selection() const;
  // A range dragged from (row, col), which becomes the current cell, to
  // (row2, col2).
  void SelectRange(int row, int col, int row2, int col2);
  // Moves the second corner (Shift with the arrow keys).
  void ExtendSelection(int row2, int col2);
  // Writes a cell of the shown sheet (the editing commands and item copy).
  void WriteCell(int row, int col, std::string_view text);
  // A click on the shown sheet; `range` is true when a range was dragged.
  void ClickSheet(int row, int col, bool right_button, bool range = false);
  void ActivateCell(Activation how);
  bool editor_visible() const { return editor_visible_; }
  const std::string& editor_text() const { return editor_text_; }
  bool editor_wants_input_method() const { return editor_ime_; }
  // Counts the openings of the editor on a cell: a new count is a new
  // text for the screen to put in, with the caret placed afresh.
  std::uint64_t editor_opening() const { return editor_opening_; }
  // Whether the editor opened with its text selected, so that typing
  // replaces it (a click on the cell, or Enter moving onto it), rather
  // than with the caret after it (F2, or text typed on the sheet).
  bool editor_text_selected() const { return editor_selected_; }
  // The editor's text changed (a keystroke or a paste).
  void EditorTextChanged(std::string_view text);
  void EditorKeyPressed(EditorKey key);
  // Closes the editor without writing its text (scrolling, the sheet's
  // command buttons).
  void HideEditor();
  // Writes the open editor's text into its cell and calculates the row as
  // Enter does, without moving the current cell, then closes the editor.
  // Every command that stores the sheet and then reports or acts on it
  // calls this first, so that what the editor shows is what is stored.
  void CommitEditor();
  // With the editor closed, F2 opens it on the current cell as a click
  // would, keeping the cell's text.
  void EditCurrentCell();
  // With the editor closed, typing on the current cell opens the editor
  // there; the typed text replaces the cell's text.
  void TypeIntoCurrentCell(std::string_view text);

  void CalculateRow(int row, int formula_col);
  void UpdateSubtotalBelow(int row, int formula_col);
  void ToggleSubtotal(int row, int value_col);
  std::string SubtotalAt(int row, int value_col);
  void EnterFittingCode(int row, int column);
  void RecalculateSheet();
  // The rows `range` reaches, in every block it reaches, calculated as
  // typing them would (a paste), then the subtotal rows of those blocks.
  // Problems are told in one message at the end and no formula is removed.
  void RecalculateRows(const CellRange& range);
  // "再計算": every room of the side, after which the room shown before is
  // shown again.
  void RecalculateAll();
  void ClearAllValues();   // "値削除"
  void ShowPart(int part);            // Hyoji(0..4)
  void ScrollColumns(int direction);  // Arrow(0): -1, Arrow(1): +1
  // Scrolls the shown sheet so that `col` is its first visible column
  // (the screen keeps the open editor in view).
  void SetFirstVisibleColumn(int col);
  int first_visible_column(int side) const { return first_col_[side]; }

  // ---- Beside the sheet -----------------------------------------------------
  const std::string& parameter(int index) const { return parameters_[index]; }  // DaisuText(0..5)
  // The boxes hold numbers and go into the records of the project file: a
  // text holding "," or "'", or a character the file cannot hold, is
  // refused with a message and the box is emptied; a character a number is
  // not written with is refused and the box keeps its number (both return
  // false).
  bool SetParameter(int index, std::string_view text);
  const std::string& places_box() const { return places_count_; }
  bool SetPlacesBox(std::string_view text);
  bool done_mark() const { return done_mark_; }
  void SetDoneMark(bool on);
  FormulaParams ParamsOfSide(int side) const;
  // The history of sheet changes, which the workspace connects; every user
  // action on the sheets records its step there.
  void SetHistory(ProjectHistory* history) { history_ = history; }
  ProjectHistory* history() const { return history_; }
  // Shows the room at `position` from the project without storing the
  // shown sheet first (the history has just changed the project); a
  // position without a room leaves the side showing none.
  void ReloadRoom(int side, int position);
  // Frame_List, the item-copy panel, which the workspace connects.
  void SetItemPlacer(ItemPlacer* placer) { placer_ = placer; }
  bool item_list_shown() const {
    return placer_ != nullptr && placer_->item_list_shown();
  }
  void HideItemList();

  // ---- The shown room -------------------------------------------------------
  const std::string& room_label(int side) const { return room_label_[side]; }
  int current_room(int side) const { return current_room_[side]; }
  bool RoomShown() const { return !room_label_[side_].empty(); }
  void StoreVisibleSheet();
  // Stores the shown room as StoreVisibleSheet does, leaving the boxes as
  // they were typed (for the history, between two keystrokes).
  void StoreShownRoomAsTyped();
  // The shown room as it would be stored, with its side and position, when
  // the sheet or the boxes beside it hold changes the project does not have
  // yet: for a copy of the project taken without storing anything.
  struct UnstoredRoom {
    int side;
    int position;
    Room room;
  };
  std::optional<UnstoredRoom> UnstoredShownRoom() const;
  // Whether there is such a room, without building it.
  bool ShownRoomUnstored() const;
  // Differs after every change of the shown sheets or the boxes beside
  // them.
  std::uint64_t ShownChangeMark() const;
  // Stores the shown sheet when the takeoff panel shows a room.
  void StoreShownRoom();
  void ShowRoom(std::optional<int> position);
  // What a click on the room list does once the project has been saved
  // where the setting asks for it.
  void ShowRoomFromList(std::optional<int> position);
  void ClearSheet(int side);
  void RestoreDoneMarkOfShownRoom();
  // A room added in the rooms dialog is shown, with its empty sheet.
  void ShowAddedRoom(int side, int position);
  // The shown room of the side was renamed.
  void RenameShownRoom(int side, int position, const std::string& name);
  // No room of the side is shown any more (it was deleted, moved or its
  // list replaced).
  void ForgetShownRoom(int side);
  // A new or opened project replaced the open one.
  void ProjectReplaced(bool opening);

 private:
  struct Cursor {
    int row = 1;
    int col = 0;
    int end_row = 1;  // the selection's second corner
    int end_col = 0;
  };
  TextGrid& shown_sheet() { return sheets_[side_]; }
  // The shown room as StoreVisibleSheet would store it.
  Room BuildShownRoom() const;
  // Room `position` of a side as "値削除" leaves it stored.
  Room StoredRoomWithoutValues(int side, int position) const;
  // Lays out a side's sheet and boxes from room `position` of the project.
  void LayOutRoom(int side, int position);
  // What makes the keystrokes into the current cell one step.
  std::string TypingKey() const;
  // The sheet can be typed in: a takeoff mode with a room or place shown.
  bool SheetEditable() const { return shown_ && RoomShown(); }
  void OpenEditorOnCurrentCell(bool select_text);
  // Checks a text typed into a box whose text goes into a record; shows the
  // refusal and returns the text to keep ("" when refused).
  std::string CheckRecordText(std::string_view typed);
  // The same for a number box: true when `typed` is taken into `*box`.
  bool CheckNumberText(std::string_view typed, std::string* box);
  // Calculates one row; while recalculating many rows, problems are
  // collected instead of shown and no formula is removed.
  struct BatchProblems;
  void CalculateRowImpl(int row, int formula_col, BatchProblems* batch,
                        bool update_below);
  void RecalculateShownSheet(BatchProblems* batch);
  // Shows every room of the side in turn, with progress, and runs `work`
  // on each.
  void ForEachRoomOfSide(const std::function<void()>& work);
  void ReportBatchProblems(const BatchProblems& batch);
  std::string SubtotalSumAbove(int row, int value_col);
  // The name of the step a click on column `col` makes.
  std::string_view StepNameOfClick(int col) const;

  Project& tables_;
  const FittingsRegister& register_;
  Platform platform_;
  DigitSetting digits_;
  int side_ = 0;
  bool shown_ = true;
  std::array<TextGrid, 2> sheets_;
  std::array<Cursor, 2> cursor_;
  std::array<int, 2> first_col_ = {1, 1};
  std::array<std::string, 2> room_label_;  // HeyaName(0..1)
  std::array<int, 2> current_room_ = {-1, -1};
  std::array<std::string, 6> parameters_;  // DaisuText(0..5)
  std::string places_count_;              // the places box, Kasyo
  bool done_mark_ = false;                // Check2 "チェック済"
  bool editor_visible_ = false;            // Text2
  std::string editor_text_;
  std::string editor_opened_with_;         // the cell's text when it opened
  bool editor_ime_ = false;
  std::uint64_t editor_opening_ = 0;
  bool editor_selected_ = false;
  ItemPlacer* placer_ = nullptr;           // Frame_List
  ProjectHistory* history_ = nullptr;
  // What each side's sheet and boxes were when its room was shown or last
  // stored, to tell whether there is anything to store.
  struct ShownMark {
    std::uint64_t sheet = 0;
    std::string places_count;
    std::array<std::string, 3> parameters;
    bool done = false;
    bool operator==(const ShownMark&) const = default;
  };
  ShownMark MarkOfShown(int side) const;
  void NoteShownAsStored(int side);
  std::array<std::optional<ShownMark>, 2> shown_as_stored_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_SHEETS_H_
