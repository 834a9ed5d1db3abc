// Any bytes opened as a project data file: the reader neither crashes nor
// hangs, and allocates in proportion to what it is given (a size record
// alone allocates nothing). What it built is written again, and those
// lines, read once more, give the same lines back: whatever the writer
// makes, the reader takes whole (unless a capacity cut something, which the
// reader then reports). Inputs whose sheet lines are out of step with their
// rooms are refused by the reader and end there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cp932.h"
#include "calc/text_file.h"
#include "project/project_file.h"
#include "project/project.h"
#include "port/dialogs.h"

namespace {

// Lines as the project reader keeps them: split as a file's lines are,
// only the lines with a record tag, decoded from CP932.
std::vector<std::string> RecordLines(std::string_view text) {
  std::vector<std::string> lines;
  veltrano::ForEachLineIn(text, [&](std::string_view line) {
    if (veltrano::IsProjectRecordLine(line)) {
      lines.push_back(veltrano::Cp932ToUtf8(line));
    }
    return true;
  });
  return lines;
}

// The tables as opening a file finds them, made once: emptied, with the
// summary tables left without their laid-out headings, so that each input
// is read, written and read again without writing and reading those
// headings every time. (The summary tables of a file come from its size
// records; only a table the file gives no size keeps its laid-out size.)
const veltrano::Project& StartTables() {
  static const veltrano::Project tables = [] {
    veltrano::Project t;
    t.Reset(/*keep_unit_prices=*/false);
    for (veltrano::SharedTable& g : t.interior_summaries()) g = veltrano::TextGrid();
    for (veltrano::SharedTable& g : t.exterior_summaries()) g = veltrano::TextGrid();
    t.fittings_summary() = veltrano::TextGrid();
    return t;
  }();
  return tables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  veltrano::SilentDialogs dialogs(veltrano::Answer::kCancel);
  veltrano::Progress progress;

  veltrano::Project tables = StartTables();
  const veltrano::ProjectReadResult first = veltrano::ParseProjectLines(
      RecordLines(input), &tables, dialogs, progress);
  if (first.failed) return 0;  // sheet lines out of step with the rooms
  // A size record may declare a table of up to 32 MB of separators, which
  // the writer writes back; the round trip is left to the small ones, so
  // that the fuzzer spends its time on the reader.
  double bytes = 0;
  auto add = [&](const veltrano::TextGrid& g) {
    bytes += static_cast<double>(g.rows()) * (g.cols() + 12);
  };
  for (const veltrano::TextGrid& g : tables.interior_summaries()) add(g);
  for (const veltrano::TextGrid& g : tables.exterior_summaries()) add(g);
  add(tables.fittings_summary());
  if (bytes > 8 << 10) return 0;
  const std::vector<std::string> written = veltrano::BuildProjectLines(tables);

  veltrano::Project again = StartTables();
  const veltrano::ProjectReadResult second =
      veltrano::ParseProjectLines(written, &again, dialogs, progress);
  if (second.cut.empty() && veltrano::BuildProjectLines(again) != written) {
    std::abort();
  }
  return 0;
}
