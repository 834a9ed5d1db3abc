#include "calc/formula.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "calc/number_text.h"
#include "gtest/gtest.h"
#include "support/fake_dialogs.h"

namespace veltrano {
namespace {

using testing::FakeDialogs;
using testing::ShownDialog;

struct Case {
  const char* formula;
  int q;
  const char* expected;
};

std::string Eval(std::string_view formula, int q = 2,
                 const FormulaParams& params = {},
                 FakeDialogs* dialogs = nullptr) {
  FakeDialogs local;
  return EvaluateFormula(formula, q, params, dialogs ? *dialogs : local);
}

void ExpectQuiet(const std::vector<Case>& cases,
                 const FormulaParams& params = {}) {
  for (const Case& c : cases) {
    FakeDialogs dialogs;
    EXPECT_EQ(Eval(c.formula, c.q, params, &dialogs), c.expected)
        << "formula " << c.formula << " q=" << c.q;
    EXPECT_TRUE(dialogs.shown.empty()) << "formula " << c.formula;
  }
}

TEST(EvaluateFormulaTest, RoundsHalfAwayAtTwoAndCutsOffAtThreeAndFour) {
  ExpectQuiet({
      {"12.345", 2, "12.35"},   {"12.344", 2, "12.34"},
      {"-12.345", 2, "-12.35"}, {"12.3459", 3, "12.345"},
      {"1/3", 4, "0.3333"},     {"1/3*3", 2, "1.00"},
      {"1/3*3", 3, "0.999"},    {"0.995", 2, "1.00"},
      {"1.005", 2, "1.01"},     {"1.0059", 3, "1.005"},
      {"1.23456", 4, "1.2345"}, {"-1.23456", 4, "-1.2345"},
      {"2/3", 2, "0.67"},       {"-2/3", 2, "-0.67"},
      {"2/3", 3, "0.666"},      {"99.995", 2, "100.00"},
      {"9.9999", 3, "9.999"},   {"5", 3, "5.000"},
      {"0", 4, "0.0000"},       {"0.5", 2, "0.50"},
  });
}

TEST(EvaluateFormulaTest, FollowsOperatorOrderAndFiveDecimalSteps) {
  ExpectQuiet({
      {"2+3*4", 2, "14.00"},
      {"2-3*4", 2, "-10.00"},
      {"-2*3+1", 2, "-5.00"},
      {"8/2/2", 2, "2.00"},
      {"2*3/4", 2, "1.50"},
      {"10-2-3", 2, "5.00"},
      {"1+2*3-4/2", 2, "5.00"},
      // Each product is written with five decimals before it is used on.
      {"0.000004*1000000", 2, "4.00"},
      {"0.000004*1*1000000", 2, "0.00"},
      {"1/3*3", 4, "0.9999"},
      {"1/7*7", 4, "1.0000"},
      {"2/3+2/3", 4, "1.3333"},
      {"0.123456+0.123456", 4, "0.2469"},
      // Five decimals round half away on the 15-digit text.
      {"0.999995*1", 4, "1.0000"},
      {"0.000005*1", 4, "0.0000"},
      {"0.000015*1", 4, "0.0000"},
      {"0.00015*1", 4, "0.0001"},
  });
}

TEST(EvaluateFormulaTest, ResolvesParenthesisedGroupsLeftToRight) {
  ExpectQuiet({
      {"2*(1+2)", 2, "6.00"},
      {"(1+2)*3", 2, "9.00"},
      {"(1+2)", 2, "3.00"},
      {"(1+2)+(3+4)", 2, "10.00"},
      {"2*(1+2)*(3+4)", 2, "42.00"},
      {"(1-3)", 2, "-2.00"},
      {"(1-3)*2", 2, "-4.00"},
      {"(1/3)*3", 2, "1.00"},
      {"(2.5+1.5)*(3.2-0.2)/2", 2, "6.00"},
      // A negative group after - or + folds into the operator.
      {"2-(1-3)", 2, "4.00"},
      {"2+(1-3)", 2, "0.00"},
      {"-(1-3)", 2, "2.00"},
      {"5-(1-3)*2", 2, "9.00"},
      {"5-(1-3)/2", 2, "6.00"},
      {"2--3", 2, "-1.00"},
      // More than eleven groups are all resolved.
      {"(1)+(1)+(1)+(1)+(1)+(1)+(1)+(1)+(1)+(1)+(1)+(1)+(1)", 2, "13.00"},
  });
}

TEST(EvaluateFormulaTest, ReadsEmptyAndPartialOperandsAsTheLeadingNumber) {
  ExpectQuiet({
      {"2+", 2, "2.00"},
      {"+2", 2, "2.00"},
      {"3.", 2, "3.00"},
      {".5*2", 2, "1.00"},
      {"1.2.3+1", 2, "2.20"},
      {"", 2, "0.00"},
      {"  7  ", 2, "7.00"},
      {"0-0.001", 2, "-0.00"},
      {"0-0.00001", 4, "-0.0000"},
      {"0.3-0.1-0.2", 2, "0.00"},
      {"0.00004", 2, "0.00"},
      {"0.00004", 4, "0.0000"},
      {"0.00005", 4, "0.0000"},
  });
}

TEST(EvaluateFormulaTest, LargeAndTinyValuesArePlainDecimal) {
  ExpectQuiet({
      {"10000000000000000", 2, "10000000000000000.00"},
      {"100000000*100000000", 2, "10000000000000000.00"},
      {"123456789012345678", 2, "123456789012346000.00"},
      {"1000000000000000*1000", 3, "1000000000000000000.000"},
      {"0.000001/1000", 2, "0.00"},
      {"1234567890.12345", 2, "1234567890.12"},
      {"9999999999999.99", 2, "9999999999999.99"},
      // Sixteen significant digits are one too many for the decimal text.
      {"99999999999999.99", 2, "100000000000000.00"},
  });
  // 1e300 squared is an overflow: the message, then 0.
  std::string big = "1" + std::string(300, '0');
  FakeDialogs dialogs;
  EXPECT_EQ(Eval(big + "*" + big, 2, {}, &dialogs), "0.00");
  EXPECT_EQ(dialogs.shown, (std::vector<ShownDialog>{
                               {"確認", std::string(kMsgArithmeticFault)}}));
  std::string plain = Eval(big, 2);
  EXPECT_EQ(plain.size(), 301u + 3u);
  EXPECT_EQ(plain.substr(0, 16), "1000000000000000");
  EXPECT_EQ(plain.substr(plain.size() - 3), ".00");
}

TEST(EvaluateFormulaTest, SubstitutesParametersCaseInsensitively) {
  FormulaParams params{"2.5", "3", "0.75"};
  ExpectQuiet(
      {
          {"A*2", 2, "5.00"},
          {"a*2", 2, "5.00"},
          {"A*S", 2, "7.50"},
          {"A+S+L", 2, "6.25"},
          {"(A+S)*L", 2, "4.13"},
          {"(A)", 2, "2.50"},
          {"2*(A)", 2, "5.00"},
          {"s-l", 3, "2.250"},
          {"L*L*L", 4, "0.4218"},
      },
      params);
  // A lone letter returns the parameter text as typed, trimmed, unrounded.
  FormulaParams raw{" 3.456 ", "x", ""};
  EXPECT_EQ(Eval("A", 2, raw), "3.456");
  EXPECT_EQ(Eval(" a ", 2, raw), "3.456");
  EXPECT_EQ(Eval("S", 2, raw), "x");
  EXPECT_EQ(Eval("L", 2, raw), "");
  // A letter inside a longer operand is not a parameter.
  EXPECT_EQ(Eval("2A*3", 2, params), "6.00");
  EXPECT_EQ(Eval("AA", 2, params), "0.00");
}

TEST(EvaluateFormulaTest, ParameterTextEntersTheReductionAsText) {
  // A parameter that is itself negative is substituted as its text.
  FormulaParams params{"-2", "1", ""};
  EXPECT_EQ(Eval("A*3", 2, params), "-6.00");
  EXPECT_EQ(Eval("S-A", 2, params), "3.00");
  EXPECT_EQ(Eval("A", 2, params), "-2");
}

TEST(EvaluateFormulaTest, ParameterTextReshapesTheReductionAfterAStep) {
  // After a product, the text is split again, parameters included as the
  // texts they are: "1-A*2" with A = -3 becomes "1--6", which reads
  // 1 - 0 - 6.
  EXPECT_EQ(Eval("1-A*2", 2, {"-3", "", ""}), "-5.00");
  // A parameter holding an operator: "2+0*1" becomes "1+2+0" after the
  // product, while without a product the operand reads its leading number.
  EXPECT_EQ(Eval("A+0*1", 2, {"1+2", "", ""}), "3.00");
  EXPECT_EQ(Eval("A+0", 2, {"1+2", "", ""}), "1.00");
  // A parameter that is a letter is replaced again at the next step:
  // "S*1+A" becomes "4+S", then 4 + 4.
  EXPECT_EQ(Eval("S*1+A", 2, {"S", "4", ""}), "8.00");
}

// The flat reduction done literally, as a reference: cut the text at its
// operators, replace the letters by their parameters, replace the leftmost
// product or quotient by its five-decimal text, and again, until only sums
// are left. Every step copies the text, so it serves short texts only.
// Gives nothing for an arithmetic fault, and sets `*endless` (if given)
// when the text still has products after `max_steps` steps.
std::optional<std::string> RewriteStepByStep(std::string text,
                                             const FormulaParams& params,
                                             bool* endless = nullptr,
                                             int max_steps = 1 << 30) {
  const auto read = [](std::string_view t) -> std::optional<double> {
    double v = 0;
    if (!ReadLeadingNumber(t, &v)) return std::nullopt;
    return v;
  };
  for (int step = 0;; ++step) {
    if (step == max_steps) {
      if (endless) *endless = true;
      return std::nullopt;
    }
    std::vector<std::string> operands(1);
    std::vector<char> ops;
    for (char c : text) {
      if (c == '+' || c == '-' || c == '*' || c == '/') {
        ops.push_back(c);
        operands.emplace_back();
      } else {
        operands.back().push_back(c);
      }
    }
    for (std::string& e : operands) {
      if (e.size() == 1 && params.ForLetter(e[0])) e = *params.ForLetter(e[0]);
    }
    std::size_t i = 0;
    while (i < ops.size() && ops[i] != '*' && ops[i] != '/') ++i;
    if (i == ops.size()) {
      std::optional<double> v = read(operands[0]);
      for (std::size_t m = 0; v && m < ops.size(); ++m) {
        const std::optional<double> e = read(operands[m + 1]);
        if (!e) return std::nullopt;
        *v = ops[m] == '+' ? *v + *e : *v - *e;
        if (!std::isfinite(*v)) return std::nullopt;
      }
      if (!v) return std::nullopt;
      return FiveDecimalText(*v);
    }
    const std::optional<double> a = read(operands[i]);
    const std::optional<double> b = read(operands[i + 1]);
    if (!a || !b || (ops[i] == '/' && *b == 0)) return std::nullopt;
    const double x = ops[i] == '*' ? *a * *b : *a / *b;
    if (!std::isfinite(x)) return std::nullopt;
    std::string rebuilt;
    for (std::size_t m = 0; m < i; ++m) rebuilt += operands[m] + ops[m];
    rebuilt += FiveDecimalText(x);
    for (std::size_t m = i + 1; m < ops.size(); ++m) {
      rebuilt += ops[m] + operands[m + 1];
    }
    text = std::move(rebuilt);
  }
}

TEST(EvaluateFlatTest, AgreesWithStepByStepRewritingWhateverTheParametersHold) {
  // Parameters that are numbers, that hold operators or a parenthesis, and
  // that name letters, alone or round a circle. A circle of letters can
  // bring a product in at every step and never end; those few cases are
  // left out.
  const std::vector<std::string> texts = {
      "2.5",  "-1",    "-2.5", "1+2",          "+", "-", "(", "2*3",
      "0.5/", "4/2*1", "",     " 3 ",          "S", "a", "l", "A+1",
      "L-S",  "-A",    "1-s",  "99999999999*9"};
  const std::vector<std::string> operands = {
      "",   "0", "1", "2", "3.5", "0.25", "10", ".5",
      "7.", "A", "S", "L", "a",   "s",    "A",  "A"};
  const std::string operators = "+-*/**";
  std::mt19937 random(20261207);
  const auto pick = [&random](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };
  int reshaped = 0;
  int endless = 0;
  for (int round = 0; round < 3000; ++round) {
    const FormulaParams params{texts[pick(texts.size())],
                               texts[pick(texts.size())],
                               texts[pick(texts.size())]};
    std::string expression = operands[pick(operands.size())];
    for (std::size_t n = pick(10); n > 0; --n) {
      expression += operators[pick(operators.size())];
      expression += operands[pick(operands.size())];
    }
    bool never_ends = false;
    const std::optional<std::string> expected =
        RewriteStepByStep(expression, params, &never_ends, 100);
    if (never_ends) {
      ++endless;
      continue;
    }
    FakeDialogs dialogs;
    const std::string got = EvaluateFlat(expression, params, dialogs);
    const std::string where = expression + " with A=" + params.a +
                              " S=" + params.s + " L=" + params.l;
    if (expected) {
      EXPECT_EQ(got, *expected) << where;
      EXPECT_TRUE(dialogs.shown.empty()) << where;
    } else {
      EXPECT_EQ(got, "0") << where;
      EXPECT_EQ(dialogs.shown, (std::vector<ShownDialog>{
                                   {"確認", std::string(kMsgArithmeticFault)}}))
          << where;
    }
    if (expected &&
        expected != EvaluateFlat(expression, {"1", "1", "1"}, dialogs)) {
      ++reshaped;
    }
  }
  // The parameters changed the result of many of the texts.
  EXPECT_GT(reshaped, 1000);
  EXPECT_LT(endless, 150);
}

// A repeated block of a formula, and the value that `repetitions` blocks
// followed by "1" have by the step-by-step rewriting, if that value grows
// by the same amount with every block; checked on up to six blocks.
std::optional<double> ExtrapolatedValue(const std::string& block,
                                        const FormulaParams& params,
                                        long long repetitions) {
  std::vector<double> values;
  for (int n = 1; n <= 6; ++n) {
    std::string text;
    for (int k = 0; k < n; ++k) text += block;
    const std::optional<std::string> v = RewriteStepByStep(text + "1", params);
    if (!v) return std::nullopt;
    values.push_back(LeadingNumber(*v));
  }
  const double step = values[1] - values[0];
  for (std::size_t n = 2; n < values.size(); ++n) {
    if (values[n] - values[n - 1] != step) return std::nullopt;
  }
  return values[0] + step * static_cast<double>(repetitions - 1);
}

TEST(EvaluateFormulaTest, ParametersThatReshapeTheTextKeepTheTimeLinear) {
  // Formulas of 96 KB; a step-by-step rewriting would copy the text once
  // for every product in it, some twenty seconds for each.
  constexpr std::size_t kLength = 96 * 1024;

  // Parameters holding operators: "-1" makes "1*-1*-1*...*1" after the
  // first product, which reads 0-0-...-1; "1+1" adds one for each A.
  std::string stars;
  long long letters = 0;
  while (stars.size() < kLength) {
    stars += "A*";
    ++letters;
  }
  stars += "1";
  EXPECT_EQ(Eval(stars, 2, {"-1", "", ""}), "-1.00");
  EXPECT_EQ(Eval(stars, 2, {"1+1", "", ""}),
            std::to_string(letters - 1) + ".00");
  // Letters that only ever name each other read 0.
  EXPECT_EQ(Eval("1+" + stars, 2, {"L", "a", "s"}), "1.00");

  // Letters naming letters that hold operators, the value checked against
  // the rewriting on a few repetitions of the block.
  const FormulaParams chain{"-1", "A", "2*S"};
  for (const std::string block : {"A*S*L-L*2*3+", "S*L*A-2/L+"}) {
    std::string formula;
    long long repetitions = 0;
    while (formula.size() < kLength) {
      formula += block;
      ++repetitions;
    }
    const std::optional<double> expected =
        ExtrapolatedValue(block, chain, repetitions);
    ASSERT_TRUE(expected.has_value()) << block;
    FakeDialogs dialogs;
    EXPECT_EQ(Eval(formula + "1", 2, chain, &dialogs),
              RoundCalculated(*expected, 2))
        << block;
    EXPECT_TRUE(dialogs.shown.empty()) << block;
  }
}

TEST(EvaluateFormulaTest, ParametersThatGrowTheTextEveryStepAreAFault) {
  // A = "A+1" adds a term at every step. Short formulas are rewritten in
  // full; a long one would grow past its bound.
  const FormulaParams growing{"A+1", "", ""};
  EXPECT_EQ(Eval("A+2*3*4", 2, growing), "26.00");
  std::string formula = "A";
  while (formula.size() < 16 * 1024) formula += "+1*1";
  FakeDialogs dialogs;
  EXPECT_EQ(Eval(formula, 2, growing, &dialogs), "0.00");
  EXPECT_EQ(
      dialogs.shown,
      (std::vector<ShownDialog>{{"確認", std::string(kMsgArithmeticFault)}}));
}

TEST(EvaluateFormulaTest, LongFormulasKeepEveryFiveDecimalStep) {
  // Each product is rounded to five decimals before the next: every step
  // of "*1.00001" adds exactly 0.00001 (1.00001 to the 20000th power would
  // be 1.2214).
  std::string formula = "1";
  for (int i = 0; i < 20000; ++i) formula += "*1.00001";
  EXPECT_EQ(Eval(formula, 4), "1.2000");
  // Runs of products between sums and groups, a million characters long.
  std::string groups;
  while (groups.size() < 1'000'000) groups += "2*(1-3)/2+(1-3)*0.5-";
  groups += "0";
  // Every repetition adds -2 (2 * -2 / 2 is refused as "*-" after the
  // group is replaced; so is the whole formula).
  FakeDialogs dialogs;
  EXPECT_EQ(Eval(groups, 2, {}, &dialogs), "?");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, kMsgStarMinusAfterGroup);

