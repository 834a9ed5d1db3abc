// Typing into a takeoff sheet: opening cells, the editor's keys, computing a
// row from its formula, deduction and fitting codes, subtotal rows, and the
// commands that recalculate or clear whole sides.
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/formula.h"
#include "calc/number_text.h"
#include "calc/text_util.h"
#include "takeoff/sheets.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

constexpr std::string_view kInputCheckTitle = kTitleInputCheck;
constexpr std::string_view kMsgNested =
    "括弧は二重に使用できません。入力を取り消します。";
constexpr std::string_view kMsgUnknownFitting =
    "入力された建具符号は登録されていません。";
constexpr std::array<std::string_view, 3> kParamLetters = {"A", "S", "L"};
constexpr std::array<std::string_view, 3> kMsgParam = {
    "Aの値が入力されていません。または不正です。",
    "Sの値が入力されていません。または不正です。",
    "Lの値が入力されていません。または不正です。"};

bool ContainsLetter(std::string_view text, char upper) {
  const char lower = static_cast<char>(upper - 'A' + 'a');
  return text.find(upper) != std::string_view::npos ||
         text.find(lower) != std::string_view::npos;
}

// A parameter that is used in a formula must be a plain number above 0.
bool ParameterUsable(std::string_view text) {
  return IsPlainUnsignedNumber(text) && LeadingNumber(text) != 0;
}

std::string FlipSign(const std::string& value) {
  if (!value.empty() && value.front() == '-') return value.substr(1);
  return "-" + value;
}

// The sum of subtotal rows written with at most four decimals, rounded.
std::string FourDecimalText(double value) {
  std::string text = TrimFraction(RoundDecimalText(
      PlainMagnitude(value, 15), 4, RoundMode::kHalfAwayFromZero));
  if (value < 0 && text != "0") text.insert(text.begin(), '-');
  return text;
}

}  // namespace

// Problems met while many rows are calculated at once: each becomes one line
// of a single message at the end.
struct TakeoffSheets::BatchProblems {
  std::string place;  // the room or place being calculated
  std::vector<std::string> lines;
};

FormulaParams TakeoffSheets::ParamsOfSide(int side) const {
  const int base = side * 3;
  return FormulaParams{parameters_[base], parameters_[base + 1], parameters_[base + 2]};
}

std::string TakeoffSheets::CheckRecordText(std::string_view typed) {
  std::string text = FoldToCodePageLookalikes(typed);
  const std::string refusal = RecordTextRefusal(text);
  if (refusal.empty()) return text;
  platform_.dialogs.ShowMessage(kInputCheckTitle, refusal);
  return "";
}

bool TakeoffSheets::CheckNumberText(std::string_view typed, std::string* box) {
  std::string text = FoldToCodePageLookalikes(typed);
  bool empties = true;
  const std::string refusal =
      NumberBoxRefusal(text, NumberBox::kUnsigned, &empties);
  if (refusal.empty()) {
    *box = std::move(text);
    return true;
  }
  platform_.dialogs.ShowMessage(kInputCheckTitle, refusal);
  if (empties) box->clear();
  return false;
}

bool TakeoffSheets::SetParameter(int index, std::string_view text) {
  ++revision_;
  if (index < 0 || index >= 6) return false;
  // The keystrokes into one box of one room are one step.
  HistoryStep step(history_, "代数",
                   "代数 " + std::to_string(index) + " " + std::to_string(current_room_[side_]));
  return CheckNumberText(text, &parameters_[index]);
}

bool TakeoffSheets::SetPlacesBox(std::string_view text) {
  ++revision_;
  HistoryStep step(history_, "ヶ所", "ヶ所 " + std::to_string(current_room_[side_]));
  return CheckNumberText(text, &places_count_);
}

void TakeoffSheets::SetCurrentCell(int row, int col) {
  ++revision_;
  if (row < 0 || row >= kSheetRows || col < 0 || col >= kSheetCols) return;
  // The editor belongs to the cell it was opened on: moving away closes it,
  // so that Enter never writes its text into another cell.
  if (cursor_[side_].row != row || cursor_[side_].col != col) {
    editor_visible_ = false;
  }
  cursor_[side_] = Cursor{row, col, row, col};
}

