// The watch engine on the emulator and a virtual clock: a reader unplugged
// and plugged in again (the unplug plan), tags arriving and departing, the
// waits spent in the observer's idle(), and stop tokens, one per job, from
// other threads.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/watch/watch.h"
#include "tests/app/emulated_session.h"
#include "tests/app/virtual_clock.h"

namespace velkor::app {
namespace {

using test::emulated;
using test::VirtualClock;

// Writes down what the watch tells it, one line per event.
class Recorder : public WatchObserver {
 public:
  void on_round(const Round &round, unsigned number, const TagTable &table) override {
    events.push_back("round " + std::to_string(number) + ": " + std::to_string(round.tags.size()) +
                     " tags, " + std::to_string(table.entries().size()) + " unique");
    if (after_round) after_round(number);
  }
  void on_arrive(const TagTable::Entry &tag) override { arrived.push_back(to_hex(tag.epc)); }
  void on_depart(const TagTable::Entry &tag, WallClock::time_point) override {
    events.push_back("depart " + to_hex(tag.epc));
  }
  void on_reader_lost(unsigned rounds, const Error &why) override {
    events.push_back("lost after " + std::to_string(rounds) + ": " + why.detail());
    if (when_lost) when_lost();
  }
  void on_reader_back(std::int64_t away_ms) override {
    events.push_back("back after " + std::to_string(away_ms) + " ms");
  }
  void idle(int ms, Clock &clock) override {
    ++idles;
    idled_ms += ms;
    longest_idle_ms = std::max(longest_idle_ms, ms);
    clock.sleep_ms(ms);
  }

