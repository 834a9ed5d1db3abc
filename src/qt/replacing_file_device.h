#ifndef VELTRANO_QT_REPLACING_FILE_DEVICE_H_
#define VELTRANO_QT_REPLACING_FILE_DEVICE_H_

#include <QIODevice>
#include <filesystem>
#include <string>
#include <string_view>

#include "calc/text_file.h"

namespace veltrano {

// A write-only Qt device that replaces a file the way the program saves its
// own files (AtomicFileWriter): what is written goes to a temporary beside
// the file, and only Commit puts it in the file's place. A failed write is
// seen by the writer (write() returns -1) and remembered for Commit, so
// output through a Qt class that ignores write errors (QPdfWriter) is never
// taken for finished. Destroyed without a successful Commit, it removes the
// temporary and leaves the old file as it was.
class ReplacingFileDevice : public QIODevice {
 public:
  ReplacingFileDevice() = default;
  ~ReplacingFileDevice() override;

  // Starts replacing `path` and opens the device for writing; false with
  // the reason, which names `path`.
  bool Start(const std::filesystem::path& path, std::string* error);
  // Closes the device and puts the file in place, provided the bytes
  // written end with `trailer` (blanks and line ends after it aside): false
  // with the reason, the temporary removed, when a write failed, the
  // trailer is missing or the file could not be finished.
  bool Commit(std::string_view trailer, std::string* error);
  // Closes the device and removes the temporary.
  void Abandon();
  bool failed() const { return writer_.failed(); }

 protected:
  qint64 readData(char* data, qint64 size) override;
  qint64 writeData(const char* data, qint64 size) override;

 private:
  bool EndsWith(std::string_view text) const;

  AtomicFileWriter writer_;
  std::string tail_;  // the last bytes written
};

}  // namespace veltrano

#endif  // VELTRANO_QT_REPLACING_FILE_DEVICE_H_
