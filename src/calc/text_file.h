#ifndef VELTRANO_CALC_TEXT_FILE_H_
#define VELTRANO_CALC_TEXT_FILE_H_

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reading and writing the program's text files: CP932 on disk, UTF-8 in
// memory, lines ending in CR LF. Writes go to a temporary file in the same
// folder that then replaces the target, so a failed or interrupted write
// leaves the old file as it was.

namespace veltrano {

// No project or settings file comes near this size; a larger file is
// refused unread.
inline constexpr std::uintmax_t kMaxTextFileBytes = 256u << 20;

// Reads the whole file into `bytes`. Only a regular file of at most
// kMaxTextFileBytes is read (a FIFO, a device or a folder is refused without
// waiting on it). On failure returns false and puts a short reason, naming
// the file, in `error`; a failed allocation is such a failure too.
bool ReadFileBytes(const std::filesystem::path& path, std::string* bytes,
                   std::string* error);

// Reads the start of a regular file: at most `limit` bytes into `bytes`,
// with *cut telling whether the file holds more. A file larger than the
// limit is read no further, not refused; otherwise fails as ReadFileBytes
// does (a missing, unreadable or irregular file). Memory holds at most
// `limit` + 1 bytes whatever the file's size.
bool ReadFileHead(const std::filesystem::path& path, std::size_t limit,
                  std::string* bytes, bool* cut, std::string* error);

// Replaces the file with `bytes`: they are written to a temporary file in the
// same folder, flushed to disk and renamed over the target. A target that is
// a symbolic link is replaced through the link (the temporary file lies
// beside the file the link points to; a link to a missing file in an
// existing folder gets that file). A replaced file keeps its permission bits
// and, where the process may set them, its owner and group. Refused: a
// target the user may not write (no write permission, or no write bit at
// all), one that is not a regular file, and symbolic links that loop. On
// failure returns false with the reason in `error`, which names `path` as
// given, never the temporary; the old file (if any) is untouched and the
// temporary is removed. Temporaries that dead writers left for the same
// target are removed first.
bool WriteFileBytesAtomic(const std::filesystem::path& path,
                          std::string_view bytes, std::string* error);

// A file replaced as WriteFileBytesAtomic replaces it, with the bytes given
// in pieces: for output that is produced a little at a time (a PDF file).
// The same checks, temporary naming and clean-up apply. Until Commit
// succeeds the old file is untouched; a writer abandoned or destroyed before
// that removes its temporary, and one whose process is killed leaves it for
// the next write of the same target to remove.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter() { Abandon(); }
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Checks the target and creates the temporary; false with the reason.
  bool Open(const std::filesystem::path& path, std::string* error);
  // Appends to the temporary. False when the write fails, and for every
  // call after a failure; Commit then reports the first failure.
  bool Write(std::string_view bytes);
  // Flushes the temporary to disk, closes it and renames it over the
  // target. False with the reason (the temporary removed) when a write
  // failed before or any of these steps fails.
  bool Commit(std::string* error);
  // Gives up: removes the temporary; the old file stays as it was.
  void Abandon();

  bool is_open() const { return fd_ >= 0; }
  // Whether a write has failed.
  bool failed() const { return write_errno_ != 0; }
  // The file as the caller named it.
  const std::filesystem::path& path() const { return path_; }

 private:
  bool Fail(const char* what, int error_number, std::string* error);

  std::filesystem::path path_;
  std::filesystem::path dir_;     // the folder of the file replaced
  std::filesystem::path target_;  // the file replaced (links followed)
  std::filesystem::path temp_;
  int fd_ = -1;
  int write_errno_ = 0;  // of the first failed write
};

// Removes the temporary files that writes of `path` (through
// WriteFileBytesAtomic) left behind when their process died: files of this
// program's own naming for that target (also the naming of its earlier
// versions, "." name ".tmp" pid "-" number) whose writing process no longer
// runs. Returns how many were removed.
int RemoveStaleTemporaries(const std::filesystem::path& path);

// The name of the temporary file a write of `path` by process `pid` starts
// with; short, so that the longest name the file system takes can be saved.
std::string TemporaryNamePrefix(const std::filesystem::path& path, pid_t pid);

