#ifndef VELTRANO_TESTS_SUPPORT_SCRATCH_FOLDER_H_
#define VELTRANO_TESTS_SUPPORT_SCRATCH_FOLDER_H_

#include <unistd.h>

#include <filesystem>
#include <string>

#include "gtest/gtest.h"

namespace veltrano::testing {

// An empty folder of the running test's own, removed with everything in it
// when the test ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix)
      : path_(std::filesystem::temp_directory_path() /
              (prefix + "_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace veltrano::testing

#endif  // VELTRANO_TESTS_SUPPORT_SCRATCH_FOLDER_H_
