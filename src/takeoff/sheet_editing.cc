#include "takeoff/sheet_editing.h"

#include <algorithm>
#include <string>
#include <vector>

#include "calc/text_util.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

constexpr std::string_view kCopyingRefusal = "項目複写の状態ではこの作業はできません。";

bool IsFormulaColumn(int col) {
  return std::find(kFormulaColumn.begin(), kFormulaColumn.end(), col) !=
         kFormulaColumn.end();
}

// The rows of a pasted text and the fields of each. Rows end at CR LF, CR
// or LF; a line end at the very end adds no row.
std::vector<std::vector<std::string>> PastedRows(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> fields(1);
  bool row_open = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      rows.push_back(std::move(fields));
      fields.assign(1, std::string());
      row_open = false;
    } else if (c == '\t') {
      fields.emplace_back();
      row_open = true;
    } else {
      fields.back() += c;
      row_open = true;
    }
  }
  if (row_open) rows.push_back(std::move(fields));
  return rows;
}

}  // namespace

bool SheetEditing::RefusedWhileCopying() {
  if (!sheets_.item_list_shown()) return false;
  platform_.dialogs.ShowMessage(kTitleConfirm, kCopyingRefusal);
  return true;
}

void SheetEditing::ClipboardBusy() {
  platform_.dialogs.ShowMessage(
      kTitleCheck,
      "他のアプリケーションがクリップボードを使用しているため、コピーできません。\n"
      "他のアプリケーションを終了するか、クリップボードを開放してください。",
      MessageIcon::kWarning);
}

void SheetEditing::SelectAll() {
  sheets_.HideEditor();
  if (RefusedWhileCopying()) return;
  sheets_.SelectRange(1, 1, kItemRows, kLastStoredColumn);
}

