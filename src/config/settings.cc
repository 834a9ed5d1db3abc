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
      {kRecoveryFile, {"60"}},
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

// A box's text that reached a command without passing the typing check is
// refused as it would have been when typed.
bool BoxIsAcceptable(std::string* box, Dialogs& dialogs) {
  const std::string refusal = RefusalOfSettingsText(*box);
  if (refusal.empty()) return true;
  dialogs.ShowMessage(kTitleInputCheck, refusal, MessageIcon::kWarning);
  box->clear();
  return false;
}

// A change of the text of a settings box: the box takes `typed`, or, when
// RefusalOfSettingsText refuses it, the refusal is shown titled "入力確認"
// and the box is emptied. Returns whether it was taken.
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

// --- Typing ---------------------------------------------------------------

std::string RefusalOfSettingsText(std::string_view text) {
  return RecordTextRefusal(text);
}

// --- The state of the panel ----------------------------------------------

bool SettingsPanel::LoadDigitsAndSaveOnSwitch(const SettingsStore& files,
                                              std::string* error,
                                              std::string* notice) {
  error->clear();
  if (notice != nullptr) notice->clear();
  Lines items;
  bool ok =
      ReadItems(files, kDigitsFile, &items, error, notice, FirstItems(1));
  digits_ = OptionOf(items, 0, 3);
  ok = ReadItems(files, kSaveOnSwitchFile, &items, error, notice,
                 FirstItems(1)) &&
       ok;
  save_on_switch_ = TickedBy(items, 0);
  ok = ReadItems(files, kRecoveryFile, &items, error, notice, FirstItems(1)) && ok;
  recovery_seconds_ = items.empty() ? std::to_string(kDefaultRecoverySeconds) : items[0];
  return ok;
}

bool SettingsPanel::LoadDigitsAndSaveOnSwitch(const Folders& folders,
                                              std::string* error,
                                              std::string* notice) {
  return LoadDigitsAndSaveOnSwitch(SettingsFolder(folders), error, notice);
}

bool SettingsPanel::LoadSettings(const SettingsStore& files,
                                 std::string* error, std::string* notice) {
  error->clear();
  if (notice != nullptr) notice->clear();
  bool ok = true;
  Lines items;

  ok = ReadItems(files, kOffsetsFile, &items, error, notice,
                 FirstItems(offsets_.size())) &&
       ok;
  for (std::size_t i = 0; i < offsets_.size(); ++i) {
    offsets_[i] = i < items.size() ? items[i] : std::string();
  }

  ok = ReadItems(files, kUnitsFile, &items, error, notice,
                 ListItems(kMaxListItems, true)) &&
       ok;
  units_ = items;

  ok = ReadItems(files, kMoneyRoundingFile, &items, error, notice,
                 FirstItems(1)) &&
       ok;
  money_rounding_ = -1;
  if (!items.empty()) {
    for (int option = 0; option < 3; ++option) {
      if (items[0] == std::to_string(option)) money_rounding_ = option;
    }
  }

  for (std::size_t list = 0; list < kCandidateFiles.size(); ++list) {
    ok = ReadItems(files, kCandidateFiles[list], &items, error, notice,
                   ListItems(kMaxListItems, true)) &&
         ok;
    candidates_[list] = items;
  }

  ok = ReadItems(files, kWorkTypesFile, &items, error, notice,
                 ListItems(kMaxWorkTypes, true)) &&
       ok;
  work_types_ = items;
  aggregation_work_types_ = work_types_;

  ok = ReadItems(files, kPrintFile, &items, error, notice, FirstItems(5)) && ok;
  print_project_name_ = TickedBy(items, 0);
  project_name_position_ = OptionOf(items, 1, 6);
  print_company_name_ = TickedBy(items, 2);
  company_name_ = items.size() > 3 ? items[3] : std::string();
  company_name_position_ = OptionOf(items, 4, 3);
  return ok;
}

bool SettingsPanel::LoadSettings(const Folders& folders, std::string* error,
                                 std::string* notice) {
  return LoadSettings(SettingsFolder(folders), error, notice);
}

