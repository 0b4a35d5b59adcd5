#include "bench/pace_measure.h"

#include <time.h>

#include <algorithm>

#include "bench/alloc_count.h"
#include "bench/command_table.h"
#include "emulator/socket_server.h"
#include "velkor_link.hpp"

namespace velkor::bench {

namespace {

double now_ms(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

bool is_poll(const emu::TraceEntry &e) {
  return e.direction == emu::TraceEntry::kToReader && e.report[0] == 0x03 &&
         e.report[1] == CTRL_POLL;
}

}  // namespace

std::vector<PaceSample> measure_pace(const BenchCase &bench_case, int runs) {
  emu::SocketServer server(bench_case.options);
  const test::CommandRow &row = row_named(bench_case.command);
  PreparedCall command = server.with_emulator([&](emu::Emulator &e) {
    return prepare_call(row, e.reader(), server.handle(), bench_case.adjust);
  });

  std::vector<PaceSample> samples;
  for (int i = 0; i < runs; ++i) {
    server.with_emulator([](emu::Emulator &e) {
      e.trace().entries.clear();
      e.trace().record = true;
    });
    PaceSample s;
    const double wall0 = now_ms(CLOCK_MONOTONIC);
    const double cpu0 = now_ms(CLOCK_THREAD_CPUTIME_ID);
    {
      const AllocationCount allocations;
      s.result = command.run();
      s.allocations = allocations.count();
    }
    s.cpu_ms = now_ms(CLOCK_THREAD_CPUTIME_ID) - cpu0;
    s.wall_ms = now_ms(CLOCK_MONOTONIC) - wall0;
    // Every poll the call sent was answered before it returned, so the
    // trace already holds them all.
    s.polls = server.with_emulator([](emu::Emulator &e) {
      e.trace().record = false;
      return static_cast<unsigned>(
          std::count_if(e.trace().entries.begin(), e.trace().entries.end(), is_poll));
    });
    samples.push_back(s);
  }
  return samples;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace velkor::bench
