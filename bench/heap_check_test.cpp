// No command call takes memory from the heap: every command function runs
// once against the emulated reader on the fake platform while the calling
// thread's allocations are counted (the emulator's own left out).
// GetChannelList, which sends no command, is the exception by design.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

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
    const int result = command.run(tags, handle);
    const std::size_t allocations = count.count();
    // ChangeToHID sends its control report and waits for nothing, so a
    // silent reader cannot fail it.
    const bool reads_a_reply = std::string_view(command.name) != "ChangeToHID";
    EXPECT_EQ(result, reads_a_reply ? STATUS_COMM_ERROR : STATUS_OK) << command.name;
    EXPECT_EQ(allocations, 0u) << command.name;
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