// What the line reader saw besides the lines.
struct TextFileShape {
  std::size_t line_count = 0;           // every line, kept or not
  bool byte_order_mark = false;         // a UTF-8 byte-order mark was skipped
  bool last_line_unterminated = false;  // the file ends inside a line
};

// Calls `visit` with each line of a CP932 text file, as raw bytes without its
// line end, in order, until it returns false. Lines, the byte-order mark and
// the reading in pieces as for ReadTextLines below; memory holds one line.
bool ForEachTextLine(const std::filesystem::path& path,
                     const std::function<bool(std::string_view)>& visit,
                     std::string* error, TextFileShape* shape = nullptr);

// The same for a file's bytes already in memory: each line as raw bytes
// without its line end, split as ForEachTextLine splits them, a byte-order
// mark at the start skipped, until `visit` returns false.
void ForEachLineIn(std::string_view bytes,
                   const std::function<bool(std::string_view)>& visit);

// Decides from a line's raw CP932 bytes whether the line is kept.
using LineFilter = bool (*)(std::string_view raw_line);

// Reads a CP932 text file as UTF-8 lines. Lines end at CR LF or at a lone LF;
// a last line without a line end is a line too, while a file ending in a line
// end has no empty line after it. A CR not followed by LF stays in the line.
// A UTF-8 byte-order mark at the start of the file is skipped. When `keep`
// is given, only the lines it accepts are decoded and stored. The file is
// read in pieces, so memory holds only the kept lines.
bool ReadTextLines(const std::filesystem::path& path,
                   std::vector<std::string>* lines, std::string* error,
                   LineFilter keep = nullptr, TextFileShape* shape = nullptr);

// The bytes WriteTextLinesAtomic writes for `lines`, made in memory: CP932,
// each line followed by CR LF (after a byte-order mark when the text itself
// begins like one). False, with the line's number and the reason (naming
// `path`) in `error`, when a line holds an LF or a character CP932 cannot
// hold.
bool EncodeTextLines(const std::vector<std::string>& lines,
                     const std::filesystem::path& path, std::string* bytes,
                     std::string* error);

// Lines written to a file one at a time, as WriteTextLinesAtomic writes
// them (CP932, CR LF, the same refusals), through an AtomicFileWriter: the
// file appears whole at Commit or not at all, and memory holds a buffer of
// about a megabyte rather than the whole file.
class TextLinesWriter {
 public:
  bool Open(const std::filesystem::path& path, std::string* error);
  // Encodes and appends a line; false, the write given up, when the line
  // cannot be written (Commit then reports why).
  bool Add(std::string_view line);
  // The bytes of the lines so far.
  std::uintmax_t size() const { return size_; }
  // Gives the write up with `reason` (the old file stays).
  void Refuse(std::string reason);
  bool Commit(std::string* error);

 private:
  bool Flush();

  AtomicFileWriter file_;
  std::filesystem::path path_;
  std::string buffer_;
  std::string encoded_;
  std::size_t lines_ = 0;
  std::uintmax_t size_ = 0;
  std::string error_;
};

// Writes the lines in CP932, each followed by CR LF, through
// WriteFileBytesAtomic. Refuses, leaving the old file untouched, when a line
// holds a character CP932 cannot hold (the error names it) or an LF, which
// would split the line when it is read back.
bool WriteTextLinesAtomic(const std::filesystem::path& path,
                          const std::vector<std::string>& lines,
                          std::string* error);

// The system calls of the save path, replaceable so that tests can make each
// of them fail. nullptr members fall back to the real calls.
struct SaveCalls {
  ssize_t (*write)(int fd, const void* data, std::size_t size) = nullptr;
  int (*fsync)(int fd) = nullptr;
  int (*close)(int fd) = nullptr;
  int (*rename)(const char* from, const char* to) = nullptr;
  // The creation of the temporary file.
  int (*open)(const char* path, int flags, mode_t mode) = nullptr;
};
// Installs `calls` for every later save (nullptr restores the real calls).
void SetSaveCallsForTesting(const SaveCalls* calls);

}  // namespace veltrano

#endif  // VELTRANO_CALC_TEXT_FILE_H_