bool SettingsPanel::LoadCompanyNames(const SettingsStore& files,
                                     std::string* error, std::string* notice) {
  error->clear();
  if (notice != nullptr) notice->clear();
  return ReadItems(files, kCompanyNamesFile, &company_names_, error, notice,
                   ListItems(kMaxListItems, false));
}

bool SettingsPanel::LoadCompanyNames(const Folders& folders,
                                     std::string* error, std::string* notice) {
  return LoadCompanyNames(SettingsFolder(folders), error, notice);
}

void SettingsPanel::RefillAggregationWorkTypes() {
  aggregation_work_types_ = work_types_;
}

void SettingsPanel::ReloadAggregationWorkTypes(const SettingsStore& files,
                                               std::string* notice) {
  notice->clear();
  bool cut = false;
  bool too_large = false;
  aggregation_work_types_ = ReadWorkTypeFileLines(files, &cut, &too_large);
  if (too_large) AddTooLarge(notice, kWorkTypesFile);
  if (cut) {
    AddReason(notice, "工種は" + std::to_string(kMaxWorkTypeFileLines) +
                          "件までのため、" +
                          std::to_string(kMaxWorkTypeFileLines + 1) +
                          "件目から後は読み込みませんでした。");
  }
}

// --- "設定保存" ------------------------------------------------------------