  std::string sums;
  int repetitions = 0;
  while (sums.size() < 1'000'000) {
    sums += "(1-3)+2.5*4/2-(0.25+0.5)*4-";
    ++repetitions;
  }
  sums += "0";
  // The first repetition gives -2 + 5 - 3 = 0; in each later one the group
  // follows "-" and folds into it: + 2 + 5 - 3 = 4.
  EXPECT_GT(repetitions, 30000);
  EXPECT_EQ(Eval(sums), std::to_string(4 * (repetitions - 1)) + ".00");
}

TEST(EvaluateFormulaTest, RefusesWithTheFirstFailingCheck) {
  struct Refusal {
    const char* formula;
    std::string_view message;
  };
  const std::vector<Refusal> refusals = {
      {"2*-3", kMsgStarMinus},
      {"2*-x", kMsgStarMinus},  // *- is checked before the characters
      {"2 +3", kMsgBadCharacter},
      {"2x", kMsgBadCharacter},
      {"B*2", kMsgBadCharacter},
      {"２*3", kMsgBadCharacter},
      {"2＋3", kMsgBadCharacter},
      {"Ａ*2", kMsgBadCharacter},
      {"2,5", kMsgBadCharacter},
      {"(1+2", kMsgParenCount},
      {"1+2)", kMsgParenCount},
      {"x(1+2", kMsgBadCharacter},
      {"2*(1-3)", kMsgStarMinusAfterGroup},
      {"(0-1)*(0-1)", kMsgStarMinusAfterGroup},
  };
  for (const Refusal& r : refusals) {
    FakeDialogs dialogs;
    EXPECT_EQ(Eval(r.formula, 2, {}, &dialogs), "?") << r.formula;
    ASSERT_EQ(dialogs.shown.size(), 1u) << r.formula;
    EXPECT_EQ(dialogs.shown[0].title, "確認");
    EXPECT_EQ(dialogs.shown[0].text, r.message) << r.formula;
  }
}

TEST(EvaluateFormulaTest, ReturnsParenthesisMarkersWithoutMessages) {
  for (const char* f : {"((1+2))", "(1+(2))", "2*((3))"}) {
    FakeDialogs dialogs;
    EXPECT_EQ(Eval(f, 2, {}, &dialogs), "Er((") << f;
    EXPECT_TRUE(dialogs.shown.empty());
  }
  for (const char* f : {")1+2(", "1)+(2", "(1)+)2("}) {
    FakeDialogs dialogs;
    EXPECT_EQ(Eval(f, 2, {}, &dialogs), "Er1") << f;
    EXPECT_TRUE(dialogs.shown.empty());
  }
}

TEST(EvaluateFormulaTest, ArithmeticFaultsGiveZeroWithTheirMessage) {
  const ShownDialog fault{"確認", std::string(kMsgArithmeticFault)};
  for (const char* f : {"6/0", "6/(1-3)", "0/0", "5/.", "1/0+2"}) {
    FakeDialogs dialogs;
    EXPECT_EQ(Eval(f, 2, {}, &dialogs), "0.00") << f;
    EXPECT_EQ(dialogs.shown, std::vector<ShownDialog>{fault}) << f;
  }
  // A fault inside a group makes only that group 0.
  FakeDialogs dialogs;
  EXPECT_EQ(Eval("(6/0)+1+(1/0)", 2, {}, &dialogs), "1.00");
  EXPECT_EQ(dialogs.shown, (std::vector<ShownDialog>{fault, fault}));
  // Too long a literal is an overflow too.
  FakeDialogs dialogs2;
  EXPECT_EQ(Eval(std::string(400, '9') + "+1", 2, {}, &dialogs2), "0.00");
  EXPECT_EQ(dialogs2.shown, std::vector<ShownDialog>{fault});
}

TEST(EvaluateFlatTest, ReturnsFiveDecimalText) {
  FakeDialogs dialogs;
  FormulaParams params{"1.5", "", ""};
  EXPECT_EQ(EvaluateFlat("1/3", params, dialogs), "0.33333");
  EXPECT_EQ(EvaluateFlat("2*3", params, dialogs), "6");
  EXPECT_EQ(EvaluateFlat("0-2.5", params, dialogs), "-2.5");
  EXPECT_EQ(EvaluateFlat("A", params, dialogs), "1.5");
  EXPECT_EQ(EvaluateFlat("0.3-0.1-0.2", params, dialogs), "0");
  EXPECT_EQ(EvaluateFlat("0-0.000001", params, dialogs), "0");
  EXPECT_EQ(EvaluateFlat("", params, dialogs), "0");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST(RoundCalculatedTest, WritesExactlyQDecimals) {
  EXPECT_EQ(RoundCalculated(0.005, 2), "0.01");
  EXPECT_EQ(RoundCalculated(-0.005, 2), "-0.01");
  EXPECT_EQ(RoundCalculated(-0.004, 2), "-0.00");
  EXPECT_EQ(RoundCalculated(1e15, 2), "1000000000000000.00");
  EXPECT_EQ(RoundCalculated(4e-5, 3), "0.000");
  EXPECT_EQ(RoundCalculated(2.675, 2), "2.68");
  EXPECT_EQ(RoundCalculated(1.99999, 4), "1.9999");
  EXPECT_EQ(RoundCalculated(12, 4), "12.0000");
}

}  // namespace
}  // namespace veltrano
