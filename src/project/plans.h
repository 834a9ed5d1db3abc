#ifndef VELTRANO_PROJECT_PLANS_H_
#define VELTRANO_PROJECT_PLANS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/plan_geometry.h"
#include "project/shared_table.h"

namespace veltrano {

// A page of an attached drawing: its size in points and its scale, once set.
struct PlanPage {
  double width = 0;
  double height = 0;
  std::optional<PageScale> scale;
  bool operator==(const PlanPage&) const = default;
};

// A PDF drawing attached to the project, by its file name in the project's
// drawings folder.
// Whether `name` can name a drawing's file: a plain UTF-8 name inside the
// folder, never a path out of it.
bool IsPlainFileName(std::string_view name);
struct PlanDrawing {
  std::string file_name;
  std::vector<PlanPage> pages;
  bool operator==(const PlanDrawing&) const = default;
};

// The sheet cell a measurement was sent to: the side, the room's name, the
// row and the part whose formula cell it is.
struct PlanLink {
  int side = 0;
  std::string room;
  int row = 0;
  int part = 0;
  bool operator==(const PlanLink&) const = default;
};

// A shape measured on a page.
struct PlanMeasurement {
  int drawing = 0;
  int page = 0;
  MeasureKind kind = MeasureKind::kLength;
  int part = 0;  // the part whose colour it is drawn in (床 … 雑)
  std::vector<PagePoint> points;
  std::optional<PlanLink> link;
  bool operator==(const PlanMeasurement&) const = default;
};

// The drawings of a project and what was measured on them, in the order it
// was measured (measurement N is the Nth made, across pages and drawings).
// A value: the project keeps it in versions, so every change is undoable.
class PlanSet {
 public:
  const std::vector<PlanDrawing>& drawings() const { return drawings_; }
  const std::vector<PlanMeasurement>& measurements() const { return measurements_; }
  bool empty() const { return drawings_.empty(); }

  // Adds a drawing with its pages; its index.
  int AddDrawing(std::string file_name, std::vector<PlanPage> pages);
  // Sets a page's scale; false for a page there is not.
  bool SetScale(int drawing, int page, PageScale scale);
  // The scale of a page, when it has one.
  const PageScale* ScaleOf(int drawing, int page) const;

  // Adds a measurement: its index, or nothing when its page has no scale
  // ("縮尺が設定されていません。") or the shape has too few points.
  std::optional<int> AddMeasurement(PlanMeasurement measurement);
  // What measurement `index` measures at its page's scale.
  std::optional<Measured> MeasureOf(int index) const;
  // Moves a point of a measurement; false when there is no such point.
  bool MovePoint(int index, int point, PagePoint to);
  bool Remove(int index);
  // The cell a measurement was sent to, or none.
  bool Link(int index, PlanLink link);
  bool Unlink(int index);
  // The measurement sent to a cell, if any.
  std::optional<int> LinkedTo(const PlanLink& link) const;

  // About how many bytes the set holds in memory.
  std::size_t MemoryBytes() const;
  bool operator==(const PlanSet&) const = default;

 private:
  bool ValidIndex(int index) const {
    return index >= 0 && index < static_cast<int>(measurements_.size());
  }

  std::vector<PlanDrawing> drawings_;
  std::vector<PlanMeasurement> measurements_;
};

// The project's drawings and measurements being changed, through the
// operations of PlanSet; made for one change at a time, as the summary
// tables' editors are. A change that leaves them as they were is no step.
class PlanSetEditor {
 public:
  explicit PlanSetEditor(SharedValue<PlanSet>& plans) : plans_(*plans.Edit()) {}
  PlanSet* operator->() { return &plans_; }

 private:
  PlanSet& plans_;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PLANS_H_
