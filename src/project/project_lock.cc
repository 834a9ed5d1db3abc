#include "project/project_lock.h"

#include <system_error>
#include <vector>

#include "calc/number_text.h"
#include "calc/text_file.h"

namespace veltrano {

namespace {

std::string FieldText(std::string_view text) {
  std::string field(text);
  for (char& c : field) {
    if (c == ',' || c == ';' || c == '\r' || c == '\n') c = '_';
  }
  return field;
}

// A lock file is one short line; anything longer is no lock of ours.
constexpr std::size_t kLongestLockFile = 4096;

}  // namespace

std::string LockHolder::Named() const { return user + "（" + host + "）"; }

std::filesystem::path LockPathOf(const std::filesystem::path& project) {
  std::filesystem::path lock = project.parent_path();
  lock /= ".~lock." + project.filename().string() + "#";
  return lock;
}

std::string LockLine(const LockHolder& holder) {
  return FieldText(holder.user) + "," + FieldText(holder.host) + "," +
         std::to_string(holder.pid) + "," + std::to_string(holder.since) + "," +
         FieldText(LocalTimeText(holder.since)) + ";\n";
}

std::optional<LockHolder> ParseLockLine(std::string_view text) {
  const std::size_t end = text.find(';');
  if (end == std::string_view::npos) return std::nullopt;
  text = text.substr(0, end);
  std::vector<std::string_view> fields;
  for (std::size_t from = 0;;) {
    const std::size_t comma = text.find(',', from);
    fields.push_back(text.substr(from, comma == std::string_view::npos ? comma : comma - from));
    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }
  if (fields.size() < 4 || fields[0].empty() || fields[1].empty()) return std::nullopt;
  LockHolder holder;
  holder.user = fields[0];
  holder.host = fields[1];
  if (!ReadWholeNumber(fields[2], &holder.pid) || !ReadWholeNumber(fields[3], &holder.since)) {
    return std::nullopt;
  }
  return holder;
}

LockLook LookAtLock(const std::filesystem::path& project, const ProcessIdentity& self,
                    std::int64_t now, bool (*alive)(std::int64_t)) {
  LockLook look;
  const std::filesystem::path lock = LockPathOf(project);
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(lock, ec))) return look;
  std::string bytes;
  std::string error;
  bool cut = false;
  const bool read = ReadFileHead(lock, kLongestLockFile, &bytes, &cut, &error);
  const std::optional<LockHolder> holder = read ? ParseLockLine(bytes) : std::nullopt;
  if (!holder) {
    look.standing = LockStanding::kStale;
    return look;
  }
  look.holder = *holder;
  if (holder->host == self.host) {
    if (holder->pid == self.pid) {
      look.standing = LockStanding::kOurs;
    } else {
      look.standing = alive(holder->pid) ? LockStanding::kLive : LockStanding::kStale;
    }
  } else {
    look.standing =
        now - holder->since > kStaleLockSeconds ? LockStanding::kStale : LockStanding::kLive;
  }
  return look;
}

bool ProjectLock::Take(const std::filesystem::path& project, std::string* error) {
  Release();
  self_ = ThisProcess();
  LockHolder holder;
  holder.user = self_.user;
  holder.host = self_.host;
  holder.pid = self_.pid;
  holder.since = SecondsNow();
  const std::filesystem::path lock = LockPathOf(project);
  if (!WriteFileBytesAtomic(lock, LockLine(holder), error)) return false;
  lock_path_ = lock;
  return true;
}

void ProjectLock::Release() {
  if (lock_path_.empty()) return;
  const std::filesystem::path lock = std::move(lock_path_);
  lock_path_.clear();
  // Another process may have taken the lock over meanwhile: its lock stays.
  std::string bytes;
  std::string error;
  bool cut = false;
  if (!ReadFileHead(lock, kLongestLockFile, &bytes, &cut, &error)) return;
  const std::optional<LockHolder> holder = ParseLockLine(bytes);
  if (!holder || holder->host != self_.host || holder->pid != self_.pid) return;
  std::error_code ec;
  std::filesystem::remove(lock, ec);
}

}  // namespace veltrano
