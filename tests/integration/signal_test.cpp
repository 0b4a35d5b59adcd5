// A signal handler installed without SA_RESTART interrupts the waits of an
// exchange (the poll for a report, the pause between polls) again and again:
// the exchange still runs its full course and delivers the whole reply.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "emulator/socket_server.h"
#include "velkor.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

std::atomic<int> g_signals{0};
static_assert(std::atomic<int>::is_always_lock_free);

void count_signal(int) { g_signals.fetch_add(1, std::memory_order_relaxed); }

// Installs the counting handler for SIGUSR1, without SA_RESTART, for the
// scope.
class InterruptingHandler {
 public:
  InterruptingHandler() {
    struct sigaction action {};
    action.sa_handler = count_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGUSR1, &action, &previous_);
  }
  ~InterruptingHandler() { sigaction(SIGUSR1, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

TEST(Signals, ASignalDuringAWaitDoesNotBreakAnExchange) {
  velkor::emu::SocketServer server({.seed = 5});
  Bytes expected;
  server.with_emulator([&](velkor::emu::Emulator &e) {
    for (const auto &tag : e.reader().tags.gen2) {
      const Bytes epc = tag.epc();
      expected.push_back(static_cast<unsigned char>(epc.size()));
      expected.insert(expected.end(), epc.begin(), epc.end());
    }
    e.inject_next({.split = {7}});  // a dozen poll cycles
    e.trace().record = true;
  });

  InterruptingHandler handler;
  g_signals = 0;
  const pthread_t caller = pthread_self();
  std::atomic<bool> done{false};
  std::thread signaller([&] {
    while (!done) {
      pthread_kill(caller, SIGUSR1);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });

  unsigned char address = 0x00, param3 = 0;
  Bytes list(6000, 0xEE);
  int total = 0, count = 0;
  const auto start = Clock::now();
  const int code = Fast_EPC_Inventory_G2(&address, 0x04, 0, 0, 0, &param3, list.data(), &total,
                                         &count, server.handle());
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  done = true;
  signaller.join();

  EXPECT_EQ(code, 0x01);
  EXPECT_EQ(count, 5);
  ASSERT_EQ(total, static_cast<int>(expected.size()));
  EXPECT_EQ(Bytes(list.begin(), list.begin() + total), expected);
  EXPECT_GT(g_signals.load(), 20) << "the waits were interrupted";
  // Every poll cycle still paused its full 50 ms.
  std::size_t pieces = 0;
  server.with_emulator([&](velkor::emu::Emulator &e) {
    for (const auto &entry : e.trace().entries)
      if (entry.direction == velkor::emu::TraceEntry::kFromReader && entry.report[1] > 0)
        ++pieces;
  });
  EXPECT_GE(pieces, 10u);
  EXPECT_GE(ms, static_cast<long long>(50 * pieces));
}

}  // namespace
