#ifndef VELTRANO_CONFIG_SETTINGS_H_
#define VELTRANO_CONFIG_SETTINGS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/rounding.h"
#include "port/dialogs.h"
#include "config/folders.h"

// The settings panel (mode 4 "設定", Frame_Set "《設定》") and its settings
// files in the "info" folder. The files are read once at start-up into the
// panel; the rest of the program reads the settings from the panel. They are
// written back only by "設定保存" (SaveSettings), except the company names,
// which are written whenever they change.
//
// Every settings file is CP932 text, one value per line, CR LF, no quotes.
// Reading goes item by item: an item ends at a comma or at the end of a
// line. That is why every box whose text ends up in a settings file (or in a
// comma- or apostrophe-separated record) refuses "," and "'" as it is typed.

namespace veltrano {

inline constexpr int kOffsetCount = 6;          // TateguSet(0..5)
inline constexpr int kCandidateListCount = 6;   // HinagataSaveList(0..5)
inline constexpr int kMaxWorkTypeFileLines = 101;

// A settings file holds a few lines. Of a larger one only the first
// kMaxSettingsFileBytes are read; the item the bound cuts through is
// dropped, and the user is told.
inline constexpr std::size_t kMaxSettingsFileBytes = 1u << 20;
// What the lists of the panel hold. The registered work types fill the
// aggregation panel's work-type list, which holds 101; the units, each
// candidate list and the company names hold a thousand items each, far more
// than anyone registers by hand. Items of a file beyond them are not read.
inline constexpr std::size_t kMaxWorkTypes = kMaxWorkTypeFileLines;
inline constexpr std::size_t kMaxListItems = 1000;

// The settings files, in the order SaveSettings writes them (the company
// names last: they are written by their own commands).
inline constexpr std::string_view kOffsetsFile = "TateguSet.ini";
inline constexpr std::string_view kUnitsFile = "Tani.ini";
inline constexpr std::string_view kMoneyRoundingFile = "Hasu.ini";
inline constexpr std::array<std::string_view, kCandidateListCount>
    kCandidateFiles = {"ListGarasu.ini",  "ListGarasuS.ini",
                       "ListTosou.ini",   "ListWakuS.ini",
                       "ListWakuTume.ini", "ListWakuS_Size.ini"};
inline constexpr std::string_view kWorkTypesFile = "Kousyu.ini";
inline constexpr std::string_view kPrintFile = "NameInsatu.ini";
inline constexpr std::string_view kDigitsFile = "Keta.ini";
inline constexpr std::string_view kSaveOnSwitchFile = "Save.ini";
inline constexpr std::string_view kCompanyNamesFile = "NameKouho.ini";
// The seconds between recovery copies of the open project (0: none).
inline constexpr std::string_view kRecoveryFile = "Recovery.ini";
inline constexpr int kDefaultRecoverySeconds = 60;
inline constexpr int kMaxRecoverySeconds = 3600;

// --- The files -----------------------------------------------------------

// Where the settings files are read from and written to: each file is read
// once, in one piece, and its items are taken from those bytes.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The first kMaxSettingsFileBytes of file `name` (letter case ignored)
  // into `bytes`, *cut telling whether the file holds more. False, with the
  // reason, when it cannot be read.
  virtual bool Read(std::string_view name, std::string* bytes, bool* cut,
                    std::string* error) const = 0;
  // Replaces file `name` (letter case ignored) with `bytes` as a whole.
  // False, with the reason, when it cannot be written.
  virtual bool Write(std::string_view name, std::string_view bytes,
                     std::string* error) = 0;
};

// The settings files in the "info" folder.
class SettingsFolder final : public SettingsStore {
 public:
  explicit SettingsFolder(const Folders& folders) : info_(folders.info) {}
  bool Read(std::string_view name, std::string* bytes, bool* cut,
            std::string* error) const override;
  bool Write(std::string_view name, std::string_view bytes,
             std::string* error) override;

