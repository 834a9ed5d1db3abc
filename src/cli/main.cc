#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#if VELTRANO_PDF_OUTPUT
namespace veltrano {
void InstallPdfOutput();
}  // namespace veltrano
#endif

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
#if VELTRANO_PDF_OUTPUT
  veltrano::InstallPdfOutput();
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  return veltrano::RunCli(args, std::cin, std::cout, std::cerr);
}
