#include "support/peak_memory.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace veltrano::bench {
namespace {

// Resident memory of this process from /proc/self/status, in bytes: "VmRSS"
// now or "VmHWM" at its peak.
double StatusBytes(std::string_view key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(key)) {
      return std::strtod(line.c_str() + key.size() + 1, nullptr) * 1024;
    }
  }
  return 0;
}

}  // namespace

bool MeasurePeakMemory(const std::function<void()>& work, PeakMemory* memory) {
  int fds[2];
  if (::pipe(fds) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return false;
  }
  if (child == 0) {
    ::close(fds[0]);
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = StatusBytes("VmRSS:");
    work();
    const double sizes[2] = {before, StatusBytes("VmHWM:")};
    [[maybe_unused]] const ssize_t written =
        ::write(fds[1], sizes, sizeof(sizes));
    ::_exit(0);
  }
  ::close(fds[1]);
  double sizes[2] = {0, 0};
  const bool got = ::read(fds[0], sizes, sizeof(sizes)) ==
                   static_cast<ssize_t>(sizeof(sizes));
  ::close(fds[0]);
  ::waitpid(child, nullptr, 0);
  if (!got) return false;
  memory->growth = sizes[1] - sizes[0];
  memory->peak = sizes[1];
  return true;
}

}  // namespace veltrano::bench
