#include "aggregate/work_type_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "aggregate/work_types.h"
#include "calc/number_text.h"
#include "calc/text_util.h"

namespace veltrano {

namespace {

constexpr std::array<std::string_view, 5> kPartNamesShort = {"床", "巾木", "壁", "天井", "雑"};

std::string WithoutCommas(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != ',') out += c;
  }
  return out;
}

std::string Label(const std::string& work_type) {
  return work_type == "土工" ? "土工事" : work_type + "工事";
}

// A whole number with thousands separators, "" for zero.
std::string Grouped(double whole) {
  std::string digits = ShortestText(std::fabs(whole));
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    out += digits[static_cast<std::size_t>(i)];
    if ((n - i - 1) % 3 == 0 && i != n - 1) out += ',';
  }
  return out;
}

}  // namespace

std::string AmountText(double whole) {
  if (whole == 0) return "";
  return (whole < 0 ? "-" : "") + Grouped(whole);
}

std::string WorkTypeTable::EditorStepKey() const {
  return "work-type " + std::to_string(current_row_) + " " + std::to_string(current_col_) +
         " " + std::to_string(editor_opening_);
}

std::string_view WorkTypeTable::StepNameOfColumn(int col) {
  switch (col) {
    case 5: return "単位";
    case 8: return "備考";
    default: return "単価";
  }
}

void WorkTypeTable::CutToHeading() {
  estimate().SetRows(1);
  editor_shown_ = false;
}

void WorkTypeTable::StartAggregation(const std::vector<std::string>& work_types,
                                     MoneyRounding rounding) {
  HistoryStep step(history_, "集計");
  if (platform_.dialogs.Ask(kTitleConfirm,
                            "先に内部・外部・建具廻りの集計をしてからでないと\n"
                            "各々の集計結果は工種別集計には反映されません。\n"
                            "(OKで工種別集計実行　ｷｬﾝｾﾙは戻る)",
                            Buttons::kOkCancel) != Answer::kOk) {
    return;
  }
  ++revision_;
  bool aggregated = !tables_.fittings_summary()->At(4, 0).empty();
  for (int p = 0; p < 5; ++p) {
    aggregated = aggregated || !tables_.interior_summaries()[p]->At(4, 0).empty() ||
                 !tables_.exterior_summaries()[p]->At(4, 0).empty();
  }
  if (!aggregated) {
    platform_.dialogs.ShowMessage(
        kTitleConfirm,
        "内部・外部・建具廻りどれも集計されていませんので工種別集計はできません。");
    CutToHeading();
    return;
  }
  BuildWorkTypeTable(work_types, rounding);
}

void WorkTypeTable::BuildWorkTypeTable(const std::vector<std::string>& work_types,
                                       MoneyRounding rounding) {
  ++revision_;
  WorkTypeEstimate t = estimate();
  CutToHeading();
  std::string label;
  int row = 1;
  bool pending = false;
  auto add = [&](const TextGrid& source, int c, const std::string& w,
                 std::string_view side, std::string_view part) {
    t.SetRows(row + 1);
    pending = true;
    if (w != label) {
      t.Set(row, 0, Label(w));
      label = w;
    }
    t.Set(row, 1, source.At(2, c));
    t.Set(row, 2, side);
    t.Set(row, 3, part);
    t.Set(row, 4, source.At(3, c));
    ++row;
  };
  // Scans one summary table for `w`; false when a column has no work type.
  auto scan = [&](const TextGrid& source, const std::string& w, std::string_view side,
                  std::string_view part, const std::string& missing) {
    for (int c = 2; c < source.cols(); ++c) {
      if (source.At(2, c).empty()) continue;
      if (source.At(1, c).empty()) {
        platform_.dialogs.ShowMessage(kTitleConfirm, missing);
        CutToHeading();
        return false;
      }
      if (source.At(1, c) == w) add(source, c, w, side, part);
    }
    return true;
  };
  const std::string missing = "工種が定義されていない項目がありますので集計できません。";
  for (const std::string& w : work_types) {
    if (pending) ++row;
    pending = false;
    for (int p = 0; p < 5; ++p) {
      const std::string part(kPartNamesShort[static_cast<std::size_t>(p)]);
      if (!scan(tables_.interior_summaries()[p], w, "内部", part, missing + "内部：" + part)) {
        return;
      }
    }
    for (int p = 0; p < 5; ++p) {
      const std::string part(kPartNamesShort[static_cast<std::size_t>(p)]);
      if (!scan(tables_.exterior_summaries()[p], w, "外部", part, missing + "外部:" + part)) {
        return;
      }
    }
    if (!scan(tables_.fittings_summary(), w, "", "建具", missing + "：建具")) return;
  }
  if (t.rows() > 1) t.SetRows(t.rows() + 2);
  RestoreUnitPrices();
  ComputeAmounts(rounding);
  ComputeSubtotals();
  editor_shown_ = false;
}

