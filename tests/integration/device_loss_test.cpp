// The reader unplugged in the middle of an exchange, over a socket pair in
// real time: the call fails with STATUS_COMM_ERROR within its collector's
// limit and writes nothing, and every later call on the handle fails the same
// way.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "emulator/socket_server.h"
#include "velkor.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

// A collector's limit plus the writes and the poll cycle under way, with room
// for a loaded machine.
constexpr long long kSlackMs = 600;

long long ms_since(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Unplugs the reader after a delay, from another thread.
class Unplug {
 public:
  Unplug(velkor::emu::SocketServer &server, std::chrono::milliseconds after)
      : thread_([&server, after] {
          std::this_thread::sleep_for(after);
          server.disconnect();
        }) {}
  ~Unplug() { thread_.join(); }

 private:
  std::thread thread_;
};

struct Outputs {
  unsigned char address = 0x00;
  Bytes bytes = Bytes(6000, 0xEE);
  int first = 0x5EE5, second = 0x5EE5;

  bool untouched() const {
    return address == 0x00 && std::all_of(bytes.begin(), bytes.end(),
                                          [](unsigned char b) { return b == 0xEE; });
  }
};

struct LostCall {
  const char *name;
  std::function<int(Outputs &, VelkorHandle)> call;
  long long limit_ms;
};

const LostCall kReaderInformation{
    "GetReaderInformation",
    [](Outputs &o, VelkorHandle h) {
      unsigned char *b = o.bytes.data();
      return GetReaderInformation(&o.address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7,
                                  b + 8, b + 9, b + 10, b + 11, h);
    },
    2000};
const LostCall kFastInventory{
    "Fast_EPC_Inventory_G2",
    [](Outputs &o, VelkorHandle h) {
      unsigned char param3 = 0;
      return Fast_EPC_Inventory_G2(&o.address, 0x04, 0, 0, 0, &param3, o.bytes.data(),
                                   &o.first, &o.second, h);
    },
    15000};

// A reply spread over many small reports, cut off by the unplug a few
// hundred milliseconds in.
struct CutShort {
  LostCall lost;
  std::size_t piece;  // reply bytes per report
  bool clears_tag_count;
};

class DeviceLossMidExchange : public ::testing::TestWithParam<CutShort> {};

TEST_P(DeviceLossMidExchange, FailsWithinItsLimitAndWritesNothing) {
  const CutShort &cut = GetParam();
  velkor::emu::SocketServer server;
  server.with_emulator([&](velkor::emu::Emulator &e) { e.inject_next({.split = {cut.piece}}); });
  Outputs out;
  const auto start = Clock::now();
  int code;
  {
    Unplug unplug(server, std::chrono::milliseconds(300));
    code = cut.lost.call(out, server.handle());
  }
  EXPECT_EQ(code, STATUS_COMM_ERROR);
  EXPECT_LT(ms_since(start), cut.lost.limit_ms + kSlackMs);
  EXPECT_TRUE(out.untouched());
  if (cut.clears_tag_count) {
    EXPECT_EQ(out.second, 0) << "cleared once collection was tried";
  }
}

// The single-reply collector gives up at the first failed poll; the
// inventory collector keeps polling until its limit.
INSTANTIATE_TEST_SUITE_P(Collectors, DeviceLossMidExchange,
                         ::testing::Values(CutShort{kReaderInformation, 1, false},
                                           CutShort{kFastInventory, 4, true}),
                         [](const auto &info) { return std::string(info.param.lost.name); });

TEST(DeviceLoss, LaterCallsOnTheHandleFailCleanly) {
  velkor::emu::SocketServer server;
  Outputs first;
  ASSERT_EQ(kReaderInformation.call(first, server.handle()), STATUS_OK);
  server.disconnect();
  const LostCall later[] = {
      kReaderInformation,
      kFastInventory,
      {"GetModuleVersion",
       [](Outputs &o, VelkorHandle h) { return GetModuleVersion(&o.address, o.bytes.data(), h); },
       2000},
      {"SetSaveLen", [](Outputs &o, VelkorHandle h) { return SetSaveLen(&o.address, 9, h); },
       2000},
      {"ReadBuffer_G2",
       [](Outputs &o, VelkorHandle h) {
         return ReadBuffer_G2(&o.address, &o.first, &o.second, o.bytes.data(), h);
       },
       10000},
  };
  for (const LostCall &lost : later) {
    Outputs out;
    const auto start = Clock::now();
    EXPECT_EQ(lost.call(out, server.handle()), STATUS_COMM_ERROR) << lost.name;
    EXPECT_LT(ms_since(start), lost.limit_ms + kSlackMs) << lost.name;
    EXPECT_TRUE(out.untouched()) << lost.name;
  }
}

}  // namespace
