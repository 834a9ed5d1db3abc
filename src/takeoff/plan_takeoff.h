#ifndef VELTRANO_TAKEOFF_PLAN_TAKEOFF_H_
#define VELTRANO_TAKEOFF_PLAN_TAKEOFF_H_

#include <functional>
#include <optional>
#include <string>

#include "port/dialogs.h"
#include "project/history.h"
#include "project/plans.h"
#include "project/project.h"
#include "takeoff/sheets.h"

namespace veltrano {

// What was measured on the drawings, sent into the takeoff sheets: a
// measurement becomes the formula of the current formula cell as if typed
// ("拾い表へ"), or the room's parameters A and S ("パラメータへ"), and
// stays linked to its cell while the cell holds what it sent.
class PlanTakeoff {
 public:
  // `show_cell` shows the side and room of a link with its cell current
  // (switching modes where needed); false when the room is gone.
  PlanTakeoff(Project& project, TakeoffSheets& sheets, Dialogs& dialogs,
              std::function<bool(const PlanLink&)> show_cell)
      : project_(project), sheets_(sheets), dialogs_(dialogs), show_cell_(std::move(show_cell)) {}
  void SetHistory(ProjectHistory* history) { history_ = history; }

  // A drawing attached with its pages ("図面追加"): its index.
  int AddDrawing(std::string file_name, std::vector<PlanPage> pages);
  // A page's scale ("縮尺").
  bool SetScale(int drawing, int page, PageScale scale);
  // A finished shape ("計測"): its index, or nothing with
  // "縮尺が設定されていません。" when its page has no scale (or the shape
  // too few points).
  std::optional<int> AddMeasurement(PlanMeasurement measurement);

  // "拾い表へ": the measurement's text goes into the current formula cell of
  // the shown room, the row is calculated as Enter calculates it, and the
  // measurement is linked to the cell. False, with a message, when no room
  // is shown, the current cell is no formula cell or the page has no scale.
  bool SendToSheet(int index);
  // "パラメータへ": a 面積 sets the shown room's A to its area and S to its
  // perimeter, as typed into those boxes.
  bool SendToParameters(int index);
  // Moves a point of a measurement; a linked formula is rewritten and its
  // row calculated again, or the link let go when the cell no longer holds
  // what was sent.
  bool MovePoint(int index, int point, PagePoint to);
  // Deletes a measurement; what it sent stays in the sheet.
  bool Delete(int index);
  // Whether the cell a measurement is linked to still holds what it sent
  // (deleting or retyping the formula lets the link go).
  bool LinkHolds(int index) const;
  // Shows the cell a measurement is linked to.
  bool ShowLinkedCell(int index);

 private:
  // What measurement `index` sends, when it can be sent into the shown
  // room; nothing, with a message, when its page has no scale or no room
  // is shown.
  std::optional<Measured> Sendable(int index);
  // The text of a linked cell as the sheet or the project holds it.
  std::optional<std::string> LinkedCellText(const PlanLink& link) const;
  // Types `text` into the current cell and presses Enter.
  void TypeFormula(const std::string& text);

  Project& project_;
  TakeoffSheets& sheets_;
  Dialogs& dialogs_;
  std::function<bool(const PlanLink&)> show_cell_;
  ProjectHistory* history_ = nullptr;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_PLAN_TAKEOFF_H_
