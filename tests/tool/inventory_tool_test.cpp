// inventory against the emulator: one round in each format, the mask, and
// --watch (rounds, SIGINT, a closed output).  A reader unplugged and
// plugged in again during a watch is the core's test (tests/app/watch_test.cpp).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

#include "tests/tool/emulated_model.h"
#include "tests/tool/run_tool.h"

namespace velkor::test {
namespace {

using namespace std::chrono_literals;

// Plain inventory prints EPCs only on stdout (the count goes to stderr).
std::vector<std::string> epc_lines(const ToolRun &r) { return lines_of(r.out); }

TEST(ToolInventory, OneRoundPrintsTheEmulatedTags) {
  const ToolRun r = run_tool("--emulate inventory");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(epc_lines(r), emulated_epcs());
  EXPECT_EQ(r.err, "6 tags, antenna 0x01\n");
}

TEST(ToolInventory, TheSeedChoosesThePopulation) {
  const ToolRun r = run_tool("--emulate=7 inventory");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(epc_lines(r), emulated_epcs(7));
  EXPECT_NE(emulated_epcs(7), emulated_epcs(1));
}

// As many tags as the emulator's C API takes: more than one round's reply
// holds, so the rounds take turns and every tag is read within a few.
TEST(ToolInventory, AThousandEmulatedTagsAreAllRead) {
  const ToolRun r = run_tool("--emulate-tags 1000 inventory --rounds 3 --unique");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> epcs = lines_of(r.out);
  EXPECT_EQ(std::set<std::string>(epcs.begin(), epcs.end()).size(), 1000u);
  EXPECT_EQ(epcs.size(), 1000u);
}

TEST(ToolInventory, JsonLinesParseOneObjectPerTag) {
  const ToolRun r = run_tool("--emulate inventory --json");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::string> epcs;
  for (const std::string &line : lines_of(r.out)) {
    const nlohmann::json j = nlohmann::json::parse(line);
    EXPECT_EQ(j.at("round"), 1);
    EXPECT_EQ(j.at("antenna"), 1);
    EXPECT_EQ(j.at("time").get<std::string>().size(), 24u) << j;  // 2024-05-01T12:00:00.000Z
    epcs.push_back(j.at("epc"));
  }
  EXPECT_EQ(epcs, emulated_epcs());
}

TEST(ToolInventory, CsvHasAHeaderThenOneRowPerTag) {
  const ToolRun r = run_tool("--emulate inventory --csv");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 7u) << r.out;
  EXPECT_EQ(lines[0], "round,time,epc,antenna");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("1,", 0), 0u) << lines[i];
    EXPECT_NE(lines[i].find("," + emulated_epcs()[i - 1] + ",1"), std::string::npos) << lines[i];
  }
}

TEST(ToolInventory, AMaskSelectsTheTagsThatMatch) {
  const std::string second = emulated_epcs()[1];
  // The first 16 bits of the second tag's EPC, at the EPC's bit address.
  ToolRun r = run_tool("--emulate inventory --mask " + second.substr(0, 4));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(epc_lines(r), std::vector<std::string>{second});

  // The same bits in the TID bank match nothing.
  r = run_tool("--emulate inventory --mask-bank tid --mask " + second.substr(0, 4));
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_EQ(r.err, "velkor: inventory failed: 0xFB (no tag in the field)\n");
}

// The summary table: one line per tag with its read count.
void expect_summary(const std::string &text, unsigned rounds) {
  for (const std::string &epc : emulated_epcs()) {
    const std::size_t at = text.find(epc + " ");
    ASSERT_NE(at, std::string::npos) << epc << " missing from\n" << text;
    unsigned reads = 0;
    std::sscanf(text.c_str() + at + epc.size(), "%u", &reads);
    EXPECT_EQ(reads, rounds) << epc;
  }
}

// Each tag's EPC and TID as `inventory --tid` prints them.
std::vector<std::string> epc_and_tid_lines() {
  std::vector<std::string> lines;
  for (const emu::Gen2Tag &tag : emulated_model().tags.gen2) {
    std::string tid = bank_words(tag, emu::kTidBank, 0, 6);
    tid.erase(std::remove(tid.begin(), tid.end(), ' '), tid.end());
    lines.push_back(app::to_hex(tag.epc()) + "  " + tid);
  }
  return lines;
}

