// Rooms and places: the room stores, the shown room, the room list and the
// rooms dialog that adds, renames, deletes and reorders rooms.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/number_text.h"
#include "calc/text_util.h"
#include "shell/workspace.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

constexpr std::string_view kConfirmTitle = "確認";

std::string EmptyRoomLine(std::string_view tag, std::string_view name,
                          bool first) {
  std::string line(tag);
  line += ',';
  line += first ? name : std::string_view("@");
  // After the name (or "@"): its ",", then 27 cells and the extra value,
  // each followed by ",".
  line.append(29, ',');
  return line;
}

}  // namespace

void Workspace::ClearSheet(int side) {
  sheets_[side].ClearRange(1, 1, kSheetRows - 1, kSheetCols - 1);
}

void Workspace::StoreVisibleSheet() {
  const int s = side_;
  const int k = current_room_[s];
  if (k < 0 || k >= static_cast<int>(tables_.room_names[s].size()) ||
      k >= kMaxRooms[s]) {
    return;
  }
  if (s == kInterior && LeadingNumber(kasyo_) == 0) kasyo_ = "1";
  for (int i = 0; i < 3; ++i) {
    std::string& p = daisu_[s * 3 + i];
    if (LeadingNumber(p) == 0) p.clear();
  }
  const TextGrid& g = sheets_[s];
  RoomStore& store = tables_.stores[s];
  for (int r = 1; r <= kLinesPerRoom; ++r) {
    std::string line(kSheetTag[s]);
    line += ',';
    line += r == 1 ? tables_.room_names[s][k] : std::string("@");
    line += ',';
    for (int c = 1; c <= kLastStoredColumn; ++c) {
      line += g.At(r, c);
      line += ',';
    }
    switch (r) {
      case 1: line += s == kInterior ? kasyo_ : std::string("1"); break;
      case 2: line += daisu_[s * 3]; break;
      case 3: line += daisu_[s * 3 + 1]; break;
      case 4: line += daisu_[s * 3 + 2]; break;
      case 5: line += done_mark_ ? "1" : "0"; break;
      default: line += "dm"; break;
    }
    line += ',';
    store.SetLine(kLinesPerRoom * k + r - 1, std::move(line));
  }
}

void Workspace::ShowRoom(std::optional<int> position) {
  if (!position) return;
  const int s = side_;
  if (*position < 0 || *position >= static_cast<int>(tables_.room_names[s].size())) {
    return;
  }
  if (RoomShown()) StoreVisibleSheet();
  ClearSheet(s);
  const bool right_mode = (s == kInterior && mode_ == kModeInterior) ||
                          (s == kExterior && mode_ == kModeExterior);
  if (!right_mode || tables_.stores[s].empty()) return;
  TextGrid& g = sheets_[s];
  const RoomStore& store = tables_.stores[s];
  for (int r = 1; r <= kLinesPerRoom; ++r) {
    const std::vector<std::string_view> fields =
        SplitFields(store.Line(kLinesPerRoom * *position + r - 1));
    auto field = [&](std::size_t i) {
      return i < fields.size() ? fields[i] : std::string_view();
    };
    for (int c = 1; c <= kLastStoredColumn; ++c) {
      g.Set(r, c, field(static_cast<std::size_t>(c) + 1));
    }
    const std::string_view extra = field(29);
    switch (r) {
      case 1: if (s == kInterior) kasyo_ = std::string(extra); break;
      case 2: daisu_[s * 3] = std::string(extra); break;
      case 3: daisu_[s * 3 + 1] = std::string(extra); break;
      case 4: daisu_[s * 3 + 2] = std::string(extra); break;
      case 5: done_mark_ = static_cast<long>(LeadingNumber(extra)) == 1; break;
      default: break;
    }
  }
  room_label_[s] = tables_.room_names[s][static_cast<std::size_t>(*position)];
  current_room_[s] = *position;
}

void Workspace::ClickRoomList(std::optional<int> position) {
  if (!position) return;
  CommitEditor();
  if (settings_.save_on_switch && project_open()) {
    SaveProject(false);
    platform_.progress.ProcessPendingEvents();
  }
  ShowRoom(position);
  if (*position >= 0 &&
      *position < static_cast<int>(tables_.room_names[side_].size())) {
    current_room_[side_] = *position;
  }
  editor_visible_ = false;
}

