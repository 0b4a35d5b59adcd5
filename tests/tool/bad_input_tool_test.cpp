// Bad input gets one clear line on standard error, a non-zero exit and no
// half-done command; every subcommand explains itself with --help.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "tests/tool/run_tool.h"

namespace velkor::test {
namespace {

struct BadInput {
  std::string args;
  const char *message;
};

class ToolBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(ToolBadInput, GivesOneLineAndANonZeroExit) {
  // --trace shows any report that went out: bad input must send none.
  const ToolRun r = run_tool(std::string("--trace ") + GetParam().args);
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Global, ToolBadInput,
    ::testing::Values(BadInput{"", "a subcommand is required: list, info, inventory, read"},
                      BadInput{"--emulate --address 300 info", "300 is not in range 0 to 255"},
                      BadInput{"--emulate --address 010x info", "'010x' is not a number"},
                      BadInput{"--emulate --device -1 info", "--device"},
                      BadInput{"--emulate frobnicate", "unknown subcommand 'frobnicate'"},
                      BadInput{"--emulate script /", "script: cannot read '/'"},
                      BadInput{"--emulate-tags 1,2,3 info", "--emulate-tags"},
                      BadInput{"--device hidraw info", "'hidraw' is neither an index"},
                      BadInput{"--emulate=x info", "--emulate: 'x' is not a seed"},
                      BadInput{"--emulate=-1 info", "'-1' is not a seed"},
                      BadInput{"--emulate=18446744073709551616 info", "is not a seed"}));

// The parser's own complaints, in the tool's words: the option, the value,
// and a guess at a slip of the keyboard.
INSTANTIATE_TEST_SUITE_P(
    Parser, ToolBadInput,
    ::testing::Values(
        BadInput{"--emulate invntory", "velkor: unknown subcommand 'invntory' (did you mean "
                                       "inventory?)"},
        BadInput{"--emulate 6b raed", "velkor: 6b: unknown subcommand 'raed' (did you mean read?)"},
        BadInput{"--emulate inventory --wach", "velkor: inventory: unknown option '--wach' (did "
                                               "you mean --watch?)"},
        BadInput{"--emulate --adress 3 info", "unknown option '--adress' (did you mean "
                                              "--address?)"},
        BadInput{"--emulate power --set", "velkor: power: --set needs a value"},
        BadInput{"--emulate power --set 1 2", "velkor: power: unexpected argument '2'"},
        BadInput{"--emulate config set --response 1", "--response needs 2 values, not 1"},
        BadInput{"--emulate inventory --duration abc", "--duration: 'abc' is not a number of "
                                                       "seconds"},
        BadInput{"--emulate inventory --duration 0", "--duration: 0 is not in range 0.1 to "
                                                     "86400"},
        BadInput{"--emulate inventory --watch --columns epc,age",
                 "--columns: unknown column 'age' (epc, reads, first, last, antenna, tid, uri)"},
        BadInput{"--emulate-tags 1001 info", "velkor: --emulate-tags: 1001 is not in range 0 to 1000"},
        BadInput{"--emulate inventory --sort reads", "inventory: --sort requires --watch"}));

INSTANTIATE_TEST_SUITE_P(
    Gen2, ToolBadInput,
    ::testing::Values(
        BadInput{"--emulate read --bank epc --addr 2 --epc 30G8", "--epc: '30G8' is not hex"},
        BadInput{"--emulate read --bank epc --addr 2 --epc 300",
                 "--epc: '300' has an odd number of hex digits"},
        BadInput{"--emulate read --bank epc --addr 2 --epc 300833",
                 "--epc: '300833' is 3 bytes, not whole 16-bit words"},
        BadInput{"--emulate read --bank foo --addr 2",
                 "--bank: unknown bank 'foo' (reserved, epc, tid, user, or 0 to 3)"},
        BadInput{"--emulate read --bank 4 --addr 2", "--bank: unknown bank '4'"},
        BadInput{"--emulate read --addr 2", "--bank is required"},
        BadInput{"--emulate read --bank epc", "--addr is required"},
        BadInput{"--emulate read --bank epc --addr 70000", "70000 is not in range 0 to 65535"},
        BadInput{"--emulate read --bank epc --addr 2 --words 0", "--words: 0 is not in range"},
        BadInput{"--emulate read --bank epc --addr 2 --password 1234",
                 "--password: '1234' is 2 bytes, not 4"},
        BadInput{"--emulate read --bank epc --addr 2 --mask-bits 4", "--mask-bits requires --mask"},
        BadInput{"--emulate read --bank epc --addr 2 --mask 30 --mask-bits 12",
                 "--mask-bits: 12 bits take 2 mask bytes, --mask has 1"},
        BadInput{"--emulate inventory --mask " + std::string(64, 'A'),
                 "--mask: a mask of 32 bytes needs --mask-bits (at most 255)"},
        BadInput{"--emulate read --bank epc --addr 2 --epc 3008 --mask 30",
                 "--epc excludes --mask"},
        BadInput{"--emulate erase --bank user --addr 300", "300 is not in range 0 to 255"},
        BadInput{"--emulate write --bank user --addr 0", "--data is required"},
        BadInput{"--emulate write --bank user --addr 0 --data 112233", "not whole 16-bit words"},
        BadInput{"--emulate write-epc", "epc is required"},
        BadInput{"--emulate write-epc 11", "is 1 byte, not 2 to 50"},
        BadInput{"--emulate lock --field foo --action lock", "unknown lock field 'foo'"},
        BadInput{"--emulate lock --field epc --action maybe", "unknown lock action 'maybe'"},
        BadInput{"--emulate kill", "--password: the kill password is needed"},
        BadInput{"--emulate privacy", "privacy: a subcommand is required: set, reset, check"},
        BadInput{"--emulate eas maybe", "eas: unknown subcommand 'maybe'"}));

INSTANTIATE_TEST_SUITE_P(
    Reader, ToolBadInput,
    ::testing::Values(
        BadInput{"--emulate inventory --columns epc --rounds 3", "--columns requires --watch"},
        BadInput{"--emulate inventory --json --csv", "--json excludes --csv"},
        BadInput{"--emulate 6b read --id 1122 --addr 0", "--id: '1122' is 2 bytes, not 8"},
        BadInput{"--emulate 6b write --id E000000000000000 --addr 0", "--data is required"},
        BadInput{"--emulate 6b inventory --condition zz", "unknown condition 'zz'"},
        BadInput{"--emulate buffer",
                 "buffer: a subcommand is required: inventory, count, read, clear, save-len"},
        BadInput{"--emulate region foo", "region: unknown subcommand 'foo'"},
        BadInput{"--emulate buffer save-len --set 256", "256 is not in range 0 to 255"},
        BadInput{"--emulate region set 6", "6 is not in range 1 to 5"},
        BadInput{"--emulate region set 1 --highest 20", "region 1 has 20 channels, 0 to 19"},
        BadInput{"--emulate region set 1 --lowest 5 --highest 3",
                 "5 is above the highest channel 3"},
        BadInput{"region channels 0", "0 is not in range 1 to 5"},
        BadInput{"--emulate power --set -1", "-1 is not in range 0 to 255"},
        BadInput{"--emulate config set", "nothing to set"},
        BadInput{"--emulate config set --response 1", "--response"},
        BadInput{"--emulate config set --mode sleepy", "unknown mode 'sleepy'"},
        BadInput{"--emulate clock --set 2024-02-30T00:00:00",
                 "'2024-02-30T00:00:00' is not a date"},
        BadInput{"--emulate clock --set yesterday", "give now or YYYY-MM-DDTHH:MM:SS"},
        BadInput{"--emulate gpio --set x", "'x' is not a number"},
        BadInput{"--emulate beep --set maybe", "unknown beep setting 'maybe'"},
        BadInput{"--emulate beep --control 1 2", "--control"},
        BadInput{"--emulate script /nonexistent", "cannot read '/nonexistent'"}));

TEST(ToolBadInput, AScriptStopsAtItsFirstBadLine) {
  const ToolRun r = run_tool("--emulate script", "power\nread --bank foo --addr 0\npower\n");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.out, "power 30 dBm\n");
  EXPECT_EQ(r.err,
            "velkor: read: --bank: unknown bank 'foo' (reserved, epc, tid, user, or 0 to 3) (see "
            "--help)\nvelkor: script stopped at line 2\n");
}

TEST(ToolBadInput, AScriptLineHasABoundedLength) {
  const ToolRun r = run_tool("--emulate script", "info\n" + std::string(5000, 'x') + "\ninfo\n");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.err, "velkor: script: line 2 of standard input is longer than 4096 characters\n");
}

