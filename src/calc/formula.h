#ifndef VELTRANO_CALC_FORMULA_H_
#define VELTRANO_CALC_FORMULA_H_

#include <string>
#include <string_view>

#include "calc/messages.h"

namespace veltrano {

// The room parameters A, S and L of the sheet being edited, as typed.
struct FormulaParams {
  std::string a;
  std::string s;
  std::string l;

  // The text of the parameter named by `letter` (A, S or L in either case),
  // or nullptr for any other character.
  const std::string* ForLetter(char letter) const;
};

// Markers that `EvaluateFormula` returns instead of a value.
inline constexpr std::string_view kFormulaRefused = "?";
inline constexpr std::string_view kFormulaUnclosed = "Er1";
inline constexpr std::string_view kFormulaNested = "Er((";

// Message texts of the formula checks.
inline constexpr std::string_view kFormulaCheckTitle = kTitleConfirm;
inline constexpr std::string_view kMsgStarMinus =
    "計算式に *- があります。入力をやり直してください。";
inline constexpr std::string_view kMsgBadCharacter =
    "計算記号・数字以外が使用されています。入力をやり直してください。";
inline constexpr std::string_view kMsgParenCount =
    " ( と　）の数が合いません。入力をやり直してください。";
inline constexpr std::string_view kMsgStarMinusAfterGroup =
    "計算式に *- が含まれています。入力をやり直してください。";
inline constexpr std::string_view kMsgArithmeticFault =
    "計算式が不正です。値には0が入ります。";

// Evaluates a formula typed into a sheet with the parameters of its sheet and
// writes the value with exactly q decimals (q = 2: rounded half away from zero
// on the third decimal; q = 3 or 4: the rest cut off). Returns instead:
//   "?"    the formula was refused; its message has been shown;
//   "Er1"  a "(" without a ")" after it (no message);
//   "Er((" nested parentheses (no message; the caller reports it);
//   for a formula that is the single letter A, S or L, that parameter's text
//   with blanks trimmed, unchecked.
// The formula is reduced text-wise: each parenthesised group, then each
// multiplication or division from the left, is replaced by its five-decimal
// text before the reduction goes on. Time and memory grow linearly with the
// lengths of the formula and the parameters; parameters that name each other
// round a circle make the text grow at every step, and when it grows past a
// bound in proportion to those lengths the formula counts as an arithmetic
// fault (its message, then 0).
std::string EvaluateFormula(std::string_view formula, int q,
                            const FormulaParams& params, MessageSink& messages);

// Evaluates an expression without parentheses and returns its five-decimal
// text. A division by zero or an overflow (or a text grown past its bound,
// as for EvaluateFormula) shows its message and gives "0".
std::string EvaluateFlat(std::string_view expression,
                         const FormulaParams& params, MessageSink& messages);

// Writes a calculated value with exactly q decimals by the calculation
// rounding: the magnitude's 15-digit decimal text is rounded half away from
// zero at q = 2 and cut off at q = 3 and 4; the sign stays even when the
// result is zero ("-0.00").
std::string RoundCalculated(double value, int q);

}  // namespace veltrano

#endif  // VELTRANO_CALC_FORMULA_H_
