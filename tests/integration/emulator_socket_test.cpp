// The emulator over a socket pair, driven by the shipped library in real time.
#include <gtest/gtest.h>
#include <time.h>

#include <chrono>

#include "emulator/socket_server.h"
#include "velkor.h"

namespace {

using Clock = std::chrono::steady_clock;

long long ms_since(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

double thread_cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
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

TEST(EmulatorSocket, AnUnpluggedReaderIsNotPolledInABusyLoop) {
  velkor::emu::SocketServer server;
  server.disconnect();
  // The fast inventory polls on after failed polls until its one-second
  // limit for a reply that never starts; every write now fails at once.
  unsigned char address = 0x00, param3 = 0, list[6000];
  int total = 0, count = 0;
  const auto start = Clock::now();
  const double cpu_start = thread_cpu_ms();
  EXPECT_EQ(Fast_EPC_Inventory_G2(&address, 0x04, 0, 0, 0, &param3, list, &total, &count,
                                  server.handle()),
            STATUS_COMM_ERROR);
  const double cpu_ms = thread_cpu_ms() - cpu_start;
  const long long ms = ms_since(start);
  EXPECT_GE(ms, 1000);
  EXPECT_LT(ms, 1400);
  EXPECT_LT(cpu_ms, 0.01 * static_cast<double>(ms)) << "the thread waits, it does not spin";
}

}  // namespace
