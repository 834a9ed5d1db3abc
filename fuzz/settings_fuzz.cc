// Any bytes as the settings files: the readers neither crash nor hang and
// keep only what they use. The input is cut at each byte 0x00 into the
// contents of the files, in the order of kFiles. What was read is saved
// ("設定保存") and read again; from then on saving and reading change
// nothing. (The first round may: an option group without a selection is
// saved as an empty line, which reads back as option 0.)
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "port/dialogs.h"
#include "config/folders.h"
#include "config/settings.h"

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 14> kFiles = {
    veltrano::kOffsetsFile,       veltrano::kUnitsFile,
    veltrano::kMoneyRoundingFile, veltrano::kCandidateFiles[0],
    veltrano::kCandidateFiles[1], veltrano::kCandidateFiles[2],
    veltrano::kCandidateFiles[3], veltrano::kCandidateFiles[4],
    veltrano::kCandidateFiles[5], veltrano::kWorkTypesFile,
    veltrano::kPrintFile,         veltrano::kDigitsFile,
    veltrano::kSaveOnSwitchFile,  veltrano::kCompanyNamesFile};

// A folder of this process's own, in memory where the system has one,
// removed at exit.
class ScratchFolder {
 public:
  ScratchFolder() {
    const fs::path root = fs::exists("/dev/shm") ? fs::path("/dev/shm")
                                                 : fs::temp_directory_path();
    folders_.base =
        root / ("veltrano_settings_fuzz_" + std::to_string(::getpid()));
    folders_.info = folders_.base / "info";
    fs::create_directories(folders_.info);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(folders_.base, ignored);
  }
  const veltrano::Folders& folders() const { return folders_; }

 private:
  veltrano::Folders folders_;
};

const veltrano::Folders& Scratch() {
  static const ScratchFolder folder;
  return folder.folders();
}

veltrano::SettingsPanel Load(const veltrano::Folders& folders) {
  veltrano::SettingsPanel panel;
  std::string error;
  veltrano::LoadDigitsAndSaveOnSwitch(folders, &panel, &error);
  veltrano::LoadSettings(folders, &panel, &error);
  veltrano::LoadCompanyNames(folders, &panel, &error);
  return panel;
}

// What "設定保存" writes: all but the company names and the list boxes
// that are not kept in a file.
bool SameSaved(const veltrano::SettingsPanel& a,
               const veltrano::SettingsPanel& b) {
  return a.offsets == b.offsets && a.units == b.units &&
         a.money_rounding == b.money_rounding && a.candidates == b.candidates &&
         a.work_types == b.work_types &&
         a.print_project_name == b.print_project_name &&
         a.project_name_position == b.project_name_position &&
         a.print_company_name == b.print_company_name &&
         a.company_name == b.company_name &&
         a.company_name_position == b.company_name_position &&
         a.digits == b.digits && a.save_on_switch == b.save_on_switch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const veltrano::Folders& folders = Scratch();
  for (std::string_view name : kFiles) {
    const std::size_t end = input.find('\0');
    const std::string_view content = input.substr(0, end);
    std::ofstream(folders.info / name, std::ios::binary | std::ios::trunc)
        .write(content.data(), static_cast<std::streamsize>(content.size()));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }

  const veltrano::SettingsPanel first = Load(folders);
  if (first.offsets.size() != veltrano::kOffsetCount) std::abort();
  const std::vector<std::string> work_types =
      veltrano::ReadWorkTypeFileLines(folders);
  if (work_types.size() >
      static_cast<std::size_t>(veltrano::kMaxWorkTypeFileLines)) {
    std::abort();
  }

  veltrano::SilentDialogs dialogs(veltrano::Answer::kCancel);
  if (!veltrano::SaveSettings(first, folders, dialogs)) return 0;
  const veltrano::SettingsPanel second = Load(folders);
  if (!veltrano::SaveSettings(second, folders, dialogs)) std::abort();
  const veltrano::SettingsPanel third = Load(folders);
  if (!SameSaved(second, third)) std::abort();
  return 0;
}
