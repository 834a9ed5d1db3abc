#include "calc/text_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "calc/cp932.h"
#include "calc/text_util.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Reason(const char* what, const fs::path& path, int error_number) {
  return std::string(what) + ": " + PathText(path) + " (" +
         std::strerror(error_number) + ")";
}

// "U+XXXX" for the first character of a UTF-8 text, for messages where the
// character itself may not show.
std::string CodePointText(std::string_view utf8) {
  char32_t ucs = 0;
  if (!utf8.empty()) {
    const auto b0 = static_cast<unsigned char>(utf8[0]);
    const std::size_t length = b0 < 0x80   ? 1
                               : b0 < 0xE0 ? 2
                               : b0 < 0xF0 ? 3
                                           : 4;
    ucs = length == 1 ? b0 : b0 & (0x7F >> length);
    for (std::size_t i = 1; i < length && i < utf8.size(); ++i) {
      ucs = ucs << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
  }
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "U+%04X", static_cast<unsigned>(ucs));
  return buffer;
}

const SaveCalls* g_save_calls = nullptr;

ssize_t CallWrite(int fd, const void* data, std::size_t size) {
  if (g_save_calls != nullptr && g_save_calls->write != nullptr) {
    return g_save_calls->write(fd, data, size);
  }
  return ::write(fd, data, size);
}
int CallFsync(int fd) {
  if (g_save_calls != nullptr && g_save_calls->fsync != nullptr) {
    return g_save_calls->fsync(fd);
  }
  return ::fsync(fd);
}
int CallClose(int fd) {
  if (g_save_calls != nullptr && g_save_calls->close != nullptr) {
    return g_save_calls->close(fd);
  }
  return ::close(fd);
}
int CallRename(const char* from, const char* to) {
  if (g_save_calls != nullptr && g_save_calls->rename != nullptr) {
    return g_save_calls->rename(from, to);
  }
  return ::rename(from, to);
}
int CallOpen(const char* path, int flags, mode_t mode) {
  if (g_save_calls != nullptr && g_save_calls->open != nullptr) {
    return g_save_calls->open(path, flags, mode);
  }
  return ::open(path, flags, mode);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = CallWrite(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Makes the directory entry of a rename durable; a failure here leaves the
// new file in place, so it is not reported.
void SyncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string TooLarge(const fs::path& path) {
  return "ファイルが大きすぎるため読めません（上限 " +
         std::to_string(kMaxTextFileBytes >> 20) + " MB）: " + PathText(path);
}

std::string OutOfMemory(const fs::path& path) {
  return "メモリが足りないため読めません: " + PathText(path);
}

// Opens a file for reading without waiting on it (a FIFO would block the
// open) and checks that it is a regular file, when `refuse_large` of at most
// kMaxTextFileBytes.
int OpenRegularFile(const fs::path& path, std::uintmax_t* size,
                    std::string* error, bool refuse_large = true) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = Reason("ファイルを開けません", path, errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    *error = Reason("ファイルを読めません", path, errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = "通常のファイルではないため読めません: " + PathText(path);
    ::close(fd);
    return -1;
  }
  if (refuse_large &&
      static_cast<std::uintmax_t>(st.st_size) > kMaxTextFileBytes) {
    *error = TooLarge(path);
    ::close(fd);
    return -1;
  }
  // Reads of a regular file never wait; the flag only mattered for the open.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  *size = static_cast<std::uintmax_t>(st.st_size);
  return fd;
}

// Reads the file in pieces, handing each piece to `take`, which returns false
// to stop early. Stops with an error past kMaxTextFileBytes (a file that grew).
template <typename Start, typename Take>
bool ReadPieces(const fs::path& path, std::string* error, Start start,
                Take take) {
  std::uintmax_t size = 0;
  const int fd = OpenRegularFile(path, &size, error);
  if (fd < 0) return false;
  try {
    start(size);
  } catch (...) {
    ::close(fd);
    throw;
  }
  char buffer[65536];
  std::uintmax_t total = 0;
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof(buffer));
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      *error = Reason("ファイルを読めません", path, errno);
      ::close(fd);
      return false;
    }
    total += static_cast<std::uintmax_t>(got);
    if (total > kMaxTextFileBytes) {
      *error = TooLarge(path);
      ::close(fd);
      return false;
    }
    try {
      if (!take(std::string_view(buffer, static_cast<std::size_t>(got)))) {
        break;
      }
    } catch (...) {
      ::close(fd);
      throw;
    }
  }
  ::close(fd);
  return true;
}

