// The shown room of each side: stored into its room store lines and laid
// out from them, and what the mode switches and the project do to it.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/number_text.h"
#include "calc/text_util.h"
#include "takeoff/sheet_layout.h"
#include "takeoff/sheets.h"

namespace veltrano {

TakeoffSheets::TakeoffSheets(ProjectTables& tables,
                             const FittingsRegister& fittings, Platform platform)
    : tables_(tables), register_(fittings), platform_(platform) {
  for (int s = 0; s < 2; ++s) LayOutSheet(s, &sheets_[s]);
}

void TakeoffSheets::InitialiseSheets() {
  ++revision_;
  for (int s = 0; s < 2; ++s) {
    LayOutSheet(s, &sheets_[s]);
    cursor_[s] = Cursor{1, 0, 1, 0};
  }
  editor_visible_ = false;
}

void TakeoffSheets::SetDigits(DigitSetting digits) {
  ++revision_;
  digits_ = digits;
}

void TakeoffSheets::LeaveMode() {
  ++revision_;
  CommitEditor();
  // The shown sheet is stored before the done mark is cleared, so that the
  // mark of the shown room is kept.
  StoreShownRoom();
  editor_visible_ = false;
  done_mark_ = false;
}

void TakeoffSheets::ShowSide(int side, bool shown) {
  ++revision_;
  side_ = side;
  shown_ = shown;
  if (shown) {
    HideItemList();
    RestoreDoneMarkOfShownRoom();
  }
}

void TakeoffSheets::HideEditor() {
  ++revision_;
  editor_visible_ = false;
}

void TakeoffSheets::SetDoneMark(bool on) {
  ++revision_;
  done_mark_ = on;
}

void TakeoffSheets::HideItemList() {
  ++revision_;
  if (placer_ != nullptr) placer_->HideItemList();
}

void TakeoffSheets::StoreShownRoom() {
  if (shown_ && RoomShown()) StoreVisibleSheet();
}

void TakeoffSheets::ShowAddedRoom(int side, int position) {
  ++revision_;
  ClearSheet(side);
  room_label_[side] = tables_.room_names[side][static_cast<std::size_t>(position)];
  current_room_[side] = position;
  if (side == kInterior) places_count_ = "1";
}

void TakeoffSheets::RenameShownRoom(int side, int position,
                                    const std::string& name) {
  ++revision_;
  if (current_room_[side] == position && !room_label_[side].empty()) {
    room_label_[side] = name;
  }
}

void TakeoffSheets::ReloadRoom(int position) {
  room_label_[side_].clear();
  current_room_[side_] = -1;
  ShowRoom(position);
}

void TakeoffSheets::ForgetShownRoom(int side) {
  ++revision_;
  // The store's lines shift under the history's steps.
  if (history_ != nullptr) history_->Clear(side);
  room_label_[side].clear();
  current_room_[side] = -1;
}

void TakeoffSheets::ProjectReplaced(bool opening) {
  ++revision_;
  if (history_ != nullptr) {
    history_->Clear(kInterior);
    history_->Clear(kExterior);
  }
  for (int s = 0; s < 2; ++s) {
    ClearSheet(s);
    room_label_[s].clear();
    current_room_[s] = -1;
  }
  editor_visible_ = false;
  if (opening) {
    for (std::string& p : parameters_) p.clear();
    done_mark_ = false;
  }
}

void TakeoffSheets::ClearSheet(int side) {
  ++revision_;
  sheets_[side].ClearRange(1, 1, kSheetRows - 1, kSheetCols - 1);
}

void TakeoffSheets::StoreVisibleSheet() {
  ++revision_;
  const int s = side_;
  const int k = current_room_[s];
  if (k < 0 || k >= static_cast<int>(tables_.room_names[s].size()) ||
      k >= kMaxRooms[s]) {
    return;
  }
  if (s == kInterior && LeadingNumber(places_count_) == 0) places_count_ = "1";
  for (int i = 0; i < 3; ++i) {
    std::string& p = parameters_[s * 3 + i];
    if (LeadingNumber(p) == 0) p.clear();
  }
  const TextGrid& g = sheets_[s];
  RoomStore& store = tables_.stores[s];
  for (int r = 1; r <= kLinesPerRoom; ++r) {
    std::string line(kSheetTag[s]);
    line += ',';
    line += r == 1 ? std::string_view(tables_.room_names[s][k]) : kContinuationName;
    line += ',';
    for (int c = 1; c <= kLastStoredColumn; ++c) {
      line += g.At(r, c);
      line += ',';
    }
    switch (r) {
      case 1: line += s == kInterior ? places_count_ : std::string("1"); break;
      case 2: line += parameters_[s * 3]; break;
      case 3: line += parameters_[s * 3 + 1]; break;
      case 4: line += parameters_[s * 3 + 2]; break;
      case 5: line += done_mark_ ? "1" : "0"; break;
      default: line += "dm"; break;
    }
    line += ',';
    store.SetLine(kLinesPerRoom * k + r - 1, std::move(line));
  }
}

void TakeoffSheets::ShowRoom(std::optional<int> position) {
  ++revision_;
  if (!position) return;
  const int s = side_;
  if (*position < 0 || *position >= static_cast<int>(tables_.room_names[s].size())) {
    return;
  }
  if (RoomShown()) StoreVisibleSheet();
  ClearSheet(s);
  if (!shown_ || tables_.stores[s].empty()) return;
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
      case 1: if (s == kInterior) places_count_ = std::string(extra); break;
      case 2: parameters_[s * 3] = std::string(extra); break;
      case 3: parameters_[s * 3 + 1] = std::string(extra); break;
      case 4: parameters_[s * 3 + 2] = std::string(extra); break;
      case 5: done_mark_ = static_cast<long>(LeadingNumber(extra)) == 1; break;
      default: break;
    }
  }
  room_label_[s] = tables_.room_names[s][static_cast<std::size_t>(*position)];
  current_room_[s] = *position;
}

void TakeoffSheets::ShowRoomFromList(std::optional<int> position) {
  if (!position) return;
  ++revision_;
  ShowRoom(position);
  if (*position >= 0 &&
      *position < static_cast<int>(tables_.room_names[side_].size())) {
    current_room_[side_] = *position;
  }
  editor_visible_ = false;
}

void TakeoffSheets::RestoreDoneMarkOfShownRoom() {
  ++revision_;
  const int k = current_room_[side_];
  if (!RoomShown() || k < 0) return;
  const std::string& line = tables_.stores[side_].Line(kLinesPerRoom * k + 4);
  done_mark_ = static_cast<long>(LeadingNumber(FieldOf(line, 29))) == 1;
}

}  // namespace veltrano
