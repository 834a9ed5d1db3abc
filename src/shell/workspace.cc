#include "shell/workspace.h"

#include "project/plans_file.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>

#include "aggregate/work_types.h"
#include "port/this_process.h"

namespace veltrano {

namespace {

constexpr std::string_view kQuitTitle = "Veltrano：終了確認";

}  // namespace

Workspace::Workspace(Folders folders, Platform platform)
    : folders_(std::move(folders)),
      platform_(platform),
      settings_(folders_, platform_.dialogs),
      recent_(folders_.info / RecentProjects::kFileName),
      session_(folders_, tables_, platform_, *this),
      importer_(folders_, tables_, session_, platform_, *this),
      register_(tables_, folders_, session_, platform_),
      fittings_takeoff_(tables_, register_, settings_, platform_),
      sheets_(tables_, register_, platform_),
      history_(tables_),
      rooms_(tables_, sheets_, session_, platform_.dialogs),
      sheet_editing_(sheets_, platform_),
      plan_takeoff_(tables_, sheets_, platform_.dialogs,
                    [this](const PlanLink& link) { return ShowLinkedCell(link); },
                    [this] { return DrawingsFolderOf(session_.project_path()); }),
      item_copy_(tables_, folders_, sheets_, platform_),
      item_templates_(folders_, platform_),
      part_summaries_(tables_, platform_),
      fittings_summary_(tables_, platform_),
      work_type_table_(tables_, platform_),
      aggregation_dialog_(tables_, part_summaries_, platform_),
      summary_view_(tables_, platform_),
      print_dialog_(tables_, fittings_takeoff_, settings_, platform_),
      recovery_(folders_.base / "Recovery") {
  // Tests set the interval of the recovery copies.
  if (const char* seconds = std::getenv("VELTRANO_AUTOSAVE_SECONDS"); seconds != nullptr) {
    recovery_seconds_override_ = std::atoi(seconds);
  }
  tables_.Reset(/*keep_unit_prices=*/false);
  sheets_.SetItemPlacer(&item_copy_);
  sheets_.SetHistory(&history_);
  importer_.SetHistory(&history_);
  register_.SetHistory(&history_);
  fittings_takeoff_.SetHistory(&history_);
  part_summaries_.SetHistory(&history_);
  fittings_summary_.SetHistory(&history_);
  work_type_table_.SetHistory(&history_);
  plan_takeoff_.SetHistory(&history_);
  summary_view_.set_project_path([this] { return session_.project_path(); });
  history_.set_view(this);
}

bool Workspace::Startup(const std::filesystem::path& shipped_manual) {
  std::string error;
  if (!EnsureFolders(folders_, &error) || !settings_.EnsureSettingsFiles(&error)) {
    platform_.dialogs.ShowMessage(kTitleError, error, MessageIcon::kCritical);
    return false;
  }
  if (remembers_recent_) recent_.Load();
  if (!EnsureManual(folders_, shipped_manual, &error)) {
    platform_.dialogs.ShowMessage(
        kTitleError, "操作マニュアルを基本フォルダにコピーできませんでした。\n" + error,
        MessageIcon::kWarning);
  }
  sheets_.ShowSide(kInterior, true);
  tables_.rooms().Clear();
  register_.ProjectReplaced();
  fittings_takeoff_.ProjectReplaced();
  SwitchMode(kModeInterior);
  sheets_.HideItemList();
  if (!settings_.LoadDigitsAndSaveOnSwitch(&error)) {
    platform_.dialogs.ShowMessage(kTitleError, error, MessageIcon::kCritical);
  }
  sheets_.SetDigits(settings_.panel().digit_setting());
  fittings_takeoff_.SetDigits(settings_.panel().digit_setting());
  // The sheets and every other table, after the remaining settings.
  if (!settings_.LoadSettings(&error)) {
    platform_.dialogs.ShowMessage(kTitleError, error, MessageIcon::kCritical);
  }
  sheets_.InitialiseSheets();
  tables_.LayOutSummaryTables();
  if (!settings_.LoadCompanyNames(&error)) {
    platform_.dialogs.ShowMessage(kTitleError, error, MessageIcon::kCritical);
  }
  if (offers_recovery_) OfferRecoveryCopies();
  return true;
}

void Workspace::SwitchMode(int index) {
  if (index < 0 || index > 5) return;
  ++revision_;
  register_.ShowRestingInfo();
  sheets_.LeaveMode();
  mode_ = index;
  sheets_.SetDigits(settings_.panel().digit_setting());
  fittings_takeoff_.SetDigits(settings_.panel().digit_setting());
  part_summaries_.SetDigits(settings_.panel().digit_setting());
  fittings_summary_.SetDigits(settings_.panel().digit_setting());
  int side = sheets_.side();
  if (index == kModeInterior) side = kInterior;
  if (index == kModeExterior) side = kExterior;
  sheets_.ShowSide(side, index == kModeInterior || index == kModeExterior);
  if (index == kModeAggregation) settings_.RefillAggregationWorkTypes();
  if (index == kModeFittingsTakeoff) fittings_takeoff_.RefillLists();
}

void Workspace::ChooseSummary(int mode) {
  summary_view_.ChooseSummary(mode);
  settings_.ReloadWorkTypeList();
}

bool Workspace::AskToSaveFirst(std::string_view title) {
  if (!session_.project_open()) return true;
  switch (platform_.dialogs.Ask(title, "現在編集中のデータを保存しますか？",
                                Buttons::kYesNoCancel)) {
    case Answer::kYes:
      SaveUnitPrices();
      // A failed save stops the command, so nothing unsaved is dropped.
      return session_.SaveProject(false);
    case Answer::kNo:
      return true;
    default:
      return false;
  }
}

bool Workspace::CommandNew() {
  sheets_.CommitEditor();
  return AskToSaveFirst("新規作成・名前を変えて登録");
}

void Workspace::CommandOpen() {
  sheets_.CommitEditor();
  if (AskToSaveFirst("物件データを開く")) session_.OpenProject();
}

void Workspace::RememberRecent() {
  if (remembers_recent_) recent_.Add(session_.project_path());
}

void Workspace::CommandOpenRecent(int index) {
  const std::vector<std::filesystem::path>& entries = recent_.entries();
  if (index < 0 || index >= static_cast<int>(entries.size())) return;
  const std::filesystem::path path = entries[static_cast<std::size_t>(index)];
  sheets_.CommitEditor();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    platform_.dialogs.ShowMessage(kTitleConfirm,
                                  path.string() + "\nが見つかりません。一覧から外します。",
                                  MessageIcon::kWarning);
    recent_.Remove(path);
    return;
  }
  if (AskToSaveFirst("物件データを開く")) session_.OpenProjectAt(path);
}