void Workspace::RestoreDoneMarkOfShownRoom() {
  const int k = current_room_[side_];
  if (!RoomShown() || k < 0) return;
  const std::string& line = tables_.stores[side_].Line(kLinesPerRoom * k + 4);
  done_mark_ = static_cast<long>(LeadingNumber(FieldOf(line, 29))) == 1;
}

bool Workspace::OpenRoomsDialog() {
  // Like every command of the sheet's buttons, this closes the editor
  // without writing its text.
  editor_visible_ = false;
  item_list_shown_ = false;
  if (RoomShown()) StoreVisibleSheet();
  if (!project_open()) {
    platform_.dialogs.ShowMessage(kConfirmTitle, "物件名がありません。");
    return false;
  }
  rooms_dialog_ = RoomsDialogState{};
  rooms_dialog_.open = true;
  rooms_dialog_.side = side_;
  rooms_dialog_.names = tables_.room_names[side_];
  return true;
}

void Workspace::RoomsDialogSelect(int position) {
  RoomsDialogState& d = rooms_dialog_;
  if (position < 0 || position >= static_cast<int>(d.names.size())) return;
  d.selected = position;
  d.name_box = d.names[static_cast<std::size_t>(position)];
}

bool Workspace::AcceptRoomName(std::string_view name) {
  std::string refusal;
  if (name.find(',') != std::string_view::npos) {
    refusal = ",(カンマ)は使用できません。";
  } else if (name.find('\'') != std::string_view::npos) {
    refusal = "'(コーテーション)は使用できません。";
  } else if (name == "@") {
    refusal = "@は名前に使用できません。";
  } else if (!Cp932CanHold(name)) {
    refusal = "「" + FirstUnholdableChar(name) +
              "」はファイルに保存できない文字のため使用できません。";
  }
  if (refusal.empty()) return true;
  platform_.dialogs.ShowMessage(kConfirmTitle, refusal);
  rooms_dialog_.name_box.clear();
  return false;
}

void Workspace::RoomsDialogAdd() {
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const std::string n = FoldToCodePageLookalikes(d.name_box);
  // A name of blanks alone would show as an invisible entry.
  if (IsBlankText(n)) return;
  if (!AcceptRoomName(n)) return;
  std::vector<std::string>& names = tables_.room_names[s];
  if (std::find(names.begin(), names.end(), n) != names.end()) {
    platform_.dialogs.Beep();
    platform_.dialogs.ShowMessage(kConfirmTitle, s == kInterior
                                                     ? "同じ名前の部屋があります。"
                                                     : "同じ場所名があります。");
    return;
  }
  const int m = static_cast<int>(names.size());
  if (m >= kMaxRooms[s]) {
    platform_.dialogs.Beep();
    platform_.dialogs.ShowMessage(
        kConfirmTitle, s == kInterior
                           ? "部屋は500までしか登録できません。これ以上追加できません。"
                           : "場所は100までしか登録できません。これ以上追加できません。");
    return;
  }
  RoomStore& store = tables_.stores[s];
  store.Truncate(kLinesPerRoom * m);
  store.SetLine(kLinesPerRoom * m, EmptyRoomLine(kSheetTag[s], n, true));
  for (int i = 1; i < kLinesPerRoom; ++i) {
    store.SetLine(kLinesPerRoom * m + i, EmptyRoomLine(kSheetTag[s], n, false));
  }
  ClearSheet(s);
  names.push_back(n);
  d.names.push_back(n);
  room_label_[s] = n;
  current_room_[s] = m;
  if (s == kInterior) kasyo_ = "1";
  d.name_box = n;
  d.move_what.clear();
  d.move_before.clear();
}

