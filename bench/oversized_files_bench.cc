// Settings and template files far beyond what the program writes: one line
// of 200 MB of "a," as "Kousyu.ini", "Tani.ini", "NameKouho.ini", "Keta.ini"
// and as a template. The time of reading every settings file at start-up and
// of reading the template, and the memory they take.
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "benchmark/benchmark.h"
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
  LoadDigitsAndSaveOnSwitch(folders, &panel, &error);
  LoadSettings(folders, &panel, &error);
  LoadCompanyNames(folders, &panel, &error);
  return panel.work_types.size() + panel.units.size() +
         panel.company_names.size() + ReadWorkTypeFileLines(folders).size();
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

double StatusBytes(std::string_view key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(key)) {
      return std::strtod(line.c_str() + key.size() + 1, nullptr) * 1024;
    }
  }
  return 0;
}

// The peak memory of the reading, in a child process that first returns
// its free heap to the system and resets its peak.
void BM_PeakMemoryOfReading200MbFiles(benchmark::State& state) {
  const HugeSettings& huge = Huge();
  const Reader read = ReaderOf(state);
  double growth = 0;
  for (auto _ : state) {
    int fds[2];
    if (::pipe(fds) != 0) {
      state.SkipWithError("no pipe");
      break;
    }
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(fds[0]);
      ::malloc_trim(0);
      std::ofstream("/proc/self/clear_refs") << "5";
      const double before = StatusBytes("VmRSS:");
      benchmark::DoNotOptimize(read(huge.folders));
      const double sizes[2] = {before, StatusBytes("VmHWM:")};
      [[maybe_unused]] const ssize_t written =
          ::write(fds[1], sizes, sizeof(sizes));
      ::_exit(0);
    }
    ::close(fds[1]);
    double sizes[2] = {0, 0};
    const bool got = ::read(fds[0], sizes, sizeof(sizes)) ==
                     static_cast<ssize_t>(sizeof(sizes));
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    if (!got) {
      state.SkipWithError("the child did not report");
      break;
    }
    growth = sizes[1] - sizes[0];
  }
  state.counters["peak_growth_MB"] = growth / (1 << 20);
}
BENCHMARK(BM_PeakMemoryOfReading200MbFiles)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