void Workspace::CommandSave() {
  sheets_.CommitEditor();
  if (!session_.project_open()) return;
  SaveUnitPrices();
  session_.SaveProject(true);
}

bool Workspace::CommandPrint() {
  sheets_.CommitEditor();
  sheets_.StoreShownRoom();
  if (mode_ != kModeInterior && mode_ != kModeFittingsTakeoff &&
      mode_ != kModeAggregation && mode_ != kModeExterior) {
    return false;
  }
  print_dialog_.Open(mode_, session_.project_name());
  return true;
}

bool Workspace::RequestClose() {
  sheets_.CommitEditor();
  if (!session_.project_open()) return true;
  platform_.dialogs.Beep();
  switch (platform_.dialogs.Ask(kQuitTitle, "保存して終了しますか？",
                                Buttons::kYesNoCancel)) {
    case Answer::kYes:
      break;
    case Answer::kNo:
      // The work is given up: its recovery copy with it.
      recovery_.ProjectClosed();
      return true;
    default:
      return false;
  }
  SaveUnitPrices();
  if (session_.SaveProject(true)) return true;
  // The user would not replace a damaged file: the window stays open, so
  // that the project can be saved under another name.
  if (session_.save_declined()) return false;
  // The save failed: close only when the user agrees to lose the changes.
  return platform_.dialogs.Ask(kQuitTitle,
                               "保存できませんでした。保存せずに終了しますか？",
                               Buttons::kYesNo, MessageIcon::kWarning) ==
         Answer::kYes;
}

