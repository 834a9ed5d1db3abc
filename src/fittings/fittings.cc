#include "fittings/fittings.h"

#include "fittings/entered_data.h"

namespace veltrano {

namespace {

// Heading row and data rows of the four fittings calculation tables.
constexpr std::array<int, 4> kCalcTableRows = {7, 5, 5, 7};
constexpr std::array<int, 4> kCalcTableCols = {13, 7, 6, 6};

}  // namespace

Fittings::Fittings(const ProjectTables& tables) : tables_(tables) {
  LayOutEnteredDataList(&entered_data_);
  for (int t = 0; t < 4; ++t) {
    calc_tables_[t] = TextGrid(kCalcTableRows[t], kCalcTableCols[t]);
  }
}

void Fittings::ProjectReplaced() {
  ++revision_;
  for (TextGrid& table : calc_tables_) {
    table.ClearRange(1, 0, table.rows() - 1, table.cols() - 1);
  }
  LayOutEnteredDataList(&entered_data_);
}

void Fittings::StoreRead() {
  ++revision_;
  RebuildEnteredDataList(tables_.fittings_store, &entered_data_);
}

}  // namespace veltrano
