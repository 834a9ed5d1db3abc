#include "project/project.h"

#include <string>
#include <string_view>
#include <utility>

#include "calc/text_util.h"

namespace veltrano {
namespace {

constexpr std::array<std::string_view, 5> kPartTitles = {
    "床項目", "巾木項目", "壁項目", "天井項目", "雑項目"};
constexpr std::array<std::string_view, kWorkTypeTableCols> kWorkTypeHeadings = {
    "工種", "項目名", "区分", "部位", "数量", "単位", "単価", "金額", "備考"};

// Rows 0-3 are headings; row 4 on hold rooms, places or fittings.
constexpr int kSummaryRows = 5;
constexpr int kSummaryCols = 3;

// A summary table as at start-up: its title, the headings of its rows and
// one empty item column.
void LayOutSummaryTable(TextGrid* t, std::string_view title, std::string_view items,
                        std::string_view corner) {
  t->Resize(kSummaryRows, kSummaryCols);
  t->Clear();
  t->Set(0, 0, title);
  t->Set(0, 1, "ヶ所");
  t->Set(1, 0, "工種");
  t->Set(2, 0, items);
  t->Set(3, 0, corner);
}

}  // namespace

std::array<SharedTable*, 17> Project::Tables() {
  const std::array<const SharedTable*, 17> tables = std::as_const(*this).Tables();
  std::array<SharedTable*, 17> changeable;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    changeable[i] = const_cast<SharedTable*>(tables[i]);
  }
  return changeable;
}

std::array<const SharedTable*, 17> Project::Tables() const {
  return {&fittings_register_,     &fittings_store_,        &work_type_memory_,
          &work_type_copy_,        &unit_prices_,           &interior_summaries_[0],
          &interior_summaries_[1], &interior_summaries_[2], &interior_summaries_[3],
          &interior_summaries_[4], &interior_summaries_[5], &exterior_summaries_[0],
          &exterior_summaries_[1], &exterior_summaries_[2], &exterior_summaries_[3],
          &exterior_summaries_[4], &fittings_summary_};
}

std::vector<SharedPart*> Project::Parts() {
  const std::array<SharedTable*, 17> tables = Tables();
  std::vector<SharedPart*> parts(tables.begin(), tables.end());
  parts.push_back(&plans_);
  return parts;
}

std::vector<const SharedPart*> Project::Parts() const {
  const std::array<const SharedTable*, 17> tables = Tables();
  std::vector<const SharedPart*> parts(tables.begin(), tables.end());
  parts.push_back(&plans_);
  return parts;
}

Project Project::Snapshot() const {
  Project copy;
  copy.rooms_ = rooms_;
  const std::array<SharedTable*, 17> to = copy.Tables();
  const std::array<const SharedTable*, 17> from = Tables();
  for (std::size_t i = 0; i < to.size(); ++i) to[i]->Restore(from[i]->Share());
  copy.plans_.Restore(plans_.Share());
  return copy;
}

void Project::LayOutSummaryTables() {
  for (int p = 0; p < 5; ++p) {
    const std::string_view items = kPartTitles[static_cast<std::size_t>(p)];
    LayOutSummaryTable(interior_summaries_[p].Edit(), "【内部集計表】", items, "部屋名＼合計");
    LayOutSummaryTable(exterior_summaries_[p].Edit(), "【外部集計表】", items, "場所名＼合計");
  }
  TextGrid& work = *interior_summaries_[kWorkTypeTable].Edit();
  work.Resize(2, kWorkTypeTableCols);
  work.Clear();
  for (int c = 0; c < kWorkTypeTableCols; ++c) {
    work.Set(0, c, kWorkTypeHeadings[static_cast<std::size_t>(c)]);
  }
  LayOutSummaryTable(fittings_summary_.Edit(), "【建具廻り集計表】", "積算項目", "符号＼合計");
}

void Project::Reset(bool keep_unit_prices) {
  rooms_.Clear();
  TextGrid& reg = *fittings_register_.Edit();
  reg.Resize(kRegisterRows, kRegisterCols);
  reg.Clear();
  reg.Set(0, 0, "符号");
  reg.Set(0, 1, "W");
  reg.Set(0, 2, "H");
  fittings_store_ = TextGrid(1, kFittingsStoreCols);
  work_type_memory_ = TextGrid(1, kWorkTypeMemoryCols);
  work_type_copy_ = TextGrid(1, kWorkTypeCopyCols);
  if (!keep_unit_prices || unit_prices_->cols() != kUnitPriceCols) {
    unit_prices_ = TextGrid(1, kUnitPriceCols);
  }
  LayOutSummaryTables();
  if (!plans_->empty()) plans_ = PlanSet();
}

}  // namespace veltrano