  std::vector<std::string> events;
  std::vector<std::string> arrived;
  std::function<void(unsigned)> after_round;
  std::function<void()> when_lost;
  int idled_ms = 0;
  int longest_idle_ms = 0;
  int idles = 0;
};

// Six tags on a reader that is unplugged as planned, on the clock's time.
std::unique_ptr<Session> unplugged(VirtualClock &clock, UnplugPlan plan) {
  SessionOptions options;
  options.unplug = plan;
  options.clock = &clock;
  return emulated(6, 0, options);
}

RoundPacing rounds(unsigned n, int interval_ms = 0) {
  return {n, RoundPacing::Duration::zero(), std::chrono::milliseconds(interval_ms)};
}

TEST(Watch, CarriesOnAcrossAReaderUnpluggedAndPluggedInAgain) {
  VirtualClock clock;
  auto s = unplugged(clock, {2, 1200});  // gone after round 2, back 1.2 s later
  Recorder seen;
  WatchOptions o;
  o.pacing = rounds(4);
  Watch watch(*s, o, seen, clock);
  const Result<WatchSummary> summary = watch.run(StopToken{});
  ASSERT_TRUE(summary) << summary.error().message();
  // Looked for every second: not back at 1 s, back at 2 s.
  EXPECT_EQ(seen.events,
            (std::vector<std::string>{"round 1: 6 tags, 6 unique", "round 2: 6 tags, 6 unique",
                                      "lost after 2: 0x30 (no complete reply in time)",
                                      "back after 2000 ms", "round 3: 6 tags, 6 unique",
                                      "round 4: 6 tags, 6 unique"}));
  EXPECT_EQ(summary->rounds, 4u);
  EXPECT_FALSE(summary->stopped);
  // It kept its table: every tag read in all four rounds, arrived once.
  ASSERT_EQ(watch.table().entries().size(), 6u);
  for (const TagTable::Entry &e : watch.table().entries()) EXPECT_EQ(e.reads, 4u);
  EXPECT_EQ(seen.arrived, test::epcs_of(*s));
}

TEST(Watch, ATagUnreadForTheDepartureTimeDeparts) {
  VirtualClock clock;
  auto s = emulated(3);
  const std::string first = test::epcs_of(*s)[0];
  Recorder seen;
  // Taken off the reader after round 2; rounds are a second apart.
  seen.after_round = [&](unsigned n) {
    if (n == 2)
      s->emulator()->with_emulator(
          [](emu::Emulator &e) { e.reader().tags.gen2.erase(e.reader().tags.gen2.begin()); });
  };
  WatchOptions o;
  o.pacing = rounds(5, 1000);
  o.depart_after_ms = 1500;
  Watch watch(*s, o, seen, clock);
  ASSERT_TRUE(watch.run(StopToken{}));
  EXPECT_EQ(seen.events,
            (std::vector<std::string>{"round 1: 3 tags, 3 unique", "round 2: 3 tags, 3 unique",
                                      "round 3: 2 tags, 3 unique", "round 4: 2 tags, 3 unique",
                                      "depart " + first, "round 5: 2 tags, 3 unique"}));
  EXPECT_EQ(seen.arrived.size(), 3u);
  // The waits between rounds went through idle(), in steps a stop can cut.
  EXPECT_EQ(seen.idled_ms, 4000);
  EXPECT_LE(seen.longest_idle_ms, 50);
  EXPECT_EQ(clock.ms, 4000);
}

TEST(Watch, RoundsBackToBackStillLetTheCallerWorkBetweenThem) {
  VirtualClock clock;
  auto s = emulated(2, 0);
  Recorder seen;
  WatchOptions o;
  o.pacing = rounds(4);
  Watch watch(*s, o, seen, clock);
  ASSERT_TRUE(watch.run(StopToken{}));
  // One idle(0) between each two rounds, none after the last.
  EXPECT_EQ(seen.idles, 3);
  EXPECT_EQ(seen.idled_ms, 0);
}

TEST(Watch, AStopWhileTheReaderIsAwayEndsItWithItsTable) {
  VirtualClock clock;
  auto s = unplugged(clock, {1, 60000});
  StopSource stop;
  Recorder seen;
  seen.when_lost = [&] { stop.request_stop(); };
  Watch watch(*s, WatchOptions{}, seen, clock);
  const Result<WatchSummary> summary = watch.run(stop.token());
  ASSERT_TRUE(summary);
  EXPECT_TRUE(summary->stopped);
  EXPECT_EQ(summary->rounds, 1u);
  EXPECT_EQ(watch.table().entries().size(), 6u);
  EXPECT_LT(clock.ms, 1000) << "the stop is seen before the next look for the reader";
}

TEST(Watch, ItsDurationEndsItAlsoWhileTheReaderIsAway) {
  VirtualClock clock;
  auto s = unplugged(clock, {1, 60000});
  Recorder seen;
  WatchOptions o;
  o.pacing.duration = std::chrono::seconds(5);
  Watch watch(*s, o, seen, clock);
  const Result<WatchSummary> summary = watch.run(StopToken{});
  ASSERT_TRUE(summary);
  EXPECT_FALSE(summary->stopped);
  EXPECT_EQ(summary->rounds, 1u);
  EXPECT_EQ(summary->elapsed_ms, 5000);
}

TEST(Watch, WithoutCarryingOnALostReaderEndsItWithItsError) {
  VirtualClock clock;
  auto s = unplugged(clock, {1, 60000});
  Recorder seen;
  WatchOptions o;
  o.pacing = rounds(3);
  o.carry_on = false;
  const Result<WatchSummary> summary = Watch(*s, o, seen, clock).run(StopToken{});
  ASSERT_FALSE(summary);
  EXPECT_EQ(summary.error().kind, ErrorKind::kLink);
  EXPECT_EQ(summary.error().message(), "inventory failed: 0x30 (no complete reply in time)");
  EXPECT_EQ(seen.events.size(), 1u) << "one round, and no look for the reader";
}

// Two watches in one process, each on its reader with its own stop token,
// stopped one after the other from the main thread (a real-time test: the
// stops cross threads).
TEST(Watch, SeveralWatchesRunAndStopOneByOne) {
  struct Job {
    std::unique_ptr<Session> session = emulated(2);
    StopSource stop;
    Recorder seen;
    std::mutex mutex;
    std::condition_variable moved;
    unsigned rounds = 0;
    std::optional<Result<WatchSummary>> summary;
  };
  Job jobs[2];
  std::vector<std::thread> threads;
  for (Job &job : jobs) {
    job.seen.after_round = [&job](unsigned n) {
      std::lock_guard<std::mutex> lock(job.mutex);
      job.rounds = n;
      job.moved.notify_all();
    };
    threads.emplace_back([&job] {
      Watch watch(*job.session, WatchOptions{}, job.seen);
      Result<WatchSummary> summary = watch.run(job.stop.token());
      std::lock_guard<std::mutex> lock(job.mutex);
      job.summary = std::move(summary);
      job.moved.notify_all();
    });
  }
  auto wait_for = [](Job &job, auto done) {
    std::unique_lock<std::mutex> lock(job.mutex);
    return job.moved.wait_for(lock, std::chrono::seconds(20), [&] { return done(job); });
  };
  for (Job &job : jobs) ASSERT_TRUE(wait_for(job, [](Job &j) { return j.rounds >= 2; }));
  jobs[0].stop.request_stop();
  ASSERT_TRUE(wait_for(jobs[0], [](Job &j) { return j.summary.has_value(); }));
  const unsigned second_then = [&] {
    std::lock_guard<std::mutex> lock(jobs[1].mutex);
    return jobs[1].rounds;
  }();
  ASSERT_TRUE(wait_for(jobs[1], [&](Job &j) { return j.rounds > second_then + 2; }))
      << "the other watch runs on";
  jobs[1].stop.request_stop();
  for (std::thread &t : threads) t.join();
  for (Job &job : jobs) {
    ASSERT_TRUE(job.summary && *job.summary);
    EXPECT_TRUE((*job.summary)->stopped);
  }
}

}  // namespace
}  // namespace velkor::app
