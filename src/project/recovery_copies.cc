#include "project/recovery_copies.h"

#include "project/plans_file.h"

#include <algorithm>
#include <functional>
#include <system_error>

#include "calc/number_text.h"
#include "calc/text_file.h"

namespace veltrano {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFirstLine = "veltrano-recovery 1";
// A record is a few short lines; anything longer is no record.
constexpr std::size_t kLongestRecord = 64 * 1024;

std::string Escaped(std::string_view value) {
  std::string out;
  for (const char c : value) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

bool Unescaped(std::string_view value, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      *out += value[i];
      continue;
    }
    if (++i == value.size()) return false;
    switch (value[i]) {
      case '\\': *out += '\\'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      default: return false;
    }
  }
  return true;
}

}  // namespace

std::optional<FileStamp> StampOf(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status)) return std::nullopt;
  FileStamp stamp;
  stamp.size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  const fs::file_time_type modified = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  stamp.modified =
      std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
  return stamp;
}

std::string RecordText(const RecoveryRecord& record) {
  std::string text(kFirstLine);
  text += '\n';
  auto line = [&](std::string_view key, std::string_view value) {
    text += key;
    text += '=';
    text += Escaped(value);
    text += '\n';
  };
  line("original", record.original.string());
  line("name", record.name);
  line("saved", std::to_string(record.saved));
  line("host", record.host);
  line("pid", std::to_string(record.pid));
  if (record.original_stamp) {
    line("original_size", std::to_string(record.original_stamp->size));
    line("original_modified", std::to_string(record.original_stamp->modified));
  }
  return text;
}

std::optional<RecoveryRecord> ParseRecordText(std::string_view text) {
  if (!text.starts_with(kFirstLine) || text.size() == kFirstLine.size() ||
      text[kFirstLine.size()] != '\n') {
    return std::nullopt;
  }
  text.remove_prefix(kFirstLine.size() + 1);
  RecoveryRecord record;
  bool has_original = false, has_saved = false;
  std::optional<std::uintmax_t> size;
  std::optional<std::int64_t> modified;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // cut short
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = line.substr(0, equals);
    std::string value;
    if (!Unescaped(line.substr(equals + 1), &value)) return std::nullopt;
    if (key == "original") {
      record.original = value;
      has_original = !value.empty();
    } else if (key == "name") {
      record.name = value;
    } else if (key == "saved") {
      has_saved = ReadWholeNumber(value, &record.saved);
      if (!has_saved) return std::nullopt;
    } else if (key == "host") {
      record.host = value;
    } else if (key == "pid") {
      if (!ReadWholeNumber(value, &record.pid)) return std::nullopt;
    } else if (key == "original_size") {
      std::uintmax_t n = 0;
      if (!ReadWholeNumber(value, &n)) return std::nullopt;
      size = n;
    } else if (key == "original_modified") {
      std::int64_t n = 0;
      if (!ReadWholeNumber(value, &n)) return std::nullopt;
      modified = n;
    }
    // Keys of a later version are passed over.
  }
  if (!has_original || !has_saved || record.name.empty()) return std::nullopt;
  if (size && modified) record.original_stamp = FileStamp{*size, *modified};
  return record;
}

fs::path RecoveryCopies::CopyPathOf(const fs::path& original, const std::string& name) const {
  // The key tells apart projects of one name in different folders.
  std::error_code ec;
  const fs::path absolute = fs::absolute(original, ec);
  std::uint64_t key = 0xcbf29ce484222325ULL;
  for (const unsigned char c : (ec ? original : absolute).lexically_normal().string()) {
    key = (key ^ c) * 0x100000001b3ULL;
  }
  char hex[17];
  for (int i = 15; i >= 0; --i, key >>= 4) hex[i] = "0123456789abcdef"[key & 15];
  hex[16] = '\0';
  return folder_ / (name + "-" + hex + ".xdt");
}

fs::path RecoveryCopies::RecordPathOf(const fs::path& copy) {
  fs::path record = copy;
  record.replace_extension(".txt");
  return record;
}

bool RecoveryCopies::WriteRecord(const fs::path& copy, const RecoveryRecord& record,
                                 std::string* error) const {
  return WriteFileBytesAtomic(RecordPathOf(copy), RecordText(record), error);
}

void RecoveryCopies::Remove(const fs::path& copy) {
  std::error_code ec;
  // The record first: a copy without one is still offered, a record
  // without its copy is not.
  fs::remove(RecordPathOf(copy), ec);
  fs::remove(copy, ec);
  fs::remove_all(DrawingsFolderOf(copy), ec);
}

std::optional<fs::path> RecoveryCopies::SetAside(const fs::path& copy) const {
  const fs::path damaged = folder_ / "Damaged";
  std::error_code ec;
  fs::create_directories(damaged, ec);
  if (ec) return std::nullopt;
  fs::path target = damaged / copy.filename();
  for (int n = 2; fs::exists(target, ec) || fs::exists(RecordPathOf(target), ec); ++n) {
    target = damaged / (copy.stem().string() + "(" + std::to_string(n) + ")" +
                        copy.extension().string());
  }
  fs::rename(copy, target, ec);
  if (ec) return std::nullopt;
  fs::rename(RecordPathOf(copy), RecordPathOf(target), ec);
  return target;
}

std::vector<RecoveryCopies::Left> RecoveryCopies::FindLeft(
    const ProcessIdentity& self, bool (*alive)(std::int64_t)) const {
  std::vector<Left> left;
  std::error_code ec;
  fs::directory_iterator it(folder_, ec);
  if (ec) return left;
  for (const fs::directory_entry& entry : it) {
    const fs::path& path = entry.path();
    if (path.extension() != ".xdt" || !entry.is_regular_file(ec)) continue;
    // Temporaries of a write in progress are no copies.
    if (path.filename().string().starts_with(".")) continue;
    Left copy{path, std::nullopt};
    std::string bytes, error;
    bool cut = false;
    if (ReadFileHead(RecordPathOf(path), kLongestRecord, &bytes, &cut, &error) && !cut) {
      copy.record = ParseRecordText(bytes);
    }
    if (copy.record && copy.record->host == self.host && copy.record->pid != self.pid &&
        alive(copy.record->pid)) {
      continue;
    }
    if (copy.record && copy.record->host == self.host && copy.record->pid == self.pid) {
      continue;
    }
    left.push_back(std::move(copy));
  }
  std::sort(left.begin(), left.end(), [](const Left& a, const Left& b) {
    const std::int64_t ta = a.record ? a.record->saved : 0;
    const std::int64_t tb = b.record ? b.record->saved : 0;
    return ta != tb ? ta < tb : a.copy < b.copy;
  });
  return left;
}

}  // namespace veltrano