std::string_view TakeoffSheets::StepNameOfClick(int col) const {
  if (item_list_shown()) return "項目複写";
  switch (KindOfColumn(col)) {
    case ColumnKind::kMark:
      return "○";
    case ColumnKind::kDeduction:
      return "▲";
    case ColumnKind::kValue:
      return "小計";
    default:
      return "入力";
  }
}

CellRange TakeoffSheets::selection() const {
  const Cursor& c = cursor_[side_];
  return CellRange{std::min(c.row, c.end_row), std::min(c.col, c.end_col),
                   std::max(c.row, c.end_row), std::max(c.col, c.end_col)};
}

void TakeoffSheets::SelectRange(int row, int col, int row2, int col2) {
  SetCurrentCell(row, col);
  ExtendSelection(row2, col2);
}

void TakeoffSheets::ExtendSelection(int row2, int col2) {
  if (row2 < 0 || row2 >= kSheetRows || col2 < 0 || col2 >= kSheetCols) return;
  ++revision_;
  cursor_[side_].end_row = row2;
  cursor_[side_].end_col = col2;
}

void TakeoffSheets::WriteCell(int row, int col, std::string_view text) {
  if (row < 0 || row >= kSheetRows || col < 0 || col >= kSheetCols) return;
  ++revision_;
  shown_sheet().Set(row, col, text);
}

void TakeoffSheets::ClickSheet(int row, int col, bool right_button, bool range) {
  ++revision_;
  if (!shown_ || !RoomShown()) return;
  if (row < 1 || row > kItemRows || col < 1 || col >= kSheetCols) return;
  HistoryStep step(history_, StepNameOfClick(col));
  SetCurrentCell(row, col);
  if (right_button) {
    ActivateCell(Activation::kRightClick);
  } else if (!range) {
    ActivateCell(Activation::kLeftClick);
  }
}

void TakeoffSheets::OpenEditorOnCurrentCell(bool select_text) {
  const Cursor c = cursor_[side_];
  const ColumnKind kind = KindOfColumn(c.col);
  if (kind != ColumnKind::kItem && kind != ColumnKind::kFormula &&
      kind != ColumnKind::kFittings) {
    return;
  }
  const std::string& text = shown_sheet().At(c.row, c.col);
  if (text == kSubtotalMarker) return;
  editor_text_ = text;
  editor_opened_with_ = text;
  editor_visible_ = true;
  editor_ime_ = kind == ColumnKind::kItem;
  editor_selected_ = select_text;
  ++editor_opening_;
}

void TakeoffSheets::ActivateCell(Activation how) {
  ++revision_;
  TextGrid& g = shown_sheet();
  Cursor& cur = cursor_[side_];
  const ColumnKind kind = KindOfColumn(cur.col);
  const int part = PartOfColumn(cur.col);

  // With the item list shown, a cell holding the mark is emptied and
  // nothing else happens; any other activated cell first places the
  // chosen items.
  if (item_list_shown() && cur.row >= 1) {
    if (g.At(cur.row, cur.col) == kItemMarker) {
      g.Set(cur.row, cur.col, "");
      return;
    }
    placer_->PlaceItemsAtRow(cur.row, cur.col);
  }

  if (how == Activation::kItemCommitted || how == Activation::kMoveUp ||
      how == Activation::kMoveDown) {
    if (kind != ColumnKind::kItem && kind != ColumnKind::kFormula &&
        kind != ColumnKind::kFittings) {
      return;
    }
    if (how == Activation::kItemCommitted) {
      if (cur.col + 1 < kSheetCols) ++cur.col;
    } else if (how == Activation::kMoveUp) {
      if (cur.row > 1) --cur.row;
    } else {
      if (cur.row < kItemRows) ++cur.row;
    }
    cur.end_row = cur.row;
    cur.end_col = cur.col;
    editor_visible_ = false;
    OpenEditorOnCurrentCell(/*select_text=*/true);
    return;
  }

  if (part < 0 || cur.row < 1) return;
  const int f = kFormulaColumn[part];
  const bool subtotal_row = g.At(cur.row, f) == kSubtotalMarker;

  switch (kind) {
    case ColumnKind::kMark:
      if (subtotal_row) return;
      if (item_list_shown() && how == Activation::kLeftClick) {
        g.Set(cur.row, cur.col, kItemMarker);
      } else if (how == Activation::kRightClick &&
                 g.At(cur.row, cur.col) != kItemMarker) {
        g.Set(cur.row, cur.col, kItemMarker);
        cur.col = ItemColumn(part);
        cur.end_row = cur.row;
        cur.end_col = cur.col;
        OpenEditorOnCurrentCell(/*select_text=*/true);
      }
      return;
    case ColumnKind::kItem:
    case ColumnKind::kFormula:
    case ColumnKind::kFittings:
      editor_visible_ = false;
      OpenEditorOnCurrentCell(/*select_text=*/true);
      return;
    case ColumnKind::kDeduction:
      if (subtotal_row) return;
      g.Set(cur.row, cur.col,
            g.At(cur.row, cur.col) == kDeductionMarker ? "" : kDeductionMarker);
      CalculateRow(cur.row, f);
      return;
    case ColumnKind::kValue: {
      const std::string& formula = g.At(cur.row, f);
      // A row whose formula has no value yet (after "値削除") is calculated,
      // never turned into a subtotal row, which would lose its formula.
      if (subtotal_row ||
          (g.At(cur.row, cur.col).empty() && formula.empty())) {
        ToggleSubtotal(cur.row, cur.col);
      } else {
        CalculateRow(cur.row, f);
      }
      return;
    }
    case ColumnKind::kNone:
      return;
  }
}

