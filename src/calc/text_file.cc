#include "calc/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "calc/cp932.h"
#include "calc/text_util.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

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

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
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

}  // namespace

bool ReadFileBytes(const fs::path& path, std::string* bytes,
                   std::string* error) {
  bytes->clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = Reason("ファイルを開けません", path, errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    bytes->reserve(static_cast<std::size_t>(st.st_size));
  }
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof(buffer));
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      *error = Reason("ファイルを読めません", path, errno);
      ::close(fd);
      bytes->clear();
      return false;
    }
    bytes->append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return true;
}

bool WriteFileBytesAtomic(const fs::path& path, std::string_view bytes,
                          std::string* error) {
  static std::atomic<unsigned> counter{0};
  const fs::path dir =
      path.has_parent_path() ? path.parent_path() : fs::path(".");
  const std::string stem = "." + PathText(path.filename()) + ".tmp" +
                           std::to_string(::getpid()) + "-";
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir / fs::path(stem + std::to_string(counter.fetch_add(1)));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    *error = Reason("一時ファイルを作れません", temp, errno);
    return false;
  }

  auto fail = [&](const char* what, const fs::path& shown) {
    const int error_number = errno;
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    *error = Reason(what, shown, error_number);
    return false;
  };

  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  }
  if (!WriteAll(fd, bytes)) return fail("ファイルを書けません", path);
  if (::fsync(fd) != 0) return fail("ファイルを書けません", path);
  const int closing = fd;
  fd = -1;
  if (::close(closing) != 0) return fail("ファイルを書けません", path);
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    return fail("ファイルを置き換えられません", path);
  }
  SyncDirectory(dir);
  return true;
}

bool ReadTextLines(const fs::path& path, std::vector<std::string>* lines,
                   std::string* error) {
  lines->clear();
  std::string bytes;
  if (!ReadFileBytes(path, &bytes, error)) return false;
  // Neither CR nor LF is ever the second byte of a CP932 character, so the
  // raw bytes can be split before decoding.
  std::string_view rest(bytes);
  while (!rest.empty()) {
    const std::size_t lf = rest.find('\n');
    std::string_view line = rest.substr(0, lf);
    if (lf == std::string_view::npos) {
      rest = {};
    } else {
      rest.remove_prefix(lf + 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    lines->push_back(Cp932ToUtf8(line));
  }
  return true;
}

bool WriteTextLinesAtomic(const fs::path& path,
                          const std::vector<std::string>& lines,
                          std::string* error) {
  std::string bytes;
  std::string encoded;
  std::string bad;
  bytes.reserve(lines.size() * 2);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto where = [&] {
      return " (" + std::to_string(i + 1) + " 行目: " + PathText(path) + ")";
    };
    if (lines[i].find('\n') != std::string::npos) {
      *error = "行の中に改行があるため書けません" + where();
      return false;
    }
    if (!Utf8ToCp932(lines[i], &encoded, &bad)) {
      *error = "「" + bad + "」(" + CodePointText(bad) +
               ") は CP932 で書けない文字です" + where();
      return false;
    }
    bytes += encoded;
    bytes += "\r\n";
  }
  return WriteFileBytesAtomic(path, bytes, error);
}

}  // namespace veltrano