// FNV-1a of a file name, for the temporary names of its writes.
std::uint64_t NameHash(std::string_view name) {
  std::uint64_t hash = 1469598103934665603ull;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

constexpr std::string_view kTemporaryTag = ".vtmp-";

std::string HashPrefix(const fs::path& path) {
  char hex[17];
  std::snprintf(
      hex, sizeof(hex), "%016llx",
      static_cast<unsigned long long>(NameHash(PathText(path.filename()))));
  return std::string(kTemporaryTag) + hex + "-";
}

// As many links as the system follows in one path.
constexpr int kMaxLinkHops = 40;

// The file a write of `path` replaces: the final target of a chain of
// symbolic links (a link that points nowhere is replaced by a file where it
// points), or `path` itself. A chain that does not end within kMaxLinkHops
// (links that loop) gives `path`, with *loops set.
fs::path ReplacedFile(const fs::path& path, bool* loops = nullptr) {
  if (loops != nullptr) *loops = false;
  fs::path current = path;
  for (int hops = 0; hops < kMaxLinkHops; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
    const fs::path target = fs::read_symlink(current, ec);
    if (ec) return current;
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  if (loops != nullptr) *loops = true;
  return path;
}

std::string LinkLoop(const fs::path& path) {
  return "シンボリックリンクが循環しているため保存できません: " +
         PathText(path);
}

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

}  // namespace

std::string TemporaryNamePrefix(const fs::path& path, pid_t pid) {
  return HashPrefix(ReplacedFile(path)) + std::to_string(pid) + "-";
}

int RemoveStaleTemporaries(const fs::path& path) {
  const fs::path target = ReplacedFile(path);
  const fs::path dir =
      target.has_parent_path() ? target.parent_path() : fs::path(".");
  // The names of this program's temporaries for the target: the present
  // ones, and those of earlier versions ("." name ".tmp"), each followed by
  // "<pid>-<number>".
  const std::array<std::string, 2> prefixes = {
      HashPrefix(target), "." + PathText(target.filename()) + ".tmp"};
  int removed = 0;
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return 0;
  for (const fs::directory_entry& entry : it) {
    const std::string name = PathText(entry.path().filename());
    std::string_view rest;
    bool ours = false;
    for (const std::string& prefix : prefixes) {
      if (name.size() > prefix.size() &&
          name.compare(0, prefix.size(), prefix) == 0) {
        rest = std::string_view(name).substr(prefix.size());
        ours = true;
        break;
      }
    }
    if (!ours) continue;
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 10 ||
        dash + 1 == rest.size()) {
      continue;
    }
    long long pid = 0;
    bool digits = true;
    for (char c : rest.substr(0, dash)) {
      if (c < '0' || c > '9') digits = false;
      pid = pid * 10 + (c - '0');
    }
    for (char c : rest.substr(dash + 1)) {
      if (c < '0' || c > '9') digits = false;
    }
    if (!digits || pid <= 0 || pid > std::numeric_limits<pid_t>::max()) {
      continue;
    }
    if (static_cast<pid_t>(pid) == ::getpid() ||
        ProcessRuns(static_cast<pid_t>(pid))) {
      continue;
    }
    std::error_code type_ec;
    if (!entry.is_regular_file(type_ec) || entry.is_symlink(type_ec)) continue;
    if (::unlink(entry.path().c_str()) == 0) ++removed;
  }
  return removed;
}