bool Workspace::BackUpProject() {
  sheets_.CommitEditor();
  return session_.BackUpProject();
}

void Workspace::ClickRoomList(std::optional<int> position) {
  if (!position) return;
  sheets_.CommitEditor();
  // A project open read-only is saved only under another name, which is no
  // question to ask at every room switch.
  if (settings_.panel().save_on_switch() && session_.project_open() &&
      !session_.read_only()) {
    session_.SaveProject(false);
    platform_.progress.ProcessPendingEvents();
  }
  sheets_.ShowRoomFromList(position);
}

// Before a save: what the save brings up to date is no step of its own.
void Workspace::SaveUnitPrices() { work_type_table_.RefreshUnitPrices(); }

void Workspace::BeforeWrite() {
  sheets_.StoreShownRoom();
  RememberWorkTypes(&tables_);
}

void Workspace::RefreshUnitPrices() { SaveUnitPrices(); }

void Workspace::ProjectReplaced(bool opening) {
  if (!opening && session_.project_open()) RememberRecent();
  sheets_.ProjectReplaced(opening);
  plan_takeoff_.ResetView();
  register_.ProjectReplaced();
  fittings_takeoff_.ProjectReplaced();
  // The project before is gone, and its recovery copy with it; a new one
  // starts now, an opened one once it has been read.
  if (opening || !session_.project_open()) {
    recovery_.ProjectClosed();
  } else {
    recovery_.ProjectStarted(session_.project_path(), session_.project_name(),
                             StampOf(session_.project_path()), ChangeMark(), false);
  }
}

void Workspace::ProjectRead(const ProjectReadResult& result) {
  // A restored copy is listed under its original once it is saved.
  if (restoring_ == nullptr) RememberRecent();
  if (result.had_sheet_or_fittings) fittings_takeoff_.StoreRead();
  const bool restored = restoring_ != nullptr;
  recovery_.ProjectStarted(session_.project_path(), session_.project_name(),
                           restored ? restoring_->original_stamp
                                    : StampOf(session_.project_path()),
                           ChangeMark(), restored);
}

void Workspace::ProjectSaved() {
  RememberRecent();
  recovery_.ProjectStarted(session_.project_path(), session_.project_name(),
                           StampOf(session_.project_path()), ChangeMark(), false);
}

std::uint64_t Workspace::ChangeMark() const {
  std::uint64_t mark = tables_.rooms().revision();
  for (const SharedPart* part : tables_.Parts()) mark = mark * 31 + part->revision();
  // The shown sheet's changes count once they are not stored.
  if (sheets_.ShownRoomUnstored()) mark = mark * 31 + sheets_.ShownChangeMark();
  return mark;
}

Project Workspace::RecoverySnapshot() const {
  Project snapshot = tables_.Snapshot();
  if (std::optional<TakeoffSheets::UnstoredRoom> shown = sheets_.UnstoredShownRoom()) {
    snapshot.rooms().Store(shown->side, shown->position, std::move(shown->room));
  }
  return snapshot;
}

void Workspace::Tick() {
  recovery_.set_interval(recovery_seconds_override_.value_or(settings_.panel().recovery_seconds()));
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  recovery_.Tick(std::chrono::duration_cast<std::chrono::milliseconds>(now).count(),
                 ChangeMark(), [this] { return RecoverySnapshot(); });
  // A copy that could not be written is said on the status line, once, so
  // that the work is saved by hand; typing is not interrupted.
  const std::string error = recovery_.last_error();
  if (error != recovery_error_shown_) {
    recovery_error_shown_ = error;
    platform_.progress.ShowStatus(
        error.empty() ? std::string() : "復元用のコピーを書けませんでした。" + error);
  }
}

