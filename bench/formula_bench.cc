#include <cstdint>
#include <string>
#include <vector>

#include "benchmark/benchmark.h"
#include "calc/formula.h"
#include "calc/rounding.h"
#include "port/dialogs.h"

namespace veltrano {
namespace {

// A realistic mix of takeoff formulas: areas, perimeters times heights, sums
// in parentheses, parameters and deductions.
const std::vector<std::string>& TakeoffFormulas() {
  static const std::vector<std::string> formulas = {
      "3.6*2.7",
      "(3.6+2.7)*2*2.4",
      "A*S",
      "L*2.4",
      "(3.6+2.7)*2-0.8",
      "3.6*2.7-0.9*1.8",
      "12.35",
      "(1.82+0.91)*2*2.45-0.78*2.0-1.65*1.1",
      "A*S-0.455*0.91",
      "L-0.8-0.8",
      "2.73*3.64+1.82*0.91",
      "(A+S)*2*2.4",
      "0.9*2.0*2",
      "5.46/2",
      "3.64*2.73+(0.91*1.82)",
      "1.2+3.4+5.6+7.8",
  };
  return formulas;
}

void BM_EvaluateFormulaMix(benchmark::State& state) {
  const auto& formulas = TakeoffFormulas();
  const FormulaParams params{"3.64", "2.73", "12.74"};
  SilentDialogs dialogs;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        EvaluateFormula(formulas[i], 2, params, dialogs));
    if (++i == formulas.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateFormulaMix);

void BM_EvaluateFormulaLongSum(benchmark::State& state) {
  std::string formula = "1.25";
  for (int i = 0; i < 50; ++i) formula += "+0.91*1.82";
  const FormulaParams params;
  SilentDialogs dialogs;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateFormula(formula, 3, params, dialogs));
  }
}
BENCHMARK(BM_EvaluateFormulaLongSum);

// Evaluates `formula` at two decimals, its length counted as bytes
// processed.
void EvaluateLongFormula(benchmark::State& state, const std::string& formula,
                         const FormulaParams& params) {
  SilentDialogs dialogs;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateFormula(formula, 2, params, dialogs));
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(formula.size()));
}

// Formulas of state.range(0) bytes: a run of products, and products and
// sums with groups. Evaluation time grows linearly with the length.
void BM_EvaluateFormulaLongProduct(benchmark::State& state) {
  std::string formula = "1";
  while (formula.size() < static_cast<std::size_t>(state.range(0))) {
    formula += "*1";
  }
  EvaluateLongFormula(state, formula, FormulaParams());
}
BENCHMARK(BM_EvaluateFormulaLongProduct)
    ->Arg(80 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

void BM_EvaluateFormulaLongWithGroups(benchmark::State& state) {
  std::string formula;
  while (formula.size() < static_cast<std::size_t>(state.range(0))) {
    formula += "(3.6+2.7)*2*2.4-0.8*A+";
  }
  formula += "0";
  EvaluateLongFormula(state, formula, {"3.64", "2.73", "12.74"});
}
BENCHMARK(BM_EvaluateFormulaLongWithGroups)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

// A megabyte of "A*A*...*A*1" with a parameter that holds an operator: the
// parameter's text reshapes the formula after the first product, as "-1"
// turns it into "1*-1*-1*...".
void BM_EvaluateFormulaReshapingParameter(benchmark::State& state) {
  std::string formula;
  while (formula.size() < (std::size_t{1} << 20)) formula += "A*";
  formula += "1";
  EvaluateLongFormula(state, formula, {"-1", "", ""});
}
BENCHMARK(BM_EvaluateFormulaReshapingParameter)->Unit(benchmark::kMillisecond);

void BM_FormatColumnTotal(benchmark::State& state) {
  const DigitSetting setting(2);
  float total = 1234.567f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(setting.FormatColumnTotal(total));
    total += 0.01f;
  }
}
BENCHMARK(BM_FormatColumnTotal);

}  // namespace
}  // namespace veltrano
