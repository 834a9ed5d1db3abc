#ifndef VELTRANO_SHELL_RECOVERY_KEEPER_H_
#define VELTRANO_SHELL_RECOVERY_KEEPER_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "project/project.h"
#include "project/plans_file.h"
#include "project/recovery_copies.h"

namespace veltrano {

// The recovery copy of the open project: while the project has changes
// that are not saved, a copy of its whole state is written into the base
// folder's "Recovery" folder at most every `interval` seconds, from a
// snapshot, on a thread of its own, so that typing never waits for it. A
// save, a close without saving and the next project remove it; only a
// program that ends without any of them leaves it behind.
class RecoveryKeeper {
 public:
  explicit RecoveryKeeper(std::filesystem::path folder) : copies_(std::move(folder)) {}
  RecoveryKeeper(const RecoveryKeeper&) = delete;
  RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;
  ~RecoveryKeeper() { Wait(); }

  const RecoveryCopies& copies() const { return copies_; }
  // Seconds between copies; 0 writes none.
  int interval() const { return interval_; }
  void set_interval(int seconds) { interval_ = seconds < 0 ? 0 : seconds; }

  // A project is now open (or was saved), its changes counted from `mark`;
  // `stamp` is its file as the work starts from it. The copy of the project
  // before (or as it was before the save) goes. A restored project
  // (`restored`) keeps its copy and counts as changed.
  void ProjectStarted(const std::filesystem::path& original, const std::string& name,
                      std::optional<FileStamp> stamp, std::uint64_t mark, bool restored);
  // The project was closed without saving, or replaced: its copy goes.
  void ProjectClosed();

  // Called now and then (every second by the window, by the scenario
  // verb "wait"): when the project's changes, told by `mark`, have waited
  // `interval` seconds since the last copy, a snapshot is taken and
  // written. `now_ms`: a steady clock in milliseconds.
  void Tick(std::int64_t now_ms, std::uint64_t mark, const std::function<Project()>& snapshot);
  // Waits for a copy being written.
  void Wait();
  // Whether the project has changes that are not saved.
  bool changed(std::uint64_t mark) const { return open_ && (restored_ || mark != saved_mark_); }
  // The copy of the open project ("" while none is open) and the reason
  // the last copy could not be written ("" when it was).
  const std::filesystem::path& copy_path() const { return copy_path_; }
  std::string last_error() const;
  // How many copies have been written: for tests.
  int copies_written() const { return copies_written_; }
  // How the measurements of the drawings are written beside a copy.
  void set_plans_format(const PlansFormat* format) { plans_format_ = format; }

 private:
  const PlansFormat* plans_format_ = nullptr;
  void RemoveCopy();

  RecoveryCopies copies_;
  int interval_ = 60;
  bool open_ = false;
  bool restored_ = false;
  RecoveryRecord record_;
  std::filesystem::path copy_path_;
  std::uint64_t saved_mark_ = 0;
  std::uint64_t copied_mark_ = 0;
  bool has_copy_ = false;
  // When a change not yet in a copy was first seen, or -1.
  std::int64_t pending_since_ms_ = -1;
  std::thread writer_;
  std::atomic<bool> writing_ = false;
  std::atomic<int> copies_written_ = 0;
  mutable std::mutex error_mutex_;
  std::string last_error_;
};

}  // namespace veltrano

#endif  // VELTRANO_SHELL_RECOVERY_KEEPER_H_
