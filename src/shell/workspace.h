#ifndef VELTRANO_SHELL_WORKSPACE_H_
#define VELTRANO_SHELL_WORKSPACE_H_

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/formula.h"
#include "calc/grid.h"
#include "calc/rounding.h"
#include "project/project_tables.h"
#include "shell/dialogs.h"
#include "shell/folders.h"
#include "shell/settings.h"

namespace veltrano {

// The six working modes of the main window.
enum Mode : int {
  kModeInterior = 0,   // 内部
  kModeFittingsTakeoff = 1,  // 建具廻り
  kModeAggregation = 2,      // 集計
  kModeFittingsRegister = 3, // 建具リスト
  kModeSettings = 4,         // 設定
  kModeExterior = 5,         // 外部
};

// How a cell of a takeoff sheet is activated.
enum class Activation { kRightClick, kLeftClick, kItemCommitted, kMoveUp, kMoveDown };

// Keys the cell editor reacts to. Tab does what Enter does; Escape closes
// the editor and leaves the cell as it was.
enum class EditorKey { kEnter, kUp, kDown, kTab, kEscape };

// The platform services the workspace talks through.
struct Platform {
  Dialogs& dialogs;
  FileDialogs& files;
  Progress& progress;
};

// The state of the rooms dialog: name box, its list and the two move lists.
struct RoomsDialogState {
  bool open = false;
  int side = 0;
  std::string name_box;                 // Text1
  std::vector<std::string> names;       // NewRoomList (and IdouList items)
  int selected = -1;                    // selection in NewRoomList
  std::string move_what;                // IdouList(0) text
  std::string move_before;              // IdouList(1) text
};

// The import section of the settings panel.
struct ImportState {
  std::filesystem::path source_path;    // kept for the rest of the run
  std::string name_box;                 // FileSentakuText
  std::array<bool, 2> sides = {false, false};  // TorikomiSyubetu(0..1)
  std::string status;                   // Label20(2)
};

// The whole state of the open project and of the run, and every operation
// of the program. The desktop application shows it; tests and the
// command-line tool drive it directly.
class Workspace {
 public:
  Workspace(Folders folders, Platform platform);

  // ---- Start-up, modes, toolbar, close -----------------------------------
  // Creates missing folders and settings files, reads the settings, lays out
  // every table and shows mode 0. Returns false when the folders cannot be
  // made (the message has been shown).
  bool Startup();
  void SwitchMode(int index);
  int mode() const { return mode_; }
  int side() const { return side_; }

  // Toolbar. New and Open return whether the name dialog / file dialog step
  // was reached; Save does nothing without an open project.
  // "New": after the save question, returns true when the name dialog
  // (HozonForm) is to be shown.
  bool CommandNew();
  void CommandOpen();
  void CommandSave();
  // "Print": stores the shown sheet; returns true when the print dialog is
  // to be opened (modes 0, 1, 2 and 5).
  bool CommandPrint();
  // The close request: returns true when the window may close.
  bool RequestClose();

  // ---- Project lifecycle --------------------------------------------------
  bool project_open() const { return !project_name_.empty(); }
  const std::string& project_name() const { return project_name_; }
  const std::filesystem::path& project_path() const { return project_path_; }
  void NewProject();       // name dialog: 新規物件を作成
  void SaveProjectAs();    // name dialog: 現在編集中の物件を名前を変えて保存
  void OpenProject();
  bool SaveProject(bool confirm);
  bool BackUpProject();
  // Writes the open project to `path` as a save does (stores the shown
  // sheet, remembers work types). Returns false with a message on failure.
  bool WriteProjectTo(const std::filesystem::path& path);
  // Refreshes the work-type table copy and rebuilds the unit-price table.
  void SaveUnitPrices();

  // ---- Takeoff sheets -------------------------------------------------------
  const TextGrid& sheet(int side) const { return sheets_[side]; }
  int current_row() const { return cursor_[side_].row; }
  int current_col() const { return cursor_[side_].col; }
  void SetCurrentCell(int row, int col);
  // A click on the shown sheet; `range` is true when a range was dragged.
  void ClickSheet(int row, int col, bool right_button, bool range = false);
  void ActivateCell(Activation how);
  bool editor_visible() const { return editor_visible_; }
  const std::string& editor_text() const { return editor_text_; }
  bool editor_wants_input_method() const { return editor_ime_; }
  // The editor's text changed (a keystroke or a paste).
  void EditorTextChanged(std::string_view text);
  void EditorKeyPressed(EditorKey key);
  void HideEditor() { editor_visible_ = false; }
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
  void RecalculateAll();   // "再計算"
  void ClearAllValues();   // "値削除"
  void ShowPart(int part);            // Hyoji(0..4)
  void ScrollColumns(int direction);  // Arrow(0): -1, Arrow(1): +1
  int first_visible_column(int side) const { return first_col_[side]; }

