// Tag passwords kept off the command line, where every user of the machine
// sees them: from a file (--password-file, --access-password-file) or from
// the environment ($VELKOR_TAG_PASSWORD, $VELKOR_ACCESS_PASSWORD).
#include <gtest/gtest.h>

#include "tests/tool/run_tool.h"
#include "tests/tool/scratch.h"

namespace velkor::test {
namespace {

const char *const kTags[] = {"5CC1EC67555EC90BB5B90280", "8BFE5DC0A28A57A84A3B0B63",
                             "8FCD06ACB99FB6F77135F7AB"};

TEST(ToolTagPassword, KillsWithAPasswordFromAFileOrTheEnvironment) {
  Scratch s;
  const std::string reader = "--emulate-state " + s.path("reader.json") + " ";
  // The three tags get kill password 11223344.
  for (const char *epc : kTags)
    ASSERT_EQ(run_tool(reader + "write --bank reserved --addr 0 --data 11223344 --epc " + epc)
                  .exit_code, 0);
  write_file(s.path("right"), "11223344\n");
  write_file(s.path("wrong"), "99999999\n");
  write_file(s.path("bad"), "my secret words\n");
  struct Case {
    std::string how;  // options after the EPC
    std::string env;
    int exit_code;
    const char *says;
    bool killed;
  };
  std::size_t tag = 0;  // the next tag still alive
  for (const Case &c : {
           Case{"--password-file " + s.path("wrong"), "", 1, "", false},
           Case{"--password-file " + s.path("bad"), "", 2, "is not 8 hex digits", false},
           Case{"", "VELKOR_TAG_PASSWORD=zz", 2, "is not 8 hex digits", false},
           Case{"--password-file " + s.path("right") + " --password 11223344", "", 2, "excludes",
                false},
           Case{"", "", 2, "the kill password", false},
           Case{"--password-file " + s.path("right"), "", 0, "", true},
           Case{"", "VELKOR_TAG_PASSWORD=11223344", 0, "", true},
           Case{"--password 11223344", "", 0, "", true},
       }) {
    SCOPED_TRACE(c.how + " " + c.env);
    const std::string epc = kTags[tag];
    const ToolRun r = run_tool(reader + "kill --yes --epc " + epc + " " + c.how, "", c.env);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.out << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("secret words"), std::string::npos) << "the file was shown";
    const ToolRun left = run_tool(reader + "inventory");
    EXPECT_EQ(left.out.find(epc) == std::string::npos, c.killed) << left.out;
    if (c.killed) ++tag;
  }
}

TEST(ToolTagPassword, CommissioningSetsAnAccessPasswordFromAFileOrTheEnvironment) {
  for (const bool from_file : {true, false}) {
    Scratch s;
    write_file(s.path("access"), "1A2B3C4D\n");
    const std::string reader = "--emulate-state " + s.path("reader.json") + " ";
    const ToolRun r = run_tool(
        reader + "--emulate-feed 1 commission --gtin 80614141123458 --prefix-length 7 "
                 "--serial-from 1 --count 1 --timeout 0 --lock epc" +
            (from_file ? " --access-password-file " + s.path("access") : ""),
        "", from_file ? "" : "VELKOR_ACCESS_PASSWORD=1A2B3C4D");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const ToolRun words = run_tool(reader + "read --bank reserved --addr 2 --words 2 "
                                            "--password-file " + s.path("access"));
    EXPECT_EQ(words.exit_code, 0) << words.err;
    EXPECT_EQ(words.out, "1A2B 3C4D\n");
  }
}

}  // namespace
}  // namespace velkor::test
