// Gen2 tag commands against the emulator.  Commands that change a tag run as
// a script, so that the next line sees the change on the same emulated
// reader.
#include <gtest/gtest.h>

#include "tests/tool/emulated_model.h"
#include "tests/tool/run_tool.h"

namespace velkor::test {
namespace {

const std::vector<std::string> kEpcs = emulated_epcs();

TEST(ToolGen2Read, TheEpcBankHoldsTheFirstTagsEpc) {
  const ToolRun r = run_tool("--emulate read --bank epc --addr 2 --words 6");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, bank_words(emulated_model().tags.gen2[0], 1, 2, 6) + "\n");
}

TEST(ToolGen2Read, ByEpcReadsThatTag) {
  const ToolRun r = run_tool("--emulate read --bank tid --addr 0 --words 6 --epc " + kEpcs[3]);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, bank_words(emulated_model().tags.gen2[3], 2, 0, 6) + "\n");
}

TEST(ToolGen2Read, ByMaskReadsTheTagItMatches) {
  const ToolRun r = run_tool("--emulate read --bank 2 --addr 0 --words 6 --mask-bank epc "
                             "--mask-addr 0x20 --mask " + kEpcs[4].substr(0, 6));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, bank_words(emulated_model().tags.gen2[4], 2, 0, 6) + "\n");
}

TEST(ToolGen2Read, TagErrorsAreNamed) {
  // The user bank has 32 words: a pointer past it overruns (the extended
  // command carries the two-byte pointer).
  ToolRun r = run_tool("--emulate read --bank user --addr 300");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "velkor: read failed: 0xFC (tag error: memory overrun)\n");
  r = run_tool("--emulate read --bank user --addr 0 --epc 0102");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "velkor: read failed: 0xFB (no tag in the field)\n");
}

struct Script {
  const char *name;
  std::string lines;
  std::string out;  ///< standard output, exactly
  int exit_code = 0;
  std::string err = "";  ///< standard error, exactly
};

class ToolGen2Script : public ::testing::TestWithParam<Script> {};

TEST_P(ToolGen2Script, RunsOnOneEmulatedReader) {
  const Script &s = GetParam();
  const ToolRun r = run_tool("--emulate script", s.lines);
  EXPECT_EQ(r.exit_code, s.exit_code) << r.err;
  EXPECT_EQ(r.out, s.out);
  EXPECT_EQ(r.err, s.err);
}

std::string inventory_of(const std::vector<std::string> &epcs) {
  std::string out;
  for (const std::string &e : epcs) out += e + "\n";
  return out + std::to_string(epcs.size()) + " tag" + (epcs.size() == 1 ? "" : "s") +
         ", antenna 0x01\n";
}

std::vector<std::string> without(std::size_t i) {
  std::vector<std::string> epcs = kEpcs;
  epcs.erase(epcs.begin() + static_cast<std::ptrdiff_t>(i));
  return epcs;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolGen2Script,
    ::testing::Values(
        Script{"write_then_read_round_trips",
               "write --bank user --addr 4 --data 1122:3344\n"
               "read --bank user --addr 3 --words 4\n",
               "wrote 2 words\n0000 1122 3344 0000\n"},
        Script{"a_named_write_leaves_the_other_tags_alone",
               "write --bank user --addr 0 --data BEEF --epc " + kEpcs[2] + "\n" +
                   "read --bank user --addr 0 --epc " + kEpcs[2] + "\n" +
                   "read --bank user --addr 0\n",
               "wrote 1 word\nBEEF\n0000\n"},
        Script{"erase_zeroes_what_was_written",
               "write --bank user --addr 0 --data AAAABBBB\n"
               "erase --bank user --addr 1 --words 1\n"
               "read --bank user --addr 0 --words 2\n",
               "wrote 2 words\nerased 1 word\nAAAA 0000\n"},
        Script{"write_epc_renames_the_tag_in_the_field",
               "write-epc 1122334455667788\ninventory\n",
               "EPC written: 1122334455667788\n" + [] {
                 std::vector<std::string> epcs = kEpcs;
                 epcs[0] = "1122334455667788";
                 return inventory_of(epcs);
               }()},
        Script{"a_locked_bank_refuses_a_write_without_the_password",
               "write --bank reserved --addr 2 --data 12345678\n"
               "lock --field user --action lock --password 12345678\n"
               "write --bank user --addr 0 --data 0001 --password 12345678\n"
               "write --bank user --addr 0 --data 0002\n",
               "wrote 2 words\nuser: lock\nwrote 1 word\n", 1,
               "velkor: write failed: 0xFC (tag error: memory locked)\n"
               "velkor: script stopped at line 4\n"},
        Script{"kill_with_the_kill_password_removes_the_tag",
               "write --bank reserved --addr 0 --data 0000BEEF --epc " + kEpcs[1] + "\n" +
                   "kill --password 0000BEEF --epc " + kEpcs[1] + "\ninventory\n",
               "wrote 2 words\ntag killed\n" + inventory_of(without(1))},
        Script{"kill_with_a_wrong_password_is_refused",
               "write --bank reserved --addr 0 --data 0000BEEF\nkill --password 0000BEEE\n",
               "wrote 2 words\n", 1,
               "velkor: kill failed: 0xFC (tag error: other error)\n"
               "velkor: script stopped at line 2\n"},
        Script{"privacy_hides_a_tag_until_reset",
               "privacy set --epc " + kEpcs[5] + "\nprivacy check\ninventory\n" +
                   "privacy reset\nprivacy check\ninventory\n",
               "tag in privacy\nprivacy state 1: a tag is in privacy\n" +
                   inventory_of(without(5)) +
                   "privacy reset\nprivacy state 0: no tag is in privacy\n" +
                   inventory_of(kEpcs)},
        Script{"privacy_set_without_a_target_hides_the_first_tag",
               "privacy set\ninventory\n", "tag in privacy\n" + inventory_of(without(0))},
        Script{"the_eas_bit_raises_the_alarm",
               "eas on --mask " + kEpcs[3].substr(0, 8) + "\neas alarm\neas off --epc " +
                   kEpcs[3] + "\neas alarm\n",
               "EAS on\nEAS alarm\nEAS off\nno EAS alarm\n", 1,
               "velkor: script stopped at line 4\n"}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::test