bool SettingsPanel::SaveSettings(SettingsStore& files, Dialogs& dialogs) const {
  std::vector<std::pair<std::string_view, Lines>> contents;
  contents.emplace_back(kOffsetsFile, Lines(offsets_.begin(), offsets_.end()));
  contents.emplace_back(kUnitsFile, units_);
  contents.emplace_back(kMoneyRoundingFile, Lines{OptionText(money_rounding_)});
  for (std::size_t list = 0; list < kCandidateFiles.size(); ++list) {
    contents.emplace_back(kCandidateFiles[list], NonEmpty(candidates_[list]));
  }
  contents.emplace_back(kWorkTypesFile, work_types_);
  contents.emplace_back(
      kPrintFile,
      Lines{print_project_name_ ? "1" : "0", OptionText(project_name_position_),
            print_company_name_ ? "1" : "0", company_name_,
            OptionText(company_name_position_)});
  contents.emplace_back(kDigitsFile, Lines{OptionText(digits_)});
  contents.emplace_back(kSaveOnSwitchFile, Lines{save_on_switch_ ? "1" : "0"});
  contents.emplace_back(kRecoveryFile, Lines{recovery_seconds_});

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

bool SettingsPanel::SaveSettings(const Folders& folders,
                                 Dialogs& dialogs) const {
  SettingsFolder files(folders);
  return SaveSettings(files, dialogs);
}

// --- The controls ---------------------------------------------------------

std::string* SettingsPanel::BoxText(Box box, int index) {
  switch (box) {
    case Box::kOffset:
      return index >= 0 && index < kOffsetCount
                 ? &offsets_[static_cast<std::size_t>(index)]
                 : nullptr;
    case Box::kCandidateEntry:
      return index >= 0 && index < kCandidateListCount
                 ? &candidate_entries_[static_cast<std::size_t>(index)]
                 : nullptr;
    case Box::kWorkTypeEntry: return &work_type_entry_;
    case Box::kUnitEntry: return &unit_entry_;
    case Box::kCompanyName: return &company_name_;
    case Box::kCompanyNameEntry: return &company_name_entry_;
    case Box::kRecoverySeconds: return &recovery_seconds_;
  }
  return nullptr;
}

int SettingsPanel::recovery_seconds() const {
  const std::string_view text = TrimBlanks(recovery_seconds_);
  int seconds = 0;
  if (!ReadWholeNumber(text, &seconds) || seconds < 0 || seconds > kMaxRecoverySeconds) {
    return kDefaultRecoverySeconds;
  }
  return seconds;
}

const std::string& SettingsPanel::Text(Box box, int index) const {
  static const std::string kNone;
  const std::string* text =
      const_cast<SettingsPanel*>(this)->BoxText(box, index);
  return text != nullptr ? *text : kNone;
}

bool SettingsPanel::TypeText(Box box, int index, std::string_view typed,
                             Dialogs& dialogs) {
  std::string* text = BoxText(box, index);
  if (text == nullptr) return false;
  if (box == Box::kOffset || box == Box::kRecoverySeconds) {
    // The offsets are millimetres: a letter typed there leaves the number
    // as it was; a text the file cannot hold empties the box, as the other
    // boxes are.
    bool empties = true;
    const std::string refusal =
        NumberBoxRefusal(typed, box == Box::kOffset ? NumberBox::kSigned : NumberBox::kWhole,
                         &empties);
    if (!refusal.empty()) {
      dialogs.ShowMessage(kTitleInputCheck, refusal, MessageIcon::kWarning);
      if (empties) text->clear();
      return false;
    }
  }
  return TypeSettingsText(text, typed, dialogs);
}

// --- List editors ---------------------------------------------------------

void SettingsPanel::ChooseCandidate(int list, int index) {
  if (!IsCandidateList(list)) return;
  const auto at = static_cast<std::size_t>(list);
  CopyItem(candidates_[at], index, &candidate_entries_[at]);
}

void SettingsPanel::ChooseWorkType(int index) {
  CopyItem(work_types_, index, &work_type_entry_);
}

void SettingsPanel::ChooseUnit(int index) {
  CopyItem(units_, index, &unit_entry_);
}

bool SettingsPanel::AddCandidate(int list, Dialogs& dialogs) {
  if (!IsCandidateList(list)) return false;
  const auto at = static_cast<std::size_t>(list);
  return AddUnlessPresent(&candidates_[at], &candidate_entries_[at], dialogs);
}

void SettingsPanel::DeleteCandidate(int list) {
  if (!IsCandidateList(list)) return;
  const auto at = static_cast<std::size_t>(list);
  DeleteInOnePass(&candidates_[at], &candidate_entries_[at]);
}

bool SettingsPanel::AddWorkType(Dialogs& dialogs) {
  return AddUnlessPresent(&work_types_, &work_type_entry_, dialogs);
}

void SettingsPanel::DeleteWorkType() {
  DeleteInOnePass(&work_types_, &work_type_entry_);
}

bool SettingsPanel::AddUnit(Dialogs& dialogs) {
  if (unit_entry_.empty() || !BoxIsAcceptable(&unit_entry_, dialogs)) {
    return false;
  }
  units_.push_back(unit_entry_);
  work_type_panel_units_.push_back(unit_entry_);
  return true;
}

void SettingsPanel::DeleteUnit() {
  DeleteFirst(&units_, unit_entry_);
  DeleteFirst(&work_type_panel_units_, unit_entry_);
  unit_entry_.clear();
}

// --- Company names --------------------------------------------------------

bool SettingsPanel::WriteCompanyNames(SettingsStore& files,
                                      Dialogs& dialogs) const {
  std::string error;
  if (WriteSettingsFile(files, kCompanyNamesFile, NonEmpty(company_names_),
                        &error)) {
    return true;
  }
  dialogs.ShowMessage(kTitleError, "会社名を保存できませんでした。\n" + error,
                      MessageIcon::kCritical);
  return false;
}

bool SettingsPanel::RegisterCompanyName(const Folders& folders,
                                        Dialogs& dialogs) {
  if (company_name_entry_.empty() ||
      !BoxIsAcceptable(&company_name_entry_, dialogs)) {
    return true;
  }
  if (FindIgnoringCase(company_names_, company_name_entry_) < 0) {
    company_names_.push_back(company_name_entry_);
  }
  SettingsFolder files(folders);
  return WriteCompanyNames(files, dialogs);
}

bool SettingsPanel::DeleteCompanyName(const Folders& folders,
                                      Dialogs& dialogs) {
  if (company_name_entry_.empty()) return true;
  DeleteFirst(&company_names_, company_name_entry_);
  SettingsFolder files(folders);
  return WriteCompanyNames(files, dialogs);
}

void SettingsPanel::ChooseCompanyName(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= company_names_.size()) {
    return;
  }
  company_name_entry_ = company_names_[static_cast<std::size_t>(index)];
  company_name_ = company_name_entry_;
}

