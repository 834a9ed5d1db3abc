#include "config/recent_projects.h"

#include <algorithm>
#include <system_error>

#include "calc/text_file.h"

namespace veltrano {

namespace fs = std::filesystem;

namespace {

// The same file, however it was named.
bool SameFile(const fs::path& a, const fs::path& b) {
  return a.lexically_normal() == b.lexically_normal();
}

}  // namespace

void RecentProjects::Load() {
  entries_.clear();
  ++revision_;
  std::string bytes;
  std::string error;
  if (!ReadFileBytes(file_, &bytes, &error)) return;
  std::size_t start = 0;
  while (start < bytes.size() && entries_.size() < kMost) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const fs::path path(line);
    if (path.is_absolute() &&
        std::none_of(entries_.begin(), entries_.end(),
                     [&](const fs::path& e) { return SameFile(e, path); })) {
      entries_.push_back(path);
    }
    start = end + 1;
  }
}

bool RecentProjects::Add(const fs::path& project) {
  // A name with a line break could not be kept one per line.
  if (project.empty() || project.string().find_first_of("\r\n") != std::string::npos) return true;
  std::error_code ec;
  fs::path absolute = fs::absolute(project, ec);
  if (ec) absolute = project;
  absolute = absolute.lexically_normal();
  std::erase_if(entries_, [&](const fs::path& e) { return SameFile(e, absolute); });
  entries_.insert(entries_.begin(), absolute);
  if (entries_.size() > kMost) entries_.resize(kMost);
  ++revision_;
  return Save();
}

bool RecentProjects::Remove(const fs::path& project) {
  const std::size_t before = entries_.size();
  std::erase_if(entries_, [&](const fs::path& e) { return SameFile(e, project); });
  if (entries_.size() == before) return true;
  ++revision_;
  return Save();
}

bool RecentProjects::Save() {
  std::string bytes;
  for (const fs::path& entry : entries_) bytes += entry.string() + "\n";
  std::string error;
  return WriteFileBytesAtomic(file_, bytes, &error);
}

}  // namespace veltrano
