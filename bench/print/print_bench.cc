// Printing the largest project into a PDF file as "印刷開始" does: the
// takeoff sheets of all 500 rooms, and every summary table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <filesystem>
#include <memory>
#include <string>

#include "big_project.h"
#include "config/folders.h"
#include "port/dialogs.h"
#include "print/print_dialog.h"
#include "qt/printer_canvas.h"
#include "shell/workspace.h"
#include "support/fixed_file.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

struct Bench {
  SilentDialogs dialogs;
  FixedFile files;
  Progress progress;
  MemoryClipboard clipboard;
  fs::path root;
  std::unique_ptr<Workspace> w;

  Bench() {
    root = fs::temp_directory_path() / ("veltrano_print_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    w = std::make_unique<Workspace>(FoldersUnder(root / "Veltrano", root / "home"),
                                    Platform{dialogs, files, progress, clipboard});
    w->Startup();
    files.path = w->folders().data / "largest.xdt";
    testing::WriteLargestProjectFile(files.path);
    w->session().OpenProject();
  }
  ~Bench() {
    w.reset();
    fs::remove_all(root);
  }
};

Bench& Shared() {
  static Bench bench;
  return bench;
}

void PrintToPdf(benchmark::State& state, int mode) {
  Bench& b = Shared();
  PrintDialog& dialog = b.w->print_dialog();
  const QString pdf = QString::fromStdString((b.root / "out.pdf").string());
  int pages = 0;
  for (auto _ : state) {
    dialog.Open(mode, "最大");
    dialog.SelectAll();
    dialog.TickAll();
    std::string error;
    std::unique_ptr<QtPrinterCanvas> canvas = QtPrinterCanvas::ForPdf(pdf, &error);
    pages = dialog.PrintTo(*canvas);
  }
  state.counters["pages"] = pages;
  state.counters["pdf_bytes"] = static_cast<double>(fs::file_size(b.root / "out.pdf"));
}

void BM_PrintEveryRoomToPdf(benchmark::State& state) {
  PrintToPdf(state, kPrintInteriorSheets);
}
BENCHMARK(BM_PrintEveryRoomToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PrintEverySummaryToPdf(benchmark::State& state) {
  PrintToPdf(state, kPrintSummaries);
}
BENCHMARK(BM_PrintEverySummaryToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace veltrano

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