  // Parameters, places box and done mark beside the sheet.
  const std::string& parameter(int index) const { return daisu_[index]; }  // DaisuText(0..5)
  // The boxes go into the records of the project file: a text holding ","
  // or "'", or a character the file cannot hold, is refused with a message
  // and the box is emptied (returns false).
  bool SetParameter(int index, std::string_view text);
  const std::string& places_box() const { return kasyo_; }
  bool SetPlacesBox(std::string_view text);
  bool done_mark() const { return done_mark_; }
  void SetDoneMark(bool on) { done_mark_ = on; }
  FormulaParams ParamsOfSide(int side) const;

  // ---- Rooms and places ---------------------------------------------------
  const std::vector<std::string>& room_names(int side) const {
    return tables_.room_names[side];
  }
  const std::string& room_label(int side) const { return room_label_[side]; }
  int current_room(int side) const { return current_room_[side]; }
  void StoreVisibleSheet();
  void ShowRoom(std::optional<int> position);
  void ClearSheet(int side);
  // A mouse press on an entry of the room list of the current side.
  void ClickRoomList(std::optional<int> position);
  // "部屋追加" / "場所追加": returns true when the rooms dialog opens.
  bool OpenRoomsDialog();
  RoomsDialogState& rooms_dialog() { return rooms_dialog_; }
  void RoomsDialogSelect(int position);
  void RoomsDialogAdd();
  void RoomsDialogRename();
  void RoomsDialogDelete();
  void RoomsDialogMove();
  void RoomsDialogClose() { rooms_dialog_.open = false; }

  // ---- Import from another project ----------------------------------------
  ImportState& import_state() { return import_; }
  void ChooseImportSource();
  void ImportRooms();

  // ---- Tables and settings ------------------------------------------------
  ProjectTables& tables() { return tables_; }
  const ProjectTables& tables() const { return tables_; }
  SettingsPanel& settings() { return settings_; }
  const Folders& folders() const { return folders_; }
  Dialogs& dialogs() { return platform_.dialogs; }
  DigitSetting digits() const { return digits_; }
  const std::vector<std::string>& fittings_cache() const { return fittings_cache_; }
  const TextGrid& entered_data_list() const { return entered_data_; }
  const std::string& register_info() const { return register_info_; }

 private:
  struct Cursor {
    int row = 1;
    int col = 0;
  };
  TextGrid& shown_sheet() { return sheets_[side_]; }
  bool RoomShown() const { return !room_label_[side_].empty(); }
  bool SheetVisible() const { return mode_ == kModeInterior || mode_ == kModeExterior; }
  void OpenEditorOnCurrentCell();
  // The sheet can be typed in: a takeoff mode with a room or place shown.
  bool SheetEditable() const { return SheetVisible() && RoomShown(); }
  void RebuildFittingsCache();
  void ResetProjectState(bool opening);
  void RestoreDoneMarkOfShownRoom();
  // Checks a text typed into a box whose text goes into a record; shows the
  // refusal and returns the text to keep ("" when refused).
  std::string CheckRecordText(std::string_view typed);
  // Checks a name typed for a room or place; shows the refusal.
  bool AcceptRoomName(std::string_view name);
  // Calculates one row; while recalculating many rows, problems are
  // collected instead of shown and no formula is removed.
  struct BatchProblems;
  void CalculateRowImpl(int row, int formula_col, BatchProblems* batch,
                        bool update_below);
  void RecalculateShownSheet(BatchProblems* batch);
  void ReportBatchProblems(const BatchProblems& batch);
  std::string SubtotalSumAbove(int row, int value_col);

  Folders folders_;
  Platform platform_;
  SettingsPanel settings_;
  DigitSetting digits_;
  ProjectTables tables_;
  int mode_ = 0;
  int side_ = 0;
  std::filesystem::path project_path_;
  std::string project_name_;

  std::array<TextGrid, 2> sheets_;
  std::array<Cursor, 2> cursor_;
  std::array<int, 2> first_col_ = {1, 1};
  std::array<std::string, 2> room_label_;  // HeyaName(0..1)
  std::array<int, 2> current_room_ = {-1, -1};
  std::array<std::string, 6> daisu_;       // DaisuText(0..5)
  std::string kasyo_;                      // places box
  bool done_mark_ = false;                 // Check2 "チェック済"
  bool editor_visible_ = false;            // Text2
  std::string editor_text_;
  std::string editor_opened_with_;         // the cell's text when it opened
  bool editor_ime_ = false;
  bool item_list_shown_ = false;           // Frame_List

  std::vector<std::string> fittings_cache_;
  TextGrid entered_data_;                  // TateguDataGrid
  std::array<TextGrid, 4> calc_tables_;    // TateguKeisanGrid(0..3)
  std::string register_info_;              // Info of the register panel

  RoomsDialogState rooms_dialog_;
  ImportState import_;
};

}  // namespace veltrano

#endif  // VELTRANO_SHELL_WORKSPACE_H_
