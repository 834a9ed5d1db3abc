#ifndef VELTRANO_PROJECT_PROJECT_LOCK_H_
#define VELTRANO_PROJECT_PROJECT_LOCK_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "port/this_process.h"

namespace veltrano {

// Who has a project open, as its lock file says.
struct LockHolder {
  std::string user;
  std::string host;
  std::int64_t pid = 0;
  std::int64_t since = 0;  // seconds since 1970-01-01 UTC
  // "USER（HOST）", as the questions name the holder.
  std::string Named() const;
};

// The lock file of a project, beside it in the manner of office programs:
// "山田邸.xdt" → ".~lock.山田邸.xdt#".
std::filesystem::path LockPathOf(const std::filesystem::path& project);

// The lock file's one line: "USER,HOST,PID,SECONDS,LOCAL TIME;" in UTF-8,
// the commas and semicolons of a name written as "_". ParseLockLine gives
// nothing for a line that is not one.
std::string LockLine(const LockHolder& holder);
std::optional<LockHolder> ParseLockLine(std::string_view text);

// What a project's lock means to this process.
enum class LockStanding {
  kFree,   // no lock file
  kOurs,   // this process holds it
  kLive,   // another holder that is (or may be) still there
  kStale,  // a holder of this host whose process is gone, one older than a
           // day on another host, or a file that names nobody
};

// After a day without a word a holder on another host is taken as gone.
inline constexpr std::int64_t kStaleLockSeconds = 24 * 60 * 60;

struct LockLook {
  LockStanding standing = LockStanding::kFree;
  LockHolder holder;  // as the file names it (empty for kFree)
};

// Reads the lock of `project` and judges it for `self` at `now`; `alive`
// tells whether a process of this host still runs.
LockLook LookAtLock(const std::filesystem::path& project, const ProcessIdentity& self,
                    std::int64_t now, bool (*alive)(std::int64_t) = ProcessAlive);

// The lock this process holds on its open project. Advisory: it never
// stops a read, only the program's own opening and writing look at it.
class ProjectLock {
 public:
  ProjectLock() = default;
  ProjectLock(const ProjectLock&) = delete;
  ProjectLock& operator=(const ProjectLock&) = delete;
  ~ProjectLock() { Release(); }

  // Writes the lock of `project` naming this process, over whatever lock
  // is there (the caller has asked about a live one); a lock held on
  // another project is released first. False, with the reason, when the
  // folder takes no file (a read-only share).
  bool Take(const std::filesystem::path& project, std::string* error);
  // Removes the lock file when it still names this process.
  void Release();
  bool held() const { return !lock_path_.empty(); }

 private:
  std::filesystem::path lock_path_;
  ProcessIdentity self_;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PROJECT_LOCK_H_
