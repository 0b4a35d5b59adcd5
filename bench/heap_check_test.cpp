// No command call takes memory from the heap: every command function runs
// once against the emulated reader on the fake platform while the calling
// thread's allocations are counted (the emulator's own left out).
// GetChannelList, which sends no command, is the exception by design.
#include <gtest/gtest.h>

#include <cstdlib>

#include "bench/alloc_count.h"
#include "bench/command_table.h"
#include "bench/uncounted_emulated_device.h"

namespace velkor::bench {
namespace {

TEST(AllocationCount, CountsOperatorNewAndMalloc) {
  const AllocationCount count;
  // Through volatile pointers, so that the compiler cannot drop the pairs.
  int *volatile block = new int(7);
  delete block;
  void *volatile raw = std::malloc(16);
  std::free(raw);
  EXPECT_EQ(count.count(), 2u);
}

TEST(AllocationCount, LeavesOutWhatRunsPaused) {
  const AllocationCount count;
  {
    const AllocationPause pause;
    void *volatile raw = std::malloc(16);
    std::free(raw);
  }
  EXPECT_EQ(count.count(), 0u);
}

// Each row runs on a fresh emulated reader, its call laid out beforehand
// (laying out allocates; the call must not).
class EveryCommand : public ::testing::Test {
 protected:
  void TearDown() override { fake::reset(); }

  int run_counted(const test::CommandRow &row, const emu::Faults *faults,
                  std::size_t &allocations) {
    fake::reset();
    UncountedEmulatedDevice device;
    const VelkorHandle handle = fake::attach(device);
    if (faults != nullptr) device.emulator.inject_always(*faults);
    PreparedCall command = prepare_call(row, device.emulator.reader(), handle);
    const AllocationCount count;
    const int result = command.run();
    allocations = count.count();
    return result;
  }
};

TEST_F(EveryCommand, IsAnsweredWithoutAHeapAllocation) {
  for (const test::CommandRow &row : test::command_rows()) {
    std::size_t allocations = 0;
    EXPECT_EQ(run_counted(row, nullptr, allocations), row.clean) << row.name;
    EXPECT_EQ(allocations, 0u) << row.name;
  }
}

TEST_F(EveryCommand, FailsWithoutAHeapAllocation) {
  // Link failures take their own paths through the collectors: a reader that
  // never answers, so every collector runs into its time limit.  Functions
  // that wait for no reply cannot fail that way.
  const emu::Faults silence{.silence = true};
  for (const test::CommandRow &row : test::command_rows()) {
    std::size_t allocations = 0;
    const bool reads_a_reply = row.collector != test::Collector::kLocal &&
                               row.collector != test::Collector::kControl;
    EXPECT_EQ(run_counted(row, &silence, allocations),
              reads_a_reply ? STATUS_COMM_ERROR : STATUS_OK)
        << row.name;
    EXPECT_EQ(allocations, 0u) << row.name;
  }
}

// The one function that allocates, by design: the channel texts of regions 1
// to 4 are fresh heap blocks that the caller releases.  It sends nothing.
TEST(ChannelList, IsTheOneFunctionThatAllocates) {
  char *list[VELKOR_MAX_CHANNELS] = {};
  {
    const AllocationCount count;
    ASSERT_EQ(GetChannelList(1, list), STATUS_OK);
    EXPECT_EQ(count.count(), 20u) << "one text per channel of region 1";
  }
  FreeChannelList(list);
  {
    const AllocationCount count;
    ASSERT_EQ(GetChannelList(5, list), STATUS_OK);
    EXPECT_EQ(count.count(), 0u) << "region 5's texts are the library's constants";
  }
}

}  // namespace
}  // namespace velkor::bench
