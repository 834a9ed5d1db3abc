#include "takeoff/plan_takeoff.h"

#include <algorithm>
#include <utility>

#include "calc/messages.h"
#include "project/plans_file.h"

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
  if (!Measure(measurement.kind, measurement.points,
               *project_.plans()->ScaleOf(measurement.drawing, measurement.page))) {
    dialogs_.ShowMessage(kTitleConfirm, "この形は測れません。");
    return std::nullopt;
  }
  return PlanSetEditor(project_.plans())->AddMeasurement(std::move(measurement));
}

std::filesystem::path PlanTakeoff::DrawingPath(int drawing) const {
  const std::vector<PlanDrawing>& drawings = project_.plans()->drawings();
  if (drawing < 0 || drawing >= static_cast<int>(drawings.size())) return {};
  const std::string& name = drawings[static_cast<std::size_t>(drawing)].file_name;
  const std::filesystem::path folder = drawings_folder_();
  if (folder.empty() || !IsPlainFileName(name)) return {};
  return folder / name;
}

void PlanTakeoff::KeepViewInBounds() const {
  const PlanSet& plans = *project_.plans();
  const int drawings = static_cast<int>(plans.drawings().size());
  if (drawings == 0) {
    shown_drawing_ = -1;
    shown_page_ = 0;
  } else if (shown_drawing_ < 0 || shown_drawing_ >= drawings) {
    shown_drawing_ = 0;
    shown_page_ = 0;
  }
  if (shown_drawing_ >= 0) {
    const int pages =
        static_cast<int>(plans.drawings()[static_cast<std::size_t>(shown_drawing_)].pages.size());
    if (shown_page_ < 0 || shown_page_ >= pages) shown_page_ = 0;
  }
  if (selected_ && *selected_ >= static_cast<int>(plans.measurements().size())) selected_.reset();
}

int PlanTakeoff::shown_drawing() const {
  KeepViewInBounds();
  return shown_drawing_;
}

int PlanTakeoff::shown_page() const {
  KeepViewInBounds();
  return shown_page_;
}

std::optional<int> PlanTakeoff::selected() const {
  KeepViewInBounds();
  return selected_;
}

void PlanTakeoff::set_part(int part) {
  if (part < 0 || part >= static_cast<int>(kFormulaColumn.size()) || part == part_) return;
  part_ = part;
  ++revision_;
}

void PlanTakeoff::ResetView() {
  shown_drawing_ = -1;
  shown_page_ = 0;
  selected_.reset();
  ++revision_;
}

bool PlanTakeoff::ShowPage(int drawing, int page) {
  const std::vector<PlanDrawing>& drawings = project_.plans()->drawings();
  if (drawing < 0 || drawing >= static_cast<int>(drawings.size())) return false;
  if (page < 0 ||
      page >= static_cast<int>(drawings[static_cast<std::size_t>(drawing)].pages.size())) {
    return false;
  }
  if (drawing != shown_drawing_ || page != shown_page_) {
    shown_drawing_ = drawing;
    shown_page_ = page;
    ++revision_;
  }
  return true;
}

bool PlanTakeoff::Select(std::optional<int> index) {
  const std::vector<PlanMeasurement>& all = project_.plans()->measurements();
  if (index && (*index < 0 || *index >= static_cast<int>(all.size()))) return false;
  if (selected_ != index) {
    selected_ = index;
    ++revision_;
  }
  if (!index) return true;
  const PlanMeasurement& m = all[static_cast<std::size_t>(*index)];
  ShowPage(m.drawing, m.page);
  ShowLinkedCell(*index);
  return true;
}

bool PlanTakeoff::SelectOfCurrentCell() {
  if (!sheets_.shown() || !sheets_.RoomShown()) return false;
  const int side = sheets_.side();
  const std::string& room =
      project_.rooms().names(side)[static_cast<std::size_t>(sheets_.current_room(side))];
  const int row = sheets_.current_row();
  const int part = PartOfFormulaColumn(sheets_.current_col());
  std::optional<int> found;
  if (part >= 0) found = project_.plans()->LinkedTo({side, room, row, part});
  for (int p = 0; !found && p < static_cast<int>(kFormulaColumn.size()); ++p) {
    found = project_.plans()->LinkedTo({side, room, row, p});
  }
  if (!found || !LinkHolds(*found)) return false;
  const PlanMeasurement& m = project_.plans()->measurements()[static_cast<std::size_t>(*found)];
  if (selected_ != found) {
    selected_ = found;
    ++revision_;
  }
  ShowPage(m.drawing, m.page);
  return true;
}

std::optional<int> PlanTakeoff::AttachDrawing(const std::filesystem::path& pdf,
                                              DrawingPages& pages) {
  constexpr std::string_view kTitle = "図面追加";
  const std::filesystem::path folder = drawings_folder_();
  if (folder.empty()) {
    dialogs_.ShowMessage(kTitle, "物件を開いてから図面を追加してください。");
    return std::nullopt;
  }
  std::string error;
  // Read first: a file that is no drawing is not copied.
  if (!pages.Open(pdf, &error)) {
    dialogs_.ShowMessage(kTitle, error, MessageIcon::kWarning);
    return std::nullopt;
  }
  std::vector<PlanPage> read;
  read.reserve(static_cast<std::size_t>(pages.page_count()));
  for (int i = 0; i < pages.page_count(); ++i) {
    const DrawingPageSize size = pages.page_size(i);
    read.push_back({size.width, size.height, std::nullopt});
  }
  const std::optional<std::string> name = CopyIntoDrawingsFolder(pdf, folder, &error);
  if (!name) {
    dialogs_.ShowMessage(kTitle, "図面をコピーできませんでした。\n" + error,
                         MessageIcon::kCritical);
    return std::nullopt;
  }
  const int index = AddDrawing(*name, std::move(read));
  ShowPage(index, 0);
  return index;
}

bool PlanTakeoff::SetScaleOfShownPage(const PageScale& scale) {
  if (shown_drawing() < 0) return false;
  return SetScale(shown_drawing_, shown_page_, scale);
}

std::optional<int> PlanTakeoff::MeasureOnShownPage(MeasureKind kind,
                                                   std::vector<PagePoint> points) {
  if (shown_drawing() < 0) {
    dialogs_.ShowMessage(kTitleConfirm, "図面がありません。");
    return std::nullopt;
  }
  PlanMeasurement m;
  m.drawing = shown_drawing_;
  m.page = shown_page_;
  m.kind = kind;
  m.part = part_;
  m.points = std::move(points);
  const std::optional<int> index = AddMeasurement(std::move(m));
  if (index) {
    selected_ = index;
    ++revision_;
  }
  return index;
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
  if (!PlanSetEditor(project_.plans())->Remove(index)) return false;
  if (selected_) {
    if (*selected_ == index) {
      selected_.reset();
    } else if (*selected_ > index) {
      --*selected_;
    }
    ++revision_;
  }
  return true;
}

}  // namespace veltrano
