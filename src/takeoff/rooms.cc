#include "takeoff/rooms.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/number_text.h"
#include "calc/text_util.h"
#include "project/room_records.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

constexpr std::string_view kConfirmTitle = kTitleConfirm;

// The name of a step of the rooms dialog on `side`.
std::string StepName(int side, std::string_view what) {
  return std::string(side == kInterior ? "部屋" : "場所") + std::string(what);
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
  return true;
}

void Rooms::RoomsDialogSelect(int position) {
  ++revision_;
  RoomsDialogState& d = rooms_dialog_;
  const std::vector<std::string>& names = dialog_names();
  if (position < 0 || position >= static_cast<int>(names.size())) return;
  d.selected = position;
  d.name_box = names[static_cast<std::size_t>(position)];
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
  if (refusal.empty() && RoomRecords::IsMarker(name)) refusal = "@は名前に使用できません。";
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
  if (tables_.rooms().NameTaken(s, n)) {
    dialogs_.Beep();
    dialogs_.ShowMessage(kConfirmTitle, s == kInterior
                                                     ? "同じ名前の部屋があります。"
                                                     : "同じ場所名があります。");
    return;
  }
  const int m = tables_.rooms().count(s);
  if (tables_.rooms().Full(s)) {
    dialogs_.Beep();
    dialogs_.ShowMessage(
        kConfirmTitle, s == kInterior
                           ? "部屋は500までしか登録できません。これ以上追加できません。"
                           : "場所は100までしか登録できません。これ以上追加できません。");
    return;
  }
  HistoryStep step(sheets_.history(), StepName(s, "追加"));
  if (!tables_.rooms().Append(s, Room(n))) return;
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
  const std::vector<std::string>& names = tables_.rooms().names(s);
  if (IsBlankText(n) || p < 0 || p >= static_cast<int>(names.size())) return;
  if (!AcceptRoomName(n)) return;
  if (tables_.rooms().NameTaken(s, n)) {
    dialogs_.Beep();
    dialogs_.ShowMessage(kConfirmTitle, "同じ名前の部屋があります。");
    return;
  }
  const std::string old = names[static_cast<std::size_t>(p)];
  if (dialogs_.Ask(kConfirmTitle, old + "を" + n + "に変更します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  HistoryStep step(sheets_.history(), StepName(s, "名変更"));
  if (!tables_.rooms().Rename(s, p, n)) return;
  sheets_.RenameShownRoom(s, p, n);
  d.move_what.clear();
  d.move_before.clear();
}

void Rooms::RoomsDialogDelete() {
  ++revision_;
  RoomsDialogState& d = rooms_dialog_;
  const int s = d.side;
  const int p = d.selected;
  const std::vector<std::string>& names = tables_.rooms().names(s);
  if (d.name_box.empty() || p < 0 || p >= static_cast<int>(names.size())) {
    return;
  }
  const std::string old = names[static_cast<std::size_t>(p)];
  if (dialogs_.Ask(kConfirmTitle, old + "を削除します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  {
    HistoryStep step(sheets_.history(), StepName(s, "削除"));
    tables_.rooms().Remove(s, p);
    sheets_.ForgetShownRoom(s);
    sheets_.ClearSheet(s);
  }
  d.name_box.clear();
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
  const std::vector<std::string>& names = tables_.rooms().names(s);
  const auto ia = std::find(names.begin(), names.end(), a);
  const auto ib = std::find(names.begin(), names.end(), b);
  if (ia == names.end() || ib == names.end()) return;
  const int pa = static_cast<int>(ia - names.begin());
  const int pb = static_cast<int>(ib - names.begin());
  // The room goes before the other: once taken out, the rooms after it
  // come one place up.
  HistoryStep step(sheets_.history(), StepName(s, "移動"));
  tables_.rooms().Move(s, pa, pb > pa ? pb - 1 : pb);
  d.selected = -1;
  d.move_what.clear();
  d.move_before.clear();
  sheets_.ForgetShownRoom(s);
  sheets_.ClearSheet(s);
}

}  // namespace veltrano
