// Writes the largest project the program allows (500 rooms, 100 places,
// 599 fittings, every summary aggregated) to the file named:
//   veltrano_largest_project OUT.xdt
#include <cstdio>
#include <exception>

#include "big_project.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: veltrano_largest_project OUT.xdt\n");
    return 2;
  }
  try {
    veltrano::testing::WriteLargestProjectFile(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veltrano_largest_project: %s\n", e.what());
    return 1;
  }
  return 0;
}