void SetSaveCallsForTesting(const SaveCalls* calls) { g_save_calls = calls; }

bool ReadFileBytes(const fs::path& path, std::string* bytes,
                   std::string* error) {
  bytes->clear();
  try {
    if (!ReadPieces(
            path, error,
            [&](std::uintmax_t size) {
              bytes->reserve(static_cast<std::size_t>(size));
            },
            [&](std::string_view piece) {
              bytes->append(piece);
              return true;
            })) {
      bytes->clear();
      return false;
    }
  } catch (const std::bad_alloc&) {
    std::string().swap(*bytes);
    *error = OutOfMemory(path);
    return false;
  }
  return true;
}

bool AtomicFileWriter::Open(const fs::path& path, std::string* error) {
  static std::atomic<unsigned> counter{0};
  Abandon();
  path_ = path;
  write_errno_ = 0;
  bool loops = false;
  target_ = ReplacedFile(path, &loops);
  dir_ = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
  if (loops) {
    *error = LinkLoop(path);
    return false;
  }

  struct stat old {};
  const bool replacing = ::stat(target_.c_str(), &old) == 0;
  if (!replacing && errno != ENOENT) {
    // A loop among the folders of the path, a folder that is a file, ...
    *error = errno == ELOOP ? LinkLoop(path)
                            : Reason("保存先を調べられません", path, errno);
    return false;
  }
  if (replacing) {
    if (!S_ISREG(old.st_mode)) {
      *error =
          "通常のファイルではないため置き換えられません: " + PathText(path);
      return false;
    }
    if ((old.st_mode & 0222) == 0 || ::access(target_.c_str(), W_OK) != 0) {
      *error = "書き込みが禁止されているため保存できません: " + PathText(path);
      return false;
    }
  }
  RemoveStaleTemporaries(target_);

  const std::string stem = TemporaryNamePrefix(target_, ::getpid());
  fs::path temp;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp = dir_ / fs::path(stem + std::to_string(counter.fetch_add(1)));
    fd_ = CallOpen(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    // The temporary is this program's affair: the message names the file
    // the user chose.
    const int error_number = errno;
    if (error_number == ENOENT && target_ != path) {
      *error = "リンク先のフォルダがないため保存できません: " +
               PathText(path) + " (リンク先: " + PathText(target_) + ")";
    } else if (error_number == ENOENT) {
      *error = "保存先のフォルダがないため保存できません: " + PathText(path);
    } else {
      *error = Reason("保存先のフォルダにファイルを作れません", path,
                      error_number);
    }
    return false;
  }
  temp_ = temp;

  if (replacing) {
    // Owner and group first: changing them may clear the set-id bits.
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored =
          ::fchown(fd_, old.st_uid, old.st_gid);
    }
    ::fchmod(fd_, old.st_mode & 07777);
  }
  return true;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0 || write_errno_ != 0) return false;
  if (WriteAll(fd_, bytes)) return true;
  write_errno_ = errno != 0 ? errno : EIO;
  return false;
}

bool AtomicFileWriter::Fail(const char* what, int error_number,
                            std::string* error) {
  Abandon();
  *error = Reason(what, path_, error_number);
  return false;
}

bool AtomicFileWriter::Commit(std::string* error) {
  if (fd_ < 0) return Fail("ファイルを書けません", EBADF, error);
  if (write_errno_ != 0) {
    return Fail("ファイルを書けません", write_errno_, error);
  }
  if (CallFsync(fd_) != 0) return Fail("ファイルを書けません", errno, error);
  const int closing = fd_;
  fd_ = -1;
  if (CallClose(closing) != 0) {
    return Fail("ファイルを書けません", errno, error);
  }
  if (CallRename(temp_.c_str(), target_.c_str()) != 0) {
    return Fail("ファイルを置き換えられません", errno, error);
  }
  temp_.clear();
  SyncDirectory(dir_);
  return true;
}

