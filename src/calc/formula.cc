#include "calc/formula.h"

#include <algorithm>
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

// The evaluation as the text is rewritten: take the leftmost "*" or "/",
// put the five-decimal text of its result in place of its two operands and
// split the text again, until only "+" and "-" are left. Each step takes
// time in the length of the text, so this is kept for the texts whose shape
// a step can change (see EvaluateFlatOrThrow).
std::string EvaluateFlatStepwise(std::string_view expression,
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

bool HoldsOperator(std::string_view text) {
  for (char c : text) {
    if (IsOperator(c)) return true;
  }
  return false;
}

// The same result as EvaluateFlatStepwise in one pass. The text is split
// once; each run of "*" and "/" is worked out from the left, every result
// written as its five-decimal text and read back, then the runs are added
// and subtracted from the left. This gives what rewriting the text gives as
// long as a step cannot change the text's shape, which holds when no
// operand (after the letters are replaced by their parameters) holds an
// operator or is itself a letter: the operands are then not negative, and
// so are the products and quotients, whose texts hold digits and a point
// only. Otherwise the text is rewritten step by step.
std::string EvaluateFlatOrThrow(std::string_view expression,
                                const FormulaParams& params) {
  std::vector<std::string_view> operands;
  std::vector<char> ops;
  std::size_t start = 0;
  for (std::size_t i = 0; i < expression.size(); ++i) {
    if (IsOperator(expression[i])) {
      operands.push_back(expression.substr(start, i - start));
      ops.push_back(expression[i]);
      start = i + 1;
    }
  }
  operands.push_back(expression.substr(start));
  const bool has_product = std::find_if(ops.begin(), ops.end(), [](char op) {
                             return op == '*' || op == '/';
                           }) != ops.end();
  for (std::string_view& e : operands) {
    e = Substitute(e, params);
    if (has_product &&
        (HoldsOperator(e) || (e.size() == 1 && params.ForLetter(e[0])))) {
      return EvaluateFlatStepwise(expression, params);
    }
  }
  if (ops.empty()) return FiveDecimalText(ReadOperand(operands[0]));

  // Terms joined by "+" and "-"; a term is an operand or the text of the
  // last result of its run of "*" and "/".
  std::vector<std::string> products;  // texts of the runs' results
  std::vector<std::string_view> terms;
  std::vector<char> signs;
  std::vector<std::size_t> product_of;  // index into products, or npos
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t m = 0;
  while (true) {
    std::string text;
    bool multiplied = false;
    std::string_view term = operands[m];
    while (m < ops.size() && (ops[m] == '*' || ops[m] == '/')) {
      const double left =
          ReadOperand(multiplied ? std::string_view(text) : term);
      const double right = ReadOperand(operands[m + 1]);
      double x;
      if (ops[m] == '*') {
        x = Checked(left * right);
      } else {
        if (right == 0) throw ArithmeticFault{};
        x = Checked(left / right);
      }
      text = FiveDecimalText(x);
      multiplied = true;
      ++m;
    }
    if (multiplied) {
      product_of.push_back(products.size());
      products.push_back(std::move(text));
    } else {
      product_of.push_back(kNone);
    }
    terms.push_back(term);
    if (m == ops.size()) break;
    signs.push_back(ops[m]);
    ++m;
  }
  auto term_text = [&](std::size_t k) {
    return product_of[k] == kNone ? terms[k]
                                  : std::string_view(products[product_of[k]]);
  };
  if (terms.size() == 1) return FiveDecimalText(ReadOperand(term_text(0)));
  double v = ReadOperand(term_text(0));
  for (std::size_t k = 1; k < terms.size(); ++k) {
    const double e = ReadOperand(term_text(k));
    v = Checked(signs[k - 1] == '+' ? v + e : v - e);
  }
  return FiveDecimalText(v);
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

  // Every group is replaced by its value, leftmost first. Groups are never
  // nested (that is refused), so the text is built in one pass from the
  // left: what lies before a group is already final.
  if (s.find('(') != std::string::npos) {
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (true) {
      const std::size_t p = s.find('(', pos);
      if (p == std::string::npos) {
        out.append(std::string_view(s).substr(pos));
        break;
      }
      const std::size_t close_at = s.find(')', p + 1);
      if (close_at == std::string::npos) return std::string(kFormulaUnclosed);
      if (std::string_view(s).substr(p + 1, close_at - p - 1).find('(') !=
          std::string_view::npos) {
        return std::string(kFormulaNested);
      }
      out.append(std::string_view(s).substr(pos, p - pos));
      std::string value = EvaluateFlat(
          std::string_view(s).substr(p + 1, close_at - p - 1), params, dialogs);
      // A negative group right after "-" or "+" is folded into that
      // operator, so that 2-(1-3) reads 2+2 rather than 2--2.
      if (!value.empty() && value.front() == '-' && !out.empty() &&
          (out.back() == '-' || out.back() == '+')) {
        out.back() = out.back() == '-' ? '+' : '-';
        value.erase(0, 1);
      }
      out.append(value);
      pos = close_at + 1;
    }
    s = std::string(TrimBlanks(out));
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
