#include "takeoff/history.h"

#include <algorithm>

#include "calc/text_util.h"
#include "takeoff/sheet_layout.h"
#include "takeoff/sheets.h"

namespace veltrano {

void SheetHistory::Begin(std::string_view name, bool whole_side) {
  if (applying_ || depth_++ > 0) return;
  side_ = sheets_.side();
  name_.assign(name);
  whole_side_ = whole_side;
  room_ = sheets_.RoomShown() ? sheets_.current_room(side_) : -1;
  if (whole_side_) {
    if (sheets_.RoomShown()) sheets_.StoreVisibleSheet();
    before_store_ = tables_.stores[side_].lines();
  } else {
    before_sheet_ = sheets_.sheet(side_);
  }
}

void SheetHistory::End() {
  if (applying_ || depth_ == 0 || --depth_ > 0) return;
  Step step{name_, {}};
  if (whole_side_) {
    if (sheets_.RoomShown()) sheets_.StoreVisibleSheet();
    const std::vector<std::string>& after = tables_.stores[side_].lines();
    const std::size_t n = std::max(after.size(), before_store_.size());
    for (std::size_t i = 0; i < n; ++i) {
      const std::string& was = i < before_store_.size() ? before_store_[i] : std::string();
      const std::string& is = i < after.size() ? after[i] : std::string();
      if (was == is) continue;
      const int room = static_cast<int>(i) / kLinesPerRoom;
      const int row = static_cast<int>(i) % kLinesPerRoom + 1;
      const std::vector<std::string_view> a = SplitFields(was);
      const std::vector<std::string_view> b = SplitFields(is);
      auto field = [](const std::vector<std::string_view>& f, int at) {
        return static_cast<std::size_t>(at) < f.size() ? f[static_cast<std::size_t>(at)]
                                                      : std::string_view();
      };
      for (int c = 1; c <= kLastStoredColumn; ++c) {
        if (field(a, c + 1) != field(b, c + 1)) {
          step.changes.push_back(
              {room, row, c, std::string(field(a, c + 1)), std::string(field(b, c + 1))});
        }
      }
    }
    before_store_.clear();
    before_store_.shrink_to_fit();
  } else {
    // A sheet that shows no room, or an action that left for another room,
    // changed nothing that is kept.
    if (room_ < 0 || !sheets_.RoomShown() || sheets_.current_room(side_) != room_ ||
        sheets_.side() != side_) {
      return;
    }
    const TextGrid& after = sheets_.sheet(side_);
    for (int r = 1; r <= kItemRows; ++r) {
      for (int c = 1; c <= kLastStoredColumn; ++c) {
        if (before_sheet_.At(r, c) != after.At(r, c)) {
          step.changes.push_back({room_, r, c, before_sheet_.At(r, c), after.At(r, c)});
        }
      }
    }
  }
  if (step.changes.empty()) return;
  ++revision_;
  std::deque<Step>& undo = undo_[static_cast<std::size_t>(side_)];
  // Keystrokes typed into one item cell are one step.
  if (name_ == kTypingStep && !undo.empty() && undo.back().name == kTypingStep &&
      undo.back().changes.size() == 1 && step.changes.size() == 1 &&
      redo_[static_cast<std::size_t>(side_)].empty()) {
    CellChange& last = undo.back().changes.front();
    const CellChange& now = step.changes.front();
    if (last.room == now.room && last.row == now.row && last.col == now.col) {
      last.after = now.after;
      return;
    }
  }
  undo.push_back(std::move(step));
  if (undo.size() > kDepth) undo.pop_front();
  redo_[static_cast<std::size_t>(side_)].clear();
}

std::string SheetHistory::undo_name(int side) const {
  const std::deque<Step>& undo = undo_[static_cast<std::size_t>(side)];
  return undo.empty() ? std::string() : undo.back().name == kTypingStep ? "入力" : undo.back().name;
}

std::string SheetHistory::redo_name(int side) const {
  const std::vector<Step>& redo = redo_[static_cast<std::size_t>(side)];
  return redo.empty() ? std::string() : redo.back().name == kTypingStep ? "入力" : redo.back().name;
}

void SheetHistory::Apply(int side, const Step& step, bool forward) {
  applying_ = true;
  sheets_.HideEditor();
  // The shown room goes into the store, the store takes the texts, and the
  // room of the first change is shown from it.
  if (sheets_.RoomShown()) sheets_.StoreVisibleSheet();
  RoomStore& store = tables_.stores[side];
  // The changes of one line come together (they were taken line by line):
  // each line is split and joined once.
  std::size_t i = 0;
  while (i < step.changes.size()) {
    const int line = step.changes[i].room * kLinesPerRoom + step.changes[i].row - 1;
    std::size_t j = i;
    while (j < step.changes.size() &&
           step.changes[j].room * kLinesPerRoom + step.changes[j].row - 1 == line) {
      ++j;
    }
    if (line >= 0 && line < store.size()) {
      // The line anew: its fields as they are, but those the changes name
      // (in column order).
      const std::vector<std::string_view> fields = SplitFields(store.Line(line));
      std::string joined;
      joined.reserve(store.Line(line).size() + 16);
      std::size_t k = i;
      for (std::size_t f = 0; f < fields.size(); ++f) {
        if (f > 0) joined += ',';
        while (k < j && static_cast<std::size_t>(step.changes[k].col + 1) < f) ++k;
        if (k < j && static_cast<std::size_t>(step.changes[k].col + 1) == f) {
          joined += forward ? step.changes[k].after : step.changes[k].before;
        } else {
          joined += fields[f];
        }
      }
      store.SetLine(line, std::move(joined));
    }
    i = j;
  }
  const CellChange& first = step.changes.front();
  sheets_.ReloadRoom(first.room);
  sheets_.SetCurrentCell(first.row, first.col);
  applying_ = false;
}

bool SheetHistory::Undo(int side) {
  std::deque<Step>& undo = undo_[static_cast<std::size_t>(side)];
  if (undo.empty() || sheets_.side() != side || depth_ > 0) return false;
  ++revision_;
  Step step = std::move(undo.back());
  undo.pop_back();
  Apply(side, step, /*forward=*/false);
  redo_[static_cast<std::size_t>(side)].push_back(std::move(step));
  return true;
}

bool SheetHistory::Redo(int side) {
  std::vector<Step>& redo = redo_[static_cast<std::size_t>(side)];
  if (redo.empty() || sheets_.side() != side || depth_ > 0) return false;
  ++revision_;
  Step step = std::move(redo.back());
  redo.pop_back();
  Apply(side, step, /*forward=*/true);
  undo_[static_cast<std::size_t>(side)].push_back(std::move(step));
  return true;
}

void SheetHistory::Clear(int side) {
  if (applying_) return;
  ++revision_;
  undo_[static_cast<std::size_t>(side)].clear();
  redo_[static_cast<std::size_t>(side)].clear();
}

}  // namespace veltrano
