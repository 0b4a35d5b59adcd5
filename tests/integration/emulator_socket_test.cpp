// The emulator over a socket pair, driven by the shipped library in real time.
#include <gtest/gtest.h>

#include <chrono>

#include "emulator/socket_server.h"
#include "velkor.h"

namespace {

using Clock = std::chrono::steady_clock;

long long ms_since(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

TEST(EmulatorSocket, SerialNumberRoundTripsInRealTime) {
  velkor::emu::SocketServer server({.seed = 3});
  unsigned char address = 0x00;
  unsigned char serial[4] = {0xCA, 0xFE, 0x00, 0x01}, back[4] = {};
  const auto start = Clock::now();
  ASSERT_EQ(SetSeriaNo(&address, serial, server.handle()), STATUS_OK);
  ASSERT_EQ(GetSeriaNo(&address, back, server.handle()), STATUS_OK);
  EXPECT_EQ(std::vector<unsigned char>(back, back + 4),
            std::vector<unsigned char>(serial, serial + 4));
  const long long ms = ms_since(start);
  EXPECT_GE(ms, 100) << "one 50 ms poll cycle per reply";
  EXPECT_LT(ms, 400);
  server.with_emulator([&](velkor::emu::Emulator &e) {
    EXPECT_EQ(e.reader().identity.serial[0], 0xCA);
  });
}

TEST(EmulatorSocket, AnUnpluggedReaderFailsEveryCallCleanly) {
  velkor::emu::SocketServer server;
  unsigned char address = 0x00, version[2] = {0xEE, 0xEE};
  ASSERT_EQ(GetModuleVersion(&address, version, server.handle()), STATUS_OK);
  server.disconnect();
  for (int i = 0; i < 2; ++i) {
    const auto start = Clock::now();
    version[0] = 0xEE;
    EXPECT_EQ(GetModuleVersion(&address, version, server.handle()), STATUS_COMM_ERROR);
    EXPECT_EQ(version[0], 0xEE);
    EXPECT_LT(ms_since(start), 2200);
  }
}

}  // namespace
