// Real time over a socket pair with the emulator serving on its own thread:
// each run's wall time over its floor (poll cycles times the 50 ms pause),
// the calling thread's CPU time over the wall time, and the heap allocations
// of the call.  One iteration is one call; repetitions give the medians.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_cases.h"
#include "bench/pace_measure.h"

namespace velkor::bench {
namespace {

void pace(benchmark::State &state, const BenchCase &bench_case) {
  for (auto _ : state) {
    const PaceSample s = measure_pace(bench_case, 1).front();
    state.SetIterationTime(s.wall_ms / 1e3);
    state.counters["wall_over_floor"] = s.pace();
    state.counters["cpu_over_wall"] = s.cpu_share();
    state.counters["allocs"] = static_cast<double>(s.allocations);
    state.counters["polls"] = s.polls;
    state.counters["result"] = s.result;
  }
  state.SetLabel(bench_case.label);
}

}  // namespace
}  // namespace velkor::bench

int main(int argc, char **argv) {
  using namespace velkor::bench;
  for (const BenchCase &c : kBenchCases)
    benchmark::RegisterBenchmark((std::string("pace/") + c.key).c_str(), pace, c)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
