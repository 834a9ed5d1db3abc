// New, open, save, save as and backup of the project.
#include <filesystem>
#include <string>
#include <system_error>

#include "aggregate/work_types.h"
#include "calc/text_file.h"
#include "calc/text_util.h"
#include "fittings/entered_data.h"
#include "project/project_file.h"
#include "shell/workspace.h"

namespace veltrano {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kConfirmTitle = "確認";

FileDialogRequest ProjectDialog(std::string_view title,
                                const fs::path& folder) {
  FileDialogRequest r;
  r.title = std::string(title);
  r.filter = "*.xdt";
  r.default_extension = "xdt";
  r.folder = folder;
  return r;
}

// A chosen project file always carries the extension ".xdt".
fs::path WithProjectExtension(fs::path path) {
  const std::string name = path.filename().string();
  if (name.size() < 4 || !EqualsIgnoreCase(name.substr(name.size() - 4), ".xdt")) {
    path += ".xdt";
  }
  return path;
}

// The project name: the file name without its extension ".xdt".
std::string ProjectNameOf(const fs::path& path) {
  const std::string name = path.filename().string();
  return name.substr(0, name.size() - 4);
}

}  // namespace

void Workspace::NewProject() {
  const auto chosen = platform_.files.ChooseFileToSave(
      ProjectDialog("新規物件作成", folders_.data));
  if (!chosen || chosen->empty() || chosen->filename().empty()) return;
  const fs::path path = WithProjectExtension(*chosen);
  const std::string file_name = path.filename().string();

  std::error_code ec;
  fs::directory_iterator it(path.parent_path().empty() ? fs::path(".")
                                                        : path.parent_path(),
                            ec);
  if (ec) {
    platform_.dialogs.ShowMessage("エラー！！", "エラー(FileOpen)0");
    return;
  }
  for (const fs::directory_entry& entry : it) {
    if (EqualsIgnoreCase(entry.path().filename().string(), file_name)) {
      platform_.dialogs.ShowMessage(
          "新規物件作成",
          file_name + "\n同じ名前の物件があります。\n名前を変更してください。");
      return;
    }
  }
  // The new file is made before the project changes, so that a failure
  // leaves the open project as it was.
  std::string error;
  if (!WriteTextLinesAtomic(path, {"New"}, &error)) {
    platform_.dialogs.ShowMessage("エラー！！", "エラー(FileOpen)1\n" + error);
    return;
  }
  project_path_ = path;
  project_name_ = ProjectNameOf(path);
  ResetProjectState(/*opening=*/false);
}

void Workspace::SaveProjectAs() {
  CommitEditor();
  constexpr std::string_view kTitle = "名前を変えて保存";
  const auto chosen = platform_.files.ChooseFileToSave(
      ProjectDialog(kTitle, folders_.data));
  if (!chosen || chosen->empty() || chosen->filename().empty()) return;
  const fs::path path = WithProjectExtension(*chosen);
  // The file dialog does not ask before replacing: the question is asked
  // here, the same wherever the dialog comes from. No cancels.
  std::error_code ec;
  if (fs::exists(path, ec) &&
      platform_.dialogs.Ask(kTitle,
                            path.filename().string() +
                                " は既に存在します。\n置き換えますか？",
                            Buttons::kYesNo,
                            MessageIcon::kWarning) != Answer::kYes) {
    return;
  }
  const fs::path old_path = project_path_;
  const std::string old_name = project_name_;
  project_path_ = path;
  project_name_ = ProjectNameOf(project_path_);
  SaveUnitPrices();
  if (!SaveProject(false)) {
    // Nothing was written under the new name: keep working on the old file.
    project_path_ = old_path;
    project_name_ = old_name;
    return;
  }
  platform_.dialogs.ShowMessage(kConfirmTitle, "名前を変更して保存しました。");
}

void Workspace::OpenProject() {
  const auto chosen = platform_.files.ChooseFileToOpen(
      ProjectDialog("物件データを開く", folders_.data));
  if (!chosen || chosen->empty() || chosen->filename().empty()) return;
  project_path_ = *chosen;
  project_name_ = ProjectNameOf(WithProjectExtension(*chosen));
  ResetProjectState(/*opening=*/true);
  platform_.progress.ShowProgress(0);
  const ProjectReadResult result =
      ReadProjectFile(project_path_, &tables_, platform_.dialogs, platform_.progress);
  if (result.failed) {
    // Nothing that a later save could write over the file is left open.
    project_path_.clear();
    project_name_.clear();
    platform_.progress.HideProgress();
    return;
  }
  if (result.had_sheet_or_fittings) {
    RebuildEnteredDataList(tables_.fittings_store, &entered_data_);
  }
  platform_.progress.HideProgress();
}

bool Workspace::WriteProjectTo(const fs::path& path) {
  if (SheetVisible() && RoomShown()) StoreVisibleSheet();
  RememberWorkTypes(&tables_);
  RebuildFittingsCache();
  std::string error;
  if (!WriteProjectFile(path, tables_, &error)) {
    platform_.dialogs.ShowMessage("エラー", "保存できませんでした。\n" + error,
                                  MessageIcon::kCritical);
    return false;
  }
  return true;
}

bool Workspace::SaveProject(bool confirm) {
  if (!project_open()) return false;
  if (!WriteProjectTo(project_path_)) return false;
  if (confirm) platform_.dialogs.ShowMessage(kConfirmTitle, "上書きしました。");
  return true;
}

bool Workspace::BackUpProject() {
  CommitEditor();
  if (!project_open()) return false;
  std::error_code ec;
  fs::create_directories(folders_.backup, ec);
  if (!WriteProjectTo(folders_.backup / (project_name_ + "_BackUp.xdt"))) {
    return false;
  }
  platform_.dialogs.ShowMessage(kConfirmTitle, "現在のデータを退避しました。");
  return true;
}

}  // namespace veltrano
