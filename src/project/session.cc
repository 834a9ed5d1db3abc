#include "project/session.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "calc/text_file.h"
#include "calc/text_util.h"
#include "project/project_file.h"

namespace veltrano {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kConfirmTitle = kTitleConfirm;

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

FileDialogRequest ProjectFileDialog(std::string_view title,
                                    const fs::path& folder) {
  FileDialogRequest r;
  r.title = std::string(title);
  r.filter = "*.xdt";
  r.default_extension = "xdt";
  r.folder = folder;
  return r;
}

void ProjectSession::NewProject() {
  const auto chosen = platform_.files.ChooseFileToSave(
      ProjectFileDialog("新規物件作成", folders_.data));
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
  damaged_ = false;
  ++revision_;
  tables_.Reset(/*keep_unit_prices=*/true);
  hooks_.ProjectReplaced(/*opening=*/false);
}

void ProjectSession::SaveProjectAs() {
  constexpr std::string_view kTitle = "名前を変えて保存";
  const auto chosen = platform_.files.ChooseFileToSave(
      ProjectFileDialog(kTitle, folders_.data));
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
  const bool old_damaged = damaged_;
  project_path_ = path;
  project_name_ = ProjectNameOf(project_path_);
  // The damaged file stays as it is; the new one is written whole.
  damaged_ = false;
  ++revision_;
  hooks_.RefreshUnitPrices();
  if (!SaveProject(false)) {
    // Nothing was written under the new name: keep working on the old file.
    project_path_ = old_path;
    project_name_ = old_name;
    damaged_ = old_damaged;
    return;
  }
  platform_.dialogs.ShowMessage(kConfirmTitle, "名前を変更して保存しました。");
}

void ProjectSession::OpenProject() {
  const auto chosen = platform_.files.ChooseFileToOpen(
      ProjectFileDialog("物件データを開く", folders_.data));
  if (!chosen || chosen->empty() || chosen->filename().empty()) return;
  LoadedProjectFile loaded;
  std::string error;
  const bool read = LoadProjectFile(*chosen, &loaded, &error);
  if (read && !loaded.is_project) {
    // Another kind of file: the open project stays as it is.
    ReportNotAProject(*chosen, platform_.dialogs);
    return;
  }
  project_path_ = *chosen;
  project_name_ = ProjectNameOf(WithProjectExtension(*chosen));
  damaged_ = false;
  ++revision_;
  tables_.Reset(/*keep_unit_prices=*/true);
  hooks_.ProjectReplaced(/*opening=*/true);
  platform_.progress.ShowProgress(0);
  const ProjectReadResult result =
      read ? ApplyProjectFile(std::move(loaded), &tables_, platform_.dialogs,
                              platform_.progress)
           : ReportUnreadableProjectFile(std::move(error), platform_.dialogs);
  damaged_ = result.damaged;
  if (result.failed) {
    // Nothing that a later save could write over the file is left open.
    project_path_.clear();
    project_name_.clear();
    ++revision_;
    platform_.progress.HideProgress();
    return;
  }
  hooks_.ProjectRead(result);
  platform_.progress.HideProgress();
}

bool ProjectSession::WriteProjectTo(const fs::path& path) {
  // A damaged file is replaced only when the user says so, once.
  bool replaces_damaged = false;
  save_declined_ = false;
  std::error_code ec;
  if (damaged_ && (path == project_path_ || fs::equivalent(path, project_path_, ec))) {
    if (platform_.dialogs.Ask(kConfirmTitle, kSaveOverDamagedText,
                              Buttons::kYesNo,
                              MessageIcon::kWarning) != Answer::kYes) {
      save_declined_ = true;
      return false;
    }
    replaces_damaged = true;
  }
  hooks_.BeforeWrite();
  std::string error;
  if (!WriteProjectFile(path, tables_, &error)) {
    platform_.dialogs.ShowMessage(kTitleError, "保存できませんでした。\n" + error,
                                  MessageIcon::kCritical);
    return false;
  }
  if (replaces_damaged) damaged_ = false;
  return true;
}

bool ProjectSession::SaveProject(bool confirm) {
  if (!project_open()) return false;
  if (!WriteProjectTo(project_path_)) return false;
  if (confirm) platform_.dialogs.ShowMessage(kConfirmTitle, "上書きしました。");
  return true;
}

bool ProjectSession::BackUpProject() {
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
