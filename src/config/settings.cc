#include "config/settings.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/number_text.h"
#include "calc/text_file.h"
#include "calc/text_util.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

// The content a settings file gets when it is created: what an interior
// finishing estimator starts from.
struct DefaultFile {
  std::string_view name;
  std::vector<std::string_view> lines;
};

const std::vector<DefaultFile>& DefaultFiles() {
  static const std::vector<DefaultFile> files = {
      {kOffsetsFile, {"30", "30", "0", "0", "0", "0"}},
      {kUnitsFile,
       {"m2", "m", "m3", "ヶ所", "枚", "本", "個", "式", "kg", "t"}},
      {kMoneyRoundingFile, {"2"}},
      {kCandidateFiles[0],
       {"FL3", "FL5", "FL6", "FL8", "FL10", "網入磨6.8", "網入型6.8", "型4",
        "強化5", "ペアガラス"}},
      {kCandidateFiles[1], {"シリコン", "変成シリコン", "ポリサルファイド"}},
      {kCandidateFiles[2],
       {"EP", "AEP", "OP", "SOP", "VP", "UE", "クロス", "ダイノックシート"}},
      {kCandidateFiles[3], {"変成シリコン", "ポリウレタン", "シリコン"}},
      {kCandidateFiles[4], {"モルタル", "防水モルタル", "無収縮モルタル"}},
      {kCandidateFiles[5], {"10×10", "15×10", "15×15", "20×10", "20×15"}},
      {kWorkTypesFile,
       {"仮設", "土工", "防水", "石", "タイル", "木工", "屋根", "金属",
        "左官", "建具", "硝子", "塗装", "内装", "雑"}},
      // Project name printed at the top left; company name not printed,
      // bottom right when it is.
      {kPrintFile, {"1", "0", "0", "", "2"}},
      {kDigitsFile, {"0"}},
      {kSaveOnSwitchFile, {"0"}},
      {kCompanyNamesFile, {}},
  };
  return files;
}

void AddReason(std::string* error, const std::string& reason) {
  if (!error->empty()) *error += "\n";
  *error += reason;
}

// Which items of a settings file are kept: the first `count`, or, in a
// list, the first `count` that are kept at all; items beyond a list's
// capacity are reported. Empty items count only where a control reads items
// by position.
struct ItemsKept {
  std::size_t count = 0;
  bool non_empty_only = false;
  bool list = false;
};
constexpr ItemsKept FirstItems(std::size_t n) { return {n, false, false}; }
constexpr ItemsKept ListItems(std::size_t capacity, bool non_empty_only) {
  return {capacity, non_empty_only, true};
}

std::string MegabytesText(std::size_t bytes) {
  return std::to_string(bytes >> 20) + " MB";
}

void AddTooLarge(std::string* notice, std::string_view name) {
  if (notice == nullptr) return;
  AddReason(notice, std::string(name) + " は " +
                        MegabytesText(kMaxSettingsFileBytes) +
                        " を超えているため、先頭の " +
                        MegabytesText(kMaxSettingsFileBytes) +
                        " だけを読み込みました。");
}

// Reads file `name` from `files` in one piece: at most kMaxSettingsFileBytes,
// the item the bound cut through dropped (with `item_ends` the characters
// that end an item).
bool ReadBounded(const SettingsStore& files, std::string_view name,
                 std::string_view item_ends, std::string* bytes,
                 std::string* error, std::string* notice) {
  bool cut = false;
  std::string reason;
  if (!files.Read(name, bytes, &cut, &reason)) {
    AddReason(error, reason);
    return false;
  }
  if (cut) {
    const std::size_t end = bytes->find_last_of(item_ends);
    // A line end stays, so that the lines before it end as they did.
    bytes->resize(end == std::string::npos ? 0
                  : (*bytes)[end] == '\n' ? end + 1
                                          : end);
    AddTooLarge(notice, name);
  }
  return true;
}

// The items of a settings file: each line split at its commas, as raw bytes.
// Stops when `visit` returns false.
template <typename Visit>
void ForEachItem(std::string_view bytes, Visit visit) {
  ForEachLineIn(bytes, [&](std::string_view line) {
    while (true) {
      const std::size_t comma = line.find(',');
      if (!visit(line.substr(0, comma))) return false;
      if (comma == std::string_view::npos) return true;
      line.remove_prefix(comma + 1);
    }
  });
}