std::vector<std::string> repeated(const std::vector<std::string> &lines, int times) {
  std::vector<std::string> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), lines.begin(), lines.end());
  return all;
}

struct OptionCase {
  const char *name;
  std::string args;               ///< after --emulate inventory
  std::vector<std::string> out;   ///< standard output, line by line
  std::string err;                ///< what standard error holds
};

class ToolInventoryOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ToolInventoryOptions, PrintsWhatTheOptionsAskFor) {
  const OptionCase &c = GetParam();
  const ToolRun r = run_tool("--emulate inventory " + c.args);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(lines_of(r.out), c.out);
  EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolInventoryOptions,
    ::testing::Values(
        OptionCase{"tid_beside_each_epc", "--tid", epc_and_tid_lines(), "6 tags"},
        OptionCase{"rounds_print_every_read", "--rounds 3", repeated(emulated_epcs(), 3),
                   "6 unique tags, 18 reads in 3 rounds"},
        OptionCase{"unique_prints_each_tag_once", "--rounds 3 --unique --tid",
                   epc_and_tid_lines(), "6 unique tags, 18 reads in 3 rounds"},
        // Tiny values: a real clock, but no test waits long on it.
        OptionCase{"duration_and_interval", "--duration 0.2 --interval 20 --unique",
                   emulated_epcs(), "6 unique tags"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ToolInventory, TidAppearsInJsonAndCsv) {
  const std::vector<std::string> want = epc_and_tid_lines();
  const ToolRun json = run_tool("--emulate inventory --tid --json");
  const ToolRun csv = run_tool("--emulate inventory --tid --csv");
  ASSERT_EQ(json.exit_code, 0) << json.err;
  const std::vector<std::string> records = lines_of(json.out), rows = lines_of(csv.out);
  ASSERT_EQ(records.size(), want.size()) << json.out;
  ASSERT_EQ(rows.size(), want.size() + 1) << csv.out;
  EXPECT_EQ(rows[0], "round,time,epc,antenna,tid");
  for (std::size_t i = 0; i < want.size(); ++i) {
    const nlohmann::json j = nlohmann::json::parse(records[i]);
    EXPECT_EQ(j.at("epc").get<std::string>() + "  " + j.at("tid").get<std::string>(), want[i]);
    EXPECT_NE(rows[i + 1].find(",1," + want[i].substr(want[i].find("  ") + 2)), std::string::npos)
        << rows[i + 1];
  }
}

TEST(ToolInventory, OutputFileGetsWhatStdoutWould) {
  const std::string path = "/tmp/velkor-output-" + std::to_string(::getpid());
  const ToolRun r = run_tool("--emulate inventory --rounds 2 --unique --output " + path);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  std::FILE *f = std::fopen(path.c_str(), "r");
  ASSERT_NE(f, nullptr);
  std::string text(4096, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), f));
  std::fclose(f);
  std::remove(path.c_str());
  EXPECT_EQ(lines_of(text), emulated_epcs());
  const ToolRun refused = run_tool("--emulate inventory --output /nonexistent/dir/x");
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.err.find("--output: cannot write '/nonexistent/dir/x'"), std::string::npos)
      << refused.err;
}

TEST(ToolInventoryWatch, ColumnsChooseTheTablesColumnsInOrder) {
  const ToolRun r =
      run_tool("--emulate inventory --watch --rounds 2 --tid --columns epc,tid,antenna,reads");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string &l) {
    return l.rfind("EPC", 0) == 0;
  });
  ASSERT_NE(header, lines.end()) << r.out;
  EXPECT_EQ(*header, "EPC                       TID                       ANTENNA  READS");
  // Seen last in the same round, the tags go by EPC.
  std::vector<std::string> tags = epc_and_tid_lines();
  std::sort(tags.begin(), tags.end());
  EXPECT_EQ(*(header + 1), tags.front() + "     0x01      2");
}

