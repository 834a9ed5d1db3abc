#ifndef VELTRANO_PROJECT_SESSION_H_
#define VELTRANO_PROJECT_SESSION_H_

#include <cstdint>
#include <filesystem>
#include <string>

#include "config/folders.h"
#include "port/dialogs.h"
#include "project/project_file.h"
#include "project/plans_file.h"
#include "project/project_lock.h"
#include "project/recovery_copies.h"
#include "project/project.h"

namespace veltrano {

// The question before a save replaces a file that was read damaged.
inline constexpr std::string_view kSaveOverDamagedText =
    "ファイルが破損している可能性があります。このまま保存しますか？";

// The file dialog for a project file (filter "*.xdt", extension "xdt") in
// `folder`, titled `title`.
FileDialogRequest ProjectFileDialog(std::string_view title,
                                    const std::filesystem::path& folder);

// What the project session asks of the objects above it, at the fixed
// points of a project's life. The workspace answers.
class ProjectHooks {
 public:
  virtual ~ProjectHooks() = default;
  // Before the project is written to any file: the shown sheet is stored
  // and the tables that other panels keep are brought up to date.
  virtual void BeforeWrite() = 0;
  // Save As refreshes the unit-price table as the toolbar's Save does.
  virtual void RefreshUnitPrices() = 0;
  // A new project, or one being opened, replaced the open one; its tables
  // have been emptied. `opening`: the project is being read from a file.
  virtual void ProjectReplaced(bool opening) = 0;
  // An opened project has been read into the tables.
  virtual void ProjectRead(const ProjectReadResult& result) = 0;
  // Rooms or places of another project were appended to a side: no room of
  // that side is shown any more.
  virtual void RoomsImported(int side) = 0;
  // The open project was written to its own file (Save, Save As).
  virtual void ProjectSaved() {}
};

// The open project: its name and file, and New ("新規物件を作成"), Save As
// ("現在編集中の物件を名前を変えて保存"), Open, Save and the backup copy.
class ProjectSession {
 public:
  ProjectSession(const Folders& folders, Project& tables,
                 Platform platform, ProjectHooks& hooks)
      : folders_(folders), tables_(tables), platform_(platform), hooks_(hooks) {}

  // The label BukkenName: empty while no project is open.
  bool project_open() const { return !project_name_.empty(); }
  const std::string& project_name() const { return project_name_; }
  const std::filesystem::path& project_path() const { return project_path_; }
  // Counts the changes of the name and path.
  std::uint64_t revision() const { return revision_; }

  void NewProject();
  void SaveProjectAs();
  void OpenProject();
  // Opens `path` as "Open" does once the file dialog has chosen it (taken
  // by value: it may name the project being replaced).
  void OpenProjectAt(std::filesystem::path path);
  // Opens the recovery copy `copy` as the project `record` names, under
  // its original file with its changes unsaved: the next save writes the
  // original, asking first when something else has written it since the
  // work started from it. A copy that cannot be read whole is not opened
  // (kDamaged: the caller sets it aside); the user may cancel at the
  // question of a locked original (kCancelled). Only at start-up, with no
  // project open.
  enum class Restore { kRestored, kDamaged, kCancelled };
  Restore RestoreProject(const std::filesystem::path& copy, const RecoveryRecord& record);
  bool SaveProject(bool confirm);
  bool BackUpProject();
  // The open project was read from a damaged file: the first save over that
  // file asks kSaveOverDamagedText first.
  bool damaged() const { return damaged_; }
  // The last write stopped because the user declined to replace a damaged
  // file (not a failure: nothing is wrong with the disk).
  bool save_declined() const { return save_declined_; }
  // The project was opened read-only, another holder having it open: Save
  // offers Save As instead.
  bool read_only() const { return read_only_; }
  // The open project came from a recovery copy and has not been saved.
  bool restored() const { return restored_; }
  // Whether opening, creating and saving under a new name lock the project
  // (the desktop program and its scenarios do; the command-line tool only
  // looks at locks before writing).
  void set_locking(bool on) { locking_ = on; }
  // How the measurements file of the drawings is read and written (none:
  // the drawings folder is left alone).
  void set_plans_format(const PlansFormat* format) { plans_format_ = format; }
  // The drawings folder's measurements file could not be read when the
  // project was opened (it opened without drawings).
  bool plans_damaged() const { return plans_damaged_; }
  // Writes the open project to `path` as a save does. Returns false with a
  // message on failure, and without one when the user declined to replace
  // a damaged file.
  bool WriteProjectTo(const std::filesystem::path& path);

 private:
  // Before `path` is opened: asks what to do when another holder that is
  // still there has it open. False when the user cancels; *read_only when
  // it is to be opened read-only.
  bool AskAboutLock(const std::filesystem::path& path, bool* read_only);
  // Locks `path`, the project now open (a stale holder's lock taken over
  // with a notice, a folder without room for a lock file told).
  void TakeLock(const std::filesystem::path& path);
  // The drawings and measurements of the project just read from its file,
  // from the folder beside it (or `from`, a recovery copy's); a folder
  // that cannot be read is said and the project opens without drawings.
  void ReadPlans(const std::filesystem::path& from = {});
  // Writes the measurements file beside the project's file (after a save);
  // false with a message on failure.
  bool WritePlans();
  // Whether `path` may become the project's file under Save As: not while
  // another holder that is still there has it open.
  bool MayTakeOver(const std::filesystem::path& path);

  const Folders& folders_;
  Project& tables_;
  Platform platform_;
  ProjectHooks& hooks_;
  std::filesystem::path project_path_;
  std::string project_name_;
  // The open project was read from a damaged file that no save has
  // replaced yet.
  bool damaged_ = false;
  bool save_declined_ = false;
  bool read_only_ = false;
  bool locking_ = true;
  // The original file as a restored project's work started from it.
  std::optional<FileStamp> restored_from_;
  bool restored_ = false;
  ProjectLock lock_;
  const PlansFormat* plans_format_ = nullptr;
  // The measurements file beside the project could not be read (or is an
  // earlier project's): it is set aside, not overwritten, before one is
  // written.
  bool plans_damaged_ = false;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_SESSION_H_
