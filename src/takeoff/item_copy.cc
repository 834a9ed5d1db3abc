#include "takeoff/item_copy.h"

#include <algorithm>

#include "calc/text_util.h"
#include "takeoff/templates.h"

namespace veltrano {

namespace {

constexpr int kMaxCopiedItems = 10;

}  // namespace

ItemCopy::ItemCopy(const Project& tables, const Folders& folders,
                   TakeoffSheets& sheets, Platform platform)
    : tables_(tables), folders_(folders), sheets_(sheets), platform_(platform) {}

void ItemCopy::ToggleItemCopy() {
  ++revision_;
  sheets_.HideEditor();
  const int side = sheets_.side();
  if (!sheets_.RoomShown()) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  side == kInterior ? "編集する部屋が選択されていません。"
                                                    : "編集する場所が選択されていません。");
    return;
  }
  shown_ = !shown_;
  if (!shown_) return;
  first_caption_ = side == kInterior ? "他の部屋データ" : "他の場所データ";
  part_ = 0;
  FillChoices();
}

void ItemCopy::HideItemList() {
  ++revision_;
  shown_ = false;
}

void ItemCopy::FillChoices() {
  // The text that stood in the box is put back afterwards.
  if (source_ == kOtherRoom) {
    choices_ = tables_.rooms().names(sheets_.side());
  } else if (source_ == kRegistered) {
    std::string error;
    if (!TemplateNames(folders_, &choices_, &error)) {
      platform_.dialogs.ShowMessage(kTitleConfirm,
                                    TemplateFolderUnreadable(error),
                                    MessageIcon::kWarning);
    }
  }
}

void ItemCopy::ChooseSource(int source) {
  if (source < kOtherRoom || source > kRegistered) return;
  ++revision_;
  source_ = source;
  switch (source) {
    case kOtherRoom:
      header_ = "【複写元一覧】";
      FillChoices();
      break;
    case kAllEntered:
      LoadAllEntered();
      break;
    default:
      header_ = "【登録データ一覧】";
      FillChoices();
  }
}

void ItemCopy::ClearLists() {
  for (int k = 0; k < kParts; ++k) {
    lists_[static_cast<std::size_t>(k)].clear();
    selected_[static_cast<std::size_t>(k)].clear();
  }
}

void ItemCopy::AddMarkedItems(const RoomRow& row) {
  std::vector<std::string_view>& cells = row_cells_;
  row.Cells(&cells);
  const int held_cells = row.CellCount();
  for (int k = 0; k < kParts; ++k) {
    // The mark of the part, and its item in the column after it.
    const int mark = kMarkColumn[k];
    if (mark + 1 > held_cells || cells[static_cast<std::size_t>(mark)] != kItemMarker) continue;
    const std::string_view item = cells[static_cast<std::size_t>(mark) + 1];
    std::vector<std::string>& list = lists_[static_cast<std::size_t>(k)];
    const bool held = std::any_of(list.begin(), list.end(), [item](const std::string& s) {
      return EqualsIgnoreCase(s, item);
    });
    if (!held) {
      list.emplace_back(item);
      selected_[static_cast<std::size_t>(k)].push_back(false);
    }
  }
}

void ItemCopy::LoadRoom(int index) {
  ClearLists();
  const ProjectRooms& rooms = tables_.rooms();
  if (index < 0 || index >= rooms.count(sheets_.side())) return;
  const Room& room = rooms.room(sheets_.side(), index);
  for (int r = 1; r <= kItemRows; ++r) AddMarkedItems(room.row(r));
}

void ItemCopy::LoadAllEntered() {
  ++revision_;
  source_ = kAllEntered;
  ClearLists();
  header_busy_ = true;
  header_ = "読み込み中･･･";
  platform_.progress.ShowStatus(header_);
  const ProjectRooms& rooms = tables_.rooms();
  for (int i = 0; i < rooms.count(sheets_.side()); ++i) {
    const Room& room = rooms.room(sheets_.side(), i);
    for (int r = 1; r <= kItemRows; ++r) AddMarkedItems(room.row(r));
  }
  header_busy_ = false;
  header_ = "【入力済み全データ】";
  platform_.progress.ShowStatus("");
}