void Workspace::RoomsDialogRename() {
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const int p = d.selected;
  const std::string n = FoldToCodePageLookalikes(d.name_box);
  std::vector<std::string>& names = tables_.room_names[s];
  if (IsBlankText(n) || p < 0 || p >= static_cast<int>(names.size())) return;
  if (!AcceptRoomName(n)) return;
  if (std::find(names.begin(), names.end(), n) != names.end()) {
    platform_.dialogs.Beep();
    platform_.dialogs.ShowMessage(kConfirmTitle, "同じ名前の部屋があります。");
    return;
  }
  const std::string old = names[static_cast<std::size_t>(p)];
  if (platform_.dialogs.Ask(kConfirmTitle, old + "を" + n + "に変更します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  names[static_cast<std::size_t>(p)] = n;
  d.names[static_cast<std::size_t>(p)] = n;
  RoomStore& store = tables_.stores[s];
  store.SetLine(kLinesPerRoom * p,
                ReplaceField(store.Line(kLinesPerRoom * p), 1, n));
  if (current_room_[s] == p && !room_label_[s].empty()) room_label_[s] = n;
  d.move_what.clear();
  d.move_before.clear();
}

void Workspace::RoomsDialogDelete() {
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const int p = d.selected;
  std::vector<std::string>& names = tables_.room_names[s];
  if (d.name_box.empty() || p < 0 || p >= static_cast<int>(names.size())) {
    return;
  }
  const std::string old = names[static_cast<std::size_t>(p)];
  if (platform_.dialogs.Ask(kConfirmTitle, old + "を削除します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  std::vector<std::string>& lines = tables_.stores[s].mutable_lines();
  const auto begin = lines.begin() +
                     std::min<std::ptrdiff_t>(kLinesPerRoom * p,
                                              static_cast<std::ptrdiff_t>(lines.size()));
  const auto end = lines.begin() +
                   std::min<std::ptrdiff_t>(kLinesPerRoom * (p + 1),
                                            static_cast<std::ptrdiff_t>(lines.size()));
  lines.erase(begin, end);
  room_label_[s].clear();
  current_room_[s] = -1;
  ClearSheet(s);
  d.name_box.clear();
  names.erase(names.begin() + p);
  d.names.erase(d.names.begin() + p);
  d.selected = -1;
  d.move_what.clear();
  d.move_before.clear();
  platform_.dialogs.ShowMessage(kConfirmTitle, "削除しました。");
}

void Workspace::RoomsDialogMove() {
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const std::string a = d.move_what;
  const std::string b = d.move_before;
  if (a.empty() || b.empty() || a == b) return;
  std::vector<std::string>& names = tables_.room_names[s];
  const auto ia = std::find(names.begin(), names.end(), a);
  const auto ib = std::find(names.begin(), names.end(), b);
  if (ia == names.end() || ib == names.end()) return;
  const int pa = static_cast<int>(ia - names.begin());
  const int pb = static_cast<int>(ib - names.begin());

  const std::vector<std::string> old_lines = tables_.stores[s].lines();
  const std::vector<std::string> old_names = names;
  std::vector<std::string> lines;
  lines.reserve(old_lines.size());
  auto in_block_a = [&](int i) {
    return i >= kLinesPerRoom * pa && i < kLinesPerRoom * (pa + 1);
  };
  for (int i = 0; i < static_cast<int>(old_lines.size()); ++i) {
    if (i == kLinesPerRoom * pb) {
      for (int j = kLinesPerRoom * pa;
           j < kLinesPerRoom * (pa + 1) && j < static_cast<int>(old_lines.size());
           ++j) {
        lines.push_back(old_lines[static_cast<std::size_t>(j)]);
      }
    }
    if (!in_block_a(i)) lines.push_back(old_lines[static_cast<std::size_t>(i)]);
  }
  tables_.stores[s].mutable_lines() = std::move(lines);

  names.clear();
  for (int i = 0; i < static_cast<int>(old_names.size()); ++i) {
    if (i == pb) names.push_back(old_names[static_cast<std::size_t>(pa)]);
    if (i != pa) names.push_back(old_names[static_cast<std::size_t>(i)]);
  }
  d.names = names;
  d.selected = -1;
  d.move_what.clear();
  d.move_before.clear();
  room_label_[s].clear();
  current_room_[s] = -1;
  ClearSheet(s);
}

}  // namespace veltrano
