// The shipped library keeps the protocol's pace: a short version of the pace
// benchmarks, over a socket pair in real time, that fails when a call takes
// more than 2 % longer than its poll cycles' pauses, when the calling thread
// spends more than 1 % of the wall time on the CPU, or when a call allocates.
// Medians of several runs, so that one unlucky wake-up on a busy machine
// does not decide.
#include <gtest/gtest.h>

#include <vector>

#include "bench/command_table.h"
#include "bench/pace_measure.h"

namespace velkor::bench {
namespace {

constexpr double kMostPace = 1.02;
constexpr double kMostCpuShare = 0.01;

constexpr emu::ReaderOptions kFortyTags{.seed = 1, .gen2_tags = 40, .iso6b_tags = 0};

void expect_pace(const BenchCase &bench_case, int runs) {
  const std::vector<PaceSample> samples = measure_pace(bench_case, runs);
  std::vector<double> pace, cpu_share;
  for (const PaceSample &s : samples) {
    EXPECT_TRUE(answered_by_reader(s.result)) << "returned " << s.result;
    EXPECT_EQ(s.allocations, 0u) << "heap allocations in one call";
    EXPECT_EQ(s.polls > 1, !bench_case.single_frame) << s.polls << " poll cycles";
    pace.push_back(s.pace());
    cpu_share.push_back(s.cpu_share());
  }
  EXPECT_LE(median(pace), kMostPace) << "median wall time over the poll cycles' pauses";
  EXPECT_LE(median(cpu_share), kMostCpuShare) << "median CPU time over wall time";
}

TEST(Pace, SingleFrameCommand) {
  expect_pace({"identity", "", "GetReaderInformation", {}}, 7);
}

TEST(Pace, Gen2InventoryOfFortyTags) {
  expect_pace({"gen2_inventory_40", "", "Inventory_G2", kFortyTags, every_tag, false}, 3);
}

TEST(Pace, BufferReadOfFortyTags) {
  // The buffer collector yields the processor once a cycle besides its pause.
  expect_pace({"buffer_read_40", "", "ReadBuffer_G2", kFortyTags, nullptr, false}, 3);
}

}  // namespace
}  // namespace velkor::bench