TEST(ToolInventoryWatch, StopsAfterItsRoundsWithASummary) {
  // Not on a terminal: the progress and the summary's line on stderr, as
  // plain inventory's count, and the table alone on stdout.
  const ToolRun r = run_tool("--emulate inventory --watch --rounds 3");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("round 3: 6 tags, 6 unique so far"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("done after 3 rounds"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(": 6 unique tags, 18 reads"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.rfind("EPC ", 0), 0u) << r.out;
  expect_summary(r.out, 3);
}

TEST(ToolInventoryWatch, JsonStreamsEveryRoundAndKeepsTheSummaryOffStdout) {
  const ToolRun r = run_tool("--emulate inventory --watch --rounds 2 --json");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::multiset<unsigned> rounds;
  std::set<std::string> epcs;
  for (const std::string &line : lines_of(r.out)) {
    const nlohmann::json j = nlohmann::json::parse(line);
    rounds.insert(j.at("round").get<unsigned>());
    epcs.insert(j.at("epc").get<std::string>());
  }
  EXPECT_EQ(rounds.count(1), 6u);
  EXPECT_EQ(rounds.count(2), 6u);
  const std::vector<std::string> all = emulated_epcs();
  EXPECT_EQ(epcs, std::set<std::string>(all.begin(), all.end()));
  EXPECT_NE(r.err.find("done after 2 rounds"), std::string::npos) << r.err;
}

TEST(ToolInventoryWatch, SigintStopsItCleanlyWithASummary) {
  RunningTool tool("--emulate inventory --watch");
  ASSERT_TRUE(tool.wait_for("round 2:", 10s, RunningTool::kErr));
  tool.signal(SIGINT);
  const ToolRun r = tool.finish(10s);
  EXPECT_EQ(r.exit_code, 130) << r.err;  // as shells count a Ctrl-C
  unsigned rounds = 0;
  const std::size_t at = r.err.find("stopped after ");
  ASSERT_NE(at, std::string::npos) << r.err;
  std::sscanf(r.err.c_str() + at, "stopped after %u rounds", &rounds);
  EXPECT_GE(rounds, 2u);
  EXPECT_NE(r.err.find("round " + std::to_string(rounds) + ":"), std::string::npos);
  EXPECT_EQ(r.err.find("velkor:"), std::string::npos) << r.err;  // no complaint
  expect_summary(r.out, rounds);
}

TEST(ToolInventoryWatch, StopsWhenItsOutputIsClosed) {
  // `velkor inventory --watch --json | head -1`: once the reader of the
  // pipe is gone the watch ends, and not as a success.
  RunningTool tool("--emulate inventory --watch --json");
  ASSERT_TRUE(tool.wait_for("\n", 10s));
  tool.close_output();
  const ToolRun r = tool.finish(10s);
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
}

}  // namespace
}  // namespace velkor::test

namespace velkor::test {
namespace {

TEST(ToolExclusive, ASecondRunOnTheReaderIsRefusedUntilTheFirstEnds) {
  const std::string state = "/tmp/velkor-exclusive-" + std::to_string(getpid());
  RunningTool first("--emulate-state " + state + " inventory --watch");
  ASSERT_TRUE(first.wait_for("round 1:", 10s, RunningTool::kErr));
  ToolRun r = run_tool("--emulate-state " + state + " power");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.err, "velkor: '" + state + "' is in use by another program; wait for it with "
                   "--wait\n");
  RunningTool waiting("--emulate-state " + state + " --wait power");
  first.signal(SIGINT);
  EXPECT_EQ(first.finish(10s).exit_code, 130);
  r = waiting.finish(10s);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "power 30 dBm\n");
  std::remove(state.c_str());
  std::remove((state + ".lock").c_str());
}

TEST(ToolScripting, StdoutAndStderrKeepTheirOrderInOnePipe) {
  // The count after the EPCs, the failure after the last line that worked.
  const std::string script = "/tmp/velkor-order-" + std::to_string(getpid());
  std::FILE *f = std::fopen(script.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("inventory\nread --bank user --addr 300\n", f);
  std::fclose(f);
  std::FILE *pipe =
      popen((std::string(VELKOR_TOOL_PATH) + " --emulate script " + script + " 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  ToolRun r;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
  pclose(pipe);
  std::remove(script.c_str());
  const std::vector<std::string> epcs = emulated_epcs();
  std::string want;
  for (const std::string &e : epcs) want += e + "\n";
  want += "6 tags, antenna 0x01\nvelkor: read failed: 0xFC (tag error: memory overrun)\n"
          "velkor: script stopped at line 2\n";
  EXPECT_EQ(r.out, want);
}

}  // namespace
}  // namespace velkor::test
