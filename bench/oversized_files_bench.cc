// Settings and template files far beyond what the program writes: one line
// of 200 MB of "a," as "Kousyu.ini", "Tani.ini", "NameKouho.ini", "Keta.ini"
// and as a template. The time of reading every settings file at start-up and
// of reading the template, and the memory they take.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "benchmark/benchmark.h"
#include "support/peak_memory.h"
#include "config/folders.h"
#include "config/settings.h"
#include "port/dialogs.h"
#include "takeoff/templates.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHugeFileBytes = 200u << 20;

// A base folder with the default settings files, four of them replaced by
// the same 200 MB file, which is also a template (hard links: the disk holds
// it once).
struct HugeSettings {
  fs::path root;
  Folders folders;

  HugeSettings() {
    root = fs::temp_directory_path() /
           ("veltrano_settings_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    folders = FoldersUnder(root / "Veltrano");
    SilentDialogs dialogs;
    std::string error;
    EnsureSettingsFiles(folders, dialogs, &error);
    const fs::path huge = root / "huge.ini";
    {
      std::ofstream out(huge, std::ios::binary);
      std::string pairs;
      for (int i = 0; i < (1 << 19); ++i) pairs += "a,";
      for (std::size_t written = 0; written < kHugeFileBytes;
           written += pairs.size()) {
        out << pairs;
      }
    }
    for (std::string_view name :
         {kWorkTypesFile, kUnitsFile, kCompanyNamesFile, kDigitsFile}) {
      const fs::path target = folders.info / std::string(name);
      fs::remove(target);
      fs::create_hard_link(huge, target);
    }
    fs::create_directories(folders.list);
    fs::create_hard_link(huge, folders.list / "huge.klt");
  }
  ~HugeSettings() { fs::remove_all(root); }
};

const HugeSettings& Huge() {
  static const HugeSettings settings;
  return settings;
}

// Everything start-up and the aggregation panel read.
std::size_t LoadEverything(const Folders& folders) {
  SettingsPanel panel;
  std::string error;
  panel.LoadDigitsAndSaveOnSwitch(folders, &error);
  panel.LoadSettings(folders, &error);
  panel.LoadCompanyNames(folders, &error);
  return panel.work_types().size() + panel.units().size() +
         panel.company_names().size() + ReadWorkTypeFileLines(folders).size();
}

std::size_t ReadTemplate(const Folders& folders) {
  std::vector<TemplateRow> rows;
  std::string error;
  ReadTemplateFile(folders.list / "huge.klt", &rows, &error);
  return rows.size();
}

using Reader = std::size_t (*)(const Folders&);
// Arg 0: every settings file; arg 1: the template.
Reader ReaderOf(const benchmark::State& state) {
  return state.range(0) == 0 ? LoadEverything : ReadTemplate;
}

void BM_Read200MbFiles(benchmark::State& state) {
  const HugeSettings& huge = Huge();
  const Reader read = ReaderOf(state);
  for (auto _ : state) {
    benchmark::DoNotOptimize(read(huge.folders));
  }
  state.counters["file_MB"] = static_cast<double>(kHugeFileBytes >> 20);
}
BENCHMARK(BM_Read200MbFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The peak memory of the reading.
void BM_PeakMemoryOfReading200MbFiles(benchmark::State& state) {
  const HugeSettings& huge = Huge();
  const Reader read = ReaderOf(state);
  bench::PeakMemory memory;
  for (auto _ : state) {
    if (!bench::MeasurePeakMemory(
            [&] { benchmark::DoNotOptimize(read(huge.folders)); }, &memory)) {
      state.SkipWithError("the child did not report");
      break;
    }
  }
  state.counters["peak_growth_MB"] = memory.growth / (1 << 20);
}
BENCHMARK(BM_PeakMemoryOfReading200MbFiles)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