void WorkTypeTable::RestoreUnitPrices() {
  WorkTypeEstimate t = estimate();
  const TextGrid& prices = tables_.unit_prices();
  std::string label;
  for (int r = 1; r < t.rows(); ++r) {
    if (!t.At(r, 0).empty()) label = t.At(r, 0);
    const std::string key = label + t.At(r, 1) + t.At(r, 2) + t.At(r, 3);
    for (int p = 0; p < prices.rows(); ++p) {
      const std::string price_key =
          prices.At(p, 0) + prices.At(p, 1) + prices.At(p, 2) + prices.At(p, 3);
      if (price_key != key) continue;
      t.Set(r, 5, prices.At(p, 4));
      t.Set(r, 6, prices.At(p, 5));
      t.Set(r, 8, prices.At(p, 6));
    }
  }
}

bool WorkTypeTable::CurrentCellExists() const {
  const TextGrid& t = table();
  return current_row_ >= 1 && current_row_ < t.rows() && current_col_ >= 0 &&
         current_col_ < t.cols();
}

void WorkTypeTable::ClickCell(int row, int col, std::string_view unit,
                              MoneyRounding rounding) {
  HistoryStep step(history_, StepNameOfColumn(col));
  const TextGrid& t = table();
  if (row < 0 || row >= t.rows() || col < 0 || col >= t.cols()) return;
  ++revision_;
  // The heading row is fixed: a click on it leaves the first row current.
  current_row_ = std::max(row, 1);
  current_col_ = col;
  if (t.rows() > 1 && !t.At(current_row_, 4).empty()) {
    PlaceAndCompute(unit, rounding);
  }
}

void WorkTypeTable::SetCurrentCell(int row, int col) {
  const TextGrid& t = table();
  if (row < 1 || row >= t.rows() || col < 0 || col >= t.cols()) return;
  if (row == current_row_ && col == current_col_) return;
  ++revision_;
  current_row_ = row;
  current_col_ = col;
  // The editor belongs to the cell it was placed over.
  editor_shown_ = false;
}

void WorkTypeTable::PlaceAndCompute(std::string_view unit,
                                    MoneyRounding rounding) {
  PlaceCellEditor(unit);
  ComputeAmounts(rounding);
  ComputeSubtotals();
}

void WorkTypeTable::PlaceCellEditor(std::string_view unit) {
  ++revision_;
  editor_shown_ = false;
  if (!CurrentCellExists()) return;
  const TextGrid& t = table();
  if (current_col_ == 6 || current_col_ == 8) {
    const std::string& left = t.At(current_row_, current_col_ - 1);
    if (left != "合計" && left != "小計") {
      editor_text_ = t.At(current_row_, current_col_);
      editor_shown_ = true;
      ++editor_opening_;
    }
    veltrano::SaveUnitPrices(&tables_);
  } else if (current_col_ == 5 && !unit.empty() && unit != "合計" &&
             unit != "小計") {
    estimate().Set(current_row_, 5, unit);
    veltrano::SaveUnitPrices(&tables_);
  }
}

void WorkTypeTable::EditorTextChanged(std::string_view text) {
  if (!editor_shown_ || !CurrentCellExists()) return;
  // The keystrokes into one cell are one step.
  HistoryStep step(history_, StepNameOfColumn(current_col_), EditorStepKey());
  ++revision_;
  std::string typed;
  for (char c : text) {
    if (c != '&' && c != '(') typed += c;
  }
  typed = FoldToCodePageLookalikes(typed);
  // The unit price and the remark go into the records of the project file
  // that "'" separates. A refused text empties the editor, as a sheet
  // cell's does; a unit price given a letter keeps the number typed before.
  bool empties = true;
  const std::string refusal =
      current_col_ == 6 ? NumberBoxRefusal(typed, NumberBox::kPrice, &empties)
                        : RecordTextRefusal(typed);
  if (!refusal.empty()) {
    platform_.dialogs.ShowMessage(kTitleInputCheck, refusal);
    if (!empties) return;
    typed.clear();
  }
  editor_text_ = std::move(typed);
  estimate().Set(current_row_, current_col_, editor_text_);
}