std::string TakeoffSheets::TypingKey() const {
  const Cursor& c = cursor_[side_];
  return "keys " + std::to_string(side_) + " " + std::to_string(current_room_[side_]) + " " +
         std::to_string(c.row) + " " + std::to_string(c.col);
}

void TakeoffSheets::EditorTextChanged(std::string_view typed) {
  ++revision_;
  if (!editor_visible_) return;
  HistoryStep step(history_, "入力", TypingKey());
  if (!SheetEditable()) {
    editor_visible_ = false;
    return;
  }
  editor_text_ = CheckRecordText(typed);
  const Cursor c = cursor_[side_];
  if (KindOfColumn(c.col) == ColumnKind::kItem) {
    shown_sheet().Set(c.row, c.col, editor_text_);
  }
}

void TakeoffSheets::EditorKeyPressed(EditorKey key) {
  ++revision_;
  if (!editor_visible_) return;
  HistoryStep step(history_, "入力");
  // An editor left over a sheet that belongs to no room writes nothing.
  if (!SheetEditable()) {
    editor_visible_ = false;
    return;
  }
  const Cursor c = cursor_[side_];
  const ColumnKind kind = KindOfColumn(c.col);
  if (key == EditorKey::kEscape) {
    // Item text was written keystroke by keystroke: put back what the
    // cell held when the editor opened.
    if (kind == ColumnKind::kItem) {
      shown_sheet().Set(c.row, c.col, editor_opened_with_);
    }
    editor_visible_ = false;
    return;
  }
  shown_sheet().Set(c.row, c.col, editor_text_);
  if (key == EditorKey::kEnter || key == EditorKey::kTab) {
    if (kind == ColumnKind::kFormula) {
      CalculateRow(c.row, c.col);
      ActivateCell(Activation::kMoveDown);
    } else if (kind == ColumnKind::kFittings) {
      EnterFittingCode(c.row, c.col);
      ActivateCell(Activation::kMoveDown);
    } else if (kind == ColumnKind::kItem) {
      ActivateCell(Activation::kItemCommitted);
    }
    return;
  }
  if (kind == ColumnKind::kFormula) CalculateRow(c.row, c.col);
  ActivateCell(key == EditorKey::kUp ? Activation::kMoveUp
                                     : Activation::kMoveDown);
}

void TakeoffSheets::CommitEditor() {
  ++revision_;
  if (!editor_visible_) return;
  HistoryStep step(history_, "入力");
  editor_visible_ = false;
  if (!SheetEditable()) return;
  const Cursor c = cursor_[side_];
  const ColumnKind kind = KindOfColumn(c.col);
  // Text the user has not changed is in the cell already; calculating it
  // again could only bring up messages about a row nobody touched.
  if (editor_text_ == editor_opened_with_ &&
      shown_sheet().At(c.row, c.col) == editor_text_) {
    return;
  }
  shown_sheet().Set(c.row, c.col, editor_text_);
  if (kind == ColumnKind::kFormula) {
    CalculateRow(c.row, c.col);
  } else if (kind == ColumnKind::kFittings) {
    EnterFittingCode(c.row, c.col);
  }
}

