#include "fittings/takeoff.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "calc/formula.h"
#include "calc/number_text.h"
#include "calc/text_util.h"
#include "fittings/entered_data.h"
#include "project/fittings_tables.h"

namespace veltrano {

namespace {

constexpr std::string_view kFreeInput = "入力";
constexpr std::string_view kDeleteRow = "削除";
constexpr std::string_view kDeleted = FittingsStoreView::kDeleted;

struct TableShape {
  int data_rows;
  std::vector<std::string_view> headings;
  int places_col;
};

const std::array<TableShape, kFittingsTables>& Shapes() {
  static const std::array<TableShape, kFittingsTables> kShapes = {{
      {6,
       {"種別", "GW", "GH", "枚", "ヶ所", "単m2", "規格", "総m2", "種別", "縦本",
        "横本", "単m", "総m"},
       4},
      {4, {"種別", "サイズ", "縦本", "横本", "ヶ所", "単m", "総m"}, 4},
      {4, {"種別", "縦本", "横本", "ヶ所", "単m", "総m"}, 3},
      {6, {"種別", "計算式", "係数", "ヶ所", "単m2", "総m2"}, 3},
  }};
  return kShapes;
}

// The candidate list of a cell, or -1.
int ListOfCell(int table, int col) {
  switch (table) {
    case kGlassTable: return col == 0 ? 0 : col == 8 ? 1 : -1;
    case kPaintingTable: return col == 0 ? 2 : -1;
    case kFrameSealTable: return col == 0 ? 3 : col == 1 ? 5 : -1;
    case kFrameMortarTable: return col == 0 ? 4 : -1;
    default: return -1;
  }
}

// The table and column a candidate list fills.
std::pair<int, int> TargetOfList(int list) {
  static constexpr std::array<std::pair<int, int>, kCandidateLists> kTargets = {
      {{kGlassTable, 0},
       {kGlassTable, 8},
       {kPaintingTable, 0},
       {kFrameSealTable, 0},
       {kFrameMortarTable, 0},
       {kFrameSealTable, 1}}};
  return kTargets[static_cast<std::size_t>(list)];
}

// Cells typed in the cell editor.
bool IsTypedCell(int table, int col) {
  switch (table) {
    case kGlassTable: return (col >= 1 && col <= 4) || col == 9 || col == 10;
    case kFrameSealTable: return col >= 2 && col <= 4;
    case kFrameMortarTable: return col >= 1 && col <= 3;
    case kPaintingTable: return col >= 1 && col <= 3;
    default: return false;
  }
}

// The store columns of each table's column 0, and how many block rows it
// fills.
constexpr std::array<int, kFittingsTables> kStoreColumn = {2, 15, 22, 28};

std::string PaneClass(const std::string& area) {
  const float a = ToSingle(LeadingNumber(area));
  if (a <= 2.18f) return "<2.18";
  if (a <= 4.45f) return "<4.45";
  if (a <= 6.81f) return "<6.81";
  return ">6.81";
}

// A length of the frame seal or mortar in metres: W (or H) plus its offset,
// in single precision with up to seven significant digits.
std::string FrameLength(double millimetres, double offset) {
  const float metres = static_cast<float>(millimetres) / 1000.0f +
                       static_cast<float>(offset) / 1000.0f;
  return ShortestText(metres);
}

}  // namespace

std::string SizeText(double millimetres, bool zero_before_point) {
  const float metres = static_cast<float>(millimetres) / 1000.0f;
  std::string text = PlainMagnitude(metres, 7);
  // A whole value gets ".0"; that includes a size of 0 (or one too small
  // for single precision), which is "0.0" with or without the "0" that
  // other values below 1 lose.
  if (text.find('.') == std::string::npos) {
    text += ".0";
  } else if (!zero_before_point && text.starts_with("0.")) {
    text.erase(0, 1);
  }
  if (metres < 0 && text != "0.0") text.insert(text.begin(), '-');
  return text;
}

FittingsTakeoff::FittingsTakeoff(Project& tables,
                                 const FittingsRegister& fittings,
                                 const Settings& settings, Platform platform)
    : project_(tables), register_(fittings), settings_(settings), platform_(platform) {
  ProjectReplaced();
}

void FittingsTakeoff::SetDigits(DigitSetting digits) {
  Touch();
  digits_ = digits;
}

void FittingsTakeoff::ProjectReplaced() {
  Touch();
  labels_ = {"-", "-", "-", ""};
  for (int t = 0; t < kFittingsTables; ++t) {
    const TableShape& shape = Shapes()[static_cast<std::size_t>(t)];
    tables_[t] = TextGrid(shape.data_rows + 1, static_cast<int>(shape.headings.size()));
    for (int c = 0; c < tables_[t].cols(); ++c) {
      tables_[t].Set(0, c, shape.headings[static_cast<std::size_t>(c)]);
    }
  }
  shown_list_ = -1;
  editor_visible_ = false;
  editor_text_.clear();
  edit_table_ = -1;
  dialog_open_ = false;
  LayOutEnteredDataList(&entered_data_);
}

void FittingsTakeoff::StoreRead() {
  Touch();
  RebuildEnteredDataList(project_.fittings_store(), &entered_data_);
}

void FittingsTakeoff::RefillLists() {
  Touch();
  code_list_ = register_.Codes();
  const SettingsPanel& panel = settings_.panel();
  for (int n = 0; n < kCandidateLists; ++n) {
    lists_[n] = panel.candidates()[static_cast<std::size_t>(n)];
    lists_[n].emplace_back(kFreeInput);
    lists_[n].emplace_back(kDeleteRow);
  }
  if (check_list_shown_) {
    check_list_shown_ = false;
    ToggleCheckList();
  }
}

std::string FittingsTakeoff::Eval(const std::string& formula) {
  return EvaluateFormula(formula, digits_.q(), FormulaParams{}, platform_.dialogs);
}

std::string FittingsTakeoff::TypedText(std::string_view typed) {
  std::string text = FoldToCodePageLookalikes(typed);
  const std::string refusal = RecordTextRefusal(text);
  if (refusal.empty()) return text;
  platform_.dialogs.ShowMessage(kTitleInputCheck, refusal);
  return "";
}

// ---- Choosing a fitting -------------------------------------------------------

void FittingsTakeoff::ChooseFitting(std::string_view code) {
  Touch();
  const TextGrid& store = project_.fittings_store();
  for (int r = 0; r < store.rows(); ++r) {
    if (store.At(r, 0) != kDeleted && !store.At(r, 1).empty() &&
        EqualsIgnoreCase(store.At(r, 1), code)) {
      platform_.dialogs.ShowMessage(
          kTitleConfirm,
          "既に入力されています。修正は入力済みデータ一覧\nの符号を選択してください。");
      return;
    }
  }
  const std::optional<FittingEntry> entry = register_.Lookup(code);
  if (!entry) return;
  labels_ = {entry->code, entry->w, entry->h, "新規"};
  ReDeriveRows();
}

void FittingsTakeoff::FillGlassSize(int row) {
  TextGrid& glass = tables_[kGlassTable];
  const SettingsPanel& panel = settings_.panel();
  const double w = LeadingNumber(labels_[1]);
  const double h = LeadingNumber(labels_[2]);
  const double g0 = LeadingNumber(panel.offsets()[0]);
  const double g1 = LeadingNumber(panel.offsets()[1]);
  glass.Set(row, 1, SizeText(sliding_ ? (w - g0) / 2 : w - g0));
  glass.Set(row, 2, SizeText(h - g1));
  glass.Set(row, 3, sliding_ ? "2" : "1");
  glass.Set(row, 4, places_);
}

void FittingsTakeoff::ReDeriveRows() {
  TextGrid& glass = tables_[kGlassTable];
  for (int r = 1; r < glass.rows(); ++r) {
    if (!glass.At(r, 0).empty()) FillGlassSize(r);
    if (!glass.At(r, 8).empty()) {
      glass.Set(r, 9, sliding_ ? "4" : "2");
      glass.Set(r, 10, "2");
    }
  }
  TextGrid& painting = tables_[kPaintingTable];
  const std::string formula = SizeText(LeadingNumber(labels_[1]), false) + "*" +
                              SizeText(LeadingNumber(labels_[2]), false);
  for (int r = 1; r < painting.rows(); ++r) {
    if (!painting.At(r, 0).empty()) painting.Set(r, 1, formula);
  }
  RecalculateTables();
}

// ---- Recalculation --------------------------------------------------------------

void FittingsTakeoff::RecalculateTables() {
  Touch();
  const SettingsPanel& panel = settings_.panel();
  const double w = LeadingNumber(labels_[1]);
  const double h = LeadingNumber(labels_[2]);
  auto offset = [&](int i) {
    return LeadingNumber(panel.offsets()[static_cast<std::size_t>(i)]);
  };
  const std::string sw = FrameLength(w, offset(2));
  const std::string sh = FrameLength(h, offset(3));
  const std::string mw = FrameLength(w, offset(4));
  const std::string mh = FrameLength(h, offset(5));

  TextGrid& glass = tables_[kGlassTable];
  for (int r = 1; r < glass.rows() && !glass.At(r, 0).empty(); ++r) {
    glass.Set(r, 5, Eval(glass.At(r, 1) + "*" + glass.At(r, 2)));
    glass.Set(r, 6, PaneClass(glass.At(r, 5)));
    glass.Set(r, 7, Eval(glass.At(r, 5) + "*" + glass.At(r, 3) + "*" + glass.At(r, 4)));
    if (!glass.At(r, 8).empty()) {
      const std::string v = glass.At(r, 2) + "*" + glass.At(r, 9);
      const std::string across = sliding_ ? glass.At(r, 1) + "*2*" + glass.At(r, 10)
                                          : glass.At(r, 1) + "*" + glass.At(r, 10);
      glass.Set(r, 11, Eval(v + "+" + across));
      glass.Set(r, 12, Eval(glass.At(r, 11) + "*" + glass.At(r, 4)));
    }
  }
  TextGrid& painting = tables_[kPaintingTable];
  for (int r = 1; r < painting.rows() && !painting.At(r, 0).empty(); ++r) {
    painting.Set(r, 4, Eval(painting.At(r, 1) + "*" + painting.At(r, 2)));
    painting.Set(r, 5, Eval(painting.At(r, 4) + "*" + painting.At(r, 3)));
  }
  TextGrid& seal = tables_[kFrameSealTable];
  for (int r = 1; r < seal.rows() && !seal.At(r, 0).empty(); ++r) {
    seal.Set(r, 5, Eval(sh + "*" + seal.At(r, 2) + "+" + sw + "*" + seal.At(r, 3)));
    seal.Set(r, 6, Eval(seal.At(r, 5) + "*" + seal.At(r, 4)));
  }
  TextGrid& mortar = tables_[kFrameMortarTable];
  for (int r = 1; r < mortar.rows() && !mortar.At(r, 0).empty(); ++r) {
    mortar.Set(r, 4, Eval(mh + "*" + mortar.At(r, 1) + "+" + mw + "*" + mortar.At(r, 2)));
    mortar.Set(r, 5, Eval(mortar.At(r, 4) + "*" + mortar.At(r, 3)));
  }
}

// ---- Cells, candidates and the editor --------------------------------------------

void FittingsTakeoff::WriteEditorToCell() {
  if (!editor_visible_ || edit_table_ < 0) return;
  tables_[edit_table_].Set(edit_row_, edit_col_, editor_text_);
  RecalculateTables();
}

void FittingsTakeoff::OpenEditor(bool take_cell_text) {
  editor_visible_ = true;
  editor_text_ = take_cell_text ? tables_[edit_table_].At(edit_row_, edit_col_)
                                : std::string();
}

void FittingsTakeoff::OpenCell(int table, int row, int col) {
  if (table < 0 || table >= kFittingsTables || row < 1 ||
      row >= tables_[table].rows() || col < 0 || col >= tables_[table].cols()) {
    return;
  }
  Touch();
  WriteEditorToCell();
  edit_table_ = table;
  edit_row_ = row;
  edit_col_ = col;
  const int list = ListOfCell(table, col);
  if (list >= 0) {
    shown_list_ = list;
    editor_visible_ = false;
  } else if (IsTypedCell(table, col)) {
    shown_list_ = -1;
    OpenEditor(tables_[table].At(row, col) != kFreeInput);
  } else {
    shown_list_ = -1;
    editor_visible_ = false;
  }
}

void FittingsTakeoff::DismissCandidates() {
  Touch();
  shown_list_ = -1;
  editor_visible_ = false;
}

void FittingsTakeoff::ApplyCandidate(std::string_view item) {
  const int n = shown_list_;
  if (n < 0 || edit_table_ < 0) return;
  Touch();
  editor_visible_ = false;
  if (!FittingChosen()) {
    platform_.dialogs.ShowMessage(kTitleConfirm, "建具が選択されていません。");
    return;
  }
  const std::string v(item);
  const int r = edit_row_;
  TextGrid& glass = tables_[kGlassTable];
  TextGrid& painting = tables_[kPaintingTable];
  TextGrid& seal = tables_[kFrameSealTable];
  TextGrid& mortar = tables_[kFrameMortarTable];
  auto set_if_empty = [](TextGrid& g, int row, int col, std::string_view text) {
    if (g.At(row, col).empty()) g.Set(row, col, text);
  };
  switch (n) {
    case 0:
      glass.Set(r, 0, v);
      FillGlassSize(r);
      break;
    case 1:
      glass.Set(r, 8, v);
      set_if_empty(glass, r, 9, sliding_ ? "4" : "2");
      set_if_empty(glass, r, 10, "2");
      break;
    case 2:
      painting.Set(r, 0, v);
      painting.Set(r, 1, SizeText(LeadingNumber(labels_[1])) + "*" +
                             SizeText(LeadingNumber(labels_[2])));
      set_if_empty(painting, r, 2, "2.9");
      painting.Set(r, 3, places_);
      break;
    case 3:
      seal.Set(r, 0, v);
      set_if_empty(seal, r, 2, "2");
      set_if_empty(seal, r, 3, "2");
      seal.Set(r, 4, places_);
      break;
    case 5:
      seal.Set(r, 1, v);
      break;
    case 4:
      mortar.Set(r, 0, v);
      set_if_empty(mortar, r, 1, "2");
      set_if_empty(mortar, r, 2, "2");
      mortar.Set(r, 3, places_);
      break;
    default:
      break;
  }
  RecalculateTables();
  shown_list_ = -1;
  const auto [table, col] = TargetOfList(n);
  if (v == kFreeInput) {
    // The editor opens empty over the cell, so that Enter replaces "入力".
    edit_table_ = table;
    edit_col_ = col;
    OpenEditor(/*take_cell_text=*/false);
  }
  if (v == kDeleteRow) {
    TextGrid& g = tables_[table];
    if (n == 1) {
      g.ClearRange(r, 8, r, 12);
    } else {
      g.ClearRange(r, 0, r, g.cols() - 1);
    }
  }
}

void FittingsTakeoff::EditorTextChanged(std::string_view text) {
  if (!editor_visible_) return;
  Touch();
  editor_text_ = TypedText(text);
}

void FittingsTakeoff::EditorEnter() {
  if (!editor_visible_ || edit_table_ < 0) return;
  Touch();
  WriteEditorToCell();
  editor_visible_ = false;
  if (edit_col_ + 1 < tables_[edit_table_].cols()) {
    OpenCell(edit_table_, edit_row_, edit_col_ + 1);
  }
}

// ---- Places, sliding, clearing, the check list --------------------------------------

void FittingsTakeoff::SetPlaces(std::string_view text) {
  Touch();
  std::string typed = FoldToCodePageLookalikes(text);
  // A count of places: a refused text empties the box, as a cell's editor
  // is; a letter typed there leaves the count as it was.
  bool empties = true;
  if (const std::string refusal =
          NumberBoxRefusal(typed, NumberBox::kUnsigned, &empties);
      !refusal.empty()) {
    platform_.dialogs.ShowMessage(kTitleInputCheck, refusal);
    if (!empties) return;
    typed.clear();
  }
  places_ = std::move(typed);
  if (places_.empty()) return;
  for (int t = 0; t < kFittingsTables; ++t) {
    TextGrid& g = tables_[t];
    const int col = Shapes()[static_cast<std::size_t>(t)].places_col;
    for (int r = 1; r < g.rows(); ++r) {
      if (!g.At(r, col).empty()) g.Set(r, col, places_);
    }
  }
  RecalculateTables();
}

void FittingsTakeoff::SetSliding(bool on) {
  Touch();
  sliding_ = on;
  ReDeriveRows();
}

void FittingsTakeoff::ClearTables() {
  if (labels_[0] == "-") return;
  Touch();
  if (platform_.dialogs.Ask(kTitleConfirm, "入力欄の内容をクリアします。",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  for (TextGrid& g : tables_) g.ClearRange(1, 0, g.rows() - 1, g.cols() - 1);
  editor_visible_ = false;
  shown_list_ = -1;
}

void FittingsTakeoff::ToggleCheckList() {
  Touch();
  check_list_shown_ = !check_list_shown_;
  if (!check_list_shown_) return;
  check_list_.clear();
  for (const std::string& code : code_list_) {
    bool entered = false;
    for (int r = 1; r < entered_data_.rows() && !entered; ++r) {
      entered = entered_data_.At(r, 0) == code;
    }
    check_list_.push_back((entered ? "○" : "×") + code);
  }
}

// ---- The store ---------------------------------------------------------------------

int FittingsTakeoff::BlockOf(std::string_view code) const {
  return FittingsStoreView(project_.fittings_store()).BlockOf(code);
}

void FittingsTakeoff::Commit() {
  HistoryStep step(history_, "入力確定");
  bool any = false;
  for (const TextGrid& g : tables_) {
    for (int c = 0; c < g.cols() && !any; ++c) any = !g.At(1, c).empty();
  }
  if (!any || !FittingChosen()) return;
  Touch();
  bool live = false;
  for (const TextGrid& g : tables_) live = live || !g.At(1, 0).empty();
  // The tables' rows and the fitting's W, H and places, by row of the block.
  std::vector<FittingsStoreTable::BlockCell> cells;
  for (int r = 1; r <= FittingsStoreTable::kBlockRows; ++r) {
    for (int t = 0; t < kFittingsTables; ++t) {
      const TextGrid& g = tables_[t];
      if (r >= g.rows()) continue;
      for (int c = 0; c < g.cols(); ++c) {
        cells.push_back({r - 1, kStoreColumn[static_cast<std::size_t>(t)] + c, g.At(r, c)});
      }
    }
    cells.push_back({r - 1, 34,
                     r == 1 ? std::string_view(labels_[1])
                     : r == 2 ? std::string_view(labels_[2])
                     : r == 3 ? std::string_view(places_)
                              : std::string_view("dm")});
  }
  FittingsStoreTable(project_.fittings_store()).Commit(labels_[0], live, cells);
  RebuildEnteredDataList(project_.fittings_store(), &entered_data_);
}

void FittingsTakeoff::ClickEnteredList(int row, int col) {
  if (row < 1 || row >= entered_data_.rows() || col != 0) return;
  const std::string& code = entered_data_.At(row, 0);
  if (code.empty()) return;
  Touch();
  dialog_open_ = true;
  dialog_code_ = code;
  dialog_row_ = row;
}

void FittingsTakeoff::EnteredDialogModify() {
  if (!dialog_open_) return;
  Touch();
  for (TextGrid& g : tables_) g.ClearRange(1, 0, g.rows() - 1, g.cols() - 1);
  labels_ = {entered_data_.At(dialog_row_, 0), entered_data_.At(dialog_row_, 1),
             entered_data_.At(dialog_row_, 2), "修正"};
  places_ = entered_data_.At(dialog_row_, 3);
  const int block = BlockOf(dialog_code_);
  if (block >= 0) {
    const TextGrid& store = project_.fittings_store();
    for (int r = 1; r <= 6; ++r) {
      for (int t = 0; t < kFittingsTables; ++t) {
        TextGrid& g = tables_[t];
        if (r >= g.rows()) continue;
        for (int c = 0; c < g.cols(); ++c) {
          g.Set(r, c, store.At(block + r - 1, kStoreColumn[static_cast<std::size_t>(t)] + c));
        }
      }
    }
  }
  editor_visible_ = false;
  shown_list_ = -1;
  dialog_open_ = false;
}

void FittingsTakeoff::EnteredDialogDelete() {
  HistoryStep step(history_, "入力削除");
  if (!dialog_open_) return;
  Touch();
  if (platform_.dialogs.Ask(kTitleConfirm, dialog_code_ + "を削除します。",
                            Buttons::kOkCancel) == Answer::kOk) {
    FittingsStoreTable(project_.fittings_store()).Delete(dialog_code_);
    RebuildEnteredDataList(project_.fittings_store(), &entered_data_);
  }
  dialog_open_ = false;
}

void FittingsTakeoff::EnteredDialogClose() {
  Touch();
  dialog_open_ = false;
}

}  // namespace veltrano