// Reads the items of a settings file that `kept` asks for. Only those are
// decoded and stored, and reading stops at the first item beyond them.
bool ReadItems(const SettingsStore& files, std::string_view name, Lines* items,
               std::string* error, std::string* notice, ItemsKept kept) {
  items->clear();
  std::string bytes;
  if (!ReadBounded(files, name, ",\n", &bytes, error, notice)) return false;
  bool full = false;
  ForEachItem(bytes, [&](std::string_view raw) {
    if (kept.non_empty_only && raw.empty()) return true;
    if (items->size() == kept.count) {
      full = true;
      return false;
    }
    items->push_back(Cp932ToUtf8(raw));
    return true;
  });
  if (full && kept.list && notice != nullptr) {
    AddReason(notice, std::string(name) + " の項目は " +
                          std::to_string(kept.count) + " 件までのため、" +
                          std::to_string(kept.count + 1) +
                          " 件目から後は読み込みませんでした。");
  }
  return true;
}

// The items that are not empty, in order.
Lines NonEmpty(const Lines& items) {
  Lines kept;
  for (const std::string& item : items) {
    if (!item.empty()) kept.push_back(item);
  }
  return kept;
}

// An item read as a whole number: the leading-number rule, then rounded to
// the nearest whole number with halves going to the even one, as a value is
// when it becomes a control's index or state. A missing item has none.
std::optional<long> WholeNumberOf(const Lines& items, std::size_t at) {
  if (at >= items.size()) return std::nullopt;
  const double rounded = std::nearbyint(LeadingNumber(items[at]));
  if (!(std::fabs(rounded) < 1e9)) return std::nullopt;
  return static_cast<long>(rounded);
}

// The option of a group of `count` buttons that an item names as a whole
// number, or -1.
int OptionOf(const Lines& items, std::size_t at, int count) {
  const std::optional<long> n = WholeNumberOf(items, at);
  return n.has_value() && *n >= 0 && *n < count ? static_cast<int>(*n) : -1;
}

bool TickedBy(const Lines& items, std::size_t at) {
  return WholeNumberOf(items, at) == 1;
}

std::string OptionText(int option) {
  return option < 0 ? std::string() : std::to_string(option);
}

bool WriteSettingsFile(SettingsStore& files, std::string_view name,
                       const Lines& lines, std::string* error) {
  std::string bytes;
  std::string reason;
  if (!EncodeTextLines(lines, fs::path(name), &bytes, &reason)) {
    AddReason(error, reason);
    return false;
  }
  if (files.Write(name, bytes, &reason)) return true;
  AddReason(error, reason);
  return false;
}

bool WriteCompanyNames(const SettingsPanel& panel, SettingsStore& files,
                       Dialogs& dialogs) {
  std::string error;
  if (WriteSettingsFile(files, kCompanyNamesFile,
                        NonEmpty(panel.company_names), &error)) {
    return true;
  }
  dialogs.ShowMessage(kTitleError, "会社名を保存できませんでした。\n" + error,
                      MessageIcon::kCritical);
  return false;
}

// A box's text that reached a command without passing the typing check is
// refused as it would have been when typed.
bool BoxIsAcceptable(std::string* box, Dialogs& dialogs) {
  const std::string refusal = RefusalOfSettingsText(*box);
  if (refusal.empty()) return true;
  dialogs.ShowMessage(kTitleInputCheck, refusal, MessageIcon::kWarning);
  box->clear();
  return false;
}

int FindIgnoringCase(const Lines& list, std::string_view text) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (EqualsIgnoreCase(list[i], text)) return static_cast<int>(i);
  }
  return -1;
}

bool AddUnlessPresent(Lines* list, std::string* box, Dialogs& dialogs) {
  if (box->empty() || !BoxIsAcceptable(box, dialogs)) return false;
  if (FindIgnoringCase(*list, *box) >= 0) return false;
  list->push_back(*box);
  return true;
}

