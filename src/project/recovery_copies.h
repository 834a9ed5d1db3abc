#ifndef VELTRANO_PROJECT_RECOVERY_COPIES_H_
#define VELTRANO_PROJECT_RECOVERY_COPIES_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "port/this_process.h"

namespace veltrano {

// What a file was when it was last seen, to tell whether it changed since.
struct FileStamp {
  std::uintmax_t size = 0;
  std::int64_t modified = 0;  // nanoseconds of the file clock
  bool operator==(const FileStamp&) const = default;
};
// The stamp of `path`; nothing when there is no such file.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

// The record beside a recovery copy: whose work it holds and when.
struct RecoveryRecord {
  std::filesystem::path original;  // the project's file
  std::string name;                // the project's name
  std::int64_t saved = 0;          // when the copy was written, seconds UTC
  std::string host;                // who wrote it
  std::int64_t pid = 0;
  // The original file as the work started from it (opened or last saved),
  // to tell at the next save whether something else has written it since.
  std::optional<FileStamp> original_stamp;
};

// The record as its file holds it: UTF-8 lines "key=value" under a first
// line naming the format, "\" and line breaks of a value escaped. Parse
// gives nothing for a text that is not such a record.
std::string RecordText(const RecoveryRecord& record);
std::optional<RecoveryRecord> ParseRecordText(std::string_view text);

// The recovery copies of a base folder, in its folder "Recovery": for each
// project "NAME-KEY.xdt", the project as the program writes it, and
// "NAME-KEY.txt", its record; KEY tells projects of one name apart by the
// original's path. Damaged copies are moved into "Recovery/Damaged".
class RecoveryCopies {
 public:
  explicit RecoveryCopies(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& folder() const { return folder_; }
  // The copy of the project whose file is `original`; its record is the
  // same path with the extension ".txt".
  std::filesystem::path CopyPathOf(const std::filesystem::path& original,
                                   const std::string& name) const;
  static std::filesystem::path RecordPathOf(const std::filesystem::path& copy);

  // Writes the record of `copy` (the copy itself is written by the caller,
  // first); false with the reason on failure.
  bool WriteRecord(const std::filesystem::path& copy, const RecoveryRecord& record,
                   std::string* error) const;
  // Removes a copy and its record.
  static void Remove(const std::filesystem::path& copy);
  // Moves a copy and its record into the folder "Damaged"; the path it
  // went to, or nothing when it could not be moved.
  std::optional<std::filesystem::path> SetAside(const std::filesystem::path& copy) const;

  // A copy left behind: its path, and its record when it can be read.
  struct Left {
    std::filesystem::path copy;
    std::optional<RecoveryRecord> record;
  };
  // The copies left by programs that are no longer running (those of a
  // live program of this host are its own to keep), oldest first. A copy
  // without a readable record is listed without one.
  std::vector<Left> FindLeft(const ProcessIdentity& self,
                             bool (*alive)(std::int64_t) = ProcessAlive) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_RECOVERY_COPIES_H_
