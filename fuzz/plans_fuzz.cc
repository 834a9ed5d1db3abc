// Any bytes as the measurements file of a project's drawings: the reader
// neither crashes nor hangs, whatever it reads measures every shape it
// holds, and what it reads is written back to the same reading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/plans_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const veltrano::PlansJson format;
  veltrano::PlanSet plans;
  std::string error;
  if (!format.Decode(text, &plans, &error)) {
    if (error.empty() || !(plans == veltrano::PlanSet())) std::abort();
    return 0;
  }
  for (std::size_t i = 0; i < plans.measurements().size(); ++i) {
    const std::optional<veltrano::Measured> measured = plans.MeasureOf(static_cast<int>(i));
    if (!measured) std::abort();
    (void)veltrano::SentText(plans.measurements()[i].kind, *measured);
  }
  veltrano::PlanSet again;
  if (!format.Decode(format.Encode(plans), &again, &error) || !(again == plans)) std::abort();
  return 0;
}
