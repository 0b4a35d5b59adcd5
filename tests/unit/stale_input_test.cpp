// Input reports already waiting when a command starts, up to the most the
// kernel's hidraw queue keeps for a handle: none answers the command.
#include <gtest/gtest.h>

#include <algorithm>

#include "emulator/wire.h"
#include "tests/support/emulated_device.h"
#include "tests/support/fake_platform.h"

namespace velkor::test {
namespace {

// Unasked reports, each a whole reader-information reply with wrong bytes.
class StaleInput : public EmulatorTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(StaleInput, IsDroppedBeforeTheCommandIsSent) {
  const std::size_t sent = GetParam();
  const emu::Bytes wrong = emu::encode_reply(0x00, 0x21, 0x00, emu::Bytes(12, 0xAB));
  fake::Report report{0x01, static_cast<std::uint8_t>(wrong.size())};
  std::copy(wrong.begin(), wrong.end(), report.begin() + 2);
  for (std::size_t i = 0; i < sent; ++i) fake::deliver(handle, report);
  ASSERT_EQ(fake::queued(handle), std::min(sent, fake::kQueuedReports));

  unsigned char info[12];
  ASSERT_EQ(GetReaderInformation(&address, info, info + 2, info + 3, info + 4, info + 5,
                                 info + 6, info + 7, info + 8, info + 9, info + 10, info + 11,
                                 handle),
            STATUS_OK);
  const emu::Bytes block = reader().information_block();
  EXPECT_TRUE(std::equal(block.begin(), block.end(), info)) << "a stale reply was taken";
  EXPECT_EQ(fake::queued(handle), 0u);
}

// One report; a full queue; more than it keeps (the rest dropped as they come).
INSTANTIATE_TEST_SUITE_P(Queue, StaleInput, ::testing::Values(1u, 63u, 80u));

}  // namespace
}  // namespace velkor::test