void WorkTypeTable::PressEditorKey(EditorKey key, std::string_view unit,
                                   MoneyRounding rounding) {
  if (!editor_shown_ || !CurrentCellExists()) return;
  // The key that ends the typing into a cell belongs to its step.
  HistoryStep step(history_, StepNameOfColumn(current_col_), EditorStepKey());
  ++revision_;
  WorkTypeEstimate t = estimate();
  switch (key) {
    case EditorKey::kEnter:
    case EditorKey::kDown:
      t.Set(current_row_, current_col_, editor_text_);
      current_row_ = RowAfter(1);
      PlaceAndCompute(unit, rounding);
      break;
    case EditorKey::kUp:
      t.Set(current_row_, current_col_, editor_text_);
      current_row_ = RowAfter(-1);
      PlaceAndCompute(unit, rounding);
      break;
    case EditorKey::kDelete:
      t.Set(current_row_, current_col_, "");
      editor_text_.clear();
      PlaceAndCompute(unit, rounding);
      break;
  }
}

int WorkTypeTable::RowAfter(int step) const {
  const TextGrid& t = table();
  for (int r = current_row_ + step; r >= 1 && r < t.rows(); r += step) {
    // A unit price goes on an item row only; a remark on any row.
    if (current_col_ != 6 || !t.At(r, 4).empty()) return r;
  }
  return current_row_;
}

void WorkTypeTable::TypeOnTable(std::string_view text, std::string_view unit,
                                MoneyRounding rounding) {
  if (editor_shown_ || !CurrentCellExists()) return;
  const TextGrid& t = table();
  if ((current_col_ == 6 || current_col_ == 8) &&
      !t.At(current_row_, 4).empty()) {
    PlaceAndCompute(unit, rounding);
  }
  if (!editor_shown_) {
    platform_.dialogs.Beep();
    return;
  }
  EditorTextChanged(text);
}

void WorkTypeTable::SaveUnitPrices() {
  HistoryStep step(history_, "単価保存");
  RefreshUnitPrices();
}

void WorkTypeTable::RefreshUnitPrices() {
  ++revision_;
  veltrano::SaveUnitPrices(&tables_);
}

void WorkTypeTable::TableRestored() {
  ++revision_;
  editor_shown_ = false;
  if (!CurrentCellExists()) {
    current_row_ = 1;
    current_col_ = 0;
  }
}

void WorkTypeTable::DeleteKey() {
  HistoryStep step(history_, "単位");
  if (!CurrentCellExists() || current_col_ != 5) return;
  if (table().At(current_row_, 5) == "小計") return;
  ++revision_;
  estimate().Set(current_row_, 5, "");
}

void WorkTypeTable::ComputeAmounts(MoneyRounding rounding) {
  ++revision_;
  WorkTypeEstimate t = estimate();
  for (int r = 1; r < t.rows(); ++r) {
    const std::string& quantity = t.At(r, 4);
    const std::string price = WithoutCommas(t.At(r, 6));
    if (quantity.empty()) {
      t.Set(r, 6, "");
      t.Set(r, 7, "");
      continue;
    }
    if (price.empty()) {
      t.Set(r, 7, "");
      continue;
    }
    const double q = LeadingNumber(quantity);
    const double u = LeadingNumber(price);
    const double a = q * u;
    // The rounding looks at the first decimal of the magnitude only; the
    // sign stays.
    const std::string text = ShortestText(std::fabs(a));
    const std::size_t point = text.find('.');
    double whole = LeadingNumber(text.substr(0, point));
    const int first = point != std::string::npos && point + 1 < text.size()
                          ? text[point + 1] - '0'
                          : 0;
    if ((rounding == MoneyRounding::kUp && first > 0) ||
        (rounding == MoneyRounding::kHalfUp && first > 4)) {
      whole += 1;
    }
    t.Set(r, 7, AmountText(a < 0 ? -whole : whole));
    t.Set(r, 6, AmountText(std::copysign(std::round(std::fabs(u)), u)));
  }
  RefreshWorkTypeCopy(&tables_);
}

void WorkTypeTable::ComputeSubtotals() {
  ++revision_;
  WorkTypeEstimate t = estimate();
  // Whole amounts summed exactly.
  double s = 0;
  double total = 0;
  for (int r = 1; r < t.rows(); ++r) {
    if (!t.At(r, 7).empty() && t.At(r, 7).front() != '(') {
      s += LeadingNumber(WithoutCommas(t.At(r, 7)));
    }
    if (t.At(r, 4).empty()) {
      if (s != 0) {
        t.Set(r, 5, "小計");
        t.Set(r, 7, "(" + AmountText(s) + ")");
      } else {
        t.Set(r, 5, "");
      }
      total += s;
      s = 0;
    }
    if (total != 0 && r == t.rows() - 1) {
      t.Set(r, 5, "合計");
      t.Set(r, 7, "(" + AmountText(total) + ")");
    }
  }
  RefreshWorkTypeCopy(&tables_);
}

}  // namespace veltrano
