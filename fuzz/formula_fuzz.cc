// Feeds arbitrary bytes to the formula engine and checks that every result
// has one of the forms the sheets expect: a plain decimal with exactly q
// decimals, one of the markers, or the parameter text for a lone letter.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>

#include "calc/formula.h"
#include "calc/number_text.h"
#include "port/dialogs.h"

namespace {

class CountingDialogs : public veltrano::Dialogs {
 public:
  void ShowMessage(std::string_view, std::string_view,
                   veltrano::MessageIcon) override {
    ++messages;
  }
  veltrano::Answer Ask(std::string_view, std::string_view, veltrano::Buttons,
                       veltrano::MessageIcon) override {
    return veltrano::Answer::kOk;
  }
  void Beep() override {}
  int messages = 0;
};

bool IsValue(std::string_view r, int q) {
  if (!r.empty() && r.front() == '-') r.remove_prefix(1);
  const std::size_t point = r.find('.');
  if (point == std::string_view::npos || point == 0) return false;
  if (r.size() - point - 1 != static_cast<std::size_t>(q)) return false;
  if (point > 1 && r.front() == '0') return false;  // no leading zeros
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (i != point && (r[i] < '0' || r[i] > '9')) return false;
  }
  return true;
}

void Fail(std::string_view formula, int q, std::string_view result) {
  std::fprintf(stderr, "formula [%.*s] q=%d gave [%.*s]\n",
               static_cast<int>(formula.size()), formula.data(), q,
               static_cast<int>(result.size()), result.data());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const int q = 2 + data[0] % 3;
  std::string_view formula(reinterpret_cast<const char*>(data + 1), size - 1);
  const veltrano::FormulaParams params{"3.64", "2.7", "12.5"};
  CountingDialogs dialogs;
  const std::string result =
      veltrano::EvaluateFormula(formula, q, params, dialogs);

  const std::string_view trimmed = veltrano::TrimBlanks(formula);
  if (trimmed.size() == 1 && params.ForLetter(trimmed[0]) != nullptr) {
    if (result != *params.ForLetter(trimmed[0])) Fail(formula, q, result);
    return 0;
  }
  if (result == "?") {
    if (dialogs.messages == 0) Fail(formula, q, result);
    return 0;
  }
  if (result == "Er1" || result == "Er((") return 0;
  if (!IsValue(result, q)) Fail(formula, q, result);
  return 0;
}
