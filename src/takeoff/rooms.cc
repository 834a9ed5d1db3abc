#include "takeoff/rooms.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/number_text.h"
#include "calc/text_util.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

constexpr std::string_view kConfirmTitle = kTitleConfirm;

std::string EmptyRoomLine(std::string_view tag, std::string_view name,
                          bool first) {
  std::string line(tag);
  line += ',';
  line += first ? name : kContinuationName;
  // After the name (or the marker): its ",", then 27 cells and the extra value,
  // each followed by ",".
  line.append(29, ',');
  return line;
}

}  // namespace

bool Rooms::OpenRoomsDialog() {
  ++revision_;
  // Like every command of the sheet's buttons, this closes the editor
  // without writing its text.
  sheets_.HideEditor();
  sheets_.HideItemList();
  if (sheets_.RoomShown()) sheets_.StoreVisibleSheet();
  if (!session_.project_open()) {
    dialogs_.ShowMessage(kConfirmTitle, "物件名がありません。");
    return false;
  }
  rooms_dialog_ = RoomsDialogState{};
  rooms_dialog_.open = true;
  rooms_dialog_.side = sheets_.side();
  rooms_dialog_.names = tables_.room_names[sheets_.side()];
  return true;
}

void Rooms::RoomsDialogSelect(int position) {
  ++revision_;
  RoomsDialogState& d = rooms_dialog_;
  if (position < 0 || position >= static_cast<int>(d.names.size())) return;
  d.selected = position;
  d.name_box = d.names[static_cast<std::size_t>(position)];
}

void Rooms::TypeName(std::string_view text) {
  ++revision_;
  rooms_dialog_.name_box = std::string(text);
}

void Rooms::ChooseMove(std::string_view what, std::string_view before) {
  ++revision_;
  rooms_dialog_.move_what = std::string(what);
  rooms_dialog_.move_before = std::string(before);
}

void Rooms::RoomsDialogClose() {
  ++revision_;
  rooms_dialog_.open = false;
}

bool Rooms::AcceptRoomName(std::string_view name) {
  std::string refusal = RecordTextRefusal(name, RefusalBrackets::kHalfWidth);
  if (refusal.empty() && !NamesARoom(name)) refusal = "@は名前に使用できません。";
  if (refusal.empty()) return true;
  dialogs_.ShowMessage(kConfirmTitle, refusal);
  rooms_dialog_.name_box.clear();
  return false;
}

void Rooms::RoomsDialogAdd() {
  ++revision_;
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const std::string n = FoldToCodePageLookalikes(d.name_box);
  // A name of blanks alone would show as an invisible entry.
  if (IsBlankText(n)) return;
  if (!AcceptRoomName(n)) return;
  std::vector<std::string>& names = tables_.room_names[s];
  if (std::find(names.begin(), names.end(), n) != names.end()) {
    dialogs_.Beep();
    dialogs_.ShowMessage(kConfirmTitle, s == kInterior
                                                     ? "同じ名前の部屋があります。"
                                                     : "同じ場所名があります。");
    return;
  }
  const int m = static_cast<int>(names.size());
  if (m >= kMaxRooms[s]) {
    dialogs_.Beep();
    dialogs_.ShowMessage(
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
  names.push_back(n);
  d.names.push_back(n);
  sheets_.ShowAddedRoom(s, m);
  d.name_box = n;
  d.move_what.clear();
  d.move_before.clear();
}

void Rooms::RoomsDialogRename() {
  ++revision_;
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const int p = d.selected;
  const std::string n = FoldToCodePageLookalikes(d.name_box);
  std::vector<std::string>& names = tables_.room_names[s];
  if (IsBlankText(n) || p < 0 || p >= static_cast<int>(names.size())) return;
  if (!AcceptRoomName(n)) return;
  if (std::find(names.begin(), names.end(), n) != names.end()) {
    dialogs_.Beep();
    dialogs_.ShowMessage(kConfirmTitle, "同じ名前の部屋があります。");
    return;
  }
  const std::string old = names[static_cast<std::size_t>(p)];
  if (dialogs_.Ask(kConfirmTitle, old + "を" + n + "に変更します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  names[static_cast<std::size_t>(p)] = n;
  d.names[static_cast<std::size_t>(p)] = n;
  RoomStore& store = tables_.stores[s];
  store.SetLine(kLinesPerRoom * p,
                ReplaceField(store.Line(kLinesPerRoom * p), 1, n));
  sheets_.RenameShownRoom(s, p, n);
  d.move_what.clear();
  d.move_before.clear();
}

void Rooms::RoomsDialogDelete() {
  ++revision_;
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const int p = d.selected;
  std::vector<std::string>& names = tables_.room_names[s];
  if (d.name_box.empty() || p < 0 || p >= static_cast<int>(names.size())) {
    return;
  }
  const std::string old = names[static_cast<std::size_t>(p)];
  if (dialogs_.Ask(kConfirmTitle, old + "を削除します。",
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
  sheets_.ForgetShownRoom(s);
  sheets_.ClearSheet(s);
  d.name_box.clear();
  names.erase(names.begin() + p);
  d.names.erase(d.names.begin() + p);
  d.selected = -1;
  d.move_what.clear();
  d.move_before.clear();
  dialogs_.ShowMessage(kConfirmTitle, "削除しました。");
}

void Rooms::RoomsDialogMove() {
  ++revision_;
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
  sheets_.ForgetShownRoom(s);
  sheets_.ClearSheet(s);
}

}  // namespace veltrano
