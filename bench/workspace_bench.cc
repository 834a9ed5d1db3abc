// The whole open project at the largest size the program allows: 500 rooms
// and 100 places with full sheets, 599 fittings, a full fittings takeoff
// store and filled summary tables. Open, save, recalculate every room of
// both sides, switch rooms, and the memory the open project takes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <unistd.h>

#include "benchmark/benchmark.h"
#include "config/folders.h"
#include "project/project_file.h"
#include "shell/workspace.h"
#include "support/big_project.h"
#include "support/fixed_file.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

// A started workspace on a base folder of its own, and the largest project
// written into its data folder.
struct Bench {
  SilentDialogs dialogs;
  FixedFile files;
  Progress progress;
  MemoryClipboard clipboard;
  fs::path root;
  std::unique_ptr<Workspace> w;

  Bench() {
    root = fs::temp_directory_path() /
           ("veltrano_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    w = std::make_unique<Workspace>(FoldersUnder(root / "Veltrano", root / "home"),
                                    Platform{dialogs, files, progress, clipboard});
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

// "入力確定" of one more fitting while 599 fittings are committed: the
// block search and the entered-data list rebuilt from the full store.
void BM_CommitFittingWithFullStore(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  b.w->SwitchMode(kModeFittingsTakeoff);
  FittingsTakeoff& t = b.w->fittings_takeoff();
  const std::vector<std::string> codes = b.w->fittings_register().Codes();
  if (codes.empty()) {
    state.SkipWithError("the largest project has no fittings");
    return;
  }
  // The last fitting of the register, reopened from the list.
  const TextGrid& list = t.entered_data_list();
  int row = list.rows() - 1;
  while (row > 1 && list.At(row, 0).empty()) --row;
  t.ClickEnteredList(row, 0);
  t.EnteredDialogModify();
  for (auto _ : state) {
    t.Commit();
    benchmark::DoNotOptimize(t.entered_data_list().rows());
  }
  state.counters["store_rows"] =
      static_cast<double>(b.w->tables().fittings_store()->rows());
}
BENCHMARK(BM_CommitFittingWithFullStore)->Unit(benchmark::kMillisecond);

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

// "再計算" of the interior after "値削除": every value is written again, and
// the step records each one.
void BM_RecalculateEmptiedInterior(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  b.w->SwitchMode(kModeInterior);
  for (auto _ : state) {
    state.PauseTiming();
    b.w->sheets().ClearAllValues();
    state.ResumeTiming();
    b.w->sheets().RecalculateAll();
  }
}
BENCHMARK(BM_RecalculateEmptiedInterior)->Unit(benchmark::kMillisecond);

// Everything the aggregation panel does to the largest project: both sides
// with every room and place (as "全選択" gives them), the fittings, and the
// work-type table with its prices, amounts and totals.
void BM_AggregateEverything(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  b.w->SwitchMode(kModeAggregation);
  Workspace& w = *b.w;
  for (auto _ : state) {
    w.part_summaries().AggregateSide(kInterior, w.rooms().room_names(kInterior));
    w.part_summaries().AggregateSide(kExterior, w.rooms().room_names(kExterior));
    w.fittings_summary().AggregateFittings();
    w.work_type_table().BuildWorkTypeTable(
        w.settings().panel().aggregation_work_types(), w.money_rounding());
  }
  state.counters["work_type_rows"] = w.work_type_table().table().rows();
  state.counters["interior_floor_items"] =
      w.part_summaries().table(kInterior, 0).cols() - 2;
}
BENCHMARK(BM_AggregateEverything)->Unit(benchmark::kMillisecond);

// "値削除" over every room of the largest project's interior, and its undo:
// the history keeps only the values it emptied.
void BM_ClearValuesAndUndo(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  b.w->SwitchMode(kModeInterior);
  Workspace& w = *b.w;
  for (auto _ : state) {
    w.sheets().ClearAllValues();
    const auto cleared = std::chrono::steady_clock::now();
    w.Undo();
    const auto undone = std::chrono::steady_clock::now();
    state.counters["undo_ms"] =
        std::chrono::duration<double, std::milli>(undone - cleared).count();
  }
}
BENCHMARK(BM_ClearValuesAndUndo)->Unit(benchmark::kMillisecond);

// One step of each kind taken on the largest project, then undone and
// redone one by one: the slowest single undo or redo, and each kind's.
void BM_UndoAndRedoOfEachKindOfStep(benchmark::State& state) {
  Bench& b = Shared();
  Workspace& w = *b.w;
  using Clock = std::chrono::steady_clock;
  double slowest = 0;
  std::vector<std::pair<std::string, double>> kinds;
  for (auto _ : state) {
    state.PauseTiming();
    w.session().OpenProject();
    w.SwitchMode(kModeInterior);
    w.ClickRoomList(250);
    w.sheets().ClickSheet(1, 2, false);
    w.sheets().EditorTextChanged("床材");
    w.sheets().EditorKeyPressed(EditorKey::kEnter);
    w.sheets().ClearAllValues();
    w.sheets().RecalculateAll();
    w.rooms().OpenRoomsDialog();
    w.rooms().RoomsDialogSelect(10);
    w.rooms().RoomsDialogDelete();
    w.rooms().ChooseMove(w.rooms().room_names(kInterior)[400], w.rooms().room_names(kInterior)[3]);
    w.rooms().RoomsDialogMove();
    w.rooms().RoomsDialogClose();
    w.SwitchMode(kModeFittingsRegister);
    w.fittings_register().ClickRow(5);
    w.fittings_register().DeleteSelected();
    w.SwitchMode(kModeAggregation);
    w.part_summaries().AggregateSide(kInterior, w.rooms().room_names(kInterior));
    w.fittings_summary().AggregateFittings();
    w.work_type_table().BuildWorkTypeTable(w.settings().panel().aggregation_work_types(),
                                           w.money_rounding());
    w.work_type_table().SaveUnitPrices();
    state.ResumeTiming();
    kinds.clear();
    // Undoes (or redoes) every step, timing each one.
    auto walk = [&](bool undo) {
      for (;;) {
        const std::string name = undo ? w.history().undo_name() : w.history().redo_name();
        if (name.empty()) return;
        const auto start = Clock::now();
        undo ? w.Undo() : w.Redo();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        kinds.emplace_back((undo ? "undo " : "redo ") + name, ms);
        slowest = std::max(slowest, ms);
      }
    };
    walk(true);
    walk(false);
  }
  state.counters["slowest_ms"] = slowest;
  for (const auto& [name, ms] : kinds) std::fprintf(stderr, "%s: %.2f ms\n", name.c_str(), ms);
}
BENCHMARK(BM_UndoAndRedoOfEachKindOfStep)->Unit(benchmark::kMillisecond)->Iterations(3);

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

// A recovery copy of the largest project with a room's sheet changed: the
// pause the window sees (the snapshot taken on its thread) as the time per
// iteration and the slowest, and the write that follows on the writer's
// thread.
void BM_RecoveryCopy(benchmark::State& state) {
  Bench& b = Shared();
  b.w->session().OpenProject();
  b.w->SwitchMode(kModeInterior);
  b.w->ClickRoomList(250);
  double slowest_ms = 0;
  double write_ms = 0;
  int row = 1;
  const fs::path copy = b.root / "recovery_copy.xdt";
  for (auto _ : state) {
    state.PauseTiming();
    b.w->sheets().WriteCell(row, 3, std::to_string(row) + "*2");
    row = row % 50 + 1;
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    Project snapshot = b.w->RecoverySnapshot();
    const double ms = std::chrono::duration<double, std::milli>(
                          std::chrono::steady_clock::now() - start).count();
    slowest_ms = std::max(slowest_ms, ms);
    state.PauseTiming();
    const auto write_start = std::chrono::steady_clock::now();
    std::string error;
    if (!WriteProjectFile(copy, snapshot, &error)) state.SkipWithError(error.c_str());
    write_ms = std::max(write_ms, std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - write_start)
                                      .count());
    state.ResumeTiming();
  }
  state.counters["slowest_pause_ms"] = slowest_ms;
  state.counters["slowest_write_ms"] = write_ms;
}
BENCHMARK(BM_RecoveryCopy)->Unit(benchmark::kMicrosecond);

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
                                             Platform{b.dialogs, b.files, b.progress, b.clipboard});
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
