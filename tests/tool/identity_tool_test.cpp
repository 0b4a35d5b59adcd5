// The tool against the emulator: identity commands and bad input.
#include <gtest/gtest.h>

#include "tests/tool/run_tool.h"

namespace velkor::test {
namespace {

TEST(ToolIdentity, InfoShowsTheEmulatedReader) {
  ToolRun r = run_tool("--emulate info");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("protocols    EPC Gen2 ISO 18000-6B"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("library      1.3.0"), std::string::npos);
}

TEST(ToolIdentity, SeedsGiveReproducibleSerialNumbers) {
  ToolRun a = run_tool("--emulate=7 list"), b = run_tool("list --emulate=7"),
          c = run_tool("--emulate=8 list");
  EXPECT_EQ(a.exit_code, 0) << a.err;
  EXPECT_EQ(a.out, b.out) << "options may follow the subcommand";
  EXPECT_NE(a.out, c.out);
}

TEST(ToolIdentity, TraceShowsBothDirections) {
  ToolRun r = run_tool("--emulate --trace info");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.err.find("host > reader  02 05 04 FF 21 19 95"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("reader > host  01 12 11 00 21 00"), std::string::npos);
}

TEST(ToolIdentity, VersionFlag) {
  ToolRun r = run_tool("--version");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "velkor 1.3.0\n");
}

TEST(ToolIdentity, NoReaderPointsAtTheEmulatorAndTheUdevRule) {
  ToolRun r = run_tool("info");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.err.find("--emulate"), std::string::npos);
  EXPECT_NE(r.err.find("udev"), std::string::npos);
}

}  // namespace
}  // namespace velkor::test
