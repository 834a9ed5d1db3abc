#ifndef VELTRANO_SHELL_WORKSPACE_H_
#define VELTRANO_SHELL_WORKSPACE_H_

#include <cstdint>
#include <filesystem>
#include <optional>

#include "aggregate/aggregation_dialog.h"
#include "aggregate/fittings_summary.h"
#include "aggregate/part_summaries.h"
#include "aggregate/summary_view.h"
#include "aggregate/work_type_table.h"
#include "config/folders.h"
#include "config/recent_projects.h"
#include "config/settings.h"
#include "fittings/takeoff.h"
#include "fittings/register.h"
#include "port/dialogs.h"
#include "print/print_dialog.h"
#include "project/history.h"
#include "project/import.h"
#include "project/project.h"
#include "project/session.h"
#include "shell/recovery_keeper.h"
#include "takeoff/item_copy.h"
#include "takeoff/plan_takeoff.h"
#include "takeoff/rooms.h"
#include "takeoff/sheet_editing.h"
#include "takeoff/sheets.h"
#include "takeoff/templates.h"

namespace veltrano {

// The six working modes of the main window.
enum Mode : int {
  kModeInterior = 0,          // 内部
  kModeFittingsTakeoff = 1,   // 建具廻り
  kModeAggregation = 2,       // 集計
  kModeFittingsRegister = 3,  // 建具リスト
  kModeSettings = 4,          // 設定
  kModeExterior = 5,          // 外部
};

// The run of the program: it owns the project's tables and one object per
// concern (settings, project session, import, fittings, takeoff sheets,
// rooms), hands them out, and coordinates what spans them: start-up, the
// mode switch, the toolbar, the close request, save-on-switch, and the
// steps around a project being opened, saved or replaced.
class Workspace : private ProjectHooks, private HistoryView {
 public:
  Workspace(Folders folders, Platform platform);
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // Creates missing folders and settings files, puts the manual that comes
  // with the program (`shipped_manual`, none when empty) into the Manual
  // folder when it is missing there, reads the settings, lays out every
  // table and shows mode 0. Returns false when the folders cannot be made
  // (the message has been shown); a manual that cannot be copied is said
  // and start-up goes on.
  bool Startup(const std::filesystem::path& shipped_manual = {});
  void SwitchMode(int index);
  int mode() const { return mode_; }
  int side() const { return sheets_.side(); }
  // Counts the changes of the mode.
  std::uint64_t revision() const { return revision_; }

  // Toolbar. "New": after the save question, returns true when the name
  // dialog (HozonForm) is to be shown.
  bool CommandNew();
  void CommandOpen();
  // "最近使った物件": opens entry `index` of the list after the save
  // question; a file that is gone is said and taken off the list.
  void CommandOpenRecent(int index);
  const RecentProjects& recent_projects() const { return recent_; }
  // Whether the projects opened, made and saved go on that list (the
  // desktop program; the command-line tool's commands do not).
  void set_remembers_recent(bool on) { remembers_recent_ = on; }
  void CommandSave();
  // "Print": stores the shown sheet and, in modes 0, 1, 2 and 5, opens the
  // print dialog (returns true).
  bool CommandPrint();
  // The close request: returns true when the window may close.
  bool RequestClose();
  // Ctrl+click on the project name.
  bool BackUpProject();
  // The timers: the recovery copy, when one is due (every second or so).
  void Tick();
  // The recovery copies of the base folder and the one being kept.
  RecoveryKeeper& recovery() { return recovery_; }
  // The project as it stands, the shown room with it, for a recovery copy:
  // what the window's thread does before the copy is written elsewhere.
  Project RecoverySnapshot() const;
  // How the measurements file of the project's drawings is read and
  // written; without one, drawings are neither read nor written.
  void set_plans_format(const PlansFormat* format) {
    session_.set_plans_format(format);
    recovery_.set_plans_format(format);
  }
  // What spreadsheet files are written with (none: they are not).
  void set_spreadsheet_writer(SpreadsheetWriter* writer) {
    summary_view_.set_spreadsheet_writer(writer);
  }
  // Whether start-up offers the recovery copies left behind (the desktop
  // program and its scenarios; the command-line tool's commands do not).
  void set_offers_recovery(bool on) { offers_recovery_ = on; }
  // A mouse press on an entry of the room list of the current side.
  void ClickRoomList(std::optional<int> position);
  // Refreshes the work-type table copy and rebuilds the unit-price table.
  void SaveUnitPrices();

