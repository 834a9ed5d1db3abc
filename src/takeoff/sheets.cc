// The shown room of each side: stored into the project as a room and laid
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

namespace {

// What the boxes beside the sheet store: a count of places that is empty,
// zero or not a number is 1; such a parameter is empty.
std::string_view StoredPlacesCount(const std::string& typed) {
  return LeadingNumber(typed) == 0 ? std::string_view("1") : std::string_view(typed);
}
std::string_view StoredParameter(const std::string& typed) {
  return LeadingNumber(typed) == 0 ? std::string_view() : std::string_view(typed);
}

}  // namespace

TakeoffSheets::TakeoffSheets(Project& tables,
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
  HistoryStep step(history_, "チェック済");
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
  room_label_[side] = tables_.rooms().names(side)[static_cast<std::size_t>(position)];
  current_room_[side] = position;
  if (side == kInterior) places_count_.assign(1, '1');
  NoteShownAsStored(side);
}

void TakeoffSheets::RenameShownRoom(int side, int position,
                                    const std::string& name) {
  ++revision_;
  if (current_room_[side] == position && !room_label_[side].empty()) {
    room_label_[side] = name;
  }
}

void TakeoffSheets::ReloadRoom(int side, int position) {
  ForgetShownRoom(side);
  ClearSheet(side);
  if (position < 0 || position >= tables_.rooms().count(side)) return;
  // Either side's sheet is laid out, shown or not; the boxes the sides
  // share stay the shown side's.
  const std::string places_count = places_count_;
  const bool done_mark = done_mark_;
  LayOutRoom(side, position);
  if (side != side_) {
    places_count_ = places_count;
    done_mark_ = done_mark;
  }
}

void TakeoffSheets::ForgetShownRoom(int side) {
  ++revision_;
  room_label_[side].clear();
  current_room_[side] = -1;
  shown_as_stored_[side].reset();
}

