#ifndef VELTRANO_CONFIG_RECENT_PROJECTS_H_
#define VELTRANO_CONFIG_RECENT_PROJECTS_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrano {

// "最近使った物件": the project files last opened, made or saved under a
// new name, the latest first, each once, at most kMost. Kept in a file of
// the program's own ("Recent.txt" in the settings folder: UTF-8, one path
// per line), written atomically after every change; a file that cannot be
// written only loses the list, never the work.
class RecentProjects {
 public:
  static constexpr std::size_t kMost = 10;
  static constexpr const char* kFileName = "Recent.txt";

  explicit RecentProjects(std::filesystem::path file) : file_(std::move(file)) {}

  // Reads the list; a missing or unreadable file is an empty list.
  void Load();
  const std::vector<std::filesystem::path>& entries() const { return entries_; }
  // Puts `project` first; false when the list could not be written.
  bool Add(const std::filesystem::path& project);
  // Takes `project` off the list (a file that is gone).
  bool Remove(const std::filesystem::path& project);
  std::uint64_t revision() const { return revision_; }

 private:
  bool Save();

  std::filesystem::path file_;
  std::vector<std::filesystem::path> entries_;
  std::uint64_t revision_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_CONFIG_RECENT_PROJECTS_H_
