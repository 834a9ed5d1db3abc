#include "project/session.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "calc/text_file.h"
#include "calc/text_util.h"
#include "port/this_process.h"
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

std::string HeldText(const LockHolder& holder) {
  return "この物件は " + holder.Named() + "が開いています。";
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
  read_only_ = false;
  restored_ = false;
  // A measurements file left from an earlier project of the same name is
  // set aside, never overwritten, when this one's is written.
  plans_damaged_ = fs::exists(DrawingsFolderOf(path) / kPlansFileName, ec);
  ++revision_;
  TakeLock(path);
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
  if (!MayTakeOver(path)) return;
  const fs::path old_path = project_path_;
  const std::string old_name = project_name_;
  const bool old_damaged = damaged_;
  const bool old_read_only = read_only_;
  const bool old_restored = restored_;
  read_only_ = false;
  // A file of its own replaces nothing the recovered work came from.
  restored_ = false;
  project_path_ = path;
  project_name_ = ProjectNameOf(project_path_);
  // The damaged file stays as it is; the new one is written whole.
  damaged_ = false;
  ++revision_;
  hooks_.RefreshUnitPrices();
  // The drawings go with the project; a folder that could not be read is
  // not carried over as if it had been.
  std::string copy_error;
  const bool old_plans_damaged = plans_damaged_;
  plans_damaged_ = false;
  const bool copied =
      plans_format_ == nullptr ||
      CopyDrawings(DrawingsFolderOf(old_path), DrawingsFolderOf(path), *tables_.plans(),
                   &copy_error);
  if (!copied) {
    platform_.dialogs.ShowMessage(kTitleError, "図面をコピーできませんでした。\n" + copy_error,
                                  MessageIcon::kCritical);
  }
  if (!copied || !SaveProject(false)) {
    plans_damaged_ = old_plans_damaged;
    // Nothing was written under the new name: keep working on the old file.
    project_path_ = old_path;
    project_name_ = old_name;
    damaged_ = old_damaged;
    read_only_ = old_read_only;
    restored_ = old_restored;
    return;
  }
  TakeLock(path);
  platform_.dialogs.ShowMessage(kConfirmTitle, "名前を変更して保存しました。");
}

void ProjectSession::OpenProject() {
  const auto chosen = platform_.files.ChooseFileToOpen(
      ProjectFileDialog("物件データを開く", folders_.data));
  if (!chosen || chosen->empty() || chosen->filename().empty()) return;
  OpenProjectAt(*chosen);
}

void ProjectSession::OpenProjectAt(fs::path path) {
  LoadedProjectFile loaded;
  std::string error;
  const bool read = LoadProjectFile(path, &loaded, &error);
  if (read && !loaded.is_project) {
    // Another kind of file: the open project stays as it is.
    ReportNotAProject(path, platform_.dialogs);
    return;
  }
  bool read_only = false;
  if (!AskAboutLock(path, &read_only)) return;
  project_path_ = path;
  project_name_ = ProjectNameOf(WithProjectExtension(path));
  damaged_ = false;
  read_only_ = read_only;
  restored_ = false;
  ++revision_;
  if (read_only) {
    lock_.Release();
  } else {
    TakeLock(path);
  }
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
    read_only_ = false;
    lock_.Release();
    ++revision_;
    platform_.progress.HideProgress();
    return;
  }
  ReadPlans();
  hooks_.ProjectRead(result);
  platform_.progress.HideProgress();
}

void ProjectSession::ReadPlans(const fs::path& from) {
  plans_damaged_ = false;
  if (plans_format_ == nullptr) return;
  PlanSet plans;
  std::string error;
  const fs::path folder = from.empty() ? DrawingsFolderOf(project_path_) : from;
  switch (ReadPlansFolder(folder, *plans_format_, &plans, &error)) {
    case PlansRead::kNone:
      return;
    case PlansRead::kDamaged:
      plans_damaged_ = true;
      platform_.dialogs.ShowMessage(
          kConfirmTitle,
          "図面の計測ファイルを読めなかったため、図面なしで開きます。\n" + error +
              "\n（ファイルは残してあります。次の保存で " + std::string(kDamagedPlansFileName) +
              " に名前を変えます。）",
          MessageIcon::kWarning);
      return;
    case PlansRead::kRead:
      *tables_.plans().Edit() = std::move(plans);
      return;
  }
}

