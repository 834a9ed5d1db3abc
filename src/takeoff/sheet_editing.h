#ifndef VELTRANO_TAKEOFF_SHEET_EDITING_H_
#define VELTRANO_TAKEOFF_SHEET_EDITING_H_

#include <string>
#include <string_view>

#include "port/dialogs.h"
#include "takeoff/sheets.h"

namespace veltrano {

// The editing buttons beside the sheet, Command1(2..7): "全選択", "削除",
// "コピー", "貼り付け", "行挿入" and "行削除" on the shown sheet and its
// selection, with the system clipboard in the grid's plain-text range
// format (cells separated by tabs, rows by carriage returns). Command1(0)
// is the rooms dialog (Rooms) and Command1(1) the item copy (ItemCopy).
class SheetEditing {
 public:
  SheetEditing(TakeoffSheets& sheets, Platform platform)
      : sheets_(sheets), platform_(platform) {}

  // "全選択": rows 1-50, columns 1-27.
  void SelectAll();
  // "削除": after its question, empties the selection and recalculates.
  void DeleteSelection();
  // "コピー": the selection's text onto the clipboard.
  void CopySelection();
  // "貼り付け": the clipboard's text into the sheet from the current cell,
  // the rows it reaches calculated; the clipboard keeps its text.
  void Paste();
  // "行挿入": a blank row above the subtotal row of the current cell.
  void InsertRow();
  // "行削除": the blank row above the subtotal row of the current cell.
  void DeleteRow();

 private:
  // False, after its message, while the item-copy panel is shown.
  bool RefusedWhileCopying();
  void ClipboardBusy();
  // Moves the cells of a part block one row: rows `from` to `to` go down
  // by one (down) or up by one, emptying the row left behind.
  void ShiftBlock(int part, int from, int to, bool down);

  TakeoffSheets& sheets_;
  Platform platform_;
};

}  // namespace veltrano

#endif  // VELTRANO_TAKEOFF_SHEET_EDITING_H_
