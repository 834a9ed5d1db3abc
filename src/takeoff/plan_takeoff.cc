#include "takeoff/plan_takeoff.h"

#include <algorithm>
#include <utility>

#include "calc/messages.h"

namespace veltrano {

namespace {

constexpr std::string_view kNoScale = "縮尺が設定されていません。";

// The part whose formula column `col` is, or -1.
int PartOfFormulaColumn(int col) {
  const auto it = std::find(kFormulaColumn.begin(), kFormulaColumn.end(), col);
  return it == kFormulaColumn.end() ? -1 : static_cast<int>(it - kFormulaColumn.begin());
}

}  // namespace

void PlanTakeoff::TypeFormula(const std::string& text) {
  sheets_.CommitEditor();
  sheets_.TypeIntoCurrentCell(text);
  if (sheets_.editor_visible()) sheets_.EditorKeyPressed(EditorKey::kEnter);
}

int PlanTakeoff::AddDrawing(std::string file_name, std::vector<PlanPage> pages) {
  HistoryStep step(history_, "図面追加");
  return PlanSetEditor(project_.plans())->AddDrawing(std::move(file_name), std::move(pages));
}

bool PlanTakeoff::SetScale(int drawing, int page, PageScale scale) {
  HistoryStep step(history_, "縮尺");
  return PlanSetEditor(project_.plans())->SetScale(drawing, page, std::move(scale));
}

std::optional<int> PlanTakeoff::AddMeasurement(PlanMeasurement measurement) {
  HistoryStep step(history_, "計測");
  if (project_.plans()->ScaleOf(measurement.drawing, measurement.page) == nullptr) {
    dialogs_.ShowMessage(kTitleConfirm, kNoScale);
    return std::nullopt;
  }
  return PlanSetEditor(project_.plans())->AddMeasurement(std::move(measurement));
}

std::optional<Measured> PlanTakeoff::Sendable(int index) {
  std::optional<Measured> measured = project_.plans()->MeasureOf(index);
  if (!measured) {
    dialogs_.ShowMessage(kTitleConfirm, kNoScale);
  } else if (!sheets_.shown() || !sheets_.RoomShown()) {
    dialogs_.ShowMessage(kTitleConfirm, "部屋（場所）を選んでから送ってください。");
    measured.reset();
  }
  return measured;
}

bool PlanTakeoff::SendToSheet(int index) {
  HistoryStep step(history_, "拾い表へ");
  const std::optional<Measured> measured = Sendable(index);
  if (!measured) return false;
  sheets_.CommitEditor();
  const int row = sheets_.current_row();
  const int part = PartOfFormulaColumn(sheets_.current_col());
  if (part < 0 || row < 1 || row > kItemRows) {
    dialogs_.ShowMessage(kTitleConfirm, "計算式の欄を選んでから送ってください。");
    return false;
  }
  const int side = sheets_.side();
  const std::string room =
      project_.rooms().names(side)[static_cast<std::size_t>(sheets_.current_room(side))];
  const PlanMeasurement& m = project_.plans()->measurements()[static_cast<std::size_t>(index)];
  TypeFormula(SentText(m.kind, *measured));
  PlanSetEditor(project_.plans())->Link(index, {side, room, row, part});
  return true;
}

bool PlanTakeoff::SendToParameters(int index) {
  HistoryStep step(history_, "パラメータへ");
  const std::optional<Measured> measured = Sendable(index);
  if (!measured) return false;
  if (project_.plans()->measurements()[static_cast<std::size_t>(index)].kind !=
      MeasureKind::kArea) {
    dialogs_.ShowMessage(kTitleConfirm, "パラメータへ送れるのは面積だけです。");
    return false;
  }
  const int base = sheets_.side() * 3;
  sheets_.SetParameter(base, ThousandthsText(measured->area_thousandths));
  sheets_.SetParameter(base + 1, ThousandthsText(measured->length_mm));
  return true;
}

std::optional<std::string> PlanTakeoff::LinkedCellText(const PlanLink& link) const {
  const int col = kFormulaColumn[static_cast<std::size_t>(link.part)];
  const std::vector<std::string>& names = project_.rooms().names(link.side);
  const auto it = std::find(names.begin(), names.end(), link.room);
  if (it == names.end()) return std::nullopt;
  const int position = static_cast<int>(it - names.begin());
  // The shown room's sheet holds what is not stored yet.
  if (sheets_.current_room(link.side) == position && sheets_.RoomShown()) {
    return sheets_.sheet(link.side).At(link.row, col);
  }
  return std::string(project_.rooms().room(link.side, position).Cell(link.row, col));
}

bool PlanTakeoff::LinkHolds(int index) const {
  const std::vector<PlanMeasurement>& all = project_.plans()->measurements();
  if (index < 0 || index >= static_cast<int>(all.size())) return false;
  const PlanMeasurement& m = all[static_cast<std::size_t>(index)];
  const std::optional<Measured> measured = project_.plans()->MeasureOf(index);
  if (!m.link || !measured) return false;
  const std::optional<std::string> text = LinkedCellText(*m.link);
  return text && *text == SentText(m.kind, *measured);
}

bool PlanTakeoff::ShowLinkedCell(int index) {
  const std::vector<PlanMeasurement>& all = project_.plans()->measurements();
  if (!LinkHolds(index)) return false;
  return show_cell_(*all[static_cast<std::size_t>(index)].link);
}

bool PlanTakeoff::MovePoint(int index, int point, PagePoint to) {
  HistoryStep step(history_, "点の移動");
  const bool held = LinkHolds(index);
  if (!PlanSetEditor(project_.plans())->MovePoint(index, point, to)) return false;
  const PlanMeasurement& m = project_.plans()->measurements()[static_cast<std::size_t>(index)];
  if (!m.link) return true;
  const PlanLink link = *m.link;
  const std::optional<Measured> measured = project_.plans()->MeasureOf(index);
  if (!held || !measured || !show_cell_(link)) {
    PlanSetEditor(project_.plans())->Unlink(index);
    return true;
  }
  TypeFormula(SentText(m.kind, *measured));
  return true;
}

bool PlanTakeoff::Delete(int index) {
  HistoryStep step(history_, "計測削除");
  return PlanSetEditor(project_.plans())->Remove(index);
}

}  // namespace veltrano
