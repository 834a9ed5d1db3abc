#include "cli/cli.h"

#include <sstream>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace veltrano {
namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = RunCli(args, in, out, err);
  return {status, out.str(), err.str()};
}

TEST(CliEvalTest, WritesOneLinePerFormulaWithItsMessages) {
  CliRun r = Cli({"eval", "--param", "A=2.5", "--param", "s=3"},
              "A*S\r\n2*-3\n(6/0)+(1/0)\nA\n\n");
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out,
            "7.50\n"
            "?\t確認\t計算式に *- があります。入力をやり直してください。\n"
            "0.00\t確認\t計算式が不正です。値には0が入ります。"
            "\t確認\t計算式が不正です。値には0が入ります。\n"
            "2.5\n"
            "0.00\n");
  EXPECT_EQ(r.err, "");
}

TEST(CliEvalTest, DigitsSelectTheDigitModeAndParametersDefaultEmpty) {
  EXPECT_EQ(Cli({"eval", "--digits", "1"}, "1/3\n").out, "0.333\n");
  EXPECT_EQ(Cli({"eval", "--digits", "2"}, "1.23456\n").out, "1.2345\n");
  EXPECT_EQ(Cli({"eval"}, "L\nL*2\n").out, "\n0.00\n");
  EXPECT_EQ(Cli({"eval", "--param", "L=x=1"}, "L\n").out, "x=1\n");
}

TEST(CliTotalTest, ColumnTotalsAndCells) {
  EXPECT_EQ(Cli({"total"}, "12.375\n0.996\n0\n-0.5\n").out,
            "12.38\n1.00\n0.00\n-0.50\n");
  EXPECT_EQ(Cli({"total", "--digits", "1"}, "0.125\n").out, "0.13\n");
  EXPECT_EQ(Cli({"total", "--digits", "2"}, "7.999\n3\n").out, "7.99\n3.00\n");
  EXPECT_EQ(Cli({"total", "--digits", "1", "--cell"}, "1.2345\n").out,
            "1.235\n");
  EXPECT_EQ(Cli({"total", "--digits", "2", "--cell"}, "7.999\n").out,
            "7.9990\n");
  // Read as single precision: 2.675 is 2.6749999523 but writes 2.68.
  EXPECT_EQ(Cli({"total"}, "2.675\n").out, "2.68\n");
}

TEST(CliUsageTest, UsageErrorsExitTwoWithUsageOnStderr) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"eval", "--digits", "3"},
           {"eval", "--digits"},
           {"eval", "--param", "B=1"},
           {"eval", "--param", "A"},
           {"total", "--digits", "x"},
           {"total", "--bogus"}}) {
    CliRun r = Cli(args, "1\n");
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }
  CliRun help = Cli({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("eval"), std::string::npos);
  EXPECT_NE(help.out.find("total"), std::string::npos);
}

}  // namespace
}  // namespace veltrano