 private:
  std::filesystem::path info_;
};

// Settings files held in memory by name, for bytes that need not be on
// disk. A file not put in place cannot be read.
class SettingsInMemory final : public SettingsStore {
 public:
  // The file `name` (letter case ignored) now holds `bytes`.
  void Put(std::string_view name, std::string bytes);
  // What file `name` holds, or nullptr when there is none.
  const std::string* Find(std::string_view name) const;

  bool Read(std::string_view name, std::string* bytes, bool* cut,
            std::string* error) const override;
  bool Write(std::string_view name, std::string_view bytes,
             std::string* error) override;

 private:
  std::vector<std::pair<std::string, std::string>> files_;
};

// --- Start-up -------------------------------------------------------------

// Makes sure the folders and every settings file exist. Each missing file is
// written with its default content. When not one settings file was there (a
// new base folder, or an "info" folder just made) this happens silently;
// otherwise one message titled "確認" lists the files restored. A file that
// cannot be made (a symbolic link to a folder that is gone, a link loop, a
// folder that may not be written) is told in one message titled "エラー"
// naming each such file with its reason; the program goes on, and the
// settings folder reads such a file as its default content as long as it is
// not there. Returns false with the reason in `error` when a folder cannot
// be made.
bool EnsureSettingsFiles(const Folders& folders, Dialogs& dialogs,
                         std::string* error);

// The work-type file read line by line, a whole line being one work type, as
// the aggregation panel reloads it: at most the first 101 lines (*cut tells
// whether there were more) of its first kMaxSettingsFileBytes (*too_large
// tells whether the file is larger; the line the bound cuts through is
// dropped). A file that cannot be read gives no work types.
std::vector<std::string> ReadWorkTypeFileLines(const SettingsStore& files,
                                               bool* cut = nullptr,
                                               bool* too_large = nullptr);
std::vector<std::string> ReadWorkTypeFileLines(const Folders& folders,
                                               bool* cut = nullptr,
                                               bool* too_large = nullptr);

// The message refusing `text` as the content of a settings box, or "" when
// it may be kept: "," and "'" would split the value when it is read back,
// and a character code page 932 cannot hold cannot be written at all.
std::string RefusalOfSettingsText(std::string_view text);

// --- The state of the panel ----------------------------------------------

// What the controls of the settings panel hold, changed only by the
// operations below: the settings files read into it, the boxes typed into,
// the option groups and checks clicked, the list editors and the company
// names. An option group holds the number of its selected button, or -1 when
// none is selected. A new panel holds empty boxes and lists, no selection
// and no tick.
class SettingsPanel {
 public:
  // The text boxes of the panel.
  enum class Box {
    kOffset,            // TateguSet(index)
    kCandidateEntry,    // HinagataText(index)
    kWorkTypeEntry,     // KousyuText
    kUnitEntry,         // Text3
    kCompanyName,       // Text4
    kCompanyNameEntry,  // the text of KouhoCmb
    kRecoverySeconds,   // RecoveryText, the seconds between recovery copies
  };

