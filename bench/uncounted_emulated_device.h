// The emulated reader on the fake platform, its own allocations left out of
// the calling thread's allocation count: the emulator runs inside the
// library's reads and writes there, but its heap is not the library's.
#ifndef VELKOR_BENCH_UNCOUNTED_EMULATED_DEVICE_H
#define VELKOR_BENCH_UNCOUNTED_EMULATED_DEVICE_H

#include "bench/alloc_count.h"
#include "tests/support/emulated_device.h"

namespace velkor::bench {

class UncountedEmulatedDevice : public test::EmulatedDevice {
 public:
  using test::EmulatedDevice::EmulatedDevice;

  int write(const fake::Report &report) override {
    const AllocationPause pause;
    return test::EmulatedDevice::write(report);
  }
  std::optional<std::uint32_t> read(fake::Report &report) override {
    const AllocationPause pause;
    return test::EmulatedDevice::read(report);
  }
};

}  // namespace velkor::bench

#endif  // VELKOR_BENCH_UNCOUNTED_EMULATED_DEVICE_H