  const Folders& folders() const { return folders_; }
  Dialogs& dialogs() { return platform_.dialogs; }
  const Project& tables() const { return tables_; }
  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }
  ProjectSession& session() { return session_; }
  const ProjectSession& session() const { return session_; }
  Importer& importer() { return importer_; }
  const Importer& importer() const { return importer_; }
  FittingsRegister& fittings_register() { return register_; }
  const FittingsRegister& fittings_register() const { return register_; }
  FittingsTakeoff& fittings_takeoff() { return fittings_takeoff_; }
  const FittingsTakeoff& fittings_takeoff() const { return fittings_takeoff_; }
  TakeoffSheets& sheets() { return sheets_; }
  const TakeoffSheets& sheets() const { return sheets_; }
  Rooms& rooms() { return rooms_; }
  PlanTakeoff& plan_takeoff() { return plan_takeoff_; }
  const Rooms& rooms() const { return rooms_; }
  ProjectHistory& history() { return history_; }
  const ProjectHistory& history() const { return history_; }
  // "元に戻す" and "やり直し": the last step of the project's history, shown
  // on the sheet of its side and room; false when there is none.
  bool Undo();
  bool Redo();
  SheetEditing& sheet_editing() { return sheet_editing_; }
  ItemCopy& item_copy() { return item_copy_; }
  const ItemCopy& item_copy() const { return item_copy_; }
  ItemTemplates& item_templates() { return item_templates_; }
  const ItemTemplates& item_templates() const { return item_templates_; }
  WorkTypeTable& work_type_table() { return work_type_table_; }
  const WorkTypeTable& work_type_table() const { return work_type_table_; }
  FittingsSummary& fittings_summary() { return fittings_summary_; }
  const FittingsSummary& fittings_summary() const { return fittings_summary_; }
  PartSummaries& part_summaries() { return part_summaries_; }
  const PartSummaries& part_summaries() const { return part_summaries_; }
  AggregationDialog& aggregation_dialog() { return aggregation_dialog_; }
  const AggregationDialog& aggregation_dialog() const {
    return aggregation_dialog_;
  }
  PrintDialog& print_dialog() { return print_dialog_; }
  const PrintDialog& print_dialog() const { return print_dialog_; }
  SummaryView& summary_view() { return summary_view_; }
  const SummaryView& summary_view() const { return summary_view_; }

  // Command4(0..3) of the aggregation panel: the summary shown, with the
  // work-type list reloaded from its file.
  void ChooseSummary(int mode);
  // The money rounding selected in the settings at this moment.
  MoneyRounding money_rounding() const {
    return MoneyRoundingOf(settings_.panel().money_rounding());
  }

 private:
  // ProjectHooks.
  void BeforeWrite() override;
  void RefreshUnitPrices() override;
  void ProjectReplaced(bool opening) override;
  void ProjectRead(const ProjectReadResult& result) override;
  void RoomsImported(int side) override;
  void ProjectSaved() override;
  // HistoryView.
  void StoreShown() override;
  void ShowStep(const StepPlace& place) override;
  void ShowPartStep(const SharedPart& part);
  // Shows the side and room of a measurement's link with its cell current.
  bool ShowLinkedCell(const PlanLink& link);

  // Puts the open project first on the recent list.
  void RememberRecent();
  // The save question of "New" and "Open": false when the command stops.
  bool AskToSaveFirst(std::string_view title);
  // Differs after every change of the project, the shown sheet's included.
  std::uint64_t ChangeMark() const;
  // At start-up: the recovery copies that programs no longer running left
  // behind, each offered to be restored, discarded or kept for later.
  void OfferRecoveryCopies();

  Folders folders_;
  Platform platform_;
  Project tables_;
  Settings settings_;
  RecentProjects recent_;
  ProjectSession session_;
  Importer importer_;
  FittingsRegister register_;
  FittingsTakeoff fittings_takeoff_;
  TakeoffSheets sheets_;
  ProjectHistory history_;
  Rooms rooms_;
  SheetEditing sheet_editing_;
  PlanTakeoff plan_takeoff_;
  ItemCopy item_copy_;
  ItemTemplates item_templates_;
  PartSummaries part_summaries_;
  FittingsSummary fittings_summary_;
  WorkTypeTable work_type_table_;
  AggregationDialog aggregation_dialog_;
  SummaryView summary_view_;
  PrintDialog print_dialog_;
  int mode_ = 0;
  std::uint64_t revision_ = 0;
  // Set while a recovery copy is being opened.
  const RecoveryRecord* restoring_ = nullptr;
  bool offers_recovery_ = true;
  bool remembers_recent_ = true;
  // VELTRANO_AUTOSAVE_SECONDS, which tests set, over the settings' interval.
  std::optional<int> recovery_seconds_override_;
  std::string recovery_error_shown_;
  // Last, so that a copy being written is waited for first.
  RecoveryKeeper recovery_;
};

}  // namespace veltrano

#endif  // VELTRANO_SHELL_WORKSPACE_H_
