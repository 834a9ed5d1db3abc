#ifndef VELTRANO_FITTINGS_TAKEOFF_H_
#define VELTRANO_FITTINGS_TAKEOFF_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "calc/rounding.h"
#include "config/settings.h"
#include "fittings/register.h"
#include "port/dialogs.h"
#include "project/history.h"
#include "project/project.h"

namespace veltrano {

// The calculation tables TateguKeisanGrid(0..3).
enum FittingsTable : int {
  kGlassTable = 0,
  kFrameSealTable = 1,
  kFrameMortarTable = 2,
  kPaintingTable = 3,
};
inline constexpr int kFittingsTables = 4;
inline constexpr int kCandidateLists = 6;  // HinagataList(0..5)

// The size text of a length of `millimetres`: metres in single precision
// with up to seven significant digits, a "0" before a value below 1 and
// ".0" after a whole value ("0.85", "2.0", "-0.05", "0.0"). With
// `zero_before_point` unset a value below 1 has no "0" before its point
// (".85"), as the re-derived painting formula writes it; a size of 0 is
// whole and stays "0.0".
std::string SizeText(double millimetres, bool zero_before_point = true);

// The fittings takeoff, panel "建具廻り" of mode 1: the current fitting, the
// count of places "全ヶ所数", "2枚引違い", the four calculation tables with
// their candidate lists and cell editor, the code list and check list;
// "入力確定" into the fittings takeoff store TateguSaveGrid, the entered-data
// list TateguDataGrid and the entered-fitting dialog TateguSyuseiForm.
class FittingsTakeoff {
 public:
  FittingsTakeoff(Project& tables, const FittingsRegister& fittings,
                  const Settings& settings, Platform platform);

  // ---- What the panel shows -------------------------------------------------
  // T_Jyoho(0..3): code, W, H ("-" before any choice) and "新規"/"修正".
  const std::string& current_code() const { return labels_[0]; }
  const std::string& current_w() const { return labels_[1]; }
  const std::string& current_h() const { return labels_[2]; }
  const std::string& mode_text() const { return labels_[3]; }
  const std::string& places() const { return places_; }  // SassiKasyo
  bool sliding() const { return sliding_; }               // Check1
  const TextGrid& table(int t) const { return tables_[t]; }
  // The candidate list shown under the edited cell, or -1.
  int shown_list() const { return shown_list_; }
  const std::vector<std::string>& candidate_list(int n) const { return lists_[n]; }
  bool editor_visible() const { return editor_visible_; }  // InputText
  const std::string& editor_text() const { return editor_text_; }
  // The cell being edited (or last chosen for a candidate list).
  int edit_table() const { return edit_table_; }
  int edit_row() const { return edit_row_; }
  int edit_col() const { return edit_col_; }
  const std::vector<std::string>& code_list() const { return code_list_; }
  const std::vector<std::string>& check_list() const { return check_list_; }
  bool check_list_shown() const { return check_list_shown_; }
  const TextGrid& entered_data_list() const { return entered_data_; }
  bool entered_dialog_open() const { return dialog_open_; }
  const std::string& entered_dialog_code() const { return dialog_code_; }
  // Changes of the panel and of the store it enters into.
  std::uint64_t revision() const { return revision_ + project_.fittings_store().revision(); }
  // The history its changes are recorded in, which the workspace connects.
  void SetHistory(ProjectHistory* history) { history_ = history; }

  // ---- Operations -----------------------------------------------------------
  void SetDigits(DigitSetting digits);
  // The panel is shown: the code list and the candidate lists are filled
  // anew from the register and the settings.
  void RefillLists();
  void ChooseFitting(std::string_view code);
  void OpenCell(int table, int row, int col);
  // An item of the shown candidate list chosen.
  void ApplyCandidate(std::string_view item);
  // The right button on the shown list: it and the editor are hidden.
  void DismissCandidates();
  void EditorTextChanged(std::string_view text);
  void EditorEnter();
  // "全ヶ所数" typed: a number (NumberBox::kUnsigned), refused as
  // NumberBoxRefusal says.
  void SetPlaces(std::string_view text);
  // "2枚引違い" clicked.
  void SetSliding(bool on);
  void ClearTables();      // "入力クリア"
  void ToggleCheckList();  // "入力済確認" / "戻る"
  void Commit();           // "入力確定"
  // A click on the entered-data list: a code opens the entered-fitting
  // dialog.
  void ClickEnteredList(int row, int col);
  void EnteredDialogModify();  // "修正"
  void EnteredDialogDelete();  // "削除"
  void EnteredDialogClose();

  // A new or opened project replaced the open one.
  void ProjectReplaced();
  // An opened project's takeoff store was read.
  void StoreRead();

 private:
  void RecalculateTables();
  void ReDeriveRows();
  void FillGlassSize(int row);
  std::string Eval(const std::string& formula);
  std::string TypedText(std::string_view typed);
  void WriteEditorToCell();
  void OpenEditor(bool take_cell_text);
  int BlockOf(std::string_view code) const;
  bool FittingChosen() const { return labels_[1] != "-"; }
  void Touch() { ++revision_; }

  Project& project_;
  const FittingsRegister& register_;
  const Settings& settings_;
  Platform platform_;
  DigitSetting digits_;
  std::array<std::string, 4> labels_;
  std::string places_ = "1";
  bool sliding_ = false;
  std::array<TextGrid, kFittingsTables> tables_;
  std::array<std::vector<std::string>, kCandidateLists> lists_;
  int shown_list_ = -1;
  bool editor_visible_ = false;
  std::string editor_text_;
  int edit_table_ = -1;
  int edit_row_ = 0;
  int edit_col_ = 0;
  std::vector<std::string> code_list_;
  std::vector<std::string> check_list_;
  bool check_list_shown_ = false;
  TextGrid entered_data_;
  bool dialog_open_ = false;
  std::string dialog_code_;
  int dialog_row_ = 0;
  std::uint64_t revision_ = 0;
  ProjectHistory* history_ = nullptr;
};

}  // namespace veltrano

#endif  // VELTRANO_FITTINGS_TAKEOFF_H_