void ItemCopy::LoadTemplate(const std::string& name) {
  const std::string refusal = TemplateNameRefusal(name);
  if (!refusal.empty()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, refusal);
    return;
  }
  std::vector<TemplateRow> rows;
  std::string error;
  TemplateFileNotes notes;
  if (!ReadTemplateFile(TemplatePath(folders_, name), &rows, &error,
                        &notes)) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  "項目リストを読み込めませんでした。\n" + error,
                                  MessageIcon::kWarning);
    return;
  }
  if (const std::string notice = TemplateFileNotice(name, notes);
      !notice.empty()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, notice,
                                  MessageIcon::kInformation);
  }
  ClearLists();
  for (const TemplateRow& row : rows) {
    for (int k = 0; k < kParts; ++k) {
      const std::string& item = row[static_cast<std::size_t>(k)];
      if (item.empty()) continue;
      lists_[static_cast<std::size_t>(k)].push_back(item);
      selected_[static_cast<std::size_t>(k)].push_back(false);
    }
  }
}

void ItemCopy::ChooseEntry(std::string_view name) {
  ++revision_;
  choice_.assign(name);
  if (choice_.empty()) return;
  if (source_ == kOtherRoom) {
    const std::vector<std::string>& rooms = tables_.rooms().names(sheets_.side());
    const auto found = std::find(rooms.begin(), rooms.end(), choice_);
    // A typed name that is no room of the side reads nothing.
    if (found == rooms.end()) return;
    LoadRoom(static_cast<int>(found - rooms.begin()));
  } else if (source_ == kRegistered) {
    LoadTemplate(choice_);
  }
}

void ItemCopy::ChoosePart(int part) {
  if (part < 0 || part >= kParts) return;
  ++revision_;
  part_ = part;
}

void ItemCopy::SelectEntries(const std::vector<int>& positions) {
  ++revision_;
  std::vector<bool>& selected = selected_[static_cast<std::size_t>(part_)];
  std::fill(selected.begin(), selected.end(), false);
  for (int at : positions) {
    if (at >= 0 && at < static_cast<int>(selected.size())) {
      selected[static_cast<std::size_t>(at)] = true;
    }
  }
}

std::vector<std::string> ItemCopy::SelectedItems() const {
  std::vector<std::string> items;
  const auto k = static_cast<std::size_t>(part_);
  for (std::size_t i = 0; i < lists_[k].size(); ++i) {
    if (selected_[k][i]) items.push_back(lists_[k][i]);
  }
  return items;
}

void ItemCopy::CopyItems() {
  ++revision_;
  sheets_.HideEditor();
  HistoryStep step(sheets_.history(), "項目複写");
  if (!sheets_.RoomShown()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "部屋名が選択されていません。");
    return;
  }
  const int mark = kMarkColumn[part_];
  const int formula = kFormulaColumn[part_];
  const int value = ValueColumn(formula);
  const TextGrid& sheet = sheets_.sheet(sheets_.side());
  int used = 0;
  for (int r = 1; r <= kItemRows; ++r) {
    for (int c = mark; c <= value; ++c) {
      if (!sheet.At(r, c).empty()) used = r;
    }
  }
  const int start = used == 0 ? 1 : used + 2;
  const std::vector<std::string> items = SelectedItems();
  const int n = static_cast<int>(items.size());
  if (start + n > kItemRows) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "空欄がありません。");
    return;
  }
  if (n >= kMaxCopiedItems) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "1度に10項目以上は書き込めません。");
    return;
  }
  for (int j = 0; j < n; ++j) {
    sheets_.WriteCell(start + j, mark, kItemMarker);
    sheets_.WriteCell(start + j, mark + 1, items[static_cast<std::size_t>(j)]);
  }
  sheets_.SetFirstVisibleColumn(mark);
  sheets_.SetCurrentCell(start, formula);
  sheets_.ActivateCell(Activation::kLeftClick);
}

void ItemCopy::PlaceItemsAtRow(int row, int col) {
  const int part = PartOfColumn(col);
  if (part != part_ || row < 1) return;
  const int mark = kMarkColumn[part];
  if (col != mark && col != mark + 1) return;
  ++revision_;
  sheets_.WriteCell(row, mark, kItemMarker);
  const std::vector<std::string> items = SelectedItems();
  int placed = 0;
  for (const std::string& item : items) {
    const int r = row + placed;
    if (r > kItemRows) break;
    sheets_.WriteCell(r, mark, kItemMarker);
    sheets_.WriteCell(r, mark + 1, item);
    ++placed;
  }
  const int left_out = static_cast<int>(items.size()) - placed;
  if (left_out > 0) {
    platform_.dialogs.ShowMessage(
        kTitleConfirm, std::to_string(left_out) +
                           "項目は50行目を越えるため書き込めませんでした。");
  }
}

}  // namespace veltrano
