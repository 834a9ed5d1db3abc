#ifndef VELTRANO_TAKEOFF_ITEM_COPY_H_
#define VELTRANO_TAKEOFF_ITEM_COPY_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/folders.h"
#include "port/dialogs.h"
#include "project/project.h"
#include "takeoff/sheet_layout.h"
#include "takeoff/sheets.h"

namespace veltrano {

// The item copy panel Frame_List "【項目複写元データ】": item names of
// another room or place, of all entered data of the side, or of an
// item-list template, copied into the shown sheet by "実行" or placed at a
// clicked row.
class ItemCopy : public ItemPlacer {
 public:
  enum Source : int { kOtherRoom = 0, kAllEntered = 1, kRegistered = 2 };

  ItemCopy(const Project& tables, const Folders& folders,
           TakeoffSheets& sheets, Platform platform);

  std::uint64_t revision() const { return revision_; }
  int source() const { return source_; }
  // Captions of Bunrui(0) and the list header Label5; the header is red
  // while all entered data is being read.
  const std::string& first_source_caption() const { return first_caption_; }
  const std::string& header() const { return header_; }
  bool header_busy() const { return header_busy_; }
  // Combo1: shown for sources 0 and 2, with its entries and text.
  bool choice_shown() const { return source_ != kAllEntered; }
  const std::vector<std::string>& choices() const { return choices_; }
  const std::string& choice() const { return choice_; }
  // The part option CopyBui(0..4) and the source lists InputList(0..4) with
  // their selections.
  int part() const { return part_; }
  const std::vector<std::string>& source_list(int part) const {
    return lists_[static_cast<std::size_t>(part)];
  }
  const std::vector<bool>& selected(int part) const {
    return selected_[static_cast<std::size_t>(part)];
  }

  // "項目複写" (Command1(1)): shows or hides the panel; refused while no
  // room or place is shown.
  void ToggleItemCopy();
  // Bunrui(0..2).
  void ChooseSource(int source);
  // A choice in Combo1 (or a text typed into it): the room or template of
  // that name is read into the source lists.
  void ChooseEntry(std::string_view name);
  // "読込開始": all entered data of the side.
  void LoadAllEntered();
  // CopyBui(0..4).
  void ChoosePart(int part);
  // The selection of the source list of the chosen part: exactly these
  // entries.
  void SelectEntries(const std::vector<int>& positions);
  // "実行".
  void CopyItems();
  // "閉じる".
  void HideItemList() override;

  // ItemPlacer.
  bool item_list_shown() const override { return shown_; }
  void PlaceItemsAtRow(int row, int col) override;

 private:
  void FillChoices();
  void ClearLists();
  // Adds the marked items of a stored row to the source lists, each
  // list holding a name once without regard to case.
  void AddMarkedItems(const RoomRow& row);
  void LoadRoom(int index);
  void LoadTemplate(const std::string& name);
  std::vector<std::string> SelectedItems() const;

  const Project& tables_;
  const Folders& folders_;
  TakeoffSheets& sheets_;
  std::vector<std::string_view> row_cells_;  // the cells of the row being read
  Platform platform_;
  bool shown_ = false;
  int source_ = kOtherRoom;
  int part_ = 0;
  std::string first_caption_ = "他のデータ";
  std::string header_ = "【複写元一覧】";
  bool header_busy_ = false;
  std::vector<std::string> choices_;
  std::string choice_;
  std::array<std::vector<std::string>, kParts> lists_;
  std::array<std::vector<bool>, kParts> selected_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_ITEM_COPY_H_
