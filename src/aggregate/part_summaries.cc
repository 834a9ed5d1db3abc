#include "aggregate/part_summaries.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "aggregate/work_types.h"
#include "calc/number_text.h"
#include "calc/text_util.h"
#include "project/summary_tables.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

constexpr int kFirstRoomRow = kSummaryFirstRoomRow;
constexpr int kFirstItemColumn = kSummaryFirstItemColumn;
constexpr std::array<int, 2> kMemoryBase = {0, 10};

std::string Ordinal(int number) { return " " + std::to_string(number) + "     "; }

}  // namespace

std::uint64_t PartSummaries::revision() const {
  std::uint64_t sum = revision_;
  for (const SharedTable& t : tables_.interior_summaries()) sum += t.revision();
  for (const SharedTable& t : tables_.exterior_summaries()) sum += t.revision();
  return sum;
}

const TextGrid& PartSummaries::table(int side, int part) const {
  return side == kInterior ? tables_.interior_summaries()[part]
                           : tables_.exterior_summaries()[part];
}

SummaryTable PartSummaries::EditTable(int side, int part) {
  return SummaryTable(side == kInterior ? tables_.interior_summaries()[part]
                                        : tables_.exterior_summaries()[part]);
}

void PartSummaries::AggregateSide(int side, const std::vector<std::string>& names) {
  HistoryStep step(history_, "集計");
  if (side < 0 || side > 1) return;
  ++revision_;
  const int n = static_cast<int>(names.size());
  for (int p = 0; p < kParts; ++p) {
    SummaryTable t = EditTable(side, p);
    t.Resize(n + kFirstRoomRow, std::max(t.columns(), 3));
    for (int k = 0; k < n; ++k) t.SetRowName(k + kFirstRoomRow, names[k]);
    t.ClearFrom(kSummaryWorkTypeRow, kSummaryPlacesColumn);
    t.Resize(t.rows(), 3);
  }
  if (side == kInterior) {
    WorkTypeEstimate(tables_.interior_summaries()[kWorkTypeTable]).ClearRows();
  }

  platform_.progress.ShowProgress(n + 2);
  // Rooms by name (the first of a name) and rows by name, looked up for
  // every room rather than searched: a search is as long as the list.
  std::unordered_map<std::string, int> room_of_name;
  const std::vector<std::string>& rooms = tables_.rooms().names(side);
  for (std::size_t k = 0; k < rooms.size(); ++k) {
    room_of_name.emplace(rooms[k], static_cast<int>(k));
  }
  rows_of_name_.clear();
  for (int r = kFirstRoomRow; r < n + kFirstRoomRow; ++r) {
    rows_of_name_[table(side, 0).At(r, kSummaryNameColumn)].push_back(r);
  }
  struct ForgetRows {
    std::unordered_map<std::string, std::vector<int>>& rows;
    ~ForgetRows() { rows.clear(); }
  } forget_rows{rows_of_name_};
  for (int i = kFirstRoomRow; i < n + kFirstRoomRow; ++i) {
    const std::string& name = table(side, 0).At(i, kSummaryNameColumn);
    const auto found = room_of_name.find(name);
    caption_ = "現在　" + name + " を集計中";
    ++revision_;
    platform_.progress.SetProgress(i - 3);
    platform_.progress.ShowStatus(caption_);
    platform_.progress.ProcessPendingEvents();
    // A name that is not in the list has no room to take its data from.
    if (found == room_of_name.end()) continue;
    AccumulateRoom(side, found->second);
  }

  const TextGrid& memory = tables_.work_type_memory();
  for (int p = 0; p < kParts; ++p) {
    SummaryTable t = EditTable(side, p);
    WriteSummaryTotals(&t, digits_);
    RecallWorkTypes(&t, memory, kMemoryBase[side] + 2 * p);
  }
  platform_.progress.HideProgress();

  for (int p = 0; p < kParts; ++p) {
    SummaryTable t = EditTable(side, p);
    if (t.columns() > kFirstItemColumn) t.Resize(t.rows(), t.columns() - 1);
    for (int c = kFirstItemColumn; c < t.columns(); ++c) t.SetHeading(c, Ordinal(c - 1));
  }
  caption_.clear();
  ++revision_;
  platform_.progress.ShowStatus(caption_);
  platform_.dialogs.Beep();
  platform_.dialogs.ShowMessage(side == kInterior ? "内部集計" : "外部集計",
                                "終了しました。");
}