  // TateguSet(0..5), "<<建具廻り拾い設定>>": the millimetre offsets of the
  // fittings takeoff, as typed (GW, GH, frame seal W and H, frame mortar W
  // and H).
  const std::array<std::string, kOffsetCount>& offsets() const {
    return offsets_;
  }
  // TaniSaveList, "<<単位登録>>": the registered units.
  const std::vector<std::string>& units() const { return units_; }
  // TaniList: the unit list of the work-type table panel. The unit editor
  // adds to it and deletes from it together with `units`.
  const std::vector<std::string>& work_type_panel_units() const {
    return work_type_panel_units_;
  }
  // Hasu(0..2), "<<金額端数>>": 0 切り上げ, 1 切り捨て, 2 四捨五入.
  int money_rounding() const { return money_rounding_; }
  // HinagataSaveList(0..5), "<<建具廻り入力候補>>": glass, glass seal,
  // painting and facing, frame seal, frame mortar, frame seal sizes.
  const std::array<std::vector<std::string>, kCandidateListCount>& candidates()
      const {
    return candidates_;
  }
  // KousyuSaveList, "工種登録": the registered work types.
  const std::vector<std::string>& work_types() const { return work_types_; }
  // KousyuList: the work-type list of the aggregation panel.
  const std::vector<std::string>& aggregation_work_types() const {
    return aggregation_work_types_;
  }
  // "<<印刷設定>>": Check3(1) "物件名印刷有", Option1(0..5) 上左 上中 上右
  // 下左 下中 下右, Check3(0) "会社名印刷有", Text4, Option2(0..2) 下左 下中
  // 下右.
  bool print_project_name() const { return print_project_name_; }
  int project_name_position() const { return project_name_position_; }
  bool print_company_name() const { return print_company_name_; }
  const std::string& company_name() const { return company_name_; }
  int company_name_position() const { return company_name_position_; }
  // Option3(0..2), "<<計算桁>>": the calculation-digits setting.
  int digits() const { return digits_; }
  // The digit setting the selected Option3 button stands for (none selected
  // keeps the rules of setting 0).
  DigitSetting digit_setting() const { return DigitSetting(digits_); }
  // SaveCh "部屋・場所切替時に上書き保存する".
  bool save_on_switch() const { return save_on_switch_; }
  // RecoveryText "復元用コピーの間隔（秒）": the seconds between recovery
  // copies of a project with unsaved changes, 0 for none; a box left empty
  // or beyond kMaxRecoverySeconds keeps the default.
  int recovery_seconds() const;
  // KouhoCmb beside "登録会社名": its list and its text.
  const std::vector<std::string>& company_names() const {
    return company_names_;
  }
  const std::string& company_name_entry() const { return company_name_entry_; }
  // The text boxes of the list editors: HinagataText(0..5), KousyuText and
  // Text3.
  const std::array<std::string, kCandidateListCount>& candidate_entries()
      const {
    return candidate_entries_;
  }
  const std::string& work_type_entry() const { return work_type_entry_; }
  const std::string& unit_entry() const { return unit_entry_; }
  // What a box holds; "" for an index the box does not have.
  const std::string& Text(Box box, int index) const;

  bool operator==(const SettingsPanel&) const = default;

  // --- Reading the files ---
  // Each reads only what its controls hold: the items a control reads by
  // position, up to the capacity of a list. When only the start of a file
  // larger than kMaxSettingsFileBytes was read, or a list was full before
  // its file ended, `notice` (when given) says so, a line per file; what
  // was read is used. The files come from `files`, or from the info folder
  // of `folders`.

  // Reads "Keta.ini" into `digits` and "Save.ini" into `save_on_switch`.
  // Returns false, with the reasons in `error`, when a file cannot be read;
  // its control is then left without a selection or unticked.
  bool LoadDigitsAndSaveOnSwitch(const SettingsStore& files,
                                 std::string* error,
                                 std::string* notice = nullptr);
  bool LoadDigitsAndSaveOnSwitch(const Folders& folders, std::string* error,
                                 std::string* notice = nullptr);
  // Reads, in this order, "TateguSet.ini", "Tani.ini", "Hasu.ini", the six
  // candidate files, "Kousyu.ini" (into `work_types` and, in the same
  // order, `aggregation_work_types`) and "NameInsatu.ini". A file that
  // cannot be read leaves its controls empty, unticked or without a
  // selection, the other files are still read, and false is returned with
  // the reasons in `error`.
  bool LoadSettings(const SettingsStore& files, std::string* error,
                    std::string* notice = nullptr);
  bool LoadSettings(const Folders& folders, std::string* error,
                    std::string* notice = nullptr);
  // Reads "NameKouho.ini" into the company-name list, every item in order.
  bool LoadCompanyNames(const SettingsStore& files, std::string* error,
                        std::string* notice = nullptr);
  bool LoadCompanyNames(const Folders& folders, std::string* error,
                        std::string* notice = nullptr);
  // The aggregation panel's work-type list becomes the registered work
  // types.
  void RefillAggregationWorkTypes();
  // The aggregation panel's work-type list becomes the lines of the
  // work-type file (ReadWorkTypeFileLines); `notice` is then what there is
  // to tell: a file holding more lines than the list's 101, or larger than
  // a settings file can be. Empty when there is nothing.
  void ReloadAggregationWorkTypes(const SettingsStore& files,
                                  std::string* notice);

