#include "shell/recovery_keeper.h"

#include "project/plans_file.h"

#include <system_error>
#include <utility>

#include "port/this_process.h"
#include "project/project_file.h"

namespace veltrano {

namespace fs = std::filesystem;

void RecoveryKeeper::ProjectStarted(const fs::path& original, const std::string& name,
                                    std::optional<FileStamp> stamp, std::uint64_t mark,
                                    bool restored) {
  ProjectClosed();
  const ProcessIdentity self = ThisProcess();
  open_ = true;
  restored_ = restored;
  record_ = RecoveryRecord{original, name, 0, self.host, self.pid, stamp};
  copy_path_ = copies_.CopyPathOf(original, name);
  // A restored project's copy is the only record of its work until the
  // next copy or a save.
  has_copy_ = restored;
  saved_mark_ = mark;
  copied_mark_ = mark;
  pending_since_ms_ = -1;
}

void RecoveryKeeper::ProjectClosed() {
  Wait();
  if (open_) RemoveCopy();
  open_ = false;
  restored_ = false;
  copy_path_.clear();
}

void RecoveryKeeper::RemoveCopy() {
  if (!has_copy_ || copy_path_.empty()) return;
  RecoveryCopies::Remove(copy_path_);
  has_copy_ = false;
}

void RecoveryKeeper::Wait() {
  if (writer_.joinable()) writer_.join();
}

std::string RecoveryKeeper::last_error() const {
  std::lock_guard<std::mutex> lock(error_mutex_);
  return last_error_;
}

void RecoveryKeeper::Tick(std::int64_t now_ms, std::uint64_t mark,
                          const std::function<Project()>& snapshot) {
  if (writer_.joinable() && !writing_) writer_.join();
  // Nothing to copy: no project, no copies wanted, or nothing changed since
  // the last copy (or the save, or the restored copy).
  if (!open_ || interval_ <= 0 || mark == copied_mark_ || !changed(mark)) {
    pending_since_ms_ = -1;
    return;
  }
  if (pending_since_ms_ < 0) pending_since_ms_ = now_ms;
  if (now_ms - pending_since_ms_ < static_cast<std::int64_t>(interval_) * 1000) return;
  if (writer_.joinable()) return;  // the last copy is still being written

  copied_mark_ = mark;
  pending_since_ms_ = -1;
  RecoveryRecord record = record_;
  record.saved = SecondsNow();
  writing_ = true;
  has_copy_ = true;
  writer_ = std::thread([this, project = snapshot(), record = std::move(record),
                         copy = copy_path_]() {
    std::string error;
    std::error_code ec;
    fs::create_directories(copies_.folder(), ec);
    // The copy before its record: a record always names a whole copy. The
    // measurements go beside it, as beside a project (the drawings stay in
    // the original's folder).
    const PlanSet& plans = *project.plans();
    const bool has_plans = !plans.drawings().empty() || !plans.measurements().empty();
    const bool written =
        WriteProjectFile(copy, project, &error) &&
        (!has_plans || plans_format_ == nullptr ||
         WritePlansFolder(DrawingsFolderOf(copy), *plans_format_, plans, &error)) &&
        copies_.WriteRecord(copy, record, &error);
    {
      std::lock_guard<std::mutex> lock(error_mutex_);
      last_error_ = written ? std::string() : error;
    }
    if (written) ++copies_written_;
    writing_ = false;
  });
}

}  // namespace veltrano