void TakeoffSheets::EditCurrentCell() {
  ++revision_;
  if (editor_visible_ || !SheetEditable()) return;
  const Cursor c = cursor_[side_];
  if (c.row < 1 || c.row > kItemRows) return;
  OpenEditorOnCurrentCell(/*select_text=*/false);
}

void TakeoffSheets::TypeIntoCurrentCell(std::string_view text) {
  ++revision_;
  if (editor_visible_ || !SheetEditable()) return;
  HistoryStep step(history_, "入力", TypingKey());
  const Cursor c = cursor_[side_];
  if (c.row < 1 || c.row > kItemRows) return;
  OpenEditorOnCurrentCell(/*select_text=*/false);
  if (editor_visible_) EditorTextChanged(text);
}

void TakeoffSheets::CalculateRow(int row, int formula_col) {
  ++revision_;
  CalculateRowImpl(row, formula_col, nullptr, /*update_below=*/true);
}

void TakeoffSheets::CalculateRowImpl(int row, int formula_col,
                                 BatchProblems* batch, bool update_below) {
  TextGrid& g = shown_sheet();
  const int f = formula_col;
  const std::string formula = g.At(row, f);
  const FormulaParams params = ParamsOfSide(side_);
  auto note = [&](std::string_view reason) {
    batch->lines.push_back(batch->place + "　" +
                           std::string(kPartNames[PartOfColumn(f)]) + " " +
                           std::to_string(row) + "行目「" + formula + "」：" +
                           std::string(reason));
  };

  for (int k = 0; k < 3; ++k) {
    const std::string& value = k == 0 ? params.a : k == 1 ? params.s : params.l;
    if (ContainsLetter(formula, kParamLetters[k][0]) && !ParameterUsable(value)) {
      if (batch != nullptr) {
        note(kMsgParam[k]);
        g.Set(row, ValueColumn(f), "?");
        return;
      }
      platform_.dialogs.ShowMessage(kInputCheckTitle, kMsgParam[k]);
      editor_text_.clear();
      g.Set(row, f, "");
      return;
    }
  }
  if (formula.empty()) {
    g.Set(row, ValueColumn(f), "");
    g.Set(row, DeductionColumn(f), "");
    if (update_below) UpdateSubtotalBelow(row, f);
    return;
  }
  std::string result;
  if (batch != nullptr) {
    CollectingDialogs collected;
    result = EvaluateFormula(formula, digits_.q(), params, collected);
    for (const CollectingDialogs::Message& m : collected.messages) note(m.text);
  } else {
    result = EvaluateFormula(formula, digits_.q(), params, platform_.dialogs);
  }
  if (result == kFormulaNested) {
    if (batch != nullptr) {
      note("括弧は二重に使用できません。");
      g.Set(row, ValueColumn(f), "?");
      return;
    }
    platform_.dialogs.ShowMessage(kFormulaCheckTitle, kMsgNested);
    g.Set(row, f, "");
    return;
  }
  if (g.At(row, DeductionColumn(f)) == kDeductionMarker) {
    result = FlipSign(result);
  }
  g.Set(row, ValueColumn(f), result);
  if (update_below) UpdateSubtotalBelow(row, f);
}

void TakeoffSheets::UpdateSubtotalBelow(int row, int formula_col) {
  ++revision_;
  TextGrid& g = shown_sheet();
  for (int r = std::max(row, 1); r <= kItemRows; ++r) {
    if (g.At(r, formula_col) == kSubtotalMarker) {
      g.Set(r, ValueColumn(formula_col), SubtotalAt(r, ValueColumn(formula_col)));
      return;
    }
  }
}

namespace {

// The first row of the group a subtotal row at `row` closes: the row after
// the previous subtotal row of the block, or row 1.
int SubtotalGroupStart(const TextGrid& g, int row, int formula_col) {
  for (int r = row - 1; r >= 1; --r) {
    if (g.At(r, formula_col) == kSubtotalMarker) return r + 1;
  }
  return 1;
}

}  // namespace

