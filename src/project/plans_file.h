#ifndef VELTRANO_PROJECT_PLANS_FILE_H_
#define VELTRANO_PROJECT_PLANS_FILE_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "project/plans.h"

namespace veltrano {

// A project's drawings lie in a folder beside its file, named after it
// ("山田邸.xdt" → "山田邸_図面"): the PDF files as attached, and the
// measurements file. The project file itself never mentions them.
std::filesystem::path DrawingsFolderOf(const std::filesystem::path& project_path);
inline constexpr std::string_view kPlansFileName = "計測.json";
// Where a measurements file that could not be read is set aside before a
// new one is written.
inline constexpr std::string_view kDamagedPlansFileName = "計測.json.damaged";
// The largest measurements file read (far beyond any real project).
inline constexpr std::uintmax_t kLargestPlansFile = 64u << 20;

// How the measurements file is written and read (UTF-8 JSON, its schema
// versioned): the library that does it lives beside the faces.
class PlansFormat {
 public:
  virtual ~PlansFormat() = default;
  virtual std::string Encode(const PlanSet& plans) const = 0;
  // False, with the reason, for text that is not a measurements file of a
  // schema this program reads, or that holds what no drawing could
  // (a measurement on a page there is not, a point not finite, ...).
  virtual bool Decode(std::string_view text, PlanSet* plans, std::string* error) const = 0;
};

// What reading a drawings folder found.
enum class PlansRead {
  kNone,     // no folder, or one without a measurements file: no drawings
  kRead,     // the drawings and measurements
  kDamaged,  // a measurements file that cannot be read (`error` says why)
};
PlansRead ReadPlansFolder(const std::filesystem::path& folder, const PlansFormat& format,
                          PlanSet* plans, std::string* error);
// Writes the measurements file atomically (the folder made when missing);
// false with the reason.
bool WritePlansFolder(const std::filesystem::path& folder, const PlansFormat& format,
                      const PlanSet& plans, std::string* error);
// Copies the PDF files of `plans`' drawings from one drawings folder to
// another (Save As); a file missing at `from` is skipped. False with the
// reason when a copy fails.
bool CopyDrawings(const std::filesystem::path& from, const std::filesystem::path& to,
                  const PlanSet& plans, std::string* error);
// Copies `pdf` into `folder` (made when missing) under its own name, or
// "name(2).pdf" and so on when that is taken: the name it got, or nothing
// with the reason.
std::optional<std::string> CopyIntoDrawingsFolder(const std::filesystem::path& pdf,
                                                  const std::filesystem::path& folder,
                                                  std::string* error);

}  // namespace veltrano

#endif  // VELTRANO_PROJECT_PLANS_FILE_H_
