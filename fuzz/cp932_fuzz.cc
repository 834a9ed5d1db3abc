// Any bytes survive CP932 -> UTF-8 -> CP932 unchanged, and any text, however
// malformed, encodes without crashing, in agreement with ByteWidth and
// Cp932CanHold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string utf8 = veltrano::Cp932ToUtf8(input);
  std::string bytes;
  if (!veltrano::Utf8ToCp932(utf8, &bytes) || bytes != input) std::abort();
  if (veltrano::ByteWidth(utf8) != input.size()) std::abort();

  std::string out;
  std::string first;
  const bool written = veltrano::Utf8ToCp932(input, &out, &first);
  if (written != first.empty()) std::abort();
  if (veltrano::Cp932CanHold(input) && !written) std::abort();
  if (veltrano::Cp932CanHold(input) !=
      veltrano::FirstUnholdableChar(input).empty()) {
    std::abort();
  }
  if (written && veltrano::ByteWidth(input) != out.size()) std::abort();
  return 0;
}