// One pass from the top over the items the list had when it began: a
// removed item's successor moves into its place and the pass goes on after
// that place, so the successor is not looked at.
void DeleteInOnePass(Lines* list, std::string* box) {
  if (box->empty()) return;
  const std::size_t count = list->size();
  for (std::size_t i = 0; i < count && i < list->size(); ++i) {
    if (EqualsIgnoreCase((*list)[i], *box)) {
      list->erase(list->begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  box->clear();
}

void DeleteFirst(Lines* list, std::string_view text) {
  const int at = FindIgnoringCase(*list, text);
  if (at >= 0) list->erase(list->begin() + at);
}

void CopyItem(const Lines& list, int index, std::string* box) {
  if (index >= 0 && static_cast<std::size_t>(index) < list.size()) {
    *box = list[static_cast<std::size_t>(index)];
  }
}

bool IsCandidateList(int list) {
  return list >= 0 && list < kCandidateListCount;
}

}  // namespace

// --- The files -----------------------------------------------------------

namespace {

// The initial content that stands in for a settings file that is not there
// (start-up could not make it, and said so), or null when the file is there
// to be read.
const DefaultFile* StandInFor(const fs::path& path, std::string_view name) {
  std::error_code ec;
  const fs::file_type type = fs::status(path, ec).type();
  if (type != fs::file_type::not_found &&
      ec != std::errc::too_many_symbolic_link_levels) {
    return nullptr;
  }
  for (const DefaultFile& file : DefaultFiles()) {
    if (file.name == name) return &file;
  }
  return nullptr;
}

}  // namespace

bool SettingsFolder::Read(std::string_view name, std::string* bytes,
                          bool* cut, std::string* error) const {
  const fs::path path = FindFileIgnoringCase(info_, name);
  if (const DefaultFile* stand_in = StandInFor(path, name)) {
    *cut = false;
    const Lines lines(stand_in->lines.begin(), stand_in->lines.end());
    return EncodeTextLines(lines, path, bytes, error);
  }
  return ReadFileHead(path, kMaxSettingsFileBytes, bytes, cut, error);
}

bool SettingsFolder::Write(std::string_view name, std::string_view bytes,
                           std::string* error) {
  return WriteFileBytesAtomic(FindFileIgnoringCase(info_, name), bytes, error);
}

void SettingsInMemory::Put(std::string_view name, std::string bytes) {
  for (auto& [held, content] : files_) {
    if (EqualsIgnoreCase(held, name)) {
      content = std::move(bytes);
      return;
    }
  }
  files_.emplace_back(std::string(name), std::move(bytes));
}

const std::string* SettingsInMemory::Find(std::string_view name) const {
  for (const auto& [held, content] : files_) {
    if (EqualsIgnoreCase(held, name)) return &content;
  }
  return nullptr;
}

bool SettingsInMemory::Read(std::string_view name, std::string* bytes,
                            bool* cut, std::string* error) const {
  const std::string* content = Find(name);
  if (content == nullptr) {
    *error = "ファイルがありません: " + std::string(name);
    return false;
  }
  *cut = content->size() > kMaxSettingsFileBytes;
  bytes->assign(*content, 0, kMaxSettingsFileBytes);
  return true;
}

bool SettingsInMemory::Write(std::string_view name, std::string_view bytes,
                             std::string*) {
  Put(name, std::string(bytes));
  return true;
}

// --- Start-up -------------------------------------------------------------

bool EnsureSettingsFiles(const Folders& folders, Dialogs& dialogs,
                         std::string* error) {
  if (!EnsureFolders(folders, error)) return false;

  std::error_code ec;
  std::size_t missing = 0;
  std::vector<std::string_view> restored;
  std::vector<std::string> unmade;
  for (const DefaultFile& file : DefaultFiles()) {
    const fs::path path = FindFileIgnoringCase(folders.info, file.name);
    if (fs::exists(path, ec)) continue;
    ++missing;
    const Lines lines(file.lines.begin(), file.lines.end());
    std::string reason;
    if (WriteTextLinesAtomic(path, lines, &reason)) {
      restored.push_back(file.name);
    } else {
      unmade.push_back(std::move(reason));
    }
  }
  // With not one settings file in place this is a new installation, whether
  // or not its folders were made a moment ago: nothing to report.
  const bool new_installation = missing == DefaultFiles().size();
  if (!new_installation && !restored.empty()) {
    std::string text =
        "次の設定ファイルが見つからないため、初期設定の内容で作り直しました。"
        "\n";
    for (std::string_view name : restored) {
      text += "\n";
      text += name;
    }
    dialogs.ShowMessage(kTitleConfirm, text, MessageIcon::kInformation);
  }
  // A file that cannot be made (a link to a folder that is gone, a link
  // loop, a folder that may not be written) does not keep the estimator
  // from projects: the program goes on with its initial content, which the
  // readers put in its place.
  if (!unmade.empty()) {
    std::string text =
        "次の設定ファイルを作れませんでした。今回は初期設定の内容で続けます。"
        "\n";
    for (const std::string& reason : unmade) {
      text += "\n";
      text += reason;
    }
    dialogs.ShowMessage(kTitleError, text, MessageIcon::kWarning);
  }
  return true;
}

bool LoadDigitsAndSaveOnSwitch(const SettingsStore& files, SettingsPanel* panel,
                               std::string* error, std::string* notice) {
  error->clear();
  if (notice != nullptr) notice->clear();
  Lines items;
  bool ok =
      ReadItems(files, kDigitsFile, &items, error, notice, FirstItems(1));
  panel->digits = OptionOf(items, 0, 3);
  ok = ReadItems(files, kSaveOnSwitchFile, &items, error, notice,
                 FirstItems(1)) &&
       ok;
  panel->save_on_switch = TickedBy(items, 0);
  return ok;
}

bool LoadDigitsAndSaveOnSwitch(const Folders& folders, SettingsPanel* panel,
                               std::string* error, std::string* notice) {
  return LoadDigitsAndSaveOnSwitch(SettingsFolder(folders), panel, error,
                                   notice);
}

bool LoadSettings(const SettingsStore& files, SettingsPanel* panel,
                  std::string* error, std::string* notice) {
  error->clear();
  if (notice != nullptr) notice->clear();
  bool ok = true;
  Lines items;

  ok = ReadItems(files, kOffsetsFile, &items, error, notice,
                 FirstItems(panel->offsets.size())) &&
       ok;
  for (std::size_t i = 0; i < panel->offsets.size(); ++i) {
    panel->offsets[i] = i < items.size() ? items[i] : std::string();
  }

  ok = ReadItems(files, kUnitsFile, &items, error, notice,
                 ListItems(kMaxListItems, true)) &&
       ok;
  panel->units = items;

  ok = ReadItems(files, kMoneyRoundingFile, &items, error, notice,
                 FirstItems(1)) &&
       ok;
  panel->money_rounding = -1;
  if (!items.empty()) {
    for (int option = 0; option < 3; ++option) {
      if (items[0] == std::to_string(option)) panel->money_rounding = option;
    }
  }

  for (std::size_t list = 0; list < kCandidateFiles.size(); ++list) {
    ok = ReadItems(files, kCandidateFiles[list], &items, error, notice,
                   ListItems(kMaxListItems, true)) &&
         ok;
    panel->candidates[list] = items;
  }

  ok = ReadItems(files, kWorkTypesFile, &items, error, notice,
                 ListItems(kMaxWorkTypes, true)) &&
       ok;
  panel->work_types = items;
  panel->aggregation_work_types = panel->work_types;

  ok = ReadItems(files, kPrintFile, &items, error, notice, FirstItems(5)) && ok;
  panel->print_project_name = TickedBy(items, 0);
  panel->project_name_position = OptionOf(items, 1, 6);
  panel->print_company_name = TickedBy(items, 2);
  panel->company_name = items.size() > 3 ? items[3] : std::string();
  panel->company_name_position = OptionOf(items, 4, 3);
  return ok;
}

bool LoadSettings(const Folders& folders, SettingsPanel* panel,
                  std::string* error, std::string* notice) {
  return LoadSettings(SettingsFolder(folders), panel, error, notice);
}

bool LoadCompanyNames(const SettingsStore& files, SettingsPanel* panel,
                      std::string* error, std::string* notice) {
  error->clear();
  if (notice != nullptr) notice->clear();
  return ReadItems(files, kCompanyNamesFile, &panel->company_names, error,
                   notice, ListItems(kMaxListItems, false));
}

bool LoadCompanyNames(const Folders& folders, SettingsPanel* panel,
                      std::string* error, std::string* notice) {
  return LoadCompanyNames(SettingsFolder(folders), panel, error, notice);
}

std::vector<std::string> ReadWorkTypeFileLines(const SettingsStore& files,
                                               bool* cut, bool* too_large) {
  if (cut != nullptr) *cut = false;
  if (too_large != nullptr) *too_large = false;
  std::string bytes;
  std::string error;
  std::string notice;
  if (!ReadBounded(files, kWorkTypesFile, "\n", &bytes, &error, &notice)) {
    return {};
  }
  if (too_large != nullptr) *too_large = !notice.empty();
  Lines lines;
  ForEachLineIn(bytes, [&](std::string_view raw) {
    if (lines.size() == static_cast<std::size_t>(kMaxWorkTypeFileLines)) {
      // One line more than the list holds.
      if (cut != nullptr) *cut = true;
      return false;
    }
    lines.push_back(Cp932ToUtf8(raw));
    return true;
  });
  return lines;
}

std::vector<std::string> ReadWorkTypeFileLines(const Folders& folders,
                                               bool* cut, bool* too_large) {
  return ReadWorkTypeFileLines(SettingsFolder(folders), cut, too_large);
}

DigitSetting SelectedDigitSetting(const SettingsPanel& panel) {
  return DigitSetting(panel.digits);
}

// --- "設定保存" ------------------------------------------------------------

bool SaveSettings(const SettingsPanel& panel, SettingsStore& files,
                  Dialogs& dialogs) {
  std::vector<std::pair<std::string_view, Lines>> contents;
  contents.emplace_back(kOffsetsFile,
                     Lines(panel.offsets.begin(), panel.offsets.end()));
  contents.emplace_back(kUnitsFile, panel.units);
  contents.emplace_back(kMoneyRoundingFile,
                     Lines{OptionText(panel.money_rounding)});
  for (std::size_t list = 0; list < kCandidateFiles.size(); ++list) {
    contents.emplace_back(kCandidateFiles[list],
                       NonEmpty(panel.candidates[list]));
  }
  contents.emplace_back(kWorkTypesFile, panel.work_types);
  contents.emplace_back(
      kPrintFile,
      Lines{panel.print_project_name ? "1" : "0",
            OptionText(panel.project_name_position),
            panel.print_company_name ? "1" : "0", panel.company_name,
            OptionText(panel.company_name_position)});
  contents.emplace_back(kDigitsFile, Lines{OptionText(panel.digits)});
  contents.emplace_back(kSaveOnSwitchFile,
                     Lines{panel.save_on_switch ? "1" : "0"});

  std::string error;
  bool ok = true;
  for (const auto& [name, lines] : contents) {
    ok = WriteSettingsFile(files, name, lines, &error) && ok;
  }
  if (!ok) {
    dialogs.ShowMessage(kTitleError, "設定を保存できませんでした。\n" + error,
                        MessageIcon::kCritical);
  }
  return ok;
}

bool SaveSettings(const SettingsPanel& panel, const Folders& folders,
                  Dialogs& dialogs) {
  SettingsFolder files(folders);
  return SaveSettings(panel, files, dialogs);
}

// --- Typing ---------------------------------------------------------------

std::string RefusalOfSettingsText(std::string_view text) {
  return RecordTextRefusal(text);
}

bool TypeSettingsText(std::string* box, std::string_view typed,
                      Dialogs& dialogs) {
  const std::string refusal = RefusalOfSettingsText(typed);
  if (!refusal.empty()) {
    dialogs.ShowMessage(kTitleInputCheck, refusal, MessageIcon::kWarning);
    box->clear();
    return false;
  }
  box->assign(typed);
  return true;
}

// --- List editors ---------------------------------------------------------

void ChooseCandidate(SettingsPanel* panel, int list, int index) {
  if (!IsCandidateList(list)) return;
  const auto at = static_cast<std::size_t>(list);
  CopyItem(panel->candidates[at], index, &panel->candidate_entries[at]);
}

void ChooseWorkType(SettingsPanel* panel, int index) {
  CopyItem(panel->work_types, index, &panel->work_type_entry);
}

void ChooseUnit(SettingsPanel* panel, int index) {
  CopyItem(panel->units, index, &panel->unit_entry);
}

bool AddCandidate(SettingsPanel* panel, int list, Dialogs& dialogs) {
  if (!IsCandidateList(list)) return false;
  const auto at = static_cast<std::size_t>(list);
  return AddUnlessPresent(&panel->candidates[at],
                          &panel->candidate_entries[at], dialogs);
}

void DeleteCandidate(SettingsPanel* panel, int list) {
  if (!IsCandidateList(list)) return;
  const auto at = static_cast<std::size_t>(list);
  DeleteInOnePass(&panel->candidates[at], &panel->candidate_entries[at]);
}

bool AddWorkType(SettingsPanel* panel, Dialogs& dialogs) {
  return AddUnlessPresent(&panel->work_types, &panel->work_type_entry,
                          dialogs);
}

void DeleteWorkType(SettingsPanel* panel) {
  DeleteInOnePass(&panel->work_types, &panel->work_type_entry);
}

bool AddUnit(SettingsPanel* panel, Dialogs& dialogs) {
  if (panel->unit_entry.empty() ||
      !BoxIsAcceptable(&panel->unit_entry, dialogs)) {
    return false;
  }
  panel->units.push_back(panel->unit_entry);
  panel->work_type_panel_units.push_back(panel->unit_entry);
  return true;
}

void DeleteUnit(SettingsPanel* panel) {
  DeleteFirst(&panel->units, panel->unit_entry);
  DeleteFirst(&panel->work_type_panel_units, panel->unit_entry);
  panel->unit_entry.clear();
}

// --- Company names --------------------------------------------------------

bool RegisterCompanyName(SettingsPanel* panel, const Folders& folders,
                         Dialogs& dialogs) {
  if (panel->company_name_entry.empty() ||
      !BoxIsAcceptable(&panel->company_name_entry, dialogs)) {
    return true;
  }
  if (FindIgnoringCase(panel->company_names, panel->company_name_entry) < 0) {
    panel->company_names.push_back(panel->company_name_entry);
  }
  SettingsFolder files(folders);
  return WriteCompanyNames(*panel, files, dialogs);
}

bool DeleteCompanyName(SettingsPanel* panel, const Folders& folders,
                       Dialogs& dialogs) {
  if (panel->company_name_entry.empty()) return true;
  DeleteFirst(&panel->company_names, panel->company_name_entry);
  SettingsFolder files(folders);
  return WriteCompanyNames(*panel, files, dialogs);
}

void ChooseCompanyName(SettingsPanel* panel, int index) {
  if (index < 0 ||
      static_cast<std::size_t>(index) >= panel->company_names.size()) {
    return;
  }
  panel->company_name_entry =
      panel->company_names[static_cast<std::size_t>(index)];
  panel->company_name = panel->company_name_entry;
}

bool Settings::EnsureSettingsFiles(std::string* error) {
  ++revision_;
  return veltrano::EnsureSettingsFiles(folders_, dialogs_, error);
}

void Settings::ShowNotice(const std::string& notice) {
  if (!notice.empty()) {
    dialogs_.ShowMessage(kTitleConfirm, notice, MessageIcon::kInformation);
  }
}

bool Settings::LoadDigitsAndSaveOnSwitch(std::string* error) {
  ++revision_;
  std::string notice;
  const bool ok =
      veltrano::LoadDigitsAndSaveOnSwitch(files_, &panel_, error, &notice);
  ShowNotice(notice);
  return ok;
}

bool Settings::LoadSettings(std::string* error) {
  ++revision_;
  std::string notice;
  const bool ok = veltrano::LoadSettings(files_, &panel_, error, &notice);
  ShowNotice(notice);
  return ok;
}

bool Settings::LoadCompanyNames(std::string* error) {
  ++revision_;
  std::string notice;
  const bool ok = veltrano::LoadCompanyNames(files_, &panel_, error, &notice);
  ShowNotice(notice);
  return ok;
}

void Settings::ReloadWorkTypeList() {
  ++revision_;
  bool cut = false;
  bool too_large = false;
  panel_.aggregation_work_types =
      ReadWorkTypeFileLines(files_, &cut, &too_large);
  std::string notice;
  if (too_large) AddTooLarge(&notice, kWorkTypesFile);
  if (cut) {
    AddReason(&notice, "工種は" + std::to_string(kMaxWorkTypeFileLines) +
                           "件までのため、" +
                           std::to_string(kMaxWorkTypeFileLines + 1) +
                           "件目から後は読み込みませんでした。");
  }
  ShowNotice(notice);
}

void Settings::RefillAggregationWorkTypes() {
  ++revision_;
  panel_.aggregation_work_types = panel_.work_types;
}

std::string* Settings::BoxText(Box box, int index) {
  switch (box) {
    case Box::kOffset:
      return index >= 0 && index < kOffsetCount
                 ? &panel_.offsets[static_cast<std::size_t>(index)]
                 : nullptr;
    case Box::kCandidateEntry:
      return index >= 0 && index < kCandidateListCount
                 ? &panel_.candidate_entries[static_cast<std::size_t>(index)]
                 : nullptr;
    case Box::kWorkTypeEntry: return &panel_.work_type_entry;
    case Box::kUnitEntry: return &panel_.unit_entry;
    case Box::kCompanyName: return &panel_.company_name;
    case Box::kCompanyNameEntry: return &panel_.company_name_entry;
  }
  return nullptr;
}

const std::string& Settings::Text(Box box, int index) const {
  static const std::string kNone;
  const std::string* text = const_cast<Settings*>(this)->BoxText(box, index);
  return text != nullptr ? *text : kNone;
}

bool Settings::TypeText(Box box, int index, std::string_view typed) {
  ++revision_;
  std::string* text = BoxText(box, index);
  if (text == nullptr) return false;
  if (box == Box::kOffset) {
    // The offsets are millimetres: a letter typed there leaves the number
    // as it was; a text the file cannot hold empties the box, as the other
    // boxes are.
    bool empties = true;
    const std::string refusal =
        NumberBoxRefusal(typed, NumberBox::kSigned, &empties);
    if (!refusal.empty()) {
      dialogs_.ShowMessage(kTitleInputCheck, refusal, MessageIcon::kWarning);
      if (empties) text->clear();
      return false;
    }
  }
  return TypeSettingsText(text, typed, dialogs_);
}

void Settings::SetMoneyRounding(int option) { ++revision_; panel_.money_rounding = option; }
void Settings::SetPrintProjectName(bool on) { ++revision_; panel_.print_project_name = on; }
void Settings::SetProjectNamePosition(int option) { ++revision_; panel_.project_name_position = option; }
void Settings::SetPrintCompanyName(bool on) { ++revision_; panel_.print_company_name = on; }
void Settings::SetCompanyNamePosition(int option) { ++revision_; panel_.company_name_position = option; }
void Settings::SetDigits(int option) { ++revision_; panel_.digits = option; }
void Settings::SetSaveOnSwitch(bool on) { ++revision_; panel_.save_on_switch = on; }

void Settings::ChooseCandidate(int list, int index) {
  ++revision_;
  veltrano::ChooseCandidate(&panel_, list, index);
}
bool Settings::AddCandidate(int list) {
  ++revision_;
  return veltrano::AddCandidate(&panel_, list, dialogs_);
}
void Settings::DeleteCandidate(int list) {
  ++revision_;
  veltrano::DeleteCandidate(&panel_, list);
}
void Settings::ChooseWorkType(int index) {
  ++revision_;
  veltrano::ChooseWorkType(&panel_, index);
}
bool Settings::AddWorkType() {
  ++revision_;
  return veltrano::AddWorkType(&panel_, dialogs_);
}
void Settings::DeleteWorkType() {
  ++revision_;
  veltrano::DeleteWorkType(&panel_);
}
void Settings::ChooseUnit(int index) {
  ++revision_;
  veltrano::ChooseUnit(&panel_, index);
}
bool Settings::AddUnit() {
  ++revision_;
  return veltrano::AddUnit(&panel_, dialogs_);
}
void Settings::DeleteUnit() {
  ++revision_;
  veltrano::DeleteUnit(&panel_);
}
bool Settings::RegisterCompanyName() {
  ++revision_;
  return veltrano::RegisterCompanyName(&panel_, folders_, dialogs_);
}
bool Settings::DeleteCompanyName() {
  ++revision_;
  return veltrano::DeleteCompanyName(&panel_, folders_, dialogs_);
}
void Settings::ChooseCompanyName(int index) {
  ++revision_;
  veltrano::ChooseCompanyName(&panel_, index);
}
bool Settings::SaveSettings() {
  return veltrano::SaveSettings(panel_, folders_, dialogs_);
}

}  // namespace veltrano
