#include "config/folders.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "calc/text_file.h"
#include "calc/text_util.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

fs::path Absolute(const fs::path& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute.lexically_normal();
}

// The entry of `dir` named `name` without regard to letter case, exact name
// first, then the first match in name order so that the choice does not
// depend on the order the folder lists its entries in. `want_directory`
// selects folders, otherwise files (links are followed).
std::optional<fs::path> FindEntry(const fs::path& dir, std::string_view name,
                                  bool want_directory) {
  std::error_code ec;
  auto is_wanted = [&](const fs::path& p) {
    std::error_code status_ec;
    return want_directory ? fs::is_directory(p, status_ec)
                          : fs::is_regular_file(p, status_ec);
  };
  const fs::path exact = dir / fs::path(std::string(name));
  if (is_wanted(exact)) return exact;

  std::vector<fs::path> matches;
  fs::directory_iterator it(dir, ec);
  if (ec) return std::nullopt;
  for (const fs::directory_entry& entry : it) {
    const std::string entry_name = entry.path().filename().string();
    if (EqualsIgnoreCase(entry_name, name) && is_wanted(entry.path())) {
      matches.push_back(entry.path());
    }
  }
  if (matches.empty()) return std::nullopt;
  fs::path first = matches.front();
  for (const fs::path& p : matches) {
    if (p.filename().string() < first.filename().string()) first = p;
  }
  return first;
}

fs::path SubfolderOf(const fs::path& dir, std::string_view name) {
  return FindEntry(dir, name, /*want_directory=*/true)
      .value_or(dir / fs::path(std::string(name)));
}

}  // namespace

Folders FoldersUnder(const fs::path& base) {
  Folders folders;
  folders.base = base;
  folders.data = SubfolderOf(base, "Data");
  folders.info = SubfolderOf(base, "info");
  folders.list = SubfolderOf(base, "list");
  folders.manual = SubfolderOf(base, "Manual");
  folders.backup = folders.info;
  return folders;
}

Folders FoldersUnder(const fs::path& base, const fs::path& backup_root) {
  Folders folders = FoldersUnder(base);
  folders.backup = SubfolderOf(SubfolderOf(backup_root, "Veltrano"), "info");
  return folders;
}

Folders ResolveFolders(const std::optional<std::string>& base_option) {
  if (base_option.has_value() && !base_option->empty()) {
    return FoldersUnder(Absolute(fs::path(*base_option)));
  }
  if (std::string from_env = EnvironmentValue("VELTRANO_BASE");
      !from_env.empty()) {
    return FoldersUnder(Absolute(fs::path(from_env)));
  }
  const std::string home_text = EnvironmentValue("HOME");
  fs::path home;
  if (home_text.empty()) {
    std::error_code ec;
    home = fs::current_path(ec);
  } else {
    home = Absolute(fs::path(home_text));
  }
  return FoldersUnder(SubfolderOf(home, "Veltrano"));
}

bool EnsureFolders(const Folders& folders, std::string* error) {
  for (const fs::path* dir : {&folders.base, &folders.data, &folders.info,
                              &folders.list, &folders.manual}) {
    std::error_code ec;
    if (fs::is_directory(*dir, ec)) continue;
    fs::create_directories(*dir, ec);
    if (ec || !fs::is_directory(*dir)) {
      *error = "フォルダを作れません: " + PathText(*dir) +
               (ec ? " (" + ec.message() + ")" : std::string());
      return false;
    }
  }
  return true;
}

fs::path FindFileIgnoringCase(const fs::path& dir, std::string_view name) {
  return FindEntry(dir, name, /*want_directory=*/false)
      .value_or(dir / fs::path(std::string(name)));
}

bool EnsureManual(const Folders& folders, const fs::path& shipped,
                  std::string* error) {
  std::error_code ec;
  if (shipped.empty() || !fs::is_regular_file(shipped, ec)) return true;
  const fs::path target = FindFileIgnoringCase(folders.manual, kManualFileName);
  if (fs::exists(target, ec)) return true;
  std::string bytes;
  if (!ReadFileBytes(shipped, &bytes, error)) return false;
  return WriteFileBytesAtomic(target, bytes, error);
}

}  // namespace veltrano