void Workspace::OfferRecoveryCopies() {
  const std::vector<RecoveryCopies::Left> left = recovery_.copies().FindLeft(ThisProcess());
  for (const RecoveryCopies::Left& copy : left) {
    if (!copy.record) {
      const std::optional<std::filesystem::path> aside = recovery_.copies().SetAside(copy.copy);
      platform_.dialogs.ShowMessage(
          kTitleConfirm, "復元データ " + copy.copy.filename().string() +
                             " は記録が読めないため開きません。" +
                             (aside ? "\n" + aside->parent_path().string() + " に移しました。"
                                    : std::string()),
          MessageIcon::kWarning);
      continue;
    }
    const RecoveryRecord& record = *copy.record;
    const std::string text = "前回、保存されずに終了した物件があります。\n\n" + record.name +
                             "（" + LocalTimeText(record.saved) + "）\n" +
                             record.original.string();
    switch (platform_.dialogs.AskChoice(kTitleConfirm, text, {"復元", "破棄", "後で"})) {
      case Answer::kYes: {
        restoring_ = &record;
        const ProjectSession::Restore restored = session_.RestoreProject(copy.copy, record);
        restoring_ = nullptr;
        if (restored == ProjectSession::Restore::kRestored) {
          // One project at a time: the others wait for the next start.
          return;
        }
        if (restored == ProjectSession::Restore::kDamaged) {
          const std::optional<std::filesystem::path> aside =
              recovery_.copies().SetAside(copy.copy);
          platform_.dialogs.ShowMessage(
              kTitleConfirm, "復元データ " + record.name + " は壊れているため開きません。" +
                                 (aside ? "\n" + aside->parent_path().string() + " に移しました。"
                                        : std::string()),
              MessageIcon::kWarning);
        }
        break;
      }
      case Answer::kNo:
        RecoveryCopies::Remove(copy.copy);
        break;
      default:
        break;
    }
  }
}

void Workspace::RoomsImported(int side) { sheets_.ForgetShownRoom(side); }

bool Workspace::ShowLinkedCell(const PlanLink& link) {
  const std::vector<std::string>& names = tables_.rooms().names(link.side);
  const auto it = std::find(names.begin(), names.end(), link.room);
  if (it == names.end()) return false;
  const int position = static_cast<int>(it - names.begin());
  const int mode = link.side == kInterior ? kModeInterior : kModeExterior;
  if (mode_ != mode) SwitchMode(mode);
  if (sheets_.current_room(link.side) != position) sheets_.ShowRoom(position);
  sheets_.SetCurrentCell(link.row, kFormulaColumn[static_cast<std::size_t>(link.part)]);
  return true;
}

void Workspace::ShowPartStep(const SharedPart& part) {
  // The panel of the part, with what it keeps of it made anew.
  int mode = kModeAggregation;
  if (&part == &tables_.fittings_register()) {
    mode = kModeFittingsRegister;
  } else if (&part == &tables_.fittings_store()) {
    mode = kModeFittingsTakeoff;
  }
  fittings_takeoff_.StoreRead();
  work_type_table_.TableRestored();
  if (mode_ != mode) SwitchMode(mode);
}

bool Workspace::Undo() {
  sheets_.HideEditor();
  return history_.Undo();
}

bool Workspace::Redo() {
  sheets_.HideEditor();
  return history_.Redo();
}

void Workspace::StoreShown() {
  // Outside the sheet modes the sheet was stored when its mode was left
  // (and its check mark cleared since): there is nothing to store.
  if (sheets_.shown() && sheets_.RoomShown()) sheets_.StoreShownRoomAsTyped();
}

void Workspace::ShowStep(const StepPlace& place) {
  if (place.part != nullptr) {
    ShowPartStep(*place.part);
    return;
  }
  const int mode = place.side == kInterior ? kModeInterior : kModeExterior;
  // The sheets show what the project held before the step was undone or
  // redone: they are laid out again from it, never stored.
  const int other = place.side == kInterior ? kExterior : kInterior;
  const int other_room = sheets_.current_room(other);
  for (int s : {kInterior, kExterior}) sheets_.ForgetShownRoom(s);
  if (mode_ != mode) SwitchMode(mode);
  // The other side first: the boxes beside the sheet are the step's side's.
  sheets_.ReloadRoom(other, other_room);
  sheets_.ReloadRoom(place.side, place.room);
  if (place.row > 0) sheets_.SetCurrentCell(place.row, place.col);
}

}  // namespace veltrano
