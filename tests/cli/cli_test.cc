#include "cli/cli.h"
#include "port/printer.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "calc/text_file.h"
#include "cli/scenario.h"
#include "config/folders.h"
#include "gtest/gtest.h"
#include "port/this_process.h"
#include "project/project_lock.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

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

// The usage text is part of the tool's contract: every command, in this
// order, with these words.
TEST(CliUsageTest, HelpWritesTheUsageText) {
  const std::string usage =
      "usage: veltrano-cli COMMAND [OPTIONS]\n"
      "\n"
      "commands:\n"
      "  eval [--digits D] [--param A=TEXT] [--param S=TEXT] "
      "[--param L=TEXT]\n"
      "      evaluate formulas read from standard input, one per line\n"
      "  total [--digits D] [--cell]\n"
      "      write summary totals of numbers read from standard input\n"
      "  [--base DIR] info FILE.xdt\n"
      "      print the counts and the room and place names of a project\n"
      "  [--base DIR] resave FILE.xdt -o OUT.xdt [--force]\n"
      "      open a project and write it as \"Save\" does\n"
      "  [--base DIR] recalc FILE.xdt -o OUT.xdt [--force] [--digits D]\n"
      "      recalculate every room and place, then write as \"Save\" does\n"
      "  [--base DIR] aggregate FILE.xdt -o OUT.xdt [--force] [--digits D] [--rounding R] "
      "STEP...\n"
      "      run aggregation steps (interior, exterior, interior=NAME,..., "
      "exterior=NAME,..., fittings, worktype), then write as \"Save\" does\n"
      "  [--base DIR] export FILE.xdt TABLE [--lf | --xlsx OUT.xlsx | --csv OUT.csv [--utf8]]\n"
      "      print the clipboard text of a summary table (interior-0..4, "
      "exterior-0..4, fittings, worktype), or write it as a spreadsheet file "
      "(TABLE all: every table, with --xlsx)\n"
      "  [--base DIR] print FILE.xdt -o OUT.pdf KIND [--start-page N] "
      "[--rooms NAME,...] [--tables I,...]\n"
      "      print into an A4 landscape PDF as the print dialog would (KIND: "
      "interior, exterior, fittings, summary); writes \"pages N\"\n"
      "  [--base DIR] plans FILE.xdt\n"
      "      print the measurements on the project's drawings: "
      "N PAGE KIND VALUE SIDE ROOM ROW COLUMN\n"
      "  [--base DIR] run SCRIPT\n"
      "      replay a script of user actions (see docs/scenarios.md)\n"
      "\n"
      "D is the calculation-digits setting: 0, 1 or 2 (default 0).\n"
      "DIR is the base folder (default: $VELTRANO_BASE, else ~/Veltrano).\n";
  const CliRun help = Cli({"help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_EQ(help.out, usage);
  const CliRun unknown = Cli({"--base", "x", "frobnicate"});
  EXPECT_EQ(unknown.status, kExitUsage);
  EXPECT_EQ(unknown.err,
            "veltrano-cli: unknown command: frobnicate\n\n" + usage);
}

// info, resave and recalc on a project saved by the program, in a base
// folder and a home folder of their own.
class CliProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) /
            ("veltrano_cli_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    if (const char* home = std::getenv("HOME")) old_home_ = home;
    ::setenv("HOME", (root_ / "home").c_str(), 1);
    base_ = root_ / "Veltrano";
    std::ostringstream shown;
    ScenarioRunner runner(FoldersUnder(base_, root_ / "home"), shown);
    ASSERT_TRUE(runner.Run(
        "new\nchoose-file p.xdt\nname-dialog create\n"
        "rooms open\nrooms add 居間\nrooms close\nfill 1 3 2*3\n"
        "mode 5\nrooms open\nrooms add 門\nrooms close\nsave\n",
        "make.vts"))
        << runner.failure();
    project_ = (base_ / "Data" / "p.xdt").string();
  }
  void TearDown() override {
    if (old_home_) {
      ::setenv("HOME", old_home_->c_str(), 1);
    } else {
      ::unsetenv("HOME");
    }
    fs::remove_all(root_);
  }

  static std::string Bytes(const fs::path& path) {
    std::string bytes, error;
    EXPECT_TRUE(ReadFileBytes(path, &bytes, &error)) << error;
    return bytes;
  }

  fs::path root_;
  fs::path base_;
  std::string project_;
  std::optional<std::string> old_home_;
};