void TakeoffSheets::ProjectReplaced(bool opening) {
  ++revision_;
  if (history_ != nullptr) history_->Clear();
  for (int s = 0; s < 2; ++s) {
    ClearSheet(s);
    room_label_[s].clear();
    current_room_[s] = -1;
    shown_as_stored_[s].reset();
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
  if (k < 0 || k >= tables_.rooms().count(s)) return;
  // The boxes show what is stored.
  if (s == kInterior) places_count_ = std::string(StoredPlacesCount(places_count_));
  for (int i = 0; i < 3; ++i) {
    std::string& p = parameters_[s * 3 + i];
    p = std::string(StoredParameter(p));
  }
  tables_.rooms().Store(s, k, BuildShownRoom());
  NoteShownAsStored(s);
}

namespace {

// A room in the form the sheet stores it: cells 1-27 of each row as
// `fill_row(r, &cells)` gives them, and the extra values written from the
// boxes (the count of places on an interior sheet, "1" on an exterior one).
template <typename FillRow>
Room SheetForm(const std::string& name, int side, const std::string& places_count,
               const std::string* parameters, bool done, FillRow fill_row) {
  const std::string_view places =
      side == kInterior ? StoredPlacesCount(places_count) : std::string_view("1");
  Room room(name);
  std::vector<std::string_view> cells(kLastStoredColumn + 1);
  for (int r = 1; r <= kItemRows; ++r) {
    fill_row(r, &cells);
    std::string_view extra;
    switch (r) {
      case 1: extra = places; break;
      case 2: case 3: case 4: extra = StoredParameter(parameters[r - 2]); break;
      case 5: extra = done ? "1" : "0"; break;
      default: extra = "dm"; break;
    }
    room.SetRow(r, RoomRow::FromCells(cells, extra));
  }
  return room;
}

}  // namespace

Room TakeoffSheets::BuildShownRoom() const {
  const int s = side_;
  const int k = current_room_[s];
  const TextGrid& g = sheets_[s];
  return SheetForm(tables_.rooms().names(s)[static_cast<std::size_t>(k)], s, places_count_,
                   &parameters_[static_cast<std::size_t>(s * 3)], done_mark_,
                   [&](int r, std::vector<std::string_view>* cells) {
                     for (int c = 1; c <= kLastStoredColumn; ++c) {
                       (*cells)[static_cast<std::size_t>(c)] = g.At(r, c);
                     }
                   });
}

Room TakeoffSheets::StoredRoomWithoutValues(int side, int position) const {
  // As laying the room out on the sheet, emptying its values and storing
  // the sheet would store it.
  const Room& room = tables_.rooms().room(side, position);
  const RoomConditions conditions = room.Conditions();
  return SheetForm(room.name(), side, conditions.places_count, conditions.parameters.data(),
                   conditions.done, [&](int r, std::vector<std::string_view>* cells) {
                     room.row(r).Cells(cells);
                     for (int f : kFormulaColumn) {
                       (*cells)[static_cast<std::size_t>(ValueColumn(f))] = {};
                     }
                   });
}

void TakeoffSheets::StoreShownRoomAsTyped() {
  const int s = side_;
  const int k = current_room_[s];
  if (k < 0 || k >= tables_.rooms().count(s)) return;
  // A sheet as it was shown or last stored has nothing to store: the room
  // keeps the form it has.
  if (shown_as_stored_[s] == MarkOfShown(s)) return;
  tables_.rooms().Store(s, k, BuildShownRoom());
  NoteShownAsStored(s);
}

bool TakeoffSheets::ShownRoomUnstored() const {
  const int k = current_room_[side_];
  return k >= 0 && k < tables_.rooms().count(side_) &&
         shown_as_stored_[side_] != MarkOfShown(side_);
}

std::optional<TakeoffSheets::UnstoredRoom> TakeoffSheets::UnstoredShownRoom() const {
  if (!ShownRoomUnstored()) return std::nullopt;
  return UnstoredRoom{side_, current_room_[side_], BuildShownRoom()};
}

std::uint64_t TakeoffSheets::ShownChangeMark() const {
  std::uint64_t mark = sheets_[0].change_mark() * 31 + sheets_[1].change_mark();
  std::hash<std::string> hash;
  for (const std::string& parameter : parameters_) mark = mark * 31 + hash(parameter);
  return (mark * 31 + hash(places_count_)) * 2 + (done_mark_ ? 1 : 0);
}

TakeoffSheets::ShownMark TakeoffSheets::MarkOfShown(int side) const {
  ShownMark mark;
  mark.sheet = sheets_[side].change_mark();
  if (side == kInterior) mark.places_count = places_count_;
  for (int i = 0; i < 3; ++i) {
    mark.parameters[static_cast<std::size_t>(i)] = parameters_[side * 3 + i];
  }
  mark.done = done_mark_;
  return mark;
}

void TakeoffSheets::NoteShownAsStored(int side) { shown_as_stored_[side] = MarkOfShown(side); }

void TakeoffSheets::ShowRoom(std::optional<int> position) {
  ++revision_;
  if (!position) return;
  const int s = side_;
  if (*position < 0 || *position >= tables_.rooms().count(s)) return;
  if (RoomShown()) StoreVisibleSheet();
  ClearSheet(s);
  LayOutRoom(s, *position);
}

void TakeoffSheets::LayOutRoom(int s, int position) {
  if (!shown_) return;
  TextGrid& g = sheets_[s];
  const Room& room = tables_.rooms().room(s, position);
  std::vector<std::string_view> cells;
  for (int r = 1; r <= kItemRows; ++r) {
    room.row(r).Cells(&cells);
    for (int c = 1; c <= kLastStoredColumn; ++c) g.Set(r, c, cells[static_cast<std::size_t>(c)]);
  }
  RoomConditions conditions = room.Conditions();
  if (s == kInterior) places_count_ = std::move(conditions.places_count);
  for (int i = 0; i < 3; ++i) {
    parameters_[s * 3 + i] = std::move(conditions.parameters[static_cast<std::size_t>(i)]);
  }
  done_mark_ = conditions.done;
  room_label_[s] = room.name();
  current_room_[s] = position;
  NoteShownAsStored(s);
}

void TakeoffSheets::ShowRoomFromList(std::optional<int> position) {
  if (!position) return;
  ++revision_;
  ShowRoom(position);
  if (*position >= 0 && *position < tables_.rooms().count(side_)) {
    current_room_[side_] = *position;
  }
  editor_visible_ = false;
}

void TakeoffSheets::RestoreDoneMarkOfShownRoom() {
  ++revision_;
  const int k = current_room_[side_];
  if (!RoomShown() || k < 0) return;
  if (k >= tables_.rooms().count(side_)) return;
  done_mark_ = tables_.rooms().room(side_, k).Conditions().done;
}

}  // namespace veltrano
