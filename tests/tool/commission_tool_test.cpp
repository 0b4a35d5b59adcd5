// commission against the emulated reader's tag feed: a run of twenty tags
// read back afterwards, a run killed part-way and resumed, and the runs
// that must stop (two tags at once, no tag, bad input).
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <sstream>

#include "tests/tool/run_tool.h"
#include "tests/tool/scratch.h"
#include "velkor_epc.hpp"

namespace velkor::test {
namespace {

using nlohmann::json;

constexpr int kTags = 20;
constexpr int kFirstSerial = 1000;
const std::string kGtin = "80614141123458";

std::string sgtin(int serial) {
  return epc::Epc::from_gs1(epc::Key::gtin, kGtin, 7, std::to_string(serial), 3, 96).hex();
}

// The command of every run on the same station.
std::string station(const Scratch &dir, const std::string &extra = "") {
  return "--emulate-state " + dir.path("reader.json") + " --emulate-feed " +
         std::to_string(kTags) + " commission --gtin " + kGtin +
         " --prefix-length 7 --filter 3 --serial-from " + std::to_string(kFirstSerial) +
         " --count " + std::to_string(kTags) + " --log " + dir.path("log.csv") +
         " --access-password 11223344 --lock epc,access --timeout 0 " + extra;
}

// Bank words from..to-1 as hex, as the tool prints EPCs and TIDs.
std::string words_hex(const std::vector<unsigned> &words, std::size_t from, std::size_t to) {
  std::string hex;
  char word[5];
  for (std::size_t w = from; w < to && w < words.size(); ++w) {
    std::snprintf(word, sizeof word, "%04X", words[w]);
    hex += word;
  }
  return hex;
}

struct LogLine {
  std::string serial, epc, tid, result;
};

std::vector<LogLine> log_lines(const Scratch &dir) {
  std::vector<LogLine> out;
  const std::vector<std::string> lines = lines_of(slurp(dir.path("log.csv")));
  EXPECT_FALSE(lines.empty());
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> f;
    std::istringstream in(lines[i]);
    for (std::string field; std::getline(in, field, ',');) f.push_back(field);
    EXPECT_EQ(f.size(), 6u) << lines[i];
    if (f.size() == 6) out.push_back({f[1], f[2], f[4], f[5]});
  }
  return out;
}

// Every tag, read back through the reader and from the kept state: each
// serial on exactly one tag, with its TID as logged, PC length 6, the
// access password set and locked, the EPC bank locked; and every serial has one
// "ok" line in the log.
void expect_all_commissioned(const Scratch &dir) {
  const ToolRun read = run_tool("--emulate-state " + dir.path("reader.json") + " inventory");
  ASSERT_EQ(read.exit_code, 0) << read.err;
  std::multiset<std::string> expected, seen;
  for (int i = 0; i < kTags; ++i) expected.insert(sgtin(kFirstSerial + i));
  for (const std::string &line : lines_of(read.out)) seen.insert(line);
  EXPECT_EQ(seen, expected);

  std::map<std::string, std::string> tid_of;  // EPC -> TID, from the ok lines
  for (const LogLine &l : log_lines(dir)) {
    if (l.result == "ok") {
      EXPECT_TRUE(tid_of.emplace(l.epc, l.tid).second) << "twice: " << l.serial;
    }
  }
  EXPECT_EQ(tid_of.size(), std::size_t{kTags});

  const json state = json::parse(slurp(dir.path("reader.json")));
  for (const json &tag : state.at("gen2")) {
    const auto epc_bank = tag.at("banks")[1].get<std::vector<unsigned>>();
    const auto tid_bank = tag.at("banks")[2].get<std::vector<unsigned>>();
    const auto reserved = tag.at("banks")[0].get<std::vector<unsigned>>();
    const std::string epc = words_hex(epc_bank, 2, 2 + (epc_bank[1] >> 11));
    const std::string tid = words_hex(tid_bank, 0, tid_bank.size());
    EXPECT_EQ(epc_bank[1] >> 11, 6u) << epc;
    EXPECT_EQ(tid_of[epc], tid) << epc;
    EXPECT_EQ(reserved[2], 0x1122u);
    EXPECT_EQ(reserved[3], 0x3344u);
    EXPECT_EQ(tag.at("lock")[1], 1) << "access password locked";
    EXPECT_EQ(tag.at("lock")[2], 1) << "EPC bank locked";
  }
}

TEST(ToolCommission, TwentyTagsAreWrittenVerifiedLockedAndLogged) {
  Scratch dir;
  const ToolRun r = run_tool(station(dir, "--json"));
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  const std::vector<std::string> events = lines_of(r.out);
  ASSERT_EQ(events.size(), std::size_t{kTags + 1});
  const json end = json::parse(events.back());
  EXPECT_EQ(end.at("result"), "complete");
  EXPECT_EQ(end.at("done"), kTags);
  for (int i = 0; i < kTags; ++i) {
    const json tag = json::parse(events[std::size_t(i)]);
    EXPECT_EQ(tag.at("serial"), std::to_string(kFirstSerial + i));
    EXPECT_EQ(tag.at("result"), "ok");
    EXPECT_EQ(tag.at("done"), i + 1);
  }
  expect_all_commissioned(dir);
  // Run again: every serial is used, nothing is written twice.
  const ToolRun again = run_tool(station(dir));
  EXPECT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(log_lines(dir).size(), std::size_t{2 * kTags});
}

// A run killed (SIGKILL, no clean-up) at a random tag, before or after the
// tag took its EPC, or once it was locked but not yet logged, and the same
// command run again: the cut-short serial is reported, finished on the same
// tag (found by its TID or its new EPC), and no serial goes to two tags.
class ToolCommissionCrash : public ::testing::TestWithParam<const char *> {};

TEST_P(ToolCommissionCrash, TheRerunResumesWithoutGivingASerialTwice) {
  std::random_device random;
  const int at = 1 + static_cast<int>(random() % kTags);
  const std::string serial = std::to_string(kFirstSerial + at - 1);
  SCOPED_TRACE("killed at tag " + std::to_string(at) + " " + GetParam());
  Scratch dir;
  const ToolRun killed =
      run_tool(station(dir), "", std::string("VELKOR_COMMISSION_CRASH=") +
                                     std::to_string(at) + ":" + GetParam());
  ASSERT_NE(killed.exit_code, 0) << killed.out;
  const std::vector<LogLine> cut = log_lines(dir);
  ASSERT_EQ(cut.size(), std::size_t(2 * at - 1));
  EXPECT_EQ(cut.back().serial, serial);
  EXPECT_EQ(cut.back().result, "writing");

  const ToolRun resumed = run_tool(station(dir));
  ASSERT_EQ(resumed.exit_code, 0) << resumed.err << resumed.out;
  EXPECT_NE(resumed.out.find("serial " + serial + " (urn:epc:tag:sgtin-96:3.0614141.812345." +
                             serial + ") was being written to tag " + cut.back().tid),
            std::string::npos)
      << resumed.out;
  EXPECT_NE(resumed.out.find("serial " + serial + ": tag " + cut.back().tid + " is back"),
            std::string::npos)
      << resumed.out;
  expect_all_commissioned(dir);
}

INSTANTIATE_TEST_SUITE_P(Stage, ToolCommissionCrash,
                         ::testing::Values("before-write", "after-write", "before-outcome"));

// Runs that stop: the exit status and the line that says why.
struct Stop {
  std::string args;
  int exit_code;
  std::string says;  // on stdout or stderr
};

class ToolCommissionStops : public ::testing::TestWithParam<Stop> {};

TEST_P(ToolCommissionStops, WithTheReason) {
  const Stop &c = GetParam();
  const ToolRun r = run_tool(c.args);
  EXPECT_EQ(r.exit_code, c.exit_code) << r.out << r.err;
  EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << r.out << r.err;
}

const std::string kRange = "commission --gtin " + kGtin + " --prefix-length 7 --serial-from 1 ";

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolCommissionStops,
    ::testing::Values(
        Stop{"--emulate-tags 2 " + kRange + "--count 1 --timeout 0", 3,
             "2 tags in the field: leave only the one"},
        Stop{"--emulate-feed 1 " + kRange + "--count 2 --timeout 0", 3,
             "1 of 2 commissioned (1 in this run"},
        Stop{"--emulate-tags 0 " + kRange + "--count 1 --timeout 0", 3,
             "no tag to commission within 0 s"},
        Stop{"--emulate-feed 1 commission --gtin 80614141123459 --prefix-length 7 "
             "--serial-from 1 --count 1", 2, "check digit"},
        Stop{"--emulate-feed 1 " + kRange + "--count 1 --lock epc --access-password 00000000",
             2, "non-zero --access-password"},
        Stop{"--emulate-feed 1 " + kRange + "--count 1 --from x.csv", 2, "excludes"},
        Stop{"--emulate-feed 1 commission --from /nonexistent.csv", 2, "cannot read"},
        Stop{"--emulate-feed 1 commission --gtin " + kGtin +
                 " --prefix-length 7 --serial-from 274877906943 --count 2 --scheme sgtin-96",
             2, "serial 274877906944"}));