void PartSummaries::AccumulateRoom(int side, int room_index) {
  if (room_index < 0 || room_index >= tables_.rooms().count(side)) return;
  ++revision_;
  // The room's 50 rows, read in place (nothing changes the rooms
  // meanwhile).
  const Room& room = tables_.rooms().room(side, room_index);
  std::vector<std::vector<std::string_view>>& rows = room_rows_;
  room.CellsByRow(&rows);
  const std::string& name = room.name();
  const long places = room.PlacesCount();
  for (int p = 0; p < kParts; ++p) {
    AccumulatePart(side, p, rows, name, static_cast<int>(places));
  }
}

void PartSummaries::AccumulatePart(
    int side, int part, const std::vector<std::vector<std::string_view>>& rows,
    const std::string& name, int places) {
  SummaryTable t = EditTable(side, part);
  const std::string places_text = std::to_string(places);
  // The room's row: the last row of its name (names are unique with
  // letter case, so the comparison is exact).
  int room_row = -1;
  if (!rows_of_name_.empty()) {
    const auto rows_named = rows_of_name_.find(name);
    if (rows_named != rows_of_name_.end()) {
      for (int r : rows_named->second) {
        t.SetPlaces(r, places_text);
        room_row = r;
      }
    }
  } else {
    for (int r = kFirstRoomRow; r < t.rows(); ++r) {
      if (t.RowName(r) == name) {
        t.SetPlaces(r, places_text);
        room_row = r;
      }
    }
  }
  // A room whose stored name is in no row has nowhere to go.
  if (room_row < 0) return;

  const int f = kFormulaColumn[static_cast<std::size_t>(part)];
  const int mark = kMarkColumn[static_cast<std::size_t>(part)];
  const int item = ItemColumn(part);
  int block_start = 1;
  for (int r = 1; r <= kItemRows; ++r) {
    const std::vector<std::string_view>& row = rows[static_cast<std::size_t>(r)];
    if (!EqualsIgnoreCase(row[static_cast<std::size_t>(f)], kSubtotalMarker)) continue;
    const float v = ToSingle(LeadingNumber(row[static_cast<std::size_t>(ValueColumn(f))])) *
                    static_cast<float>(places);
    std::vector<std::string_view> marked;
    for (int b = block_start; b <= r; ++b) {
      const std::vector<std::string_view>& cells = rows[static_cast<std::size_t>(b)];
      const std::string_view item_name = cells[static_cast<std::size_t>(item)];
      // A marked row without an item name has no column to go to.
      if (EqualsIgnoreCase(cells[static_cast<std::size_t>(mark)], kItemMarker) &&
          !item_name.empty()) {
        marked.push_back(item_name);
      }
    }
    block_start = r + 1;
    for (const std::string_view item_name : marked) {
      int column = -1;
      for (int c = kFirstItemColumn; c < t.columns() && column < 0; ++c) {
        if (EqualsIgnoreCase(t.ItemName(c), item_name)) column = c;
      }
      if (column < 0) {
        for (int c = kFirstItemColumn; c < t.columns() && column < 0; ++c) {
          if (t.ItemName(c).empty()) column = c;
        }
        // An empty column always stays last.
        if (column < 0 || column == t.columns() - 1) t.Resize(t.rows(), t.columns() + 1);
        if (column < 0) column = t.columns() - 2;
      }
      const float old = ToSingle(LeadingNumber(t.Quantity(room_row, column)));
      t.SetQuantity(room_row, column, digits_.FormatCell(old + v));
      t.SetPlaces(room_row, places_text);
      t.SetItemName(column, item_name);
    }
  }
}

void PartSummaries::AssignWorkType(int side, int part, int row, int column,
                                   std::string_view work_type) {
  HistoryStep step(history_, "工種");
  if (side < 0 || side > 1 || part < 0 || part >= kParts) return;
  const TextGrid& t = table(side, part);
  if (row > kFirstRoomRow || column < kFirstItemColumn || column >= t.cols() ||
      t.At(kSummaryItemRow, column).empty() || work_type.empty()) {
    return;
  }
  ++revision_;
  EditTable(side, part).SetWorkType(column, work_type);
  RememberWorkTypes(&tables_);
}

}  // namespace veltrano
