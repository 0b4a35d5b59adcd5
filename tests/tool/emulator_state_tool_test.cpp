// The emulated reader's state file (--emulate-state) as the tool meets it:
// a second tool while a run holds it, also after the run saved it once;
// links, FIFOs and devices where the file should be; values that do not fit
// the reader; and the file's mode across a save.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <set>
#include <nlohmann/json.hpp>

#include "tests/tool/run_tool.h"
#include "tests/tool/scratch.h"

namespace velkor::test {
namespace {

using namespace std::chrono_literals;

constexpr long kMostMemoryKb = 150 * 1024;

std::string commission_two(const std::string &state, const std::string &log) {
  return "--emulate-state " + state +
         " --emulate-feed 1 commission --gtin 80614141123458 --prefix-length 7 "
         "--serial-from 1 --count 2 --timeout 600 --log " + log;
}

TEST(ToolEmulatorState, ASecondToolIsKeptOutForTheWholeRunAlsoAfterItsFirstSave) {
  Scratch s;
  const std::string state = s.path("reader.json");
  RunningTool run(commission_two(state, s.path("log.csv")));
  // The first tag is done, and the state saved with it; the run waits on.
  ASSERT_TRUE(run.wait_for("1/2 serial 1 ", 20s));
  const ToolRun second = run_tool("--emulate-state " + state + " power --set 5");
  EXPECT_EQ(second.exit_code, 2) << second.out;
  EXPECT_EQ(second.err, "velkor: '" + state +
                            "' is in use by another program; wait for it with --wait\n");
  // With --wait it goes once the run has ended, and both changes are kept.
  RunningTool waiting("--emulate-state " + state + " --wait power --set 5");
  run.signal(SIGINT);
  EXPECT_EQ(run.finish(20s).exit_code, 130);
  const ToolRun waited = waiting.finish(20s);
  EXPECT_EQ(waited.exit_code, 0) << waited.err;
  EXPECT_EQ(waited.out, "power 5 dBm\n");
  const nlohmann::json kept = nlohmann::json::parse(slurp(state));
  EXPECT_EQ(kept.at("settings").at("power"), 5);
  EXPECT_EQ(kept.at("feed").at("waiting").size(), 0u) << "the commissioned tag was lost";
}

TEST(ToolEmulatorState, LinksFifosAndDevicesAreRefusedAtOnceAndNothingIsWrittenThroughALink) {
  struct Case {
    const char *what;
    std::string state;                       // the --emulate-state argument, in the scratch dir
    void (*plant)(const Scratch &);
    const char *says;                        // "" when the run goes ahead
  };
  for (const Case &c : {
           Case{"a link to another file", "reader.json",
                [](const Scratch &s) { ::symlink(s.path("precious").c_str(), s.path("reader.json").c_str()); },
                "is a symbolic link"},
           Case{"a FIFO", "reader.json",
                [](const Scratch &s) { ::mkfifo(s.path("reader.json").c_str(), 0600); },
                "is a FIFO, not a regular file"},
           Case{"a link planted as the file saved beside it", "reader.json",
                [](const Scratch &s) { ::symlink(s.path("precious").c_str(), s.path("reader.json.new").c_str()); },
                ""},
           Case{"a link planted as its lock file", "reader.json",
                [](const Scratch &s) { ::symlink(s.path("precious").c_str(), s.path("reader.json.lock").c_str()); },
                "is a symbolic link"},
           Case{"/dev/zero", "/dev/zero", [](const Scratch &) {}, "is a device, not a regular file"},
       }) {
    SCOPED_TRACE(c.what);
    Scratch s;
    write_file(s.path("precious"), "precious\n");
    c.plant(s);
    const std::string state = c.state[0] == '/' ? c.state : s.path(c.state);
    RunningTool tool("--emulate-state " + state + " power --set 5");
    const ToolRun r = tool.finish(20s);
    if (*c.says) {
      EXPECT_EQ(r.exit_code, 2) << r.out << r.err;
      EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    } else {
      EXPECT_EQ(r.exit_code, 0) << r.err;
    }
    EXPECT_LT(r.peak_memory_kb, kMostMemoryKb);
    EXPECT_EQ(slurp(s.path("precious")), "precious\n");
  }
}

TEST(ToolEmulatorState, ValuesThatDoNotFitTheReaderAreRefusedNotWrapped) {
  struct Case {
    const char *section;  // "" for the top level
    const char *key;
    nlohmann::json value;
    const char *says;
  };
  for (const Case &c : {Case{"settings", "power", 300, "'power' is 300, not a number from 0 to 255"},
                        Case{"settings", "power", -5, "'power' is -5, not a number from 0 to 255"},
                        Case{"settings", "beep", 2.5, "'beep' is 2.5, not a number from 0 to 255"},
                        Case{"", "address", 256, "'address' is 256, not a number from 0 to 255"},
                        Case{"io", "relay", "1", "'relay' is \"1\", not a number from 0 to 255"},
                        Case{"", "rng", "12AB", "'rng' is not 16 hex digits"}}) {
    SCOPED_TRACE(std::string(c.key) + " " + c.value.dump());
    Scratch s;
    const std::string state = s.path("reader.json");
    ASSERT_EQ(run_tool("--emulate-state " + state + " power").exit_code, 0);
    nlohmann::json j = nlohmann::json::parse(slurp(state));
    (*c.section ? j[c.section] : j)[c.key] = c.value;
    write_file(state, j.dump(1));
    const ToolRun r = run_tool("--emulate-state " + state + " power");
    EXPECT_EQ(r.exit_code, 2) << r.out;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(slurp(state), j.dump(1)) << "the file was changed";
  }
}

// --emulate-feed on a file that exists: the tags join the pile, and they
// are new ones (the random sequence goes on where the last run left it).
TEST(ToolEmulatorState, AFeedOnAFileThatExistsAddsFreshTagsToThePile) {
  Scratch s;
  const std::string feed = "--emulate-state " + s.path("reader.json") + " --emulate-feed 1 ";
  const ToolRun first = run_tool(feed + "inventory");
  ASSERT_EQ(first.exit_code, 0) << first.err;
  ASSERT_EQ(lines_of(first.out).size(), 1u);
  ASSERT_EQ(run_tool(feed + "write-epc 3000AABB").exit_code, 0);
  // The renamed tag stays; the one added by the last run is placed beside it.
  const ToolRun r = run_tool(feed + "inventory");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> epcs = lines_of(r.out);
  ASSERT_EQ(epcs.size(), 2u) << r.out;
  EXPECT_EQ(epcs[0], "3000AABB");
  // Each run added one: every tag, placed or waiting, is a different one.
  const nlohmann::json kept = nlohmann::json::parse(slurp(s.path("reader.json")));
  std::set<nlohmann::json> tids;
  for (const nlohmann::json &tag : kept.at("gen2")) tids.insert(tag.at("banks")[2]);
  for (const nlohmann::json &tag : kept.at("feed").at("waiting")) tids.insert(tag.at("banks")[2]);
  EXPECT_EQ(kept.at("feed").at("waiting").size(), 1u);
  EXPECT_EQ(tids.size(), 3u) << "a tag made twice";
}

TEST(ToolEmulatorState, SavingKeepsTheFilesMode) {
  Scratch s;
  const std::string state = s.path("reader.json");
  ASSERT_EQ(run_tool("--emulate-state " + state + " power").exit_code, 0);
  for (const mode_t mode : {0600, 0640, 0664}) {
    ::chmod(state.c_str(), mode);
    ASSERT_EQ(run_tool("--emulate-state " + state + " power --set 7").exit_code, 0);
    struct stat st {};
    ::stat(state.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
}

}  // namespace
}  // namespace velkor::test