// --- The panel as one object ---------------------------------------------

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
  const bool ok = panel_.LoadDigitsAndSaveOnSwitch(files_, error, &notice);
  ShowNotice(notice);
  return ok;
}

bool Settings::LoadSettings(std::string* error) {
  ++revision_;
  std::string notice;
  const bool ok = panel_.LoadSettings(files_, error, &notice);
  ShowNotice(notice);
  return ok;
}

bool Settings::LoadCompanyNames(std::string* error) {
  ++revision_;
  std::string notice;
  const bool ok = panel_.LoadCompanyNames(files_, error, &notice);
  ShowNotice(notice);
  return ok;
}

void Settings::ReloadWorkTypeList() {
  ++revision_;
  std::string notice;
  panel_.ReloadAggregationWorkTypes(files_, &notice);
  ShowNotice(notice);
}

void Settings::RefillAggregationWorkTypes() {
  ++revision_;
  panel_.RefillAggregationWorkTypes();
}

const std::string& Settings::Text(Box box, int index) const {
  return panel_.Text(box, index);
}

bool Settings::TypeText(Box box, int index, std::string_view typed) {
  ++revision_;
  return panel_.TypeText(box, index, typed, dialogs_);
}

void Settings::SetMoneyRounding(int option) {
  ++revision_;
  panel_.SetMoneyRounding(option);
}
void Settings::SetPrintProjectName(bool on) {
  ++revision_;
  panel_.SetPrintProjectName(on);
}
void Settings::SetProjectNamePosition(int option) {
  ++revision_;
  panel_.SetProjectNamePosition(option);
}
void Settings::SetPrintCompanyName(bool on) {
  ++revision_;
  panel_.SetPrintCompanyName(on);
}
void Settings::SetCompanyNamePosition(int option) {
  ++revision_;
  panel_.SetCompanyNamePosition(option);
}
void Settings::SetDigits(int option) {
  ++revision_;
  panel_.SetDigits(option);
}
void Settings::SetSaveOnSwitch(bool on) {
  ++revision_;
  panel_.SetSaveOnSwitch(on);
}

void Settings::ChooseCandidate(int list, int index) {
  ++revision_;
  panel_.ChooseCandidate(list, index);
}
bool Settings::AddCandidate(int list) {
  ++revision_;
  return panel_.AddCandidate(list, dialogs_);
}
void Settings::DeleteCandidate(int list) {
  ++revision_;
  panel_.DeleteCandidate(list);
}
void Settings::ChooseWorkType(int index) {
  ++revision_;
  panel_.ChooseWorkType(index);
}
bool Settings::AddWorkType() {
  ++revision_;
  return panel_.AddWorkType(dialogs_);
}
void Settings::DeleteWorkType() {
  ++revision_;
  panel_.DeleteWorkType();
}
void Settings::ChooseUnit(int index) {
  ++revision_;
  panel_.ChooseUnit(index);
}
bool Settings::AddUnit() {
  ++revision_;
  return panel_.AddUnit(dialogs_);
}
void Settings::DeleteUnit() {
  ++revision_;
  panel_.DeleteUnit();
}
bool Settings::RegisterCompanyName() {
  ++revision_;
  return panel_.RegisterCompanyName(folders_, dialogs_);
}
bool Settings::DeleteCompanyName() {
  ++revision_;
  return panel_.DeleteCompanyName(folders_, dialogs_);
}
void Settings::ChooseCompanyName(int index) {
  ++revision_;
  panel_.ChooseCompanyName(index);
}
bool Settings::SaveSettings() {
  return panel_.SaveSettings(folders_, dialogs_);
}

}  // namespace veltrano
