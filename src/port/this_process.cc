#include "port/this_process.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace veltrano {

ProcessIdentity ThisProcess() {
  ProcessIdentity self;
  for (const char* name : {"USER", "LOGNAME"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      self.user = value;
      break;
    }
  }
  if (self.user.empty()) {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr) {
      self.user = entry->pw_name;
    } else {
      self.user = std::to_string(getuid());
    }
  }
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0) self.host = host;
  if (self.host.empty()) self.host = "localhost";
  self.pid = getpid();
  return self;
}

bool ProcessAlive(std::int64_t pid) {
  if (pid <= 0 || pid > 0x7fffffff) return false;
  // Signal 0 only asks; a process of another user answers EPERM.
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::int64_t SecondsNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string LocalTimeText(std::int64_t seconds) {
  const auto moment = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&moment, &local) == nullptr) return "";
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
  return text;
}

}  // namespace veltrano