void AtomicFileWriter::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool WriteFileBytesAtomic(const fs::path& path, std::string_view bytes,
                          std::string* error) {
  AtomicFileWriter writer;
  if (!writer.Open(path, error)) return false;
  writer.Write(bytes);
  return writer.Commit(error);
}

bool ForEachTextLine(const fs::path& path,
                     const std::function<bool(std::string_view)>& visit,
                     std::string* error, TextFileShape* shape) {
  TextFileShape seen;
  // Neither CR nor LF is ever the second byte of a CP932 character, so the
  // raw bytes can be split before decoding. `pending` holds the start of a
  // line that continues in the next piece.
  std::string pending;
  bool at_start = true;
  bool more = true;
  auto finish = [&](std::string_view line) {
    ++seen.line_count;
    more = visit(line);
  };
  auto take = [&](std::string_view piece) {
    if (at_start) {
      // read() gives a regular file's first bytes in one piece, so a mark
      // is never cut across pieces.
      if (piece.starts_with(kByteOrderMark)) {
        piece.remove_prefix(kByteOrderMark.size());
        seen.byte_order_mark = true;
      }
      at_start = false;
    }
    while (more && !piece.empty()) {
      const std::size_t lf = piece.find('\n');
      if (lf == std::string_view::npos) {
        pending.append(piece);
        return more;
      }
      std::string_view line = piece.substr(0, lf);
      piece.remove_prefix(lf + 1);
      if (!pending.empty()) {
        pending.append(line);
        line = pending;
      }
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      finish(line);
      pending.clear();
    }
    return more;
  };
  try {
    if (!ReadPieces(
            path, error, [](std::uintmax_t) {}, take))
      return false;
    if (more && !pending.empty()) {
      seen.last_line_unterminated = true;
      finish(pending);
    }
  } catch (const std::bad_alloc&) {
    *error = OutOfMemory(path);
    return false;
  }
  if (shape != nullptr) *shape = seen;
  return true;
}

bool ReadFileHead(const fs::path& path, std::size_t limit, std::string* bytes,
                  bool* cut, std::string* error) {
  bytes->clear();
  *cut = false;
  std::uintmax_t size = 0;
  const int fd = OpenRegularFile(path, &size, error, /*refuse_large=*/false);
  if (fd < 0) return false;
  std::size_t got = 0;
  try {
    // One byte beyond the limit tells whether the file goes on.
    bytes->resize(static_cast<std::size_t>(
                      std::min<std::uintmax_t>(size, limit)) + 1);
    while (true) {
      if (got == bytes->size()) {
        if (got > limit) break;
        // The file grew while it was read.
        bytes->resize(std::min(limit + 1, got * 2));
      }
      const ssize_t n = ::read(fd, bytes->data() + got, bytes->size() - got);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        *error = Reason("ファイルを読めません", path, errno);
        ::close(fd);
        std::string().swap(*bytes);
        return false;
      }
      got += static_cast<std::size_t>(n);
    }
  } catch (const std::bad_alloc&) {
    ::close(fd);
    std::string().swap(*bytes);
    *error = OutOfMemory(path);
    return false;
  }
  ::close(fd);
  *cut = got > limit;
  bytes->resize(std::min(got, limit));
  return true;
}