TEST_F(CliProjectTest, InfoListsCountsRoomsAndPlaces) {
  const CliRun r = Cli({"--base", base_.string(), "info", project_});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out,
            "rooms 1\nplaces 1\nfittings 0\ntakeoffs 0\n"
            "room 居間\nplace 門\n");
  EXPECT_EQ(Cli({"--base", base_.string(), "info"}).status, kExitUsage);
}

TEST_F(CliProjectTest, ResaveWritesTheSameBytesAndRecalcTheNewValues) {
  const std::string resaved = (root_ / "resaved.xdt").string();
  const std::string recalculated = (root_ / "recalculated.xdt").string();
  const CliRun resave =
      Cli({"--base", base_.string(), "resave", project_, "-o", resaved});
  EXPECT_EQ(resave.status, kExitOk) << resave.err;
  EXPECT_EQ(Bytes(resaved), Bytes(project_));

  const CliRun recalc = Cli({"--base", base_.string(), "recalc", project_,
                             "-o", recalculated, "--digits", "2"});
  EXPECT_EQ(recalc.status, kExitOk) << recalc.err;
  const std::string bytes = Bytes(recalculated);
  EXPECT_NE(bytes.find(",2*3,,6.0000,"), std::string::npos);
  EXPECT_NE(Bytes(project_).find(",2*3,,6.00,"), std::string::npos);

  const CliRun no_out = Cli({"--base", base_.string(), "recalc", project_});
  EXPECT_EQ(no_out.status, kExitUsage);
  EXPECT_EQ(no_out.err.substr(0, no_out.err.find('\n')),
            "veltrano-cli: recalc needs -o OUT.xdt");
}

// A project another program has open is not written over, unless forced;
// a lock whose holder is gone is no lock.
TEST_F(CliProjectTest, CommandsThatWriteRespectALiveLock) {
  const std::string out = (root_ / "locked.xdt").string();
  const ProcessIdentity self = ThisProcess();
  // Process 1 runs in every process namespace.
  const LockHolder live{"suzuki", self.host, 1, SecondsNow()};
  std::ofstream(LockPathOf(out), std::ios::binary) << LockLine(live);
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"resave", project_, "-o", out},
        std::vector<std::string>{"recalc", project_, "-o", out},
        std::vector<std::string>{"aggregate", project_, "-o", out, "interior"}}) {
    std::vector<std::string> args = {"--base", base_.string()};
    args.insert(args.end(), command.begin(), command.end());
    const CliRun refused = Cli(args);
    EXPECT_EQ(refused.status, kExitFailure) << command[0];
    EXPECT_EQ(refused.err.substr(0, refused.err.find('\n')),
              "この物件は suzuki（" + self.host + "）が開いています。");
    EXPECT_FALSE(fs::exists(out)) << command[0];
    args.push_back("--force");
    EXPECT_EQ(Cli(args).status, kExitOk) << command[0];
    fs::remove(out);
  }
  const LockHolder gone{"suzuki", self.host, 0x7ffffff0, SecondsNow()};
  std::ofstream(LockPathOf(out), std::ios::binary) << LockLine(gone);
  EXPECT_EQ(Cli({"--base", base_.string(), "resave", project_, "-o", out}).status, kExitOk);
}