// The log as a rerun finds it: a last line cut short by a power cut is
// dropped (the write waits for its line, so its tag was never written); a
// file that is no commissioning log stops the run before any tag.
TEST(ToolCommission, TheLogIsReadBeforeAnyTagIsWritten) {
  struct Case {
    std::string text;
    int exit_code;
    std::string says;
    std::size_t lines_after;
  };
  for (const Case &c :
       {Case{"time,serial,epc,uri,tid,result\n2026-12-09T10:00:00.000Z,1,3014257B", 0,
             "1 of 1 commissioned", 3},
        Case{"name,price\nsoap,3\n", 2, "line 1 is not a commissioning log line", 2}}) {
    Scratch dir;
    std::ofstream(dir.path("log.csv")) << c.text;
    const ToolRun r = run_tool("--emulate-feed 1 " + kRange + "--count 1 --timeout 0 --log " +
                               dir.path("log.csv"));
    EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
    EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << r.out << r.err;
    EXPECT_EQ(lines_of(slurp(dir.path("log.csv"))).size(), c.lines_after) << c.text;
  }
}

// Ctrl-C while the run waits for a tag ends it with the summary, as shells
// count a Ctrl-C.
TEST(ToolCommission, SigintStopsTheWaitWithASummary) {
  using namespace std::chrono_literals;
  RunningTool tool("--emulate-tags 2 " + kRange + "--count 1 --timeout 600");
  ASSERT_TRUE(tool.wait_for("2 tags in the field", 10s));
  tool.signal(SIGINT);
  const ToolRun r = tool.finish(10s);
  EXPECT_EQ(r.exit_code, 130) << r.err;
  EXPECT_NE(r.out.find("0 of 1 commissioned (0 in this run, "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("): stopped"), std::string::npos) << r.out;
}

// A file of identities: a header, a comment, an SGTIN-198 URI (the PC
// word's length bits change) and a hex EPC; both read back as written.
TEST(ToolCommission, IdentitiesFromAFileChangeTheEpcLength) {
  Scratch dir;
  const std::string wide = "urn:epc:tag:sgtin-198:3.0614141.812345.A%2FB-1";
  std::ofstream(dir.path("plan.csv")) << "uri,comment\n# tray 1\n" << wide
                                      << ",first\n300000000000000000000042\n";
  const ToolRun r = run_tool("--emulate-state " + dir.path("reader.json") +
                             " --emulate-feed 2 commission --from " + dir.path("plan.csv") +
                             " --timeout 0");
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  const ToolRun read = run_tool("--emulate-state " + dir.path("reader.json") + " inventory");
  EXPECT_EQ(read.out, epc::Epc::from_tag_uri(wide).hex() + "\n300000000000000000000042\n");
}

}  // namespace
}  // namespace velkor::test