TEST(ToolBadInput, AStateFileThatHoldsNoReaderIsLeftAlone) {
  const std::string path = "/tmp/velkor-badstate-" + std::to_string(::getpid());
  { std::FILE *f = std::fopen(path.c_str(), "w"); std::fputs("{\"address\": 0}", f); std::fclose(f); }
  const ToolRun r = run_tool("--emulate-state " + path + " info");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.err.find("holds no emulated reader"), std::string::npos) << r.err;
  std::FILE *f = std::fopen(path.c_str(), "r");
  char text[64] = {};
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::string(text, std::fread(text, 1, sizeof text, f)), "{\"address\": 0}");
  std::fclose(f);
  std::remove(path.c_str());
  std::remove((path + ".lock").c_str());
}

class ToolHelp : public ::testing::TestWithParam<const char *> {};

// A build without Boost or OpenSSL (the aarch64 cross build) has no serve.
#ifdef VELKOR_HAVE_SERVE
#define VELKOR_SERVE_HELP , "serve"
#else
#define VELKOR_SERVE_HELP
#endif

TEST_P(ToolHelp, EverySubcommandExplainsItselfWithExamplesThatParse) {
  const ToolRun r = run_tool(std::string(GetParam()) + " --help");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find(std::string("Usage: velkor ") + GetParam()), std::string::npos) << r.out;
  // What an option needs is said in its description, never beside its name.
  EXPECT_EQ(r.out.find("Needs:"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Excludes:"), std::string::npos) << r.out;
  const std::size_t examples = r.out.find("\nExamples:\n");
  ASSERT_NE(examples, std::string::npos) << r.out;
  // Each example that is a plain command line is good input (on the
  // emulator, with one tag so that no guard refuses, it may find no such
  // tag, but it is never refused as bad).
  for (const std::string &line : lines_of(r.out.substr(examples + 11))) {
    ASSERT_EQ(line.rfind("  ", 0), 0u) << line;
    // Those that pipe, write files or run on (a server too) are left out.
    const bool plain = line.rfind("  velkor ", 0) == 0 &&
                       line.find_first_of("|<>&'") == std::string::npos &&
                       line.find("--watch") == std::string::npos &&
                       line.find("--duration") == std::string::npos &&
                       line.find("--output") == std::string::npos &&
                       line.find("--log") == std::string::npos &&
                       line.find(" serve") == std::string::npos;
    if (!plain) continue;
    const ToolRun run = run_tool("--emulate-tags 1,2 " + line.substr(9));
    EXPECT_NE(run.exit_code, 2) << line << ": " << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Subcommands, ToolHelp,
    ::testing::Values("list", "info", "inventory", "read", "write", "erase", "write-epc", "lock",
                      "kill", "privacy", "privacy set", "privacy reset", "privacy check", "eas",
                      "eas on", "eas off", "eas alarm", "6b", "6b inventory", "6b read",
                      "6b write", "6b lock", "6b check-lock", "buffer", "buffer inventory",
                      "buffer count", "buffer read", "buffer clear", "buffer save-len", "region",
                      "region set", "region channels", "power", "config", "config set", "clock",
                      "gpio", "beep", "epc", "epc decode", "epc encode", "commission",
                      "script" VELKOR_SERVE_HELP));

}  // namespace
}  // namespace velkor::test
