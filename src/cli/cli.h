#ifndef VELTRANO_CLI_CLI_H_
#define VELTRANO_CLI_CLI_H_

#include <iosfwd>
#include <string>
#include <vector>

namespace veltrano {

// Exit statuses of the command-line tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs `veltrano-cli` with the arguments after the program name.
int RunCli(const std::vector<std::string>& args, std::istream& in,
           std::ostream& out, std::ostream& err);

}  // namespace veltrano

#endif  // VELTRANO_CLI_CLI_H_
