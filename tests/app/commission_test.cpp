// Commissioning on the emulated reader's tag feed: twenty tags, a run
// killed at a random tag at each stage of its work (the stage observer
// plays the crash) and resumed with no serial given twice, a lost tag's
// serial voided and never issued, and a run stopped by its token.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "app/commission/commissioning.h"
#include "app/tags/inventory_round.h"
#include "tests/app/emulated_session.h"
#include "tests/app/scratch_dir.h"
#include "tests/app/virtual_clock.h"
#include "velkor_epc.hpp"

namespace velkor::app {
namespace {

using test::emulated;
using test::epcs_of;
using test::Scratch;
using test::VirtualClock;

constexpr int kTags = 20;
constexpr std::uint64_t kFirstSerial = 1000;
const std::string kGtin = "80614141123458";


CommissionOptions station(const std::string &journal, int count = kTags) {
  CommissionOptions o;
  o.plan = *plan_from_keys({kGtin, 7, kFirstSerial, std::uint64_t(count), 3, 96});
  o.journal = journal;
  o.access_password = {0x11, 0x22, 0x33, 0x44};
  o.lock = {VELKOR_LOCK_EPC, VELKOR_LOCK_ACCESS_PASSWORD};
  o.timeout_ms = 0;
  return o;
}

std::string serial_epc(std::uint64_t serial) {
  return epc::Epc::from_gs1(epc::Key::gtin, kGtin, 7, std::to_string(serial), 3, 96).hex();
}

// Plays a crash: thrown out of the run at the chosen stage of the chosen tag.
struct Crash {};

class Recorder : public CommissionObserver {
 public:
  void on_interrupted_earlier(const JournalEntry &e) override { said("interrupted " + e.serial); }
  void on_resuming(const JournalEntry &e) override { said("resuming " + e.serial); }
  void on_voided(const JournalEntry &e) override { said("void " + e.serial); }
  void on_several(std::size_t tags) override {
    said("several " + std::to_string(tags));
    if (stop) stop->request_stop();
  }
  void on_stage(CommissionStage stage, unsigned taken) override {
    if (crash_at && stage == crash_at->first && taken == crash_at->second) throw Crash{};
  }
  void idle(int ms, Clock &clock) override { clock.sleep_ms(ms); }

  void said(const std::string &what) { events.push_back(what); }
  std::vector<std::string> events;
  std::optional<std::pair<CommissionStage, unsigned>> crash_at;
  const StopSource *stop = nullptr;
};

// Each serial on exactly one tag, read back through the reader, and one
// "ok" line for each in the journal.
void expect_all_commissioned(Session &s, const Journal &journal, int count = kTags) {
  std::multiset<std::string> expected, seen;
  for (int i = 0; i < count; ++i) expected.insert(serial_epc(kFirstSerial + i));
  const Round round = inventory_round(s, Mask{});
  for (const TagRead &tag : round.tags) seen.insert(to_hex(tag.epc));
  EXPECT_EQ(seen, expected);
  for (const std::string &epc : expected) {
    const JournalEntry *last = journal.last_of(epc);
    ASSERT_NE(last, nullptr) << epc;
    EXPECT_EQ(last->result, kOk) << epc;
  }
}

TEST(Commissioning, TwentyTagsAreWrittenVerifiedLockedAndLogged) {
  Scratch dir;
  VirtualClock clock;
  auto s = emulated(0, kTags);
  Recorder seen;
  Commissioning run(*s, station(dir.path("log.csv")), seen, clock);
  ASSERT_TRUE(run.open());
  const CommissionSummary summary = run.run(StopToken{});
  EXPECT_EQ(summary.end, CommissionEnd::kComplete);
  EXPECT_EQ(summary.progress.done, std::size_t{kTags});
  EXPECT_EQ(summary.progress.this_run, std::size_t{kTags});
  expect_all_commissioned(*s, run.journal());
  s->emulator()->with_emulator([](emu::Emulator &e) {
    for (const emu::Gen2Tag &tag : e.reader().tags.gen2) {
      EXPECT_EQ(tag.banks[emu::kReserved][2], 0x1122u);
      EXPECT_EQ(tag.banks[emu::kReserved][3], 0x3344u);
      EXPECT_EQ(tag.lock[1], emu::LockState{1}) << "access password locked";
      EXPECT_EQ(tag.lock[2], emu::LockState{1}) << "EPC bank locked";
    }
  });
}

// A run killed at a random tag, before or after the tag took its EPC, or
// once it was locked but not yet logged, and a run resumed on the same
// reader: the cut-short serial is reported, finished on the same tag, and
// no serial goes to two tags.
class CommissionCrash : public ::testing::TestWithParam<CommissionStage> {};

TEST_P(CommissionCrash, TheRerunResumesWithoutGivingASerialTwice) {
  std::random_device random;
  const unsigned at = 1 + static_cast<unsigned>(random() % kTags);
  const std::string serial = std::to_string(kFirstSerial + at - 1);
  SCOPED_TRACE("killed at tag " + std::to_string(at));
  Scratch dir;
  VirtualClock clock;
  auto s = emulated(0, kTags);
  {
    Recorder crashing;
    crashing.crash_at = {{GetParam(), at}};
    Commissioning run(*s, station(dir.path("log.csv")), crashing, clock);
    ASSERT_TRUE(run.open());
    EXPECT_THROW(run.run(StopToken{}), Crash);
  }
  Recorder resumed;
  Commissioning run(*s, station(dir.path("log.csv")), resumed, clock);
  ASSERT_TRUE(run.open());
  const std::vector<JournalEntry> cut = run.journal().interrupted();
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].serial, serial);
  const CommissionSummary summary = run.run(StopToken{});
  EXPECT_EQ(summary.end, CommissionEnd::kComplete) << summary.error->message();
  EXPECT_TRUE(summary.interrupted.empty());
  ASSERT_GE(resumed.events.size(), 2u);
  EXPECT_EQ(resumed.events[0], "interrupted " + serial);
  EXPECT_EQ(resumed.events[1], "resuming " + serial);
  expect_all_commissioned(*s, run.journal());
}

