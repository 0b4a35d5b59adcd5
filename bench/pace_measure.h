// Measures command calls in real time against the emulator over a socket
// pair: the call's wall time against its floor, the calling thread's CPU
// time, and its heap allocations.
#ifndef VELKOR_BENCH_PACE_MEASURE_H
#define VELKOR_BENCH_PACE_MEASURE_H

#include <cstddef>
#include <vector>

#include "bench/bench_cases.h"
#include "emulator/reader.h"

namespace velkor::bench {

/// Every poll cycle pauses this long: no call can be faster than its poll
/// cycles times this.
constexpr double kPollPauseMs = 50.0;

struct PaceSample {
  int result = 0;               ///< what the call returned
  unsigned polls = 0;           ///< poll cycles the reader answered
  double wall_ms = 0;           ///< the call's wall time
  double cpu_ms = 0;            ///< the calling thread's CPU time in the call
  std::size_t allocations = 0;  ///< heap allocations of the calling thread

  double floor_ms() const { return polls * kPollPauseMs; }
  /// Wall time over the floor (1 is the protocol's own pace).
  double pace() const { return wall_ms / floor_ms(); }
  /// CPU time over wall time: near 0 for a thread that sleeps while it waits.
  double cpu_share() const { return cpu_ms / wall_ms; }
};

/// Runs a case's command `runs` times on a fresh emulated reader served over
/// a socket pair.
std::vector<PaceSample> measure_pace(const BenchCase &bench_case, int runs);

/// The median (the mean of the middle two for an even count); 0 for none.
double median(std::vector<double> values);

}  // namespace velkor::bench

#endif  // VELKOR_BENCH_PACE_MEASURE_H