  // --- "設定保存" ---
  // Writes, each file replaced as a whole, "TateguSet.ini", "Tani.ini",
  // "Hasu.ini", the six candidate files, "Kousyu.ini", "NameInsatu.ini",
  // "Keta.ini" and "Save.ini". An option group without a selection is
  // written as an empty line. No confirmation is shown; a file that cannot
  // be written is reported in a message titled "エラー" (the other files are
  // still written) and false is returned.
  bool SaveSettings(SettingsStore& files, Dialogs& dialogs) const;
  bool SaveSettings(const Folders& folders, Dialogs& dialogs) const;

  // --- The controls ---
  // A change of a box's text: the box takes `typed`, or, when
  // RefusalOfSettingsText refuses it, the refusal is shown titled
  // "入力確認" and the box is emptied. An offset takes a number only: a
  // letter typed there is refused and the box keeps its number. Returns
  // whether the text was taken.
  bool TypeText(Box box, int index, std::string_view typed, Dialogs& dialogs);
  void SetMoneyRounding(int option) { money_rounding_ = option; }
  void SetPrintProjectName(bool on) { print_project_name_ = on; }
  void SetProjectNamePosition(int option) { project_name_position_ = option; }
  void SetPrintCompanyName(bool on) { print_company_name_ = on; }
  void SetCompanyNamePosition(int option) { company_name_position_ = option; }
  void SetDigits(int option) { digits_ = option; }
  void SetSaveOnSwitch(bool on) { save_on_switch_ = on; }

  // --- List editors ---
  // A click on a list item copies it into the editor's box. "↓追加" appends
  // the box's text; "削除" deletes by the box's text. Out-of-range indices
  // do nothing. A box's text that reached a command without passing the
  // typing check (an item of a file, chosen) is refused as it would have
  // been when typed, and the box emptied.
  void ChooseCandidate(int list, int index);
  void ChooseWorkType(int index);
  void ChooseUnit(int index);
  // TuikaBtn(0..5): appends HinagataText(list) to HinagataSaveList(list)
  // when it is not empty and no item equals it without regard to letter
  // case. Returns whether it was appended.
  bool AddCandidate(int list, Dialogs& dialogs);
  // SakujyoBtn(0..5): one scan from the top removing every item equal to
  // the box without regard to letter case (an item that moves up into the
  // place of a removed one is passed over), then the box is emptied. An
  // empty box deletes nothing.
  void DeleteCandidate(int list);
  // TuikaBtn(6) and SakujyoBtn(6): the same for the work types.
  bool AddWorkType(Dialogs& dialogs);
  void DeleteWorkType();
  // Command7 "↓追加": appends Text3, when not empty, to both unit lists,
  // with no test for duplicates.
  bool AddUnit(Dialogs& dialogs);
  // Command8 "削除": removes the first item equal to Text3 without regard to
  // letter case from each unit list, then empties the box.
  void DeleteUnit();

  // --- Company names ---
  // Command15(0) "登録": appends the combo box's text when it is not empty
  // and no item equals it without regard to letter case, then writes
  // "NameKouho.ini" at once with every non-empty item. An empty text does
  // nothing. Returns false only when the file cannot be written (reported
  // in a message titled "エラー").
  bool RegisterCompanyName(const Folders& folders, Dialogs& dialogs);
  // Command15(1) "削除": removes the first item equal to the combo box's
  // text without regard to letter case, then writes "NameKouho.ini" as
  // above.
  bool DeleteCompanyName(const Folders& folders, Dialogs& dialogs);
  // Choosing an item of the combo box: it becomes the combo box's text and
  // is copied into the company-name box Text4.
  void ChooseCompanyName(int index);

