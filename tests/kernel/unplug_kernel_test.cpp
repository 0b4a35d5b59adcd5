// A reader destroyed in the middle of an exchange, and the tool's watch
// across an unplug and a return under another hidraw number.
#include <signal.h>

#include <functional>
#include <iostream>
#include <thread>

#include "tests/kernel/child_process.h"
#include "tests/kernel/kernel_bench.h"

namespace velkor::kernel {
namespace {

using Clock = std::chrono::steady_clock;

// A collector's limit plus the poll cycle under way, with room for a guest
// under software emulation.
constexpr long long kSlackMs = 1000;
// A later call on the handle of a reader that is gone fails at once.
constexpr long long kGoneMs = 500;

struct Outputs {
  unsigned char address = 0x00;
  Bytes bytes = Bytes(6000, 0xEE);
  int total = 0x5EE5, tags = 0x5EE5;

  bool untouched() const {
    return address == 0x00 &&
           std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0xEE; });
  }
};

struct LostCall {
  const char *name;
  std::function<int(Outputs &, VelkorHandle)> call;
  long long limit_ms;
  std::size_t piece;  // reply bytes per report, so the reply takes a while
};

// Failures name the case, not its bytes.
void PrintTo(const LostCall &c, std::ostream *os) { *os << c.name; }

const LostCall kLostCalls[] = {
    {"GetReaderInformation",
     [](Outputs &o, VelkorHandle h) {
       unsigned char *b = o.bytes.data();
       return GetReaderInformation(&o.address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7,
                                   b + 8, b + 9, b + 10, b + 11, h);
     },
     2000, 1},
    {"Fast_EPC_Inventory_G2",
     [](Outputs &o, VelkorHandle h) {
       unsigned char param3 = 0;
       return Fast_EPC_Inventory_G2(&o.address, 0x04, 0, 0, 0, &param3, o.bytes.data(),
                                    &o.total, &o.tags, h);
     },
     15000, 4},
};

class DestroyedMidExchange : public KernelBench,
                             public ::testing::WithParamInterface<LostCall> {};

TEST_P(DestroyedMidExchange, EndsWithALinkStatusWithinItsLimit) {
  const LostCall &lost = GetParam();
  BridgedReader &reader = add_reader();
  std::vector<VelkorHandle> found;
  ASSERT_EQ(discover(found), STATUS_OK);
  reader.with_emulator([&](emu::Emulator &e) { e.inject_next({.split = {lost.piece}}); });
  Outputs out;
  const auto start = Clock::now();
  std::thread unplug([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    reader.unplug();
  });
  const int status = lost.call(out, found[0]);
  unplug.join();
  EXPECT_EQ(status, STATUS_COMM_ERROR);
  EXPECT_LT(ms_since(start), lost.limit_ms + kSlackMs);
  EXPECT_GT(reader.inputs().size(), 1u) << "the reply had begun when the reader went";
  EXPECT_TRUE(out.untouched());

  Outputs later;
  const auto again = Clock::now();
  EXPECT_EQ(kLostCalls[0].call(later, found[0]), STATUS_COMM_ERROR);
  EXPECT_LT(ms_since(again), kGoneMs);
  EXPECT_TRUE(later.untouched());
  EXPECT_EQ(close(found[0]), STATUS_OK);
}

INSTANTIATE_TEST_SUITE_P(Kernel, DestroyedMidExchange, ::testing::ValuesIn(kLostCalls),
                         [](const auto &info) { return std::string(info.param.name); });

using Watch = KernelBench;

TEST_F(Watch, ReportsTheReaderLostAndCarriesOnUnderItsNewNode) {
  const emu::ReaderOptions tags{.seed = 5, .gen2_tags = 3};
  BridgedReader *reader = &add_reader(tags);
  const std::string first_node = reader->node();
  ChildProcess tool({tool_path(), "inventory", "--watch"});
  // Its stdout is no terminal: the line per round goes to stderr.
  ASSERT_TRUE(tool.wait_for("round 2: 3 tags", 20000, true)) << tool.out() << tool.err();

  reader->unplug();
  ASSERT_TRUE(tool.wait_for("reader lost after round", 10000, true)) << tool.err();
  // The freed number goes to another device, so the reader comes back
  // under a new one.
  add_keyboard(true);
  reader = &add_reader(tags);
  EXPECT_NE(reader->node(), first_node);
  const auto back = tool.wait_for("reader back after", 10000, true);
  ASSERT_TRUE(back) << tool.err();
  const std::size_t rounds_before = tool.err().size();
  ASSERT_TRUE(tool.wait_for(": 3 tags", 20000, true, rounds_before)) << tool.err();

  tool.signal(SIGINT);
  EXPECT_EQ(tool.wait_exit(10000), 130) << tool.err();
  std::cout << "velkor inventory --watch said, " << first_node << " unplugged, back at "
            << reader->node() << ":\n" << tool.err();
  EXPECT_NE(tool.err().find("3 unique tags"), std::string::npos) << tool.err();
  EXPECT_GT(reader->outputs().size(), 0u) << "the tool talks to the new node";
}

}  // namespace
}  // namespace velkor::kernel
