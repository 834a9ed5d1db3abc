#ifndef VELTRANO_TAKEOFF_HISTORY_H_
#define VELTRANO_TAKEOFF_HISTORY_H_

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/grid.h"
#include "project/project_tables.h"

namespace veltrano {

class TakeoffSheets;

// The history of sheet changes of each side, for "元に戻す" and "やり直し".
// A step is what one user action changed: the cells it changed, in
// whichever rooms, with their texts before and after. A step is taken by
// comparing the shown sheet (or, for a command over every room, the side's
// room store) before and after the action, so only changed cells are kept.
class SheetHistory {
 public:
  static constexpr std::size_t kDepth = 200;
  // The step of keystrokes typed into an item cell: those into one cell
  // make one step, shown as "入力".
  static constexpr std::string_view kTypingStep = "入力 (keys)";

  struct CellChange {
    int room;
    int row;
    int col;
    std::string before;
    std::string after;
  };

  SheetHistory(ProjectTables& tables, TakeoffSheets& sheets)
      : tables_(tables), sheets_(sheets) {}

  std::uint64_t revision() const { return revision_; }

  // A user action begins and ends; steps do not nest (an action inside
  // another belongs to the outer one). `whole_side` for the commands over
  // every room or place of the side.
  void Begin(std::string_view name, bool whole_side = false);
  void End();
  bool recording() const { return depth_ > 0; }

  // The name of the step that would be undone or redone, "" when none.
  std::string undo_name(int side) const;
  std::string redo_name(int side) const;
  // Undoes or redoes the last step of the side; false when there is none.
  bool Undo(int side);
  bool Redo(int side);
  // Forgets the side's steps (a project replaced, rooms deleted or moved,
  // rooms imported).
  void Clear(int side);

 private:
  struct Step {
    std::string name;
    std::vector<CellChange> changes;
  };
  // Writes one side of each change, room by room, showing each room first.
  void Apply(int side, const Step& step, bool forward);

  ProjectTables& tables_;
  TakeoffSheets& sheets_;
  std::array<std::deque<Step>, 2> undo_;
  std::array<std::vector<Step>, 2> redo_;
  int depth_ = 0;
  // The action being recorded.
  std::string name_;
  int side_ = 0;
  bool whole_side_ = false;
  int room_ = -1;
  TextGrid before_sheet_;
  std::vector<std::string> before_store_;
  bool applying_ = false;
  std::uint64_t revision_ = 0;
};

// Records the enclosing user action as one step, when a history is given.
class HistoryStep {
 public:
  HistoryStep(SheetHistory* history, std::string_view name, bool whole_side = false)
      : history_(history) {
    if (history_ != nullptr) history_->Begin(name, whole_side);
  }
  ~HistoryStep() {
    if (history_ != nullptr) history_->End();
  }
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  SheetHistory* history_;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_HISTORY_H_