bool ProjectSession::WritePlans() {
  if (plans_format_ == nullptr) return true;
  const fs::path folder = DrawingsFolderOf(project_path_);
  std::error_code ec;
  const bool file_there = fs::exists(folder / kPlansFileName, ec);
  // A project that never had drawings gets no folder.
  if (tables_.plans()->empty() && tables_.plans()->measurements().empty() && !file_there) {
    return true;
  }
  std::string error;
  if (plans_damaged_ && file_there) {
    fs::rename(folder / kPlansFileName, folder / kDamagedPlansFileName, ec);
    if (ec) {
      platform_.dialogs.ShowMessage(kTitleError,
                                    "図面の計測を保存できませんでした。\n読めなかった計測ファイルを"
                                    "別名にできません。",
                                    MessageIcon::kCritical);
      return false;
    }
  }
  if (!WritePlansFolder(folder, *plans_format_, *tables_.plans(), &error)) {
    platform_.dialogs.ShowMessage(kTitleError, "図面の計測を保存できませんでした。\n" + error,
                                  MessageIcon::kCritical);
    return false;
  }
  plans_damaged_ = false;
  return true;
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

ProjectSession::Restore ProjectSession::RestoreProject(const fs::path& copy,
                                                       const RecoveryRecord& record) {
  LoadedProjectFile loaded;
  std::string error;
  if (!LoadProjectFile(copy, &loaded, &error) || !loaded.is_project) return Restore::kDamaged;
  bool read_only = false;
  if (!AskAboutLock(record.original, &read_only)) return Restore::kCancelled;
  project_path_ = record.original;
  project_name_ = record.name;
  damaged_ = false;
  read_only_ = read_only;
  restored_ = true;
  restored_from_ = record.original_stamp;
  ++revision_;
  if (read_only) {
    lock_.Release();
  } else {
    TakeLock(record.original);
  }
  tables_.Reset(/*keep_unit_prices=*/true);
  hooks_.ProjectReplaced(/*opening=*/true);
  platform_.progress.ShowProgress(0);
  const ProjectReadResult result =
      ApplyProjectFile(std::move(loaded), &tables_, platform_.dialogs, platform_.progress);
  platform_.progress.HideProgress();
  // The program writes its copies whole: one read short or with notices is
  // not the work it held, and is not opened as if it were.
  if (result.failed || result.damaged) {
    project_path_.clear();
    project_name_.clear();
    read_only_ = false;
    restored_ = false;
    lock_.Release();
    tables_.Reset(/*keep_unit_prices=*/true);
    hooks_.ProjectReplaced(/*opening=*/false);
    ++revision_;
    return Restore::kDamaged;
  }
  // The measurements as the copy had them, else as the original has them.
  std::error_code ec;
  ReadPlans(fs::exists(DrawingsFolderOf(copy) / kPlansFileName, ec) ? DrawingsFolderOf(copy)
                                                                     : fs::path());
  hooks_.ProjectRead(result);
  return Restore::kRestored;
}

bool ProjectSession::SaveProject(bool confirm) {
  if (!project_open()) return false;
  if (read_only_) {
    // Another holder has the file: only a file of its own takes the work.
    if (platform_.dialogs.Ask(kConfirmTitle,
                              "読み取り専用で開いているため上書き保存できません。\n"
                              "名前を変えて保存しますか？",
                              Buttons::kYesNo, MessageIcon::kWarning) == Answer::kYes) {
      SaveProjectAs();
    }
    // Saved under another name, the project is no longer read-only.
    save_declined_ = read_only_;
    return !read_only_;
  }
  if (restored_ && StampOf(project_path_) != restored_from_) {
    // The work was recovered from a copy: another save of the original since
    // would be lost without a word.
    const std::string text =
        StampOf(project_path_)
            ? "物件ファイル " + project_path_.filename().string() +
                  " は、復元したデータの元になった時から変更されています。\n上書きしますか？"
            : "物件ファイル " + project_path_.filename().string() +
                  " は、復元したデータの元になった時から移動または削除されています。\n保存しますか？";
    if (platform_.dialogs.Ask(kConfirmTitle, text, Buttons::kYesNo, MessageIcon::kWarning) !=
        Answer::kYes) {
      save_declined_ = true;
      return false;
    }
  }
  if (!WriteProjectTo(project_path_)) return false;
  if (!WritePlans()) return false;
  restored_ = false;
  hooks_.ProjectSaved();
  if (confirm) platform_.dialogs.ShowMessage(kConfirmTitle, "上書きしました。");
  return true;
}

bool ProjectSession::AskAboutLock(const fs::path& path, bool* read_only) {
  *read_only = false;
  if (!locking_) return true;
  const LockLook look = LookAtLock(path, ThisProcess(), SecondsNow());
  if (look.standing != LockStanding::kLive) return true;
  switch (platform_.dialogs.AskChoice(kConfirmTitle, HeldText(look.holder),
                                      {"読み取り専用で開く", "開く", "キャンセル"},
                                      MessageIcon::kWarning)) {
    case Answer::kYes:
      *read_only = true;
      return true;
    case Answer::kNo:
      return true;
    default:
      return false;
  }
}

void ProjectSession::TakeLock(const fs::path& path) {
  if (!locking_) return;
  const LockLook look = LookAtLock(path, ThisProcess(), SecondsNow());
  if (look.standing == LockStanding::kStale && !look.holder.user.empty()) {
    platform_.dialogs.ShowMessage(
        kConfirmTitle, "この物件のロックは " + look.holder.Named() + "が " +
                           LocalTimeText(look.holder.since) +
                           " に残したもので、使われていないため引き継ぎます。");
  }
  std::string error;
  if (!lock_.Take(path, &error)) {
    platform_.dialogs.ShowMessage(
        kConfirmTitle,
        "この物件のフォルダにロックファイルを作れませんでした。\n"
        "ほかの人が同時にこの物件を開いても知らせることができません。\n" + error,
        MessageIcon::kWarning);
  }
}

bool ProjectSession::MayTakeOver(const fs::path& path) {
  if (!locking_) return true;
  const LockLook look = LookAtLock(path, ThisProcess(), SecondsNow());
  if (look.standing != LockStanding::kLive) return true;
  platform_.dialogs.ShowMessage(kConfirmTitle, HeldText(look.holder) + "\n保存できません。",
                                MessageIcon::kWarning);
  return false;
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