std::string TakeoffSheets::SubtotalAt(int row, int value_col) {
  const TextGrid& g = shown_sheet();
  double sum = 0;
  for (int r = SubtotalGroupStart(g, row, value_col - 2); r < row; ++r) {
    sum += LeadingNumber(g.At(r, value_col));
  }
  return EvaluateFormula(FourDecimalText(sum), digits_.q(), FormulaParams{},
                         platform_.dialogs);
}

// The subtotal of a recalculation: the rows since the previous subtotal
// row, summed exactly in decimal.
std::string TakeoffSheets::SubtotalSumAbove(int row, int value_col) {
  const TextGrid& g = shown_sheet();
  DecimalSum sum;
  for (int r = SubtotalGroupStart(g, row, value_col - 2); r < row; ++r) {
    sum.Add(g.At(r, value_col));
  }
  return EvaluateFormula(sum.Text(), digits_.q(), FormulaParams{},
                         platform_.dialogs);
}

void TakeoffSheets::ToggleSubtotal(int row, int value_col) {
  ++revision_;
  TextGrid& g = shown_sheet();
  const int f = value_col - 2;
  if (g.At(row, f) == kSubtotalMarker) {
    g.Set(row, f, "");
    g.Set(row, value_col, "");
    RecalculateSheet();
    return;
  }
  if (!g.At(row, value_col).empty()) return;
  const std::string s = SubtotalAt(row, value_col);
  if (LeadingNumber(s) == 0) {
    RecalculateSheet();
    return;
  }
  g.Set(row, value_col, s);
  g.Set(row, f, kSubtotalMarker);
  RecalculateSheet();
}

void TakeoffSheets::EnterFittingCode(int row, int column) {
  ++revision_;
  const std::string entry = editor_text_;
  if (entry.empty()) return;
  const std::size_t star = entry.find('*');
  const std::string code = entry.substr(0, star);
  const std::optional<FittingEntry> found = register_.Lookup(code);
  TextGrid& g = shown_sheet();
  if (!found) {
    platform_.dialogs.ShowMessage(kFormulaCheckTitle, kMsgUnknownFitting);
    editor_text_.clear();
    g.Set(row, column, "");
    return;
  }
  const float w = ToSingle(LeadingNumber(found->w)) / 1000.0f;
  const float h = ToSingle(LeadingNumber(found->h)) / 1000.0f;
  const FormulaParams none;
  std::string formula =
      EvaluateFormula(ShortestText(w), digits_.q(), none, platform_.dialogs);
  if (column == kFormulaColumn[2] - 1) {
    formula += "*";
    formula += EvaluateFormula(ShortestText(h), digits_.q(), none,
                               platform_.dialogs);
  }
  if (star != std::string::npos) {
    formula += "*";
    formula += entry.substr(star + 1);
  }
  g.Set(row, column + 1, formula);
  g.Set(row, column + 2, kDeductionMarker);
  CalculateRow(row, column + 1);
}

// Every item row and subtotal row of the shown sheet, top to bottom. A
// subtotal row is reached after every row it sums, so the subtotal below a
// calculated row need not be updated on the way.
void TakeoffSheets::RecalculateShownSheet(BatchProblems* batch) {
  TextGrid& g = shown_sheet();
  for (int r = 1; r <= kItemRows; ++r) {
    for (int p = 0; p < kParts; ++p) {
      const int f = kFormulaColumn[p];
      const std::string& formula = g.At(r, f);
      if (formula.empty()) continue;
      if (formula == kSubtotalMarker) {
        g.Set(r, ValueColumn(f), SubtotalSumAbove(r, ValueColumn(f)));
      } else {
        CalculateRowImpl(r, f, batch, /*update_below=*/false);
      }
    }
  }
}

void TakeoffSheets::ReportBatchProblems(const BatchProblems& batch) {
  if (batch.lines.empty()) return;
  constexpr std::size_t kShown = 20;
  std::string text =
      "次の計算式は計算できませんでした。計算式はそのまま残しています。";
  for (std::size_t i = 0; i < batch.lines.size() && i < kShown; ++i) {
    text += "\n" + batch.lines[i];
  }
  if (batch.lines.size() > kShown) {
    text += "\nほか " + std::to_string(batch.lines.size() - kShown) + " 件";
  }
  platform_.dialogs.ShowMessage(kFormulaCheckTitle, text);
}

