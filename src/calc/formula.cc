#include "calc/formula.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "calc/number_text.h"

namespace veltrano {
namespace {

bool IsOperator(char c) { return c == '*' || c == '/' || c == '+' || c == '-'; }

bool IsProduct(char op) { return op == '*' || op == '/'; }

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

// 0, 1 and 2 for the letters A, S and L in either case, -1 for any other
// character.
int LetterIndex(char c) {
  switch (c) {
    case 'A':
    case 'a':
      return 0;
    case 'S':
    case 's':
      return 1;
    case 'L':
    case 'l':
      return 2;
    default:
      return -1;
  }
}

bool IsLetter(std::string_view text) {
  return text.size() == 1 && LetterIndex(text[0]) >= 0;
}

bool HoldsOperator(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsOperator);
}

// Raised inside the flat evaluation for a division by zero or an overflow,
// and for a text that the parameters make grow past the evaluation's
// allowance (see FlatEvaluation).
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

// A product or quotient of two operands read as numbers.
double Apply(char op, double left, double right) {
  if (op == '*') return Checked(left * right);
  if (right == 0) throw ArithmeticFault{};
  return Checked(left / right);
}

// Cuts a text at every operator: operands[k] stands before ops[k], and
// there is one operand more than there are operators (an operand may be
// empty).
void SplitAtOperators(std::string_view text,
                      std::vector<std::string_view>* operands,
                      std::vector<char>* ops) {
  operands->clear();
  ops->clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsOperator(text[i])) {
      operands->push_back(text.substr(start, i - start));
      ops->push_back(text[i]);
      start = i + 1;
    }
  }
  operands->push_back(text.substr(start));
}

// The flat evaluation rewrites its text. At each step every operand that is
// one of the letters is replaced by its parameter's text; then the leftmost
// "*" or "/" and its two operands are replaced by the five-decimal text of
// the result, and the text is cut at its operators again. When only "+" and
// "-" are left, the operands are added and subtracted from the left.
//
// Done literally, every step copies the whole text. Here a step is done
// literally only while it can change the shape of the text, that is while
// an operand, once replaced, holds an operator or is a letter (a parameter
// such as "-1" or "1+2", or one that names a letter). Once every operand is
// a plain number no product or quotient can be negative, so each result is
// a single operand again and one pass from the left gives what the steps
// would give. Parameters without letters leave no letter after the first
// step, and a letter that a parameter names is replaced at the next one, so
// unless the letters name each other round a circle a few literal steps
// are all there are.
//
// A letter whose parameter is a letter, whose parameter is a letter, and
// so on round a circle ("A" = "S", "S" = "A") reads 0 whenever it is read,
// however often it is replaced; it is replaced by "0" at once. Any other
// circle ("A" = "A+1") makes the text grow at every step for as long as
// products are left. The text the literal steps of one evaluation may
// build is therefore limited to an allowance in proportion to the length
// of the formula and the parameters; past it the formula counts as
// faulty.
class FlatEvaluation {
 public:
  FlatEvaluation(const FormulaParams& params, std::size_t formula_length)
      : params_(params),
        allowance_(kAllowanceFloor +
                   kAllowancePerByte * (formula_length + params.a.size() +
                                        params.s.size() + params.l.size())) {
    const std::array<const std::string*, 3> texts = {&params.a, &params.s,
                                                     &params.l};
    for (int start = 0; start < 3; ++start) {
      std::array<bool, 3> seen{};
      int at = start;
      while (at >= 0 && !seen[static_cast<std::size_t>(at)]) {
        seen[static_cast<std::size_t>(at)] = true;
        const std::string& text = *texts[static_cast<std::size_t>(at)];
        at = IsLetter(text) ? LetterIndex(text[0]) : -1;
      }
      reads_zero_[static_cast<std::size_t>(start)] = at >= 0;
    }
  }

  // The five-decimal text of an expression without parentheses.
  std::string Evaluate(std::string_view expression) {
    std::string text;  // the expression as the last literal step left it
    std::string_view s = expression;
    while (true) {
      SplitAtOperators(s, &operands_, &ops_);
      bool reshapes = false;
      for (std::string_view& e : operands_) {
        e = Substitute(e);
        reshapes = reshapes || HoldsOperator(e) || IsLetter(e);
      }
      const auto product = std::find_if(ops_.begin(), ops_.end(), IsProduct);
      if (product == ops_.end() || !reshapes) return SumOfProducts();
      text = Step(static_cast<std::size_t>(product - ops_.begin()));
      s = text;
    }
  }

