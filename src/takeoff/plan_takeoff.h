#ifndef VELTRANO_TAKEOFF_PLAN_TAKEOFF_H_
#define VELTRANO_TAKEOFF_PLAN_TAKEOFF_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "port/dialogs.h"
#include "port/drawing_pages.h"
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
  // `drawings_folder` gives the folder of the open project's drawings
  // (empty while no project is open).
  PlanTakeoff(Project& project, TakeoffSheets& sheets, Dialogs& dialogs,
              std::function<bool(const PlanLink&)> show_cell,
              std::function<std::filesystem::path()> drawings_folder)
      : project_(project),
        sheets_(sheets),
        dialogs_(dialogs),
        show_cell_(std::move(show_cell)),
        drawings_folder_(std::move(drawings_folder)) {}
  void SetHistory(ProjectHistory* history) { history_ = history; }

  // The drawings and measurements of the project.
  const PlanSet& plans() const { return *project_.plans(); }
  // Where drawing `drawing`'s PDF is kept (in the drawings folder).
  std::filesystem::path DrawingPath(int drawing) const;

  // What the drawing pane shows: a page of a drawing (-1 while there is no
  // drawing), the selected measurement, and the part new shapes are drawn
  // for (0 床 … 4 雑).
  int shown_drawing() const;
  int shown_page() const;
  std::optional<int> selected() const;
  int part() const { return part_; }
  void set_part(int part);
  // Counts the changes of what is shown, the measurements' among them.
  std::uint64_t revision() const { return revision_ + project_.plans().revision(); }
  // A project was opened or made: nothing shown or selected yet.
  void ResetView();
  // Shows a page; false for a page there is not.
  bool ShowPage(int drawing, int page);
  // Selects a measurement (none with nothing), showing its page and, when
  // it is linked, its room with the cell current.
  bool Select(std::optional<int> index);
  // The row clicked in the sheet: selects the measurement sent to the
  // current cell (or else to another cell of its row) and shows its page;
  // false when there is none.
  bool SelectOfCurrentCell();

  // "図面追加": `pdf` is copied into the drawings folder, read through
  // `pages` and attached; its first page is shown. The drawing's index, or
  // nothing with a message.
  std::optional<int> AttachDrawing(const std::filesystem::path& pdf, DrawingPages& pages);
  // "縮尺" of the shown page.
  bool SetScaleOfShownPage(const PageScale& scale);
  // A shape finished on the shown page, of the current part ("計測"): it
  // is selected. Its index, or nothing with a message.
  std::optional<int> MeasureOnShownPage(MeasureKind kind, std::vector<PagePoint> points);

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

  // The shown page and the selection, kept within the measurements there
  // are (an undo may take them away).
  void KeepViewInBounds() const;

  Project& project_;
  TakeoffSheets& sheets_;
  Dialogs& dialogs_;
  std::function<bool(const PlanLink&)> show_cell_;
  std::function<std::filesystem::path()> drawings_folder_;
  ProjectHistory* history_ = nullptr;
  mutable int shown_drawing_ = -1;
  mutable int shown_page_ = 0;
  mutable std::optional<int> selected_;
  int part_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_PLAN_TAKEOFF_H_
