// The whole open project at the largest size the program allows: 500 rooms
// and 100 places with full sheets, 599 fittings, a full fittings takeoff
// store and filled summary tables. Open, save, recalculate every room of
// both sides, switch rooms, and the memory the open project takes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

#include "benchmark/benchmark.h"
#include "config/folders.h"
#include "shell/workspace.h"
#include "support/big_project.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

class FixedFile : public FileDialogs {
 public:
  std::optional<fs::path> ChooseFileToOpen(const FileDialogRequest&) override {
    return path;
  }
  std::optional<fs::path> ChooseFileToSave(const FileDialogRequest&) override {
    return path;
  }
  fs::path path;
};

// A started workspace on a base folder of its own, and the largest project
// written into its data folder.
struct Bench {
  SilentDialogs dialogs;
  FixedFile files;
  Progress progress;
  fs::path root;
  std::unique_ptr<Workspace> w;

  Bench() {
    root = fs::temp_directory_path() /
           ("veltrano_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    w = std::make_unique<Workspace>(FoldersUnder(root / "Veltrano", root / "home"),
                                    Platform{dialogs, files, progress});
    w->Startup();
    files.path = w->folders().data / "largest.xdt";
    testing::WriteLargestProjectFile(files.path);
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

void BM_OpenLargestProject(benchmark::State& state) {
  Bench& b = Shared();
  for (auto _ : state) {
    b.w->session().OpenProject();
    benchmark::DoNotOptimize(b.w->rooms().room_names(0).size());
  }
}
BENCHMARK(BM_OpenLargestProject)->Unit(benchmark::kMillisecond);

void BM_SaveLargestProject(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  b.w->SwitchMode(kModeInterior);
  b.w->ClickRoomList(250);
  for (auto _ : state) {
    b.w->SaveUnitPrices();
    b.w->session().SaveProject(false);
  }
}
BENCHMARK(BM_SaveLargestProject)->Unit(benchmark::kMillisecond);

void BM_RecalculateEveryRoomOfBothSides(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  for (auto _ : state) {
    b.w->SwitchMode(kModeInterior);
    b.w->sheets().RecalculateAll();
    b.w->SwitchMode(kModeExterior);
    b.w->sheets().RecalculateAll();
  }
}
BENCHMARK(BM_RecalculateEveryRoomOfBothSides)->Unit(benchmark::kMillisecond);

void BM_SwitchRoom(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  b.w->SwitchMode(kModeInterior);
  int room = 0;
  for (auto _ : state) {
    b.w->ClickRoomList(room);
    room = (room + 137) % 500;
  }
}
BENCHMARK(BM_SwitchRoom)->Unit(benchmark::kMicrosecond);

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
  }
  return 0;
}

// The memory of the open project: resident size after opening the largest
// project in a fresh workspace, less the size before.
void BM_OpenProjectMemory(benchmark::State& state) {
  Bench& b = Shared();
  long grown = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto fresh = std::make_unique<Workspace>(b.w->folders(),
                                             Platform{b.dialogs, b.files, b.progress});
    fresh->Startup();
    const long before = ResidentKilobytes();
    state.ResumeTiming();
    fresh->session().OpenProject();
    state.PauseTiming();
    grown = ResidentKilobytes() - before;
    fresh.reset();
    state.ResumeTiming();
  }
  state.counters["open_project_MB"] = static_cast<double>(grown) / 1024.0;
}
BENCHMARK(BM_OpenProjectMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
