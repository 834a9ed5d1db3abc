#include "qt/replacing_file_device.h"

#include <string_view>

#include "calc/text_util.h"

namespace veltrano {

namespace {

// Enough for a trailer and the line ends after it.
constexpr std::size_t kTailBytes = 64;

}  // namespace

ReplacingFileDevice::~ReplacingFileDevice() { Abandon(); }

bool ReplacingFileDevice::Start(const std::filesystem::path& path, std::string* error) {
  tail_.clear();
  if (!writer_.Open(path, error)) return false;
  return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool ReplacingFileDevice::Commit(std::string_view trailer, std::string* error) {
  if (isOpen()) close();
  if (!writer_.failed() && !EndsWith(trailer)) {
    writer_.Abandon();
    *error = "ファイルが最後まで書かれていません: " + PathText(writer_.path());
    return false;
  }
  return writer_.Commit(error);
}

void ReplacingFileDevice::Abandon() {
  if (isOpen()) close();
  writer_.Abandon();
}

bool ReplacingFileDevice::EndsWith(std::string_view text) const {
  std::string_view tail(tail_);
  while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' ')) {
    tail.remove_suffix(1);
  }
  return tail.ends_with(text);
}

qint64 ReplacingFileDevice::readData(char*, qint64) { return -1; }

qint64 ReplacingFileDevice::writeData(const char* data, qint64 size) {
  const std::string_view bytes(data, static_cast<std::size_t>(size));
  if (!writer_.Write(bytes)) return -1;
  tail_.append(bytes.size() > kTailBytes ? bytes.substr(bytes.size() - kTailBytes) : bytes);
  if (tail_.size() > kTailBytes) tail_.erase(0, tail_.size() - kTailBytes);
  return size;
}

}  // namespace veltrano
