// Replies a reader on a bad day sends, through the shipped library over a
// socket pair: none of them may turn into wrong data reported as success, nor
// into a call that never returns.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>

#include "emulator/socket_server.h"
#include "emulator/velkor_emulator.h"
#include "tests/support/served_reader.h"
#include "velkor.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

// Waits until an input report is waiting on the handle.
bool report_waits(int handle) {
  pollfd ready{handle, POLLIN, 0};
  return ::poll(&ready, 1, 2000) == 1;
}

using HostileReader = velkor::test::ServedReader<velkor::emu::SocketServer>;

TEST_F(HostileReader, ALateReplyIsNeverTakenForTheNextCalls) {
  expect_late_reply_dropped(report_waits);
}

// Two open handles of one reader each get a copy of every input report, as
// hidraw gives them: neither may take the other's replies for its own.
TEST_F(HostileReader, ASecondHandleNeverTakesTheFirstOnesReplies) {
  Bytes at2, at3, got;
  ASSERT_EQ(read(2, at2), STATUS_OK);
  ASSERT_EQ(read(3, at3), STATUS_OK);
  ASSERT_NE(at2, at3);
  const int second = server.open_second_handle();
  ASSERT_GE(second, 0);
  ASSERT_EQ(read(2, got), STATUS_OK);
  ASSERT_TRUE(report_waits(second)) << "no copy reached the second handle";
  EXPECT_EQ(read(3, got, second), STATUS_OK);
  EXPECT_EQ(got, at3) << "the second handle took the first one's reply";
  ASSERT_TRUE(report_waits(server.handle())) << "no copy reached the first handle";
  EXPECT_EQ(read(2, got), STATUS_OK);
  EXPECT_EQ(got, at2) << "the first handle took the second one's reply";
}

TEST_F(HostileReader, ALengthByteThatLiesCompletesNoReply) {
  for (int lie : {3, -3}) {
    Bytes got;
    inject({.length_lie = lie});
    EXPECT_EQ(read(2, got), STATUS_COMM_ERROR) << "lie " << lie;
    EXPECT_EQ(got, Bytes(4, 0xEE));
  }
}

TEST_F(HostileReader, AFirstReportEndingInAZeroResidueIsNotTheWholeReply) {
  unsigned char clean[148], cut[148];
  ASSERT_EQ(GetAdjustPara(&address, clean, server.handle()), STATUS_OK);
  inject({.zero_residue_first = true});
  ASSERT_EQ(GetAdjustPara(&address, cut, server.handle()), STATUS_OK);
  // The reader made data bytes 56 and 57 the CRC of what went before them;
  // everything after them comes from the later reports.
  EXPECT_EQ(Bytes(cut + 58, cut + 148), Bytes(clean + 58, clean + 148));
}

TEST_F(HostileReader, PaddingAfterTheFinalFrameKeepsItsStatus) {
  unsigned char mask_addr[2] = {}, mask[1] = {}, frame4 = 0;
  Bytes list(6000);
  int total = 0, count = 0, stored = 0, seen = 0;
  const int h = server.handle();
  const auto padded = [&](auto call) {
    inject({.zero_padding = 6});
    count = 0;
    return call();
  };
  EXPECT_EQ(padded([&] {
              return Inventory_G2(&address, 0x04, 0x00, 0, mask_addr, 0, mask, 0, 0, 0, 0, 0, 0,
                                  0, 0, list.data(), &frame4, &total, &count, h);
            }),
            0x01);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(padded([&] {
              return Fast_EPC_Inventory_G2(&address, 0x04, 0, 0, 0, &frame4, list.data(), &total,
                                           &count, h);
            }),
            0x01);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(padded([&] {
              return InventoryBuffer_G2(&address, 0x04, 0x00, 0, mask_addr, 0, mask, 0, 0, 0, 0,
                                        0, 0, 0, 0, &stored, &seen, h);
            }),
            STATUS_OK);
  EXPECT_EQ(seen, 5);
  EXPECT_EQ(padded([&] { return ReadBuffer_G2(&address, &total, &count, list.data(), h); }), 0x01);
  EXPECT_EQ(count, 5);
}

TEST_F(HostileReader, AReaderThatStopsReadingFailsEachCallInTime) {
  // The smallest send buffer: a few unread reports fill it.
  const int small = 1;
  ASSERT_EQ(setsockopt(server.handle(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);
  inject({.stop_reading = true});
  for (int call = 0; call < 4; ++call) {
    unsigned char serial[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    const auto start = Clock::now();
    EXPECT_EQ(GetSeriaNo(&address, serial, server.handle()), STATUS_COMM_ERROR);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2600)) << "call " << call;
  }
}

TEST(HostileReaderCApi, ALyingLengthByteThroughTheCEntryPoints) {
  const int handle = velkor_emulator_start(11, 1, 0);
  ASSERT_GE(handle, 0);
  unsigned char address = 0x00, serial[4];
  ASSERT_EQ(velkor_emulator_inject(handle, VELKOR_FAULT_LENGTH_MORE, 2), 0);
  EXPECT_EQ(GetSeriaNo(&address, serial, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(GetSeriaNo(&address, serial, handle), STATUS_OK);
  EXPECT_EQ(velkor_emulator_violations(handle), 0);
  char text[80];
  EXPECT_EQ(velkor_emulator_violation(handle, 0, text, sizeof text), -1) << "none recorded";
  EXPECT_EQ(velkor_emulator_stop(handle), 0);
}

}  // namespace
