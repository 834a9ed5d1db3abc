#include "calc/formula.h"

#include <cmath>
#include <string>
#include <vector>

#include "calc/number_text.h"

namespace veltrano {
namespace {

bool IsOperator(char c) { return c == '*' || c == '/' || c == '+' || c == '-'; }

bool IsAllowed(char c) {
  if (c >= '0' && c <= '9') return true;
  switch (c) {
    case '.': case '+': case '-': case '*': case '/': case '(': case ')':
    case 'A': case 'a': case 'S': case 's': case 'L': case 'l':
      return true;
    default:
      return false;
  }
}

// Raised inside the flat evaluation for a division by zero or an overflow.
struct ArithmeticFault {};

double ReadOperand(std::string_view text) {
  double v = 0;
  if (!ReadLeadingNumber(text, &v)) throw ArithmeticFault{};
  return v;
}

double Checked(double v) {
  if (!std::isfinite(v)) throw ArithmeticFault{};
  return v;
}

// An operand that is exactly one of the letters stands for its parameter.
std::string_view Substitute(std::string_view operand,
                            const FormulaParams& params) {
  if (operand.size() == 1) {
    if (const std::string* p = params.ForLetter(operand[0])) return *p;
  }
  return operand;
}

std::string EvaluateFlatOrThrow(std::string_view expression,
                                const FormulaParams& params) {
  std::string s(expression);
  std::vector<std::string_view> operands;
  std::vector<char> ops;
  while (true) {
    operands.clear();
    ops.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (IsOperator(s[i])) {
        operands.push_back(std::string_view(s).substr(start, i - start));
        ops.push_back(s[i]);
        start = i + 1;
      }
    }
    operands.push_back(std::string_view(s).substr(start));
    for (auto& e : operands) e = Substitute(e, params);
    if (ops.empty()) return FiveDecimalText(ReadOperand(operands[0]));

    std::size_t i = 0;
    while (i < ops.size() && ops[i] != '*' && ops[i] != '/') ++i;
    if (i == ops.size()) {
      double v = ReadOperand(operands[0]);
      for (std::size_t m = 0; m < ops.size(); ++m) {
        const double e = ReadOperand(operands[m + 1]);
        v = Checked(ops[m] == '+' ? v + e : v - e);
      }
      return FiveDecimalText(v);
    }

    const double left = ReadOperand(operands[i]);
    const double right = ReadOperand(operands[i + 1]);
    double x;
    if (ops[i] == '*') {
      x = Checked(left * right);
    } else {
      if (right == 0) throw ArithmeticFault{};
      x = Checked(left / right);
    }
    std::string rebuilt;
    rebuilt.reserve(s.size() + 16);
    for (std::size_t m = 0; m < i; ++m) {
      rebuilt.append(operands[m]);
      rebuilt.push_back(ops[m]);
    }
    rebuilt.append(FiveDecimalText(x));
    for (std::size_t m = i + 1; m < ops.size(); ++m) {
      rebuilt.push_back(ops[m]);
      rebuilt.append(operands[m + 1]);
    }
    s = std::move(rebuilt);
  }
}

}  // namespace

const std::string* FormulaParams::ForLetter(char letter) const {
  switch (letter) {
    case 'A': case 'a': return &a;
    case 'S': case 's': return &s;
    case 'L': case 'l': return &l;
    default: return nullptr;
  }
}

std::string EvaluateFlat(std::string_view expression,
                         const FormulaParams& params, MessageSink& dialogs) {
  try {
    return EvaluateFlatOrThrow(expression, params);
  } catch (const ArithmeticFault&) {
    dialogs.ShowMessage(kFormulaCheckTitle, kMsgArithmeticFault);
    return "0";
  }
}

std::string RoundCalculated(double value, int q) {
  std::string magnitude = PlainMagnitude(value, 15);
  if (magnitude.find('.') == std::string::npos) {
    magnitude.push_back('.');
    magnitude.append(static_cast<std::size_t>(q), '0');
  } else {
    magnitude = RoundDecimalText(
        magnitude, q,
        q == 2 ? RoundMode::kHalfAwayFromZero : RoundMode::kCutOff);
  }
  if (value < 0) magnitude.insert(magnitude.begin(), '-');
  return magnitude;
}

std::string EvaluateFormula(std::string_view formula, int q,
                            const FormulaParams& params, MessageSink& dialogs) {
  std::string s(TrimBlanks(formula));

  if (s.size() == 1) {
    if (const std::string* p = params.ForLetter(s[0])) {
      return std::string(TrimBlanks(*p));
    }
  }

  if (s.find("*-") != std::string::npos) {
    dialogs.ShowMessage(kFormulaCheckTitle, kMsgStarMinus);
    return std::string(kFormulaRefused);
  }
  int open = 0;
  int close = 0;
  for (char c : s) {
    if (!IsAllowed(c)) {
      dialogs.ShowMessage(kFormulaCheckTitle, kMsgBadCharacter);
      return std::string(kFormulaRefused);
    }
    if (c == '(') ++open;
    if (c == ')') ++close;
  }
  if (open != close) {
    dialogs.ShowMessage(kFormulaCheckTitle, kMsgParenCount);
    return std::string(kFormulaRefused);
  }

  // Every group is replaced by its value, leftmost first.
  for (std::size_t p = s.find('('); p != std::string::npos; p = s.find('(')) {
    const std::size_t close_at = s.find(')', p + 1);
    if (close_at == std::string::npos) return std::string(kFormulaUnclosed);
    if (s.find('(', p + 1) < close_at) return std::string(kFormulaNested);
    std::string left = s.substr(0, p);
    std::string value = EvaluateFlat(
        std::string_view(s).substr(p + 1, close_at - p - 1), params, dialogs);
    // A negative group right after "-" or "+" is folded into that operator,
    // so that 2-(1-3) reads 2+2 rather than 2--2.
    if (!value.empty() && value.front() == '-' && !left.empty() &&
        (left.back() == '-' || left.back() == '+')) {
      left.back() = left.back() == '-' ? '+' : '-';
      value.erase(0, 1);
    }
    std::string joined = std::move(left);
    joined.append(value);
    joined.append(std::string_view(s).substr(close_at + 1));
    s = std::string(TrimBlanks(joined));
  }

  if (s.find("*-") != std::string::npos) {
    dialogs.ShowMessage(kFormulaCheckTitle, kMsgStarMinusAfterGroup);
    return std::string(kFormulaRefused);
  }

  double v = 0;
  if (!ReadLeadingNumber(EvaluateFlat(s, params, dialogs), &v)) {
    dialogs.ShowMessage(kFormulaCheckTitle, kMsgArithmeticFault);
    v = 0;
  }
  return RoundCalculated(v, q);
}

}  // namespace veltrano