void SheetEditing::DeleteSelection() {
  sheets_.HideEditor();
  HistoryStep step(sheets_.history(), "削除");
  // A sheet that shows no room belongs to nothing that could be stored.
  if (!sheets_.RoomShown()) return;
  if (platform_.dialogs.Ask(kTitleConfirm, "選択位置（範囲）を削除します。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  const CellRange range = sheets_.selection();
  for (int r = range.top; r <= range.bottom; ++r) {
    for (int c = range.left; c <= range.right; ++c) sheets_.WriteCell(r, c, "");
  }
  sheets_.SetCurrentCell(1, 1);
  sheets_.RecalculateSheet();
}

void SheetEditing::CopySelection() {
  sheets_.HideEditor();
  if (RefusedWhileCopying()) return;
  const TextGrid& sheet = sheets_.sheet(sheets_.side());
  const CellRange range = sheets_.selection();
  if (!platform_.clipboard.Clear() ||
      !platform_.clipboard.PutText(
          RangeText(sheet, range.top, range.left, range.bottom, range.right, "\r"),
          RangeText(sheet, range.top, range.left, range.bottom, range.right, "\r\n"))) {
    ClipboardBusy();
  }
}

void SheetEditing::Paste() {
  sheets_.HideEditor();
  HistoryStep step(sheets_.history(), "貼り付け");
  if (RefusedWhileCopying()) return;
  if (!sheets_.RoomShown()) return;
  const std::optional<std::string> text = platform_.clipboard.Text();
  if (!text) {
    ClipboardBusy();
    return;
  }
  const int top = sheets_.current_row();
  const int left = sheets_.current_col();
  if (top < 1 || left < 1) return;
  // The text as it will stand in the cells from the current cell to row
  // 50, column 27; what lies beyond is dropped. A text the project file
  // could not hold refuses the whole paste.
  struct Cell {
    int row;
    int col;
    std::string text;
  };
  std::vector<Cell> cells;
  const std::vector<std::vector<std::string>> rows = PastedRows(*text);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int r = top + static_cast<int>(i);
    if (r > kItemRows) break;
    for (std::size_t j = 0; j < rows[i].size(); ++j) {
      const int c = left + static_cast<int>(j);
      if (c > kLastStoredColumn) break;
      std::string field = FoldToCodePageLookalikes(rows[i][j]);
      const std::string refusal = RecordTextRefusal(field);
      if (!refusal.empty()) {
        platform_.dialogs.ShowMessage(kTitleInputCheck, refusal);
        return;
      }
      cells.push_back(Cell{r, c, std::move(field)});
    }
  }
  CellRange written{top, left, top, left};
  for (const Cell& cell : cells) {
    sheets_.WriteCell(cell.row, cell.col, cell.text);
    written.bottom = std::max(written.bottom, cell.row);
    written.right = std::max(written.right, cell.col);
  }
  sheets_.SetCurrentCell(top, left);
  // The pasted rows are calculated as typed rows are, so that no value
  // stands against its formula. The clipboard is left as it was: its text
  // may belong to another program, and may be pasted again.
  if (!cells.empty()) sheets_.RecalculateRows(written);
}

void SheetEditing::ShiftBlock(int part, int from, int to, bool down) {
  const TextGrid& sheet = sheets_.sheet(sheets_.side());
  const int first = kMarkColumn[part];
  const int last = ValueColumn(kFormulaColumn[part]);
  if (down) {
    for (int r = to; r >= from; --r) {
      for (int c = first; c <= last; ++c) {
        sheets_.WriteCell(r + 1, c, std::string(sheet.At(r, c)));
      }
    }
    for (int c = first; c <= last; ++c) sheets_.WriteCell(from, c, "");
  } else {
    for (int r = from; r <= to; ++r) {
      for (int c = first; c <= last; ++c) {
        sheets_.WriteCell(r - 1, c, std::string(sheet.At(r, c)));
      }
    }
    for (int c = first; c <= last; ++c) sheets_.WriteCell(to, c, "");
  }
}

void SheetEditing::InsertRow() {
  sheets_.HideEditor();
  HistoryStep step(sheets_.history(), "行挿入");
  if (RefusedWhileCopying()) return;
  if (!sheets_.RoomShown()) return;
  const TextGrid& sheet = sheets_.sheet(sheets_.side());
  const int row = sheets_.current_row();
  const int col = sheets_.current_col();
  if (row < 1 || !IsFormulaColumn(col) || sheet.At(row, col) != kSubtotalMarker) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  "行を挿入するためには、小計欄を\n選択してください。\n"
                                  "その上部に行が挿入されます。");
    return;
  }
  const int part = PartOfColumn(col);
  const int first = kMarkColumn[part];
  const int last_col = ValueColumn(col);
  int last = row;
  for (int r = row; r <= kItemRows; ++r) {
    for (int c = first; c <= last_col; ++c) {
      if (!sheet.At(r, c).empty()) last = r;
    }
  }
  if (last == kItemRows) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  "最下部に空白が無いので行挿入できません。");
    return;
  }
  ShiftBlock(part, row, last, /*down=*/true);
  sheets_.SetCurrentCell(row + 1, col);
}

void SheetEditing::DeleteRow() {
  sheets_.HideEditor();
  HistoryStep step(sheets_.history(), "行削除");
  if (RefusedWhileCopying()) return;
  if (!sheets_.RoomShown()) return;
  const TextGrid& sheet = sheets_.sheet(sheets_.side());
  const int row = sheets_.current_row();
  const int col = sheets_.current_col();
  if (row <= 1) return;
  if (!IsFormulaColumn(col) || sheet.At(row, col) != kSubtotalMarker) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  "行を削除するには、小計欄を選択してください。\n"
                                  "その上部行が削除され下部が移動します。");
    return;
  }
  const int part = PartOfColumn(col);
  for (int c = kMarkColumn[part]; c <= ValueColumn(col); ++c) {
    if (!sheet.At(row - 1, c).empty()) {
      platform_.dialogs.ShowMessage(kTitleConfirm,
                                    "小計の上の行が空白でなければ削除されません。");
      return;
    }
  }
  ShiftBlock(part, row, kItemRows, /*down=*/false);
  sheets_.SetCurrentCell(row - 1, col);
}

}  // namespace veltrano