 private:
  // The text a box holds, or nullptr for an index the box does not have.
  std::string* BoxText(Box box, int index);
  // "NameKouho.ini" with every non-empty company name.
  bool WriteCompanyNames(SettingsStore& files, Dialogs& dialogs) const;

  std::array<std::string, kOffsetCount> offsets_;
  std::vector<std::string> units_;
  std::vector<std::string> work_type_panel_units_;
  int money_rounding_ = -1;
  std::array<std::vector<std::string>, kCandidateListCount> candidates_;
  std::vector<std::string> work_types_;
  std::vector<std::string> aggregation_work_types_;
  bool print_project_name_ = false;
  int project_name_position_ = -1;
  bool print_company_name_ = false;
  std::string company_name_;
  int company_name_position_ = -1;
  int digits_ = -1;
  bool save_on_switch_ = false;
  std::string recovery_seconds_ = std::to_string(kDefaultRecoverySeconds);
  std::vector<std::string> company_names_;
  std::string company_name_entry_;
  std::array<std::string, kCandidateListCount> candidate_entries_;
  std::string work_type_entry_;
  std::string unit_entry_;
};

// --- The panel as one object ---------------------------------------------

// The settings panel's state with its folders and dialogs: every change
// goes through an operation, and a counter tells the panel when to redraw.
class Settings {
 public:
  using Box = SettingsPanel::Box;

  Settings(const Folders& folders, Dialogs& dialogs)
      : folders_(folders), dialogs_(dialogs) {}

  const SettingsPanel& panel() const { return panel_; }
  const Folders& folders() const { return folders_; }
  std::uint64_t revision() const { return revision_; }

  // Start-up, as the functions of the same names of SettingsPanel (and
  // EnsureSettingsFiles above); what they have to tell besides failures (a
  // file read only in part) is shown titled "確認".
  bool EnsureSettingsFiles(std::string* error);
  bool LoadDigitsAndSaveOnSwitch(std::string* error);
  bool LoadSettings(std::string* error);
  bool LoadCompanyNames(std::string* error);
  // Mode 2 refills the aggregation panel's work-type list from the
  // registered work types.
  void RefillAggregationWorkTypes();
  // A summary choice of the aggregation panel reloads its work-type list
  // from the work-type file, up to the list's 101 entries (with a message
  // when the file holds more, or is larger than a settings file can be).
  void ReloadWorkTypeList();

  // What a box holds.
  const std::string& Text(Box box, int index) const;
  // A change of a box's text: refused texts are told and the box emptied.
  bool TypeText(Box box, int index, std::string_view typed);
  void SetMoneyRounding(int option);
  void SetPrintProjectName(bool on);
  void SetProjectNamePosition(int option);
  void SetPrintCompanyName(bool on);
  void SetCompanyNamePosition(int option);
  void SetDigits(int option);
  void SetSaveOnSwitch(bool on);

  void ChooseCandidate(int list, int index);
  bool AddCandidate(int list);
  void DeleteCandidate(int list);
  void ChooseWorkType(int index);
  bool AddWorkType();
  void DeleteWorkType();
  void ChooseUnit(int index);
  bool AddUnit();
  void DeleteUnit();
  bool RegisterCompanyName();
  bool DeleteCompanyName();
  void ChooseCompanyName(int index);
  // "設定保存".
  bool SaveSettings();

 private:
  void ShowNotice(const std::string& notice);

  const Folders& folders_;
  SettingsFolder files_{folders_};
  Dialogs& dialogs_;
  SettingsPanel panel_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_CONFIG_SETTINGS_H_
