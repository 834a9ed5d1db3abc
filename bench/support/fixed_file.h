#ifndef VELTRANO_BENCH_SUPPORT_FIXED_FILE_H_
#define VELTRANO_BENCH_SUPPORT_FIXED_FILE_H_

#include <filesystem>
#include <optional>

#include "port/dialogs.h"

namespace veltrano {

// File dialogs of the benchmarks: every one chooses `path`.
class FixedFile : public FileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest&) override {
    return path;
  }
  std::optional<std::filesystem::path> ChooseFileToSave(const FileDialogRequest&) override {
    return path;
  }
  std::filesystem::path path;
};

}  // namespace veltrano

#endif  // VELTRANO_BENCH_SUPPORT_FIXED_FILE_H_
