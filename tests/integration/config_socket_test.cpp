// Reader configuration over a socket pair, in real time: a setting made
// through the shipped library comes back through the information block, and
// a reply spanning three reports is reassembled.
#include <gtest/gtest.h>

#include <vector>

#include "emulator/socket_server.h"
#include "velkor.h"

namespace {

TEST(ConfigSocket, PowerAndRegionComeBackThroughTheInformationBlock) {
  velkor::emu::SocketServer server;
  const VelkorHandle h = server.handle();
  unsigned char address = 0x00, b[12] = {};
  ASSERT_EQ(SetRfPower(&address, 18, h), STATUS_OK);
  ASSERT_EQ(SetRegionWithDefaultChannel(&address, 4, h), STATUS_OK);
  ASSERT_EQ(GetReaderInformation(&address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7,
                                 b + 8, b + 9, b + 10, b + 11, h),
            STATUS_OK);
  EXPECT_EQ(std::vector<unsigned char>(b + 4, b + 7),
            (std::vector<unsigned char>{0x4E, 0x00, 18}));
}

TEST(ConfigSocket, AdjustmentBlockArrivesInThreeReports) {
  velkor::emu::SocketServer server;
  unsigned char address = 0x00, block[148] = {};
  unsigned char dc[2] = {0x5A, 0xA5};
  ASSERT_EQ(SetDCOffset(&address, dc, server.handle()), STATUS_OK);
  ASSERT_EQ(GetAdjustPara(&address, block, server.handle()), STATUS_OK);
  EXPECT_EQ(block[9], 0x5A);
  EXPECT_EQ(block[10], 0xA5);
  server.with_emulator([&](velkor::emu::Emulator &e) {
    EXPECT_EQ(block[13], e.reader().config.rf.power_list[0]);
  });
}

}  // namespace