// A command given a base folder writes nothing into the home folder, nor
// does one that takes its base folder from VELTRANO_BASE.
TEST_F(CliProjectTest, NothingIsMadeOutsideTheBaseFolder) {
  const fs::path home = root_ / "home";
  fs::create_directories(home);
  ASSERT_TRUE(fs::is_empty(home));
  const std::string out = (base_ / "Data" / "out.xdt").string();
  EXPECT_EQ(Cli({"--base", base_.string(), "info", project_}).status, kExitOk);
  EXPECT_EQ(
      Cli({"--base", base_.string(), "resave", project_, "-o", out}).status,
      kExitOk);
  const char* old_base = std::getenv("VELTRANO_BASE");
  const std::optional<std::string> kept =
      old_base ? std::optional<std::string>(old_base) : std::nullopt;
  ::setenv("VELTRANO_BASE", (root_ / "other").c_str(), 1);
  const CliRun from_env = Cli({"info", project_});
  if (kept) {
    ::setenv("VELTRANO_BASE", kept->c_str(), 1);
  } else {
    ::unsetenv("VELTRANO_BASE");
  }
  EXPECT_EQ(from_env.status, kExitOk) << from_env.err;
  EXPECT_TRUE(fs::is_directory(root_ / "other" / "info"));
  EXPECT_TRUE(fs::is_empty(home));
}

}  // namespace
}  // namespace veltrano

namespace veltrano {
namespace {

// aggregate and export on a project the program made: two rooms with the
// same item in two spellings.
TEST_F(CliProjectTest, AggregateThenExportTheInteriorFloorTable) {
  std::ostringstream shown;
  ScenarioRunner runner(FoldersUnder(base_, root_ / "home"), shown);
  ASSERT_TRUE(runner.Run(
      "new\nchoose-file q.xdt\nname-dialog create\n"
      "rooms open\nrooms add 居間\nrooms add 和室\nrooms close\n"
      "room 居間\nright-click 1 1\ntype PB張\npress enter\nfill 1 3 2*3\n"
      "click 2 5\n"
      "room 和室\nplaces 2\nright-click 1 1\ntype pb張\npress enter\n"
      "fill 1 3 1.5\nclick 2 5\nsave\n",
      "make2.vts"))
      << runner.failure();
  const std::string q = (base_ / "Data" / "q.xdt").string();
  const std::string out = (root_ / "aggregated.xdt").string();
  const CliRun aggregate = Cli({"--base", base_.string(), "aggregate", q, "-o",
                                out, "interior", "fittings", "worktype"});
  EXPECT_EQ(aggregate.status, kExitOk) << aggregate.err;
  // No work type is assigned: the work-type step says so and stops.
  EXPECT_NE(aggregate.err.find("工種が定義されていない項目がありますので集計できません。内部：床"),
            std::string::npos)
      << aggregate.err;

  const CliRun floor = Cli({"--base", base_.string(), "export", out, "interior-0"});
  EXPECT_EQ(floor.status, kExitOk) << floor.err;
  EXPECT_EQ(floor.out,
            "【内部集計表】\tヶ所\t 1     \r"
            "工種\t\t\r"
            "床項目\t\tpb張\r"
            "部屋名＼合計\t3\t9.00\r"
            "居間\t1\t6.00\r"
            "和室\t2\t3.00");
  const CliRun lf = Cli({"--base", base_.string(), "export", out, "interior-0", "--lf"});
  EXPECT_EQ(lf.out.substr(0, lf.out.find("工種")), "【内部集計表】\tヶ所\t 1     \r\n");
  // The work-type table with its heading only sends one empty row.
  const CliRun work = Cli({"--base", base_.string(), "export", out, "worktype"});
  EXPECT_EQ(work.out, std::string(9, '\t'));
  EXPECT_EQ(Cli({"--base", base_.string(), "export", out, "interior-5"}).status,
            kExitUsage);
}

TEST_F(CliProjectTest, PrintWritesPagesOrRefusesWhatIsNotThere) {
  // The program gives PDF files; here a canvas that records.
  const CliRun none = Cli({"--base", base_.string(), "print", project_, "-o",
                           (root_ / "a.pdf").string(), "interior"});
  EXPECT_EQ(none.status, kExitFailure);
  EXPECT_NE(none.err.find("PDF output is not available"), std::string::npos);
  SetPdfCanvasFactory([](const std::string&, std::string*) -> std::unique_ptr<PrinterCanvas> {
    return std::make_unique<RecordingCanvas>();
  });
  const CliRun sheets = Cli({"--base", base_.string(), "print", project_, "-o",
                             (root_ / "a.pdf").string(), "interior", "--start-page", "3"});
  EXPECT_EQ(sheets.status, kExitOk) << sheets.err;
  EXPECT_EQ(sheets.out, "pages 1\n");
  const CliRun places = Cli({"--base", base_.string(), "print", project_, "-o",
                             (root_ / "a.pdf").string(), "exterior", "--rooms", "門,門"});
  EXPECT_EQ(places.out, "pages 2\n");
  const CliRun unknown = Cli({"--base", base_.string(), "print", project_, "-o",
                              (root_ / "a.pdf").string(), "interior", "--rooms", "台所"});
  EXPECT_EQ(unknown.status, kExitFailure);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("台所 is not in the list"), std::string::npos);
  // Nothing aggregated: no summary table can be printed.
  const CliRun table = Cli({"--base", base_.string(), "print", project_, "-o",
                            (root_ / "a.pdf").string(), "summary", "--tables", "0"});
  EXPECT_EQ(table.status, kExitFailure);
  EXPECT_NE(table.err.find("table 0 is not enabled"), std::string::npos);
  EXPECT_EQ(Cli({"--base", base_.string(), "print", project_, "-o", "x.pdf", "walls"}).status,
            kExitUsage);

