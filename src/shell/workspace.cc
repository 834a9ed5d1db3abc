#include "shell/workspace.h"

#include <string>
#include <utility>

#include "aggregate/work_types.h"
#include "fittings/entered_data.h"
#include "takeoff/sheet_layout.h"

namespace veltrano {

namespace {

constexpr std::string_view kRegisterRestingInfo =
    "符号・W・Hを入力後 OKをクリックまたはEnterキーで 登録一覧に追加されます。";
constexpr std::string_view kQuitTitle = "Veltrano：終了確認";

// Heading row and data rows of the four fittings calculation tables.
constexpr std::array<int, 4> kCalcTableRows = {7, 5, 5, 7};
constexpr std::array<int, 4> kCalcTableCols = {13, 7, 6, 6};

}  // namespace

Workspace::Workspace(Folders folders, Platform platform)
    : folders_(std::move(folders)), platform_(platform) {
  for (int s = 0; s < 2; ++s) LayOutSheet(s, &sheets_[s]);
  ResetProjectTables(&tables_, /*keep_unit_prices=*/false);
  LayOutEnteredDataList(&entered_data_);
  for (int t = 0; t < 4; ++t) {
    calc_tables_[t] = TextGrid(kCalcTableRows[t], kCalcTableCols[t]);
  }
}

bool Workspace::Startup() {
  std::string error;
  if (!EnsureFolders(folders_, &error) ||
      !EnsureSettingsFiles(folders_, platform_.dialogs, &error)) {
    platform_.dialogs.ShowMessage("エラー", error, MessageIcon::kCritical);
    return false;
  }
  side_ = kInterior;
  for (RoomStore& store : tables_.stores) store.Clear();
  fittings_cache_.clear();
  SwitchMode(kModeInterior);
  item_list_shown_ = false;
  if (!LoadDigitsAndSaveOnSwitch(folders_, &settings_, &error)) {
    platform_.dialogs.ShowMessage("エラー", error, MessageIcon::kCritical);
  }
  digits_ = DigitSetting(settings_.digits);
  // The sheets and every other table, after the remaining settings.
  if (!LoadSettings(folders_, &settings_, &error)) {
    platform_.dialogs.ShowMessage("エラー", error, MessageIcon::kCritical);
  }
  for (int s = 0; s < 2; ++s) {
    LayOutSheet(s, &sheets_[s]);
    cursor_[s] = Cursor{1, 0};
  }
  LayOutSummaryTables(&tables_);
  editor_visible_ = false;
  if (!LoadCompanyNames(folders_, &settings_, &error)) {
    platform_.dialogs.ShowMessage("エラー", error, MessageIcon::kCritical);
  }
  return true;
}

void Workspace::SwitchMode(int index) {
  if (index < 0 || index > 5) return;
  register_info_ = std::string(kRegisterRestingInfo);
  CommitEditor();
  // The shown sheet is stored before the done mark is cleared, so that the
  // mark of the shown room is kept.
  if (SheetVisible() && RoomShown()) StoreVisibleSheet();
  editor_visible_ = false;
  done_mark_ = false;
  mode_ = index;
  digits_ = DigitSetting(settings_.digits);
  if (index == kModeInterior) side_ = kInterior;
  if (index == kModeExterior) side_ = kExterior;
  if (index == kModeInterior || index == kModeExterior) {
    item_list_shown_ = false;
    RestoreDoneMarkOfShownRoom();
  }
  if (index == kModeAggregation) {
    settings_.aggregation_work_types = settings_.work_types;
  }
  if (index != kModeFittingsRegister) RebuildFittingsCache();
}

void Workspace::RebuildFittingsCache() {
  fittings_cache_.clear();
  const TextGrid& reg = tables_.fittings_register;
  for (int r = 1; r < reg.rows() && !reg.At(r, 0).empty(); ++r) {
    fittings_cache_.push_back("Tate," + reg.At(r, 0) + "," + reg.At(r, 1) +
                              "," + reg.At(r, 2));
  }
}

bool Workspace::CommandNew() {
  CommitEditor();
  if (project_open()) {
    switch (platform_.dialogs.Ask("新規作成・名前を変えて登録",
                                  "現在編集中のデータを保存しますか？",
                                  Buttons::kYesNoCancel)) {
      case Answer::kYes:
        SaveUnitPrices();
        // A failed save stops the command, so nothing unsaved is dropped.
        if (!SaveProject(false)) return false;
        break;
      case Answer::kNo:
        break;
      default:
        return false;
    }
  }
  return true;
}

void Workspace::CommandOpen() {
  CommitEditor();
  if (project_open()) {
    switch (platform_.dialogs.Ask("物件データを開く",
                                  "現在編集中のデータを保存しますか？",
                                  Buttons::kYesNoCancel)) {
      case Answer::kYes:
        SaveUnitPrices();
        if (!SaveProject(false)) return;
        break;
      case Answer::kNo:
        break;
      default:
        return;
    }
  }
  OpenProject();
}

void Workspace::CommandSave() {
  CommitEditor();
  if (!project_open()) return;
  SaveUnitPrices();
  SaveProject(true);
}

bool Workspace::CommandPrint() {
  CommitEditor();
  if (SheetVisible() && RoomShown()) StoreVisibleSheet();
  return mode_ == kModeInterior || mode_ == kModeFittingsTakeoff ||
         mode_ == kModeAggregation || mode_ == kModeExterior;
}

bool Workspace::RequestClose() {
  CommitEditor();
  if (!project_open()) return true;
  platform_.dialogs.Beep();
  switch (platform_.dialogs.Ask(kQuitTitle, "保存して終了しますか？",
                                Buttons::kYesNoCancel)) {
    case Answer::kYes:
      break;
    case Answer::kNo:
      return true;
    default:
      return false;
  }
  SaveUnitPrices();
  if (SaveProject(true)) return true;
  // The save failed: close only when the user agrees to lose the changes.
  return platform_.dialogs.Ask(kQuitTitle,
                               "保存できませんでした。保存せずに終了しますか？",
                               Buttons::kYesNo, MessageIcon::kWarning) ==
         Answer::kYes;
}

void Workspace::SaveUnitPrices() { veltrano::SaveUnitPrices(&tables_); }

void Workspace::ResetProjectState(bool opening) {
  ResetProjectTables(&tables_, /*keep_unit_prices=*/true);
  for (int s = 0; s < 2; ++s) {
    ClearSheet(s);
    room_label_[s].clear();
    current_room_[s] = -1;
  }
  for (int t = 0; t < 4; ++t) {
    calc_tables_[t].ClearRange(1, 0, calc_tables_[t].rows() - 1,
                               calc_tables_[t].cols() - 1);
  }
  LayOutEnteredDataList(&entered_data_);
  fittings_cache_.clear();
  editor_visible_ = false;
  if (opening) {
    for (std::string& p : daisu_) p.clear();
    done_mark_ = false;
  }
}

}  // namespace veltrano