INSTANTIATE_TEST_SUITE_P(Stage, CommissionCrash,
                         ::testing::Values(CommissionStage::kBeforeWrite,
                                           CommissionStage::kAfterWrite,
                                           CommissionStage::kBeforeOutcome));

// The tag of an interrupted write is lost: every run ends waiting for it,
// until its serial is voided; then the run is complete, and the serial is
// on no tag and never issued again.
TEST(Commissioning, AVoidedSerialIsClosedOutAndNeverIssued) {
  Scratch dir;
  VirtualClock clock;
  auto s = emulated(0, kTags);
  {
    Recorder crashing;
    crashing.crash_at = {{CommissionStage::kBeforeWrite, 3}};
    Commissioning run(*s, station(dir.path("log.csv")), crashing, clock);
    ASSERT_TRUE(run.open());
    EXPECT_THROW(run.run(StopToken{}), Crash);
  }
  // The third tag falls off the station and is gone.
  s->emulator()->with_emulator([](emu::Emulator &e) { e.reader().tags.gen2.erase(e.reader().tags.gen2.begin() + 2); });
  {
    Recorder waiting;
    Commissioning run(*s, station(dir.path("log.csv")), waiting, clock);
    ASSERT_TRUE(run.open());
    const CommissionSummary summary = run.run(StopToken{});
    EXPECT_EQ(summary.end, CommissionEnd::kNoTag);
    ASSERT_EQ(summary.interrupted.size(), 1u);
    EXPECT_EQ(summary.interrupted[0].serial, "1002");
    EXPECT_EQ(summary.progress.done, std::size_t{kTags - 1});
  }
  Recorder voiding;
  Commissioning run(*s, station(dir.path("log.csv")), voiding, clock);
  ASSERT_TRUE(run.open());
  ASSERT_TRUE(run.void_serial("1002"));
  ASSERT_TRUE(run.void_serial("1002")) << "voiding twice does nothing";
  EXPECT_EQ(voiding.events, (std::vector<std::string>{"interrupted 1002", "void 1002"}));
  const CommissionSummary summary = run.run(StopToken{});
  EXPECT_EQ(summary.end, CommissionEnd::kComplete);
  EXPECT_TRUE(summary.interrupted.empty());
  EXPECT_EQ(run.journal().last_of(serial_epc(1002))->result, kVoid);
  const std::vector<std::string> epcs = epcs_of(*s);
  EXPECT_EQ(std::count(epcs.begin(), epcs.end(), serial_epc(1002)), 0);
  EXPECT_EQ(std::set<std::string>(epcs.begin(), epcs.end()).size(), epcs.size());

  // A commissioned serial, or one the plan does not hold, is no lost one.
  const Status done = run.void_serial("1000");
  ASSERT_FALSE(done);
  EXPECT_EQ(done.error().kind, ErrorKind::kConflict);
  EXPECT_EQ(run.void_serial("99").error().kind, ErrorKind::kBadInput);
}

TEST(Commissioning, ItsStopTokenEndsAWaitForASingleTag) {
  VirtualClock clock;
  auto s = emulated(2);
  StopSource stop;
  Recorder seen;
  seen.stop = &stop;
  CommissionOptions o = station("", 1);
  o.timeout_ms = 600000;
  Commissioning run(*s, o, seen, clock);
  ASSERT_TRUE(run.open());
  const CommissionSummary summary = run.run(stop.token());
  EXPECT_EQ(summary.end, CommissionEnd::kStopped);
  EXPECT_EQ(seen.events, (std::vector<std::string>{"several 2"}));
  EXPECT_EQ(summary.progress.done, 0u);
}

// Two stations in one process, each a job with its reader and journal.
TEST(Commissioning, TwoJobsRunSideBySide) {
  Scratch dir;
  std::vector<std::thread> threads;
  CommissionSummary summaries[2];
  for (int i = 0; i < 2; ++i)
    threads.emplace_back([&, i] {
      auto s = emulated(0, 5);
      Recorder quiet;
      CommissionOptions o = station(dir.path("log" + std::to_string(i) + ".csv"), 5);
      Commissioning run(*s, o, quiet);
      if (run.open()) summaries[i] = run.run(StopToken{});
    });
  for (std::thread &t : threads) t.join();
  for (const CommissionSummary &s : summaries) {
    EXPECT_EQ(s.end, CommissionEnd::kComplete);
    EXPECT_EQ(s.progress.this_run, 5u);
  }
}

}  // namespace
}  // namespace velkor::app