  // An output that cannot be made, or a job that cannot be finished.
  SetPdfCanvasFactory([](const std::string& path,
                         std::string* error) -> std::unique_ptr<PrinterCanvas> {
    *error = "作れません: " + path;
    return nullptr;
  });
  const CliRun unmade = Cli({"--base", base_.string(), "print", project_, "-o",
                             (root_ / "a.pdf").string(), "interior"});
  EXPECT_EQ(unmade.status, kExitFailure);
  EXPECT_EQ(unmade.out, "");
  EXPECT_NE(unmade.err.find("エラー: 印刷できませんでした。 作れません: " +
                            (root_ / "a.pdf").string()),
            std::string::npos)
      << unmade.err;
  struct Unfinished : RecordingCanvas {
    bool EndJob(std::string* error) override {
      *error = "書けません";
      return false;
    }
  };
  SetPdfCanvasFactory([](const std::string&, std::string*) -> std::unique_ptr<PrinterCanvas> {
    return std::make_unique<Unfinished>();
  });
  const CliRun unfinished = Cli({"--base", base_.string(), "print", project_, "-o",
                                 (root_ / "a.pdf").string(), "interior"});
  EXPECT_EQ(unfinished.status, kExitFailure);
  EXPECT_EQ(unfinished.out, "");
  EXPECT_NE(unfinished.err.find("印刷できませんでした。 書けません"), std::string::npos);
  EXPECT_EQ(unfinished.err.find("終了しました"), std::string::npos);
  SetPdfCanvasFactory(nullptr);
}

TEST_F(CliProjectTest, ASettingsLinkToNowhereIsToldAndProjectsStillOpenAndSave) {
  const fs::path digits = base_ / "info" / "Keta.ini";
  fs::remove(digits);
  fs::create_symlink(root_ / "gone" / "Keta.ini", digits);
  const std::string resaved = (root_ / "resaved.xdt").string();
  const CliRun resave = Cli({"--base", base_.string(), "resave", project_, "-o", resaved});
  EXPECT_EQ(resave.status, kExitOk) << resave.err;
  EXPECT_EQ(Bytes(resaved), Bytes(project_));
  EXPECT_NE(resave.err.find(digits.string()), std::string::npos) << resave.err;
  EXPECT_EQ(resave.err.find(".vtmp"), std::string::npos) << resave.err;
  EXPECT_TRUE(fs::is_symlink(digits));
}

}  // namespace
}  // namespace veltrano
