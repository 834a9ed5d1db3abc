// The storage of a table of texts: a table as wide as a summary table may be
// declared holds only what is written into it.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "calc/grid.h"
#include "gtest/gtest.h"

namespace veltrano {
namespace {

TEST(TextGridTest, AWideTableHoldsOnlyWhatIsWritten) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit does not suit the sanitizer";
#else
  // 100 rows of 30 million columns, a few cells written at the start of
  // each row: a child process does it within 200 MB more address space.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::ifstream status("/proc/self/statm");
    unsigned long pages = 0;
    status >> pages;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max =
        pages * static_cast<unsigned long>(::sysconf(_SC_PAGESIZE)) + (200ul << 20);
    ::setrlimit(RLIMIT_AS, &limit);
    try {
      TextGrid grid(100, 30'000'000);
      for (int r = 0; r < 100; ++r) {
        for (int c = 0; c < 20; ++c) grid.Set(r, c, "x");
      }
      grid.SetRows(101);
      const bool kept = grid.At(99, 19) == "x" && grid.At(99, 20).empty() &&
                        grid.At(100, 0).empty();
      ::_exit(kept ? 0 : 1);
    } catch (...) {
      ::_exit(2);
    }
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
#endif
}

}  // namespace
}  // namespace veltrano
