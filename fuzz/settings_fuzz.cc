// Any bytes as the settings files: the readers neither crash nor hang and
// keep only what they use. The input is cut at each byte 0x00 into the
// contents of the files, in the order of kFiles, which are read from memory.
// What was read is saved ("設定保存", into memory as well) and read again;
// from then on saving and reading change nothing. (The first round may: an
// option group without a selection is saved as an empty line, which reads
// back as option 0.)
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "port/dialogs.h"
#include "config/settings.h"

namespace {

constexpr std::array<std::string_view, 15> kFiles = {
    veltrano::kOffsetsFile,       veltrano::kUnitsFile,
    veltrano::kMoneyRoundingFile, veltrano::kCandidateFiles[0],
    veltrano::kCandidateFiles[1], veltrano::kCandidateFiles[2],
    veltrano::kCandidateFiles[3], veltrano::kCandidateFiles[4],
    veltrano::kCandidateFiles[5], veltrano::kWorkTypesFile,
    veltrano::kPrintFile,         veltrano::kDigitsFile,
    veltrano::kSaveOnSwitchFile,  veltrano::kCompanyNamesFile,
    veltrano::kRecoveryFile};

veltrano::SettingsPanel Load(const veltrano::SettingsStore& files) {
  veltrano::SettingsPanel panel;
  std::string error;
  panel.LoadDigitsAndSaveOnSwitch(files, &error);
  panel.LoadSettings(files, &error);
  panel.LoadCompanyNames(files, &error);
  return panel;
}

// No list holds more than its capacity.
bool WithinCapacities(const veltrano::SettingsPanel& panel) {
  bool within = panel.units().size() <= veltrano::kMaxListItems &&
                panel.work_types().size() <= veltrano::kMaxWorkTypes &&
                panel.company_names().size() <= veltrano::kMaxListItems;
  for (const auto& list : panel.candidates()) {
    within = within && list.size() <= veltrano::kMaxListItems;
  }
  return within;
}

// What "設定保存" writes: all but the company names and the list boxes
// that are not kept in a file.
bool SameSaved(const veltrano::SettingsPanel& a,
               const veltrano::SettingsPanel& b) {
  return a.offsets() == b.offsets() && a.units() == b.units() &&
         a.money_rounding() == b.money_rounding() &&
         a.candidates() == b.candidates() &&
         a.work_types() == b.work_types() &&
         a.print_project_name() == b.print_project_name() &&
         a.project_name_position() == b.project_name_position() &&
         a.print_company_name() == b.print_company_name() &&
         a.company_name() == b.company_name() &&
         a.company_name_position() == b.company_name_position() &&
         a.digits() == b.digits() && a.save_on_switch() == b.save_on_switch();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  veltrano::SettingsInMemory files;
  for (std::string_view name : kFiles) {
    const std::size_t end = input.find('\0');
    files.Put(name, std::string(input.substr(0, end)));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }

  const veltrano::SettingsPanel first = Load(files);
  if (first.offsets().size() != veltrano::kOffsetCount) std::abort();
  if (!WithinCapacities(first)) std::abort();
  const std::vector<std::string> work_types =
      veltrano::ReadWorkTypeFileLines(files);
  if (work_types.size() >
      static_cast<std::size_t>(veltrano::kMaxWorkTypeFileLines)) {
    std::abort();
  }

  veltrano::SilentDialogs dialogs(veltrano::Answer::kCancel);
  if (!first.SaveSettings(files, dialogs)) return 0;
  const veltrano::SettingsPanel second = Load(files);
  if (!second.SaveSettings(files, dialogs)) std::abort();
  const veltrano::SettingsPanel third = Load(files);
  if (!SameSaved(second, third)) std::abort();
  return 0;
}
