#include "project/plans_file.h"

#include <fstream>
#include <set>
#include <system_error>
#include <vector>

#include "calc/text_file.h"

namespace veltrano {

namespace fs = std::filesystem;

namespace {

// Copies `from` to `to` through an atomic writer: the copy appears whole or
// not at all, flushed to disk, and is checked against the original's size.
bool CopyFileAtomically(const fs::path& from, const fs::path& to, std::string* error) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(from, ec);
  std::ifstream in(from, std::ios::binary);
  if (ec || !in) {
    *error = from.filename().string() + " を読めませんでした。";
    return false;
  }
  AtomicFileWriter writer;
  if (!writer.Open(to, error)) return false;
  std::vector<char> buffer(1u << 20);
  std::uintmax_t copied = 0;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    if (!writer.Write(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) break;
    copied += static_cast<std::uintmax_t>(got);
  }
  if (in.bad() || copied != size) {
    writer.Abandon();
    *error = from.filename().string() + " を最後まで読めませんでした。";
    return false;
  }
  return writer.Commit(error);
}

}  // namespace

fs::path DrawingsFolderOf(const fs::path& project_path) {
  if (project_path.empty()) return {};
  return project_path.parent_path() / (project_path.stem().string() + "_図面");
}

PlansRead ReadPlansFolder(const fs::path& folder, const PlansFormat& format, PlanSet* plans,
                          std::string* error) {
  *plans = PlanSet();
  std::error_code ec;
  const fs::path file = folder / kPlansFileName;
  if (folder.empty() || !fs::exists(file, ec)) return PlansRead::kNone;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (!ec && size > kLargestPlansFile) {
    *error = std::string(kPlansFileName) + " が大きすぎます。";
    return PlansRead::kDamaged;
  }
  std::string bytes;
  if (!ReadFileBytes(file, &bytes, error)) return PlansRead::kDamaged;
  PlanSet read;
  if (!format.Decode(bytes, &read, error)) return PlansRead::kDamaged;
  *plans = std::move(read);
  return PlansRead::kRead;
}

bool WritePlansFolder(const fs::path& folder, const PlansFormat& format, const PlanSet& plans,
                      std::string* error) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    *error = folder.filename().string() + " を作れませんでした。";
    return false;
  }
  const std::string bytes = format.Encode(plans);
  const fs::path file = folder / kPlansFileName;
  if (!WriteFileBytesAtomic(file, bytes, error)) return false;
  // Read back: what is on the disk is what was meant.
  std::string check;
  if (!ReadFileBytes(file, &check, error)) return false;
  if (check != bytes) {
    *error = std::string(kPlansFileName) + " を正しく書けませんでした。";
    return false;
  }
  return true;
}

bool CopyDrawings(const fs::path& from, const fs::path& to, const PlanSet& plans,
                  std::string* error) {
  std::error_code ec;
  if (plans.drawings().empty()) return true;
  if (fs::exists(to, ec) && fs::exists(from, ec) && fs::equivalent(from, to, ec)) return true;
  fs::create_directories(to, ec);
  if (ec) {
    *error = to.filename().string() + " を作れませんでした。";
    return false;
  }
  std::set<std::string> done;
  for (const PlanDrawing& drawing : plans.drawings()) {
    if (!done.insert(drawing.file_name).second) continue;
    const fs::path source = from / fs::path(drawing.file_name);
    if (!fs::is_regular_file(source, ec)) continue;
    if (!CopyFileAtomically(source, to / fs::path(drawing.file_name), error)) return false;
  }
  return true;
}

std::optional<std::string> CopyIntoDrawingsFolder(const fs::path& pdf, const fs::path& folder,
                                                  std::string* error) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    *error = folder.filename().string() + " を作れませんでした。";
    return std::nullopt;
  }
  // A name the measurements file could not keep is replaced.
  const bool plain = IsPlainFileName(pdf.filename().string());
  const std::string stem = plain ? pdf.stem().string() : "図面";
  const std::string extension = plain ? pdf.extension().string() : ".pdf";
  std::string name = stem + extension;
  for (int n = 2; fs::exists(folder / name, ec); ++n) {
    // The file already there is this very one (attached again from the
    // drawings folder): it is not copied onto itself.
    if (fs::equivalent(folder / name, pdf, ec)) return name;
    name = stem + "(" + std::to_string(n) + ")" + extension;
  }
  if (!CopyFileAtomically(pdf, folder / name, error)) return std::nullopt;
  return name;
}

}  // namespace veltrano
