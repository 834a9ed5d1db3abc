#ifndef VELTRANO_FITTINGS_REGISTER_H_
#define VELTRANO_FITTINGS_REGISTER_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "config/folders.h"
#include "port/dialogs.h"
#include "project/fittings_tables.h"
#include "project/history.h"
#include "project/project.h"
#include "project/session.h"

namespace veltrano {


// The fittings register TateguGrid and its panel "《建具登録》": the three
// boxes InpText(0..2) (code, W, H), "OK", "位置指定", "選択建具を削除",
// "全削除", "ファイルから読込" and the hint Info; the lookup by code that the
// sheets and the fittings takeoff use.
class FittingsRegister {
 public:
  static constexpr int kCodeBox = 0;
  static constexpr int kWidthBox = 1;
  static constexpr int kHeightBox = 2;

  FittingsRegister(Project& tables, const Folders& folders,
                   const ProjectSession& session, Platform platform)
      : tables_(tables), folders_(folders), session_(session), platform_(platform) {}

  const TextGrid& grid() const { return tables_.fittings_register(); }
  // The register as the project keeps it.
  FittingsRegisterView table() const { return FittingsRegisterView(tables_.fittings_register()); }
  const std::string& box(int index) const { return boxes_[index]; }
  const std::string& info() const { return info_; }
  bool position_pick() const { return position_pick_; }
  // The register row last clicked (its current cell), 0 for none.
  int current_row() const { return current_row_; }
  // The box that takes the focus after the last command, or -1.
  int focus_box() const { return focus_box_; }
  // Changes of the panel and of the register it shows.
  std::uint64_t revision() const { return revision_ + tables_.fittings_register().revision(); }
  // The history its changes are recorded in, which the workspace connects.
  void SetHistory(ProjectHistory* history) { history_ = history; }

  // The first register row whose code equals `code` without regard to
  // letter case, from row 1 down.
  std::optional<FittingEntry> Lookup(std::string_view code) const;
  // The codes from row 1 down to the first empty code.
  std::vector<std::string> Codes() const;

  // A change of a box's text. A text that cannot go into a record is
  // refused with a message, and the box is emptied; W and H take numbers
  // only, and a letter typed there is refused with the box keeping its
  // number.
  void TypeBox(int index, std::string_view text);
  // Enter in a box: code → empties W and moves there; W → empties H and
  // moves there; H → registers when the code box is not empty.
  void PressEnter(int index);
  // The Delete key in a box empties it.
  void PressDelete(int index);
  void RegisterFitting();       // "OK"
  void StartPositionPick();     // "位置指定"
  void ClickRow(int row);       // a click on a register row
  void DeleteSelected();        // "選択建具を削除"
  void DeleteAll();             // "全削除"
  void ReadFromFile();          // "ファイルから読込"
  // The hint as it reads when nothing is being entered (every mode switch).
  void ShowRestingInfo();
  // A new or opened project replaced the open one.
  void ProjectReplaced();

 private:
  // The register, to change it.
  FittingsRegisterTable MutableTable() { return FittingsRegisterTable(tables_.fittings_register()); }
  // The modify question for an existing code: on OK its W and H change.
  void AskToModify(int row, const std::string& w, const std::string& h);
  void Touch() { ++revision_; }

  Project& tables_;
  const Folders& folders_;
  const ProjectSession& session_;
  Platform platform_;
  std::array<std::string, 3> boxes_;
  std::string info_;
  bool position_pick_ = false;
  int current_row_ = 0;
  int focus_box_ = -1;
  std::uint64_t revision_ = 0;
  ProjectHistory* history_ = nullptr;
};

}  // namespace veltrano

#endif  // VELTRANO_FITTINGS_REGISTER_H_