void ForEachLineIn(std::string_view bytes,
                   const std::function<bool(std::string_view)>& visit) {
  if (bytes.starts_with(kByteOrderMark)) {
    bytes.remove_prefix(kByteOrderMark.size());
  }
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    if (lf == std::string_view::npos) {
      bytes = {};
    } else {
      bytes.remove_prefix(lf + 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    if (!visit(line)) return;
  }
}

bool ReadTextLines(const fs::path& path, std::vector<std::string>* lines,
                   std::string* error, LineFilter keep, TextFileShape* shape) {
  lines->clear();
  try {
    const bool read = ForEachTextLine(
        path,
        [&](std::string_view line) {
          if (keep == nullptr || keep(line)) {
            lines->push_back(Cp932ToUtf8(line));
          }
          return true;
        },
        error, shape);
    if (!read) std::vector<std::string>().swap(*lines);
    return read;
  } catch (const std::bad_alloc&) {
    std::vector<std::string>().swap(*lines);
    *error = OutOfMemory(path);
    return false;
  }
}

namespace {

// Appends line `index` (from 0) of a text file in CP932 and CR LF to
// `bytes`; false with the reason (naming `path`) when it cannot be written.
bool EncodeLine(std::string_view line, std::size_t index, const fs::path& path,
                std::string* bytes, std::string* encoded, std::string* error) {
  // ASCII without a line feed is the same in CP932: most lines of a
  // project are, and the separators of large summary tables are.
  if (std::all_of(line.begin(), line.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '\n';
      })) {
    bytes->append(line);
    bytes->append("\r\n");
    return true;
  }
  auto where = [&] {
    return " (" + std::to_string(index + 1) + " 行目: " + PathText(path) + ")";
  };
  if (line.find('\n') != std::string_view::npos) {
    *error = "行の中に改行があるため書けません" + where();
    return false;
  }
  std::string bad;
  if (!Utf8ToCp932(line, encoded, &bad)) {
    *error = "「" + bad + "」(" + CodePointText(bad) + ") は CP932 で書けない文字です" + where();
    return false;
  }
  bytes->append(*encoded);
  bytes->append("\r\n");
  return true;
}

// The readers skip a byte-order mark at the start of a file. Text whose
// own bytes begin like one (raw bytes kept from a damaged file) is written
// after a mark, so that reading skips the mark alone and the text comes
// back whole.
void MarkTextThatBeginsLikeAMark(std::string* bytes) {
  if (bytes->starts_with(kByteOrderMark)) bytes->insert(0, kByteOrderMark);
}

// The buffer of a TextLinesWriter is written out past this.
constexpr std::size_t kLinesBuffer = 1u << 20;

}  // namespace

bool EncodeTextLines(const std::vector<std::string>& lines,
                     const fs::path& path, std::string* out,
                     std::string* error) {
  std::string& bytes = *out;
  bytes.clear();
  std::string encoded;
  // No character takes more bytes in CP932 than in UTF-8.
  std::size_t most = 2;
  for (const std::string& line : lines) most += line.size() + 2;
  bytes.reserve(most);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!EncodeLine(lines[i], i, path, &bytes, &encoded, error)) return false;
  }
  MarkTextThatBeginsLikeAMark(&bytes);
  return true;
}

bool TextLinesWriter::Open(const fs::path& path, std::string* error) {
  path_ = path;
  buffer_.reserve(kLinesBuffer + 4096);
  return file_.Open(path, error);
}

bool TextLinesWriter::Add(std::string_view line) {
  if (!error_.empty()) return false;
  const std::size_t before = buffer_.size();
  if (!EncodeLine(line, lines_, path_, &buffer_, &encoded_, &error_)) {
    file_.Abandon();
    return false;
  }
  if (lines_ == 0) MarkTextThatBeginsLikeAMark(&buffer_);
  ++lines_;
  size_ += buffer_.size() - before;
  return buffer_.size() < kLinesBuffer || Flush();
}

bool TextLinesWriter::Flush() {
  const bool written = file_.Write(buffer_);
  buffer_.clear();
  return written;
}

void TextLinesWriter::Refuse(std::string reason) {
  if (error_.empty()) error_ = std::move(reason);
  file_.Abandon();
}

bool TextLinesWriter::Commit(std::string* error) {
  if (!error_.empty()) {
    *error = error_;
    file_.Abandon();
    return false;
  }
  Flush();
  return file_.Commit(error);
}

bool WriteTextLinesAtomic(const fs::path& path,
                          const std::vector<std::string>& lines,
                          std::string* error) {
  std::string bytes;
  return EncodeTextLines(lines, path, &bytes, error) &&
         WriteFileBytesAtomic(path, bytes, error);
}

}  // namespace veltrano