 private:
  static constexpr std::size_t kAllowanceFloor = std::size_t{1} << 20;
  static constexpr std::size_t kAllowancePerByte = 64;

  std::string_view Substitute(std::string_view operand) const {
    if (!IsLetter(operand)) return operand;
    if (reads_zero_[static_cast<std::size_t>(LetterIndex(operand[0]))]) {
      return "0";
    }
    return *params_.ForLetter(operand[0]);
  }

  // One literal step: the product or quotient at ops_[i] and its operands
  // give way to the five-decimal text of the result. Returns the new text.
  std::string Step(std::size_t i) {
    const std::string x = FiveDecimalText(Apply(
        ops_[i], ReadOperand(operands_[i]), ReadOperand(operands_[i + 1])));
    std::size_t size = x.size() + ops_.size() - 1;
    for (std::size_t m = 0; m < operands_.size(); ++m) {
      if (m != i && m != i + 1) size += operands_[m].size();
    }
    if (size > allowance_) throw ArithmeticFault{};
    allowance_ -= size;
    std::string rebuilt;
    rebuilt.reserve(size);
    for (std::size_t m = 0; m < i; ++m) {
      rebuilt.append(operands_[m]);
      rebuilt.push_back(ops_[m]);
    }
    rebuilt.append(x);
    for (std::size_t m = i + 1; m < ops_.size(); ++m) {
      rebuilt.push_back(ops_[m]);
      rebuilt.append(operands_[m + 1]);
    }
    return rebuilt;
  }

  // The rest of the evaluation in one pass, for operands that no step can
  // reshape: each run of "*" and "/" is worked out from the left, every
  // result written as its five-decimal text and read back; the runs'
  // results and the other operands are added and subtracted from the left.
  std::string SumOfProducts() const {
    double v = 0;
    std::size_t m = 0;
    for (bool first = true;; first = false) {
      const char sign = first ? '+' : ops_[m++];
      double term = ReadOperand(operands_[m]);
      while (m < ops_.size() && IsProduct(ops_[m])) {
        term = FiveDecimalValue(
            Apply(ops_[m], term, ReadOperand(operands_[m + 1])));
        ++m;
      }
      v = first ? term : Checked(sign == '+' ? v + term : v - term);
      if (m == ops_.size()) return FiveDecimalText(v);
    }
  }

  const FormulaParams& params_;
  std::array<bool, 3> reads_zero_{};  // by LetterIndex
  std::size_t allowance_;             // bytes the literal steps may build
  std::vector<std::string_view> operands_;
  std::vector<char> ops_;
};

// The five-decimal text of a flat expression, or "0" after the message of
// an arithmetic fault.
std::string EvaluateFlatWith(FlatEvaluation& evaluation,
                             std::string_view expression,
                             MessageSink& dialogs) {
  try {
    return evaluation.Evaluate(expression);
  } catch (const ArithmeticFault&) {
    dialogs.ShowMessage(kFormulaCheckTitle, kMsgArithmeticFault);
    return "0";
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
  FlatEvaluation evaluation(params, expression.size());
  return EvaluateFlatWith(evaluation, expression, dialogs);
}

std::string RoundCalculated(double value, int q) {
  const RoundMode mode =
      q == 2 ? RoundMode::kHalfAwayFromZero : RoundMode::kCutOff;
  long long units = 0;
  if (q >= 1 && q <= 5 && ExactFiveDecimalUnits(value, &units)) {
    std::string text = RoundFiveDecimalUnits(units, q, mode);
    if (value < 0) text.insert(text.begin(), '-');
    return text;
  }
  std::string magnitude = PlainMagnitude(value, 15);
  if (magnitude.find('.') == std::string::npos) {
    magnitude.push_back('.');
    magnitude.append(static_cast<std::size_t>(q), '0');
  } else {
    magnitude = RoundDecimalText(magnitude, q, mode);
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

  // One allowance for the groups and the rest of the formula together.
  FlatEvaluation evaluation(params, s.size());

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
      std::string value = EvaluateFlatWith(
          evaluation, std::string_view(s).substr(p + 1, close_at - p - 1),
          dialogs);
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
  if (!ReadLeadingNumber(EvaluateFlatWith(evaluation, s, dialogs), &v)) {
    dialogs.ShowMessage(kFormulaCheckTitle, kMsgArithmeticFault);
    v = 0;
  }
  return RoundCalculated(v, q);
}

}  // namespace veltrano
