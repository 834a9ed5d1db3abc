#ifndef VELTRANO_PORT_THIS_PROCESS_H_
#define VELTRANO_PORT_THIS_PROCESS_H_

#include <cstdint>
#include <string>

namespace veltrano {

// Who is running the program, where: what a lock file names.
struct ProcessIdentity {
  std::string user;
  std::string host;
  std::int64_t pid = 0;
};

// This process: the login name (the user's name when there is none), the
// host name and the process id.
ProcessIdentity ThisProcess();

// True while a process of this host with the id `pid` exists (one of
// another user's included).
bool ProcessAlive(std::int64_t pid);

// Seconds since 1970-01-01 UTC.
std::int64_t SecondsNow();

// A moment as local time, "2026-12-08 07:35".
std::string LocalTimeText(std::int64_t seconds);

}  // namespace veltrano

#endif  // VELTRANO_PORT_THIS_PROCESS_H_
