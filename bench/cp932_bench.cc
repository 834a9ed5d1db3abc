#include <cstddef>
#include <cstdint>
#include <string>

#include "benchmark/benchmark.h"
#include "calc/cp932.h"

namespace veltrano {
namespace {

constexpr std::size_t kFileSize = 2 * 1024 * 1024;

// A 2 MB file of takeoff-like lines: kanji, kana, half-width katakana,
// symbols, digits and commas.
std::string TypicalFile() {
  std::string line;
  Utf8ToCp932("配管用炭素鋼鋼管,SGP,100A,ﾊｲｶﾝ,12.5,ｍ,≒,①,▲3.0,継手類\r\n",
              &line);
  std::string bytes;
  while (bytes.size() + line.size() <= kFileSize) bytes += line;
  return bytes;
}

// A 2 MB file cycling through every double-byte code, other codes of
// repeated characters included.
std::string EveryCodeFile() {
  std::string bytes;
  while (bytes.size() < kFileSize) {
    for (int lead = 0x81; lead <= 0xFC && bytes.size() < kFileSize; ++lead) {
      if (lead > 0x9F && lead < 0xE0) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        bytes.push_back(static_cast<char>(lead));
        bytes.push_back(static_cast<char>(trail));
      }
    }
  }
  return bytes;
}

void Decode(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) {
    std::string utf8 = Cp932ToUtf8(bytes);
    benchmark::DoNotOptimize(utf8.data());
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void Encode(benchmark::State& state, const std::string& bytes) {
  const std::string utf8 = Cp932ToUtf8(bytes);
  std::string out;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Utf8ToCp932(utf8, &out));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_Cp932DecodeTypical2MB(benchmark::State& state) {
  Decode(state, TypicalFile());
}
void BM_Cp932EncodeTypical2MB(benchmark::State& state) {
  Encode(state, TypicalFile());
}
void BM_Cp932DecodeEveryCode2MB(benchmark::State& state) {
  Decode(state, EveryCodeFile());
}
void BM_Cp932EncodeEveryCode2MB(benchmark::State& state) {
  Encode(state, EveryCodeFile());
}

void BM_Cp932CanHoldTypical2MB(benchmark::State& state) {
  const std::string utf8 = Cp932ToUtf8(TypicalFile());
  for (auto _ : state) benchmark::DoNotOptimize(Cp932CanHold(utf8));
}

BENCHMARK(BM_Cp932DecodeTypical2MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932EncodeTypical2MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932DecodeEveryCode2MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932EncodeEveryCode2MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cp932CanHoldTypical2MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veltrano
