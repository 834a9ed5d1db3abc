// The drawing pane on an A1 drawing of a few thousand lines: the first
// paint of the page at the fitting zoom (until every tile in the view is
// rendered and painted), a pan step and a zoom step painted from the tile
// cache, and "図面追加" of a 50-page drawing. Run offscreen.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "benchmark/benchmark.h"
#include "config/folders.h"
#include "qt/pdf_drawing_pages.h"
#include "qt/pdf_page_renderer.h"
#include "shell/workspace.h"
#include "ui/drawing_pane.h"
#include "support/fixed_file.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

// `pages` A1 landscape pages (841 × 594 mm, 2384 × 1684 pt), each with
// `lines` lines as a floor plan has them: walls, grid lines, hatching.
void WriteDrawing(const fs::path& path, int pages, int lines) {
  QPdfWriter writer(QString::fromStdString(path.string()));
  writer.setResolution(72);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A1), QPageLayout::Landscape, QMarginsF()));
  QPainter painter(&writer);
  QRandomGenerator random(2024);
  const QRectF page = writer.pageLayout().fullRectPoints();
  for (int p = 0; p < pages; ++p) {
    if (p > 0) writer.newPage();
    for (int i = 0; i < lines; ++i) {
      painter.setPen(QPen(i % 10 == 0 ? Qt::black : Qt::darkGray, i % 10 == 0 ? 2.0 : 0.5));
      const QPointF a(random.bounded(page.width()), random.bounded(page.height()));
      // Mostly level and plumb, as walls are.
      const double length = random.bounded(300.0);
      const QPointF b = i % 3 == 0   ? a + QPointF(length, 0)
                        : i % 3 == 1 ? a + QPointF(0, length)
                                     : a + QPointF(length * 0.6, length * 0.4);
      painter.drawLine(a, b);
    }
    painter.drawText(QPointF(100, 100), QStringLiteral("1階平面図 S=1/100"));
  }
}

// A workspace with a project saved under a folder of its own and the A1
// drawing attached.
struct Bench {
  SilentDialogs dialogs;
  FixedFile files;
  Progress progress;
  MemoryClipboard clipboard;
  fs::path root;
  std::unique_ptr<Workspace> w;
  fs::path a1;
  fs::path fifty;

  Bench() {
    root = fs::temp_directory_path() / ("veltrano_drawing_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    w = std::make_unique<Workspace>(FoldersUnder(root / "Veltrano", root / "home"),
                                    Platform{dialogs, files, progress, clipboard});
    w->Startup();
    files.path = w->folders().data / "bench.xdt";
    w->session().SaveProjectAs();
    a1 = root / "a1.pdf";
    WriteDrawing(a1, 1, 4000);
    fifty = root / "fifty.pdf";
    WriteDrawing(fifty, 50, 500);
    PdfDrawingPages pages;
    if (!w->plan_takeoff().AttachDrawing(a1, pages)) std::abort();
  }
  ~Bench() {
    w.reset();
    fs::remove_all(root);
  }
};

Bench& TheBench() {
  static Bench bench;
  return bench;
}

// Runs the window's events until every tile in the view is painted.
void WaitForTiles(DrawingView& view) {
  QElapsedTimer limit;
  limit.start();
  while (!view.AllTilesShown() && limit.elapsed() < 30000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  }
  if (!view.AllTilesShown()) std::abort();
}

// A 1200 × 900 view of the page, with a renderer of its own.
struct View {
  PdfPageRenderer renderer;
  DrawingView view;
  View() : view(TheBench().w->plan_takeoff(), renderer) {
    view.resize(1200, 900);
    view.Sync();
  }
};

void BM_FirstPaintA1AtFit(benchmark::State& state) {
  TheBench();
  for (auto _ : state) {
    state.PauseTiming();
    auto v = std::make_unique<View>();
    state.ResumeTiming();
    v->view.show();
    WaitForTiles(v->view);
    state.PauseTiming();
    state.counters["tiles"] = static_cast<double>(v->renderer.cached_tiles());
    v.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPaintA1AtFit)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// Pans back and forth by 40 pixels at 72 dpi (the page twice as large as
// the view), every tile of both places cached.
void BM_PanStepFromCache(benchmark::State& state) {
  View v;
  v.view.show();
  v.view.ZoomAt(1.0, QPointF(600, 450));
  for (int i = 0; i < 2; ++i) {
    WaitForTiles(v.view);
    v.view.Pan(QPointF(i == 0 ? 40 : -40, 0));
  }
  WaitForTiles(v.view);
  int step = 0;
  for (auto _ : state) {
    v.view.Pan(QPointF(step++ % 2 == 0 ? 40 : -40, 0));
    v.view.repaint();
    if (!v.view.AllTilesShown()) state.SkipWithError("a tile was not cached");
  }
}
BENCHMARK(BM_PanStepFromCache)->Unit(benchmark::kMillisecond)->UseRealTime();

// Zooms in and out by a wheel notch about the middle, both zooms cached.
void BM_ZoomStepFromCache(benchmark::State& state) {
  View v;
  v.view.show();
  const QPointF middle(600, 450);
  const double z = v.view.FitZoom() * 1.5;
  const double notch = std::exp2(1.0 / 3.0);
  for (double zoom : {z, z * notch}) {
    v.view.ZoomAt(zoom, middle);
    WaitForTiles(v.view);
  }
  int step = 0;
  for (auto _ : state) {
    v.view.ZoomAt(step++ % 2 == 0 ? z : z * notch, middle);
    v.view.repaint();
    if (!v.view.AllTilesShown()) state.SkipWithError("a tile was not cached");
  }
}
BENCHMARK(BM_ZoomStepFromCache)->Unit(benchmark::kMillisecond)->UseRealTime();

// "図面追加" of a 50-page drawing: the file read through the port with
// every page's size, copied into the drawings folder, and attached as a
// step of the history.
void BM_Attach50PageDrawing(benchmark::State& state) {
  Bench& bench = TheBench();
  const fs::path pdf = bench.fifty;
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    PdfDrawingPages pages;
    if (!bench.w->plan_takeoff().AttachDrawing(pdf, pages)) {
      state.SkipWithError("not attached");
      break;
    }
    state.PauseTiming();
    bytes = fs::file_size(pdf);
    // The copy goes, so that every round copies under the same name.
    bench.w->Undo();
    fs::remove(bench.w->plan_takeoff().DrawingPath(0).parent_path() / pdf.filename());
    state.ResumeTiming();
  }
  state.counters["MB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_Attach50PageDrawing)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace veltrano

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
