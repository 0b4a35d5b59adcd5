// No command call takes memory from the heap: every command function runs
// once against the emulated reader on the fake platform while the calling
// thread's allocations are counted (the emulator's own left out).
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

class EveryCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    handle = fake::attach(device);
  }
  void TearDown() override { fake::reset(); }

  UncountedEmulatedDevice device;
  VelkorHandle handle{};
};

TEST_F(EveryCommand, IsAnsweredWithoutAHeapAllocation) {
  const TagNames tags = first_tags(device.emulator.reader());
  for (const CommandCall &command : every_command()) {
    const AllocationCount count;
    const int result = command.run(tags, handle);
    EXPECT_TRUE(answered_by_reader(result)) << command.name << " returned " << result;
    EXPECT_EQ(count.count(), 0u) << command.name;
  }
}

TEST_F(EveryCommand, FailsWithoutAHeapAllocation) {
  // Link failures take their own paths through the collectors: a reader that
  // never answers, so every collector runs into its time limit.
  device.emulator.inject_always({.silence = true});
  const TagNames tags = first_tags(device.emulator.reader());
  for (const CommandCall &command : every_command()) {
    const AllocationCount count;
    EXPECT_EQ(command.run(tags, handle), STATUS_COMM_ERROR) << command.name;
    EXPECT_EQ(count.count(), 0u) << command.name;
  }
}

}  // namespace
}  // namespace velkor::bench
