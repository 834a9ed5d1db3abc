#ifndef VELTRANO_CALC_TEXT_FILE_H_
#define VELTRANO_CALC_TEXT_FILE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Reading and writing the program's text files: CP932 on disk, UTF-8 in
// memory, lines ending in CR LF. Writes go to a temporary file in the same
// folder that then replaces the target, so a failed or interrupted write
// leaves the old file as it was.

namespace veltrano {

// Reads the whole file into `bytes`. On failure returns false and puts a
// short reason, naming the file, in `error`.
bool ReadFileBytes(const std::filesystem::path& path, std::string* bytes,
                   std::string* error);

// Replaces the file with `bytes`: they are written to a temporary file in the
// same folder, flushed to disk and renamed over the target. A replaced file
// keeps its permission bits. On failure returns false with the reason in
// `error`; the old file (if any) is untouched and the temporary is removed.
bool WriteFileBytesAtomic(const std::filesystem::path& path,
                          std::string_view bytes, std::string* error);

// Reads a CP932 text file as UTF-8 lines. Lines end at CR LF or at a lone LF;
// a last line without a line end is a line too, while a file ending in a line
// end has no empty line after it. A CR not followed by LF stays in the line.
bool ReadTextLines(const std::filesystem::path& path,
                   std::vector<std::string>* lines, std::string* error);

// Writes the lines in CP932, each followed by CR LF, through
// WriteFileBytesAtomic. Refuses, leaving the old file untouched, when a line
// holds a character CP932 cannot hold (the error names it) or an LF, which
// would split the line when it is read back.
bool WriteTextLinesAtomic(const std::filesystem::path& path,
                          const std::vector<std::string>& lines,
                          std::string* error);

}  // namespace veltrano

#endif  // VELTRANO_CALC_TEXT_FILE_H_
