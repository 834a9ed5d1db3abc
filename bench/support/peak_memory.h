#ifndef VELTRANO_BENCH_SUPPORT_PEAK_MEMORY_H_
#define VELTRANO_BENCH_SUPPORT_PEAK_MEMORY_H_

#include <functional>

namespace veltrano::bench {

// The resident memory of one run of `work`, in bytes, measured in a child
// process that first returns its free heap to the system and resets its
// peak: `growth` is the peak over the memory before the run, `peak` the
// peak itself. False when the child did not report.
struct PeakMemory {
  double growth = 0;
  double peak = 0;
};
bool MeasurePeakMemory(const std::function<void()>& work, PeakMemory* memory);

}  // namespace veltrano::bench

#endif  // VELTRANO_BENCH_SUPPORT_PEAK_MEMORY_H_