void TakeoffSheets::RecalculateSheet() {
  ++revision_;
  RecalculateShownSheet(nullptr);
}

void TakeoffSheets::RecalculateRows(const CellRange& range) {
  ++revision_;
  TextGrid& g = shown_sheet();
  const int top = std::max(range.top, 1);
  const int bottom = std::min(range.bottom, kItemRows);
  BatchProblems batch;
  batch.place = room_label_[side_];
  for (int p = 0; p < kParts; ++p) {
    const int f = kFormulaColumn[p];
    if (range.right < kMarkColumn[p] || range.left > ValueColumn(f)) continue;
    for (int r = top; r <= bottom; ++r) {
      if (g.At(r, f) != kSubtotalMarker) {
        CalculateRowImpl(r, f, &batch, /*update_below=*/false);
      }
    }
    // Every subtotal row of the block, top to bottom, so that each sums
    // rows already calculated.
    for (int r = 1; r <= kItemRows; ++r) {
      if (g.At(r, f) == kSubtotalMarker) {
        g.Set(r, ValueColumn(f), SubtotalSumAbove(r, ValueColumn(f)));
      }
    }
  }
  ReportBatchProblems(batch);
}

void TakeoffSheets::RecalculateAll() {
  ++revision_;
  if (!shown_) return;
  editor_visible_ = false;
  HistoryStep step(history_, "再計算");
  const int count = tables_.rooms().count(side_);
  if (count == 0) return;
  const int shown_before = RoomShown() ? current_room_[side_] : -1;
  BatchProblems batch;
  ForEachRoomOfSide([&] {
    batch.place = room_label_[side_];
    RecalculateShownSheet(&batch);
  });
  // The estimator goes on in the room that was in front of them.
  if (shown_before >= 0 && shown_before < count) {
    ShowRoom(shown_before);
    editor_visible_ = false;
  }
  ReportBatchProblems(batch);
}

void TakeoffSheets::ForEachRoomOfSide(const std::function<void()>& work) {
  const int count = tables_.rooms().count(side_);
  platform_.progress.ShowProgress(count);
  for (int i = 0; i < count; ++i) {
    ShowRoom(i);
    editor_visible_ = false;
    platform_.progress.SetProgress(i + 1);
    platform_.progress.ProcessPendingEvents();
    work();
  }
  platform_.progress.HideProgress();
}

void TakeoffSheets::ClearAllValues() {
  ++revision_;
  if (!shown_) return;
  editor_visible_ = false;
  HistoryStep step(history_, "値削除");
  // Each room in turn is emptied of its values and shown, and the last
  // stays shown. A room is emptied where it is stored, in the form the
  // sheet would store it; the sheet is laid out from the store, so that
  // it always shows what is stored, and only when the window can see it:
  // at the first step, whenever pending events run, and at the last.
  const int s = side_;
  const int count = tables_.rooms().count(s);
  platform_.progress.ShowProgress(count);
  if (count > 0 && RoomShown()) StoreVisibleSheet();
  for (int i = 0; i < count; ++i) {
    tables_.rooms().Store(s, i, StoredRoomWithoutValues(s, i));
    platform_.progress.SetProgress(i + 1);
    if (i == 0 || i + 1 == count || platform_.progress.EventsDue()) {
      ClearSheet(s);
      LayOutRoom(s, i);
      editor_visible_ = false;
    }
    platform_.progress.ProcessPendingEvents();
  }
  platform_.progress.HideProgress();
}

void TakeoffSheets::ShowPart(int part) {
  ++revision_;
  if (part < 0 || part >= kParts) return;
  first_col_[side_] = kMarkColumn[part];
  editor_visible_ = false;
}

void TakeoffSheets::SetFirstVisibleColumn(int col) {
  if (col < 1 || col >= kSheetCols || col == first_col_[side_]) return;
  ++revision_;
  first_col_[side_] = col;
}

void TakeoffSheets::ScrollColumns(int direction) {
  ++revision_;
  int& first = first_col_[side_];
  first = direction < 0 ? std::max(1, first - 2)
                        : std::min(kSheetCols - 1, first + 2);
  editor_visible_ = false;
}

}  // namespace veltrano
