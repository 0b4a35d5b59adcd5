// CPU cost of one command exchange on the fake platform, whose clock is
// virtual: the poll cycles' pauses cost no time, so what is measured is the
// work of the library (and of the device behind it).  Each case runs against
// the emulated reader, and against a replay of that reader's reports, which
// leaves the library's own cost.  Every case also counts the heap
// allocations of one call (the emulator's own left out).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/alloc_count.h"
#include "bench/bench_cases.h"
#include "bench/command_table.h"
#include "bench/replay_device.h"
#include "bench/uncounted_emulated_device.h"

namespace velkor::bench {
namespace {

enum class Reader { kEmulated, kReplayed };

void exchange_cost(benchmark::State &state, const BenchCase &bench_case, Reader reader) {
  fake::reset();
  UncountedEmulatedDevice emulated(bench_case.options);
  VelkorHandle handle = fake::attach(emulated);
  PreparedCall command = prepare_call(row_named(bench_case.command),
                                      emulated.emulator.reader(), handle, bench_case.adjust);

  // One call outside the timing: its result, allocations and virtual time,
  // and the reports the replay serves.
  emulated.emulator.trace().record = true;
  const std::uint32_t start = fake::clock();
  int result = 0;
  std::size_t allocations = 0;
  {
    const AllocationCount count;
    result = command.run();
    allocations = count.count();
  }
  const std::uint32_t virtual_ms = fake::clock() - start;
  emulated.emulator.trace().record = false;
  if (!answered_by_reader(result)) {
    state.SkipWithError("the reader did not answer");
    return;
  }

  std::unique_ptr<ReplayDevice> replay;
  if (reader == Reader::kReplayed) {
    replay = std::make_unique<ReplayDevice>(emulated.emulator.trace());
    fake::detach(handle);
    handle = fake::attach(*replay);
    command.call.handle = handle;
  }
  emulated.emulator.trace().entries.clear();

  for (auto _ : state) benchmark::DoNotOptimize(command.run());

  state.SetLabel(bench_case.label);
  state.counters["allocs"] = static_cast<double>(allocations);
  state.counters["virtual_ms"] = virtual_ms;
  fake::reset();
}

}  // namespace
}  // namespace velkor::bench

int main(int argc, char **argv) {
  using namespace velkor::bench;
  for (const BenchCase &c : kBenchCases) {
    benchmark::RegisterBenchmark((std::string("exchange/") + c.key + "/emulated").c_str(),
                                 exchange_cost, c, Reader::kEmulated);
    benchmark::RegisterBenchmark((std::string("exchange/") + c.key + "/replayed").c_str(),
                                 exchange_cost, c, Reader::kReplayed);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
