// Saving and opening the largest project the program holds: 500 rooms, 100
// places, 599 fittings with their takeoffs and full summary tables.
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "benchmark/benchmark.h"
#include "support/peak_memory.h"
#include "calc/text_file.h"
#include "project/project_file.h"
#include "project/project.h"
#include "port/dialogs.h"

// The project generator lives with the test support code, which the
// benchmark target does not build; it is compiled in here.
#include "support/big_project.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

const Project& Largest() {
  static const Project tables = testing::MakeLargestProject();
  return tables;
}

// A folder for the files of the benchmarks, removed at exit.
class BenchFolderHolder {
 public:
  BenchFolderHolder()
      : path_(fs::temp_directory_path() /
              ("veltrano_project_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
  }
  ~BenchFolderHolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const fs::path& BenchFolder() {
  static const BenchFolderHolder folder;
  return folder.path();
}

const fs::path& LargestFile() {
  static const fs::path path = [] {
    fs::path p = BenchFolder() / "largest.xdt";
    testing::WriteLargestProjectFile(p);
    return p;
  }();
  return path;
}

// Heap and object bytes held by the texts of the tables.
std::size_t TextBytes(const std::string& s) {
  // Short texts live inside the string object itself.
  return sizeof(std::string) +
         (s.capacity() > sizeof(std::string) - 1 ? s.capacity() + 1 : 0);
}

std::size_t GridBytes(const TextGrid& g) {
  std::size_t bytes = sizeof(TextGrid);
  for (int r = 0; r < g.rows(); ++r) {
    for (int c = 0; c < g.cols(); ++c) bytes += TextBytes(g.At(r, c));
  }
  return bytes;
}

std::size_t TableBytes(const Project& t) {
  std::size_t bytes = 0;
  for (int side : {kInterior, kExterior}) {
    for (int i = 0; i < t.rooms().count(side); ++i) {
      const Room& room = t.rooms().room(side, i);
      bytes += sizeof(Room) + sizeof(std::shared_ptr<const Room>) + TextBytes(room.name());
      std::vector<std::string_view> cells;
      for (int r = 1; r <= kItemRows; ++r) {
        room.row(r).Cells(&cells);
        for (std::string_view cell : cells) bytes += cell.size() + 1;
      }
    }
    for (const std::string& name : t.rooms().names(side)) bytes += TextBytes(name);
  }
  for (const TextGrid* g :
       {&*t.fittings_register(), &*t.fittings_store(), &*t.work_type_memory(),
        &*t.work_type_copy(), &*t.unit_prices(), &*t.fittings_summary()}) {
    bytes += GridBytes(*g);
  }
  for (const TextGrid& g : t.interior_summaries()) bytes += GridBytes(g);
  for (const TextGrid& g : t.exterior_summaries()) bytes += GridBytes(g);
  return bytes;
}

void BM_BuildProjectLines(benchmark::State& state) {
  const Project& t = Largest();
  std::size_t lines = 0;
  for (auto _ : state) {
    const std::vector<std::string> built = BuildProjectLines(t);
    lines = built.size();
    benchmark::DoNotOptimize(built.data());
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_BuildProjectLines)->Unit(benchmark::kMillisecond);

// Save: build the lines, encode to CP932, write a temporary file, flush it
// to disk and rename it over the project file.
void BM_WriteProjectFile(benchmark::State& state) {
  const Project& t = Largest();
  const fs::path path = BenchFolder() / "save.xdt";
  std::string error;
  for (auto _ : state) {
    if (!WriteProjectFile(path, t, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.counters["file_bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_WriteProjectFile)->Unit(benchmark::kMillisecond);

// Open: empty the tables, read and decode the file, apply every record.
void BM_ReadProjectFile(benchmark::State& state) {
  const fs::path& path = LargestFile();
  SilentDialogs dialogs;
  Progress progress;
  std::size_t bytes = 0;
  for (auto _ : state) {
    Project t;
    t.Reset(/*keep_unit_prices=*/false);
    const ProjectReadResult result =
        ReadProjectFile(path, &t, dialogs, progress);
    if (result.failed || dialogs.messages != 0) {
      state.SkipWithError("the largest project did not open cleanly");
      break;
    }
    state.PauseTiming();
    bytes = TableBytes(t);
    state.ResumeTiming();
  }
  state.counters["table_bytes"] = static_cast<double>(bytes);
  state.counters["file_bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_ReadProjectFile)->Unit(benchmark::kMillisecond);

// The reading steps alone, on lines already decoded.
void BM_ParseProjectLines(benchmark::State& state) {
  std::vector<std::string> lines;
  std::string error;
  if (!ReadTextLines(LargestFile(), &lines, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  SilentDialogs dialogs;
  Progress progress;
  for (auto _ : state) {
    Project t;
    t.Reset(/*keep_unit_prices=*/false);
    ParseProjectLines(lines, &t, dialogs, progress);
    benchmark::DoNotOptimize(t.rooms().count(kInterior));
  }
}
BENCHMARK(BM_ParseProjectLines)->Unit(benchmark::kMillisecond);

const fs::path& EmptyLinesFile() {
  static const fs::path path = [] {
    fs::path p = BenchFolder() / "empty_lines.xdt";
    std::ofstream(p, std::ios::binary) << std::string(20 << 20, '\n');
    return p;
  }();
  return path;
}

// Peak memory of opening a project: the file is opened in a child process
// that first returns its free heap to the system and resets its peak; the
// peak growth over the resident memory before the opening is reported.
// Arg 0: the largest project; arg 1: a file of 20 MB of empty lines.
void BM_PeakMemoryOfOpening(benchmark::State& state) {
  const fs::path& path = state.range(0) == 0 ? LargestFile() : EmptyLinesFile();
  bench::PeakMemory memory;
  for (auto _ : state) {
    const bool measured = bench::MeasurePeakMemory(
        [&] {
          SilentDialogs dialogs;
          Progress progress;
          Project t;
          t.Reset(/*keep_unit_prices=*/false);
          const ProjectReadResult result =
              ReadProjectFile(path, &t, dialogs, progress);
          benchmark::DoNotOptimize(result.failed);
        },
        &memory);
    if (!measured) {
      state.SkipWithError("the child did not report");
      break;
    }
  }
  state.counters["file_MB"] =
      static_cast<double>(fs::file_size(path)) / (1 << 20);
  state.counters["peak_growth_MB"] = memory.growth / (1 << 20);
  state.counters["peak_rss_MB"] = memory.peak / (1 << 20);
}
BENCHMARK(BM_PeakMemoryOfOpening)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_MakeLargestProject(benchmark::State& state) {
  for (auto _ : state) {
    const Project t = testing::MakeLargestProject();
    benchmark::DoNotOptimize(t.rooms().count(kInterior));
  }
}
BENCHMARK(BM_MakeLargestProject)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
