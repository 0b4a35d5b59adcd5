// Gen2 tag commands against the emulator.  Commands that change a tag run as
// a script, so that the next line sees the change on the same emulated
// reader.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>

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
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_EQ(r.err, "velkor: read failed: 0xFB (no tag in the field)\n");
}

struct Script {
  const char *name;
  std::string options;  ///< the emulated reader
  std::string lines;
  std::string out;  ///< standard output, exactly
  int exit_code = 0;
  std::string err = "";  ///< standard error, exactly
};

class ToolGen2Script : public ::testing::TestWithParam<Script> {};

TEST_P(ToolGen2Script, RunsOnOneEmulatedReader) {
  const Script &s = GetParam();
  const ToolRun r = run_tool(s.options + " script", s.lines);
  EXPECT_EQ(r.exit_code, s.exit_code) << r.err;
  EXPECT_EQ(r.out, s.out);
  EXPECT_EQ(r.err, s.err);
}

// What `inventory` prints on stdout: the EPCs only (its count goes to stderr).
std::string inventory_of(const std::vector<std::string> &epcs) {
  std::string out;
  for (const std::string &e : epcs) out += e + "\n";
  return out;
}

std::string count_of(std::size_t n) {
  return std::to_string(n) + " tag" + (n == 1 ? "" : "s") + ", antenna 0x01\n";
}

const std::string kSix = "--emulate";
const std::string kOne = "--emulate-tags 1";
const std::string kAlone = emulated_epcs(1, 1)[0];

std::vector<std::string> without(std::size_t i) {
  std::vector<std::string> epcs = kEpcs;
  epcs.erase(epcs.begin() + static_cast<std::ptrdiff_t>(i));
  return epcs;
}

std::vector<std::string> renamed(const std::vector<std::pair<std::size_t, std::string>> &changes) {
  std::vector<std::string> epcs = kEpcs;
  for (const auto &[i, epc] : changes) epcs[i] = epc;
  return epcs;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolGen2Script,
    ::testing::Values(
        Script{"write_then_read_round_trips", kOne,
               "write --bank user --addr 4 --data 1122:3344\n"
               "read --bank user --addr 3 --words 4\n",
               "wrote 2 words to tag " + kAlone + "\n0000 1122 3344 0000\n"},
        Script{"a_named_write_leaves_the_other_tags_alone", kSix,
               "write --bank user --addr 0 --data BEEF --epc " + kEpcs[2] + "\n" +
                   "read --bank user --addr 0 --epc " + kEpcs[2] + "\n" +
                   "read --bank user --addr 0\n",
               "wrote 1 word to tag " + kEpcs[2] + "\nBEEF\n0000\n"},
        Script{"erase_zeroes_what_was_written", kOne,
               "write --bank user --addr 0 --data AAAABBBB\n"
               "erase --bank user --addr 1 --words 1\n"
               "read --bank user --addr 0 --words 2\n",
               "wrote 2 words to tag " + kAlone + "\nerased 1 word of tag " + kAlone +
                   "\nAAAA 0000\n"},
        Script{"write_epc_renames_the_only_tag", kOne, "write-epc 1122334455667788\ninventory\n",
               "EPC of tag " + kAlone + " is now 1122334455667788\n1122334455667788\n", 0,
               count_of(1)},
        // The refusal's hint names --epc and --mask; write-epc takes both.
        Script{"write_epc_renames_the_tag_named_by_epc_or_mask", kSix,
               "write-epc 3000AABB --epc " + kEpcs[2] + "\nwrite-epc 3000CCDD --mask " +
                   kEpcs[4].substr(0, 4) + "\ninventory\n",
               "EPC of tag " + kEpcs[2] + " is now 3000AABB\nEPC of tag matching mask " +
                   kEpcs[4].substr(0, 4) + " is now 3000CCDD\n" +
                   inventory_of(renamed({{2, "3000AABB"}, {4, "3000CCDD"}})),
               0, count_of(6)},
        Script{"a_locked_bank_refuses_a_write_without_the_password", kOne,
               "write --bank reserved --addr 2 --data 12345678\n"
               "lock --field user --action lock --password 12345678\n"
               "write --bank user --addr 0 --data 0001 --password 12345678\n"
               "write --bank user --addr 0 --data 0002\n",
               "wrote 2 words to tag " + kAlone + "\nuser: lock on tag " + kAlone +
                   "\nwrote 1 word to tag " + kAlone + "\n",
               1,
               "velkor: write failed: 0xFC (tag error: memory locked)\n"
               "velkor: script stopped at line 4\n"},
        Script{"kill_with_the_kill_password_removes_the_tag", kSix,
               "write --bank reserved --addr 0 --data 0000BEEF --epc " + kEpcs[1] + "\n" +
                   "kill --yes --password 0000BEEF --epc " + kEpcs[1] + "\ninventory\n",
               "wrote 2 words to tag " + kEpcs[1] + "\ntag " + kEpcs[1] + " killed\n" +
                   inventory_of(without(1)),
               0, count_of(5)},
        Script{"kill_with_a_wrong_password_is_refused", kOne,
               "write --bank reserved --addr 0 --data 0000BEEF\nkill --yes --password 0000BEEE\n",
               "wrote 2 words to tag " + kAlone + "\n", 1,
               "velkor: kill failed: 0xFC (tag error: other error)\n"
               "velkor: script stopped at line 2\n"},
        Script{"privacy_hides_a_tag_until_reset", kSix,
               "privacy set --epc " + kEpcs[5] + "\nprivacy check\ninventory\n" +
                   "privacy reset\nprivacy check\ninventory\n",
               "tag " + kEpcs[5] + " in privacy\nprivacy state 1: a tag is in privacy\n" +
                   inventory_of(without(5)) +
                   "privacy reset\nprivacy state 0: no tag is in privacy\n" +
                   inventory_of(kEpcs),
               0, count_of(5) + count_of(6)},
        Script{"the_eas_bit_raises_the_alarm", kSix,
               "eas on --mask " + kEpcs[3].substr(0, 8) + "\neas alarm\neas off --epc " +
                   kEpcs[3] + "\neas alarm\n",
               "EAS bit set on tag matching mask " + kEpcs[3].substr(0, 8) +
                   "\nEAS alarm\nEAS bit cleared on tag " + kEpcs[3] + "\nno EAS alarm\n",
               3, "velkor: script stopped at line 4\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// Every tag-changing command, with no --epc or --mask: refused in a field of
// six with every tag as it was, done on the only tag of a field of one.
struct Guarded {
  const char *name;
  std::string command;
  std::string check;  ///< a read whose output shows whether the tag changed
  int done = 0;       ///< exit status on the only tag
};

class ToolGen2Guard : public ::testing::TestWithParam<Guarded> {};

// A state file, so that a check in a second run sees what the first did.
struct StateFile {
  static inline int made = 0;
  std::string path =
      "/tmp/velkor-guard-" + std::to_string(getpid()) + "-" + std::to_string(++made);
  ~StateFile() {
    std::remove(path.c_str());
    std::remove((path + ".lock").c_str());
  }
  std::string with(const std::string &tags) const {
    return "--emulate-tags " + tags + " --emulate-state " + path + " ";
  }
};

TEST_P(ToolGen2Guard, ActsOnlyOnTheOnlyTag) {
  const Guarded &g = GetParam();
  {
    const StateFile six;
    const ToolRun before = run_tool(six.with("6") + g.check);
    const ToolRun r = run_tool(six.with("6") + g.command);
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.err.find(": 6 tags in the field; name the one to change with --epc or --mask"),
              std::string::npos)
        << r.err;
    const ToolRun after = run_tool(six.with("6") + g.check);
    EXPECT_EQ(after.out, before.out);
    EXPECT_EQ(after.exit_code, before.exit_code);
  }
  const ToolRun r = run_tool("--emulate-tags 1 " + g.command);
  EXPECT_EQ(r.exit_code, g.done) << r.err;
  if (g.done == 0) {
    EXPECT_NE(r.out.find(kAlone), std::string::npos) << r.out;  // says which tag changed
  }
  EXPECT_EQ(run_tool("--emulate-tags 0 " + g.command).exit_code, 3);
}

// Named by --epc in a field of six: that tag changed and named in the
// output, every other tag's banks as they were.
TEST_P(ToolGen2Guard, NamedChangesThatTagAlone) {
  const Guarded &g = GetParam();
  const std::string victim = kEpcs[2];
  std::string banks;  // every other tag's reserved, EPC and user words
  for (const std::string &epc : kEpcs)
    if (epc != victim)
      banks += "read --bank reserved --addr 0 --words 4 --epc " + epc +
               "\nread --bank epc --addr 1 --words 7 --epc " + epc +
               "\nread --bank user --addr 0 --words 8 --epc " + epc + "\n";
  const StateFile six;
  const ToolRun before = run_tool(six.with("6") + "script", banks);
  ASSERT_EQ(before.exit_code, 0) << before.err;
  const ToolRun r = run_tool(six.with("6") + g.command + " --epc " + victim);
  EXPECT_EQ(r.exit_code, g.done) << r.err;
  if (g.done == 0) {
    EXPECT_NE(r.out.find(victim), std::string::npos) << r.out;  // says which tag changed
  }
  const ToolRun after = run_tool(six.with("6") + "script", banks);
  EXPECT_EQ(after.out, before.out);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ToolGen2Guard,
    ::testing::Values(Guarded{"write", "write --bank user --addr 0 --data 00FF", "inventory"},
                      Guarded{"erase", "erase --bank epc --addr 2", "inventory"},
                      Guarded{"write_epc", "write-epc 1234", "inventory"},
                      Guarded{"lock", "lock --field epc --action permalock --yes",
                              "write --bank epc --addr 2 --data " + kEpcs[0].substr(0, 4) +
                                  " --epc " + kEpcs[0]},
                      // A zero kill password never kills: the tag refuses, past the guard.
                      Guarded{"kill", "kill --yes --password 00000000", "inventory", 1},
                      Guarded{"privacy", "privacy set", "inventory"},
                      Guarded{"eas", "eas on", "eas alarm"}),
    [](const auto &info) { return std::string(info.param.name); });

// docs/tool.md's commands, as written there: the refusal's hint, then
// the options it names.
TEST(ToolGen2WriteEpc, TheRefusalsHintWorksAsWritten) {
  ToolRun r = run_tool("--emulate write-epc 3000AABB");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.err, "velkor: write-epc: 6 tags in the field; name the one to change with --epc "
                   "or --mask (see `velkor inventory`)\n");
  r = run_tool("--emulate write-epc 3000AABB --epc 8BFE5DC0A28A57A84A3B0B63");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "EPC of tag 8BFE5DC0A28A57A84A3B0B63 is now 3000AABB\n");
  r = run_tool("--emulate write-epc 3000AABB --mask 8FCD");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "EPC of tag matching mask 8FCD is now 3000AABB\n");
}

TEST(ToolEmulateState, AWriteAndTheReadThatChecksItAreTwoRuns) {
  const StateFile state;
  ToolRun r = run_tool(state.with("1") + "write --bank user --addr 2 --data CAFE:F00D");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // Settings too; and the file, once there, wins over --emulate-tags.
  ASSERT_EQ(run_tool(state.with("1") + "power --set 20").exit_code, 0);
  r = run_tool(state.with("6") + "script", "read --bank user --addr 2 --words 2\npower\ninventory\n");
  EXPECT_EQ(r.out, "CAFE F00D\npower 20 dBm\n" + kAlone + "\n") << r.err;
}

TEST(ToolGen2Guard, PermanentActionsInAScriptNeedYes) {
  const StateFile one;
  for (const char *command :
       {"lock --field epc --action permalock", "kill --password 00000000"}) {
    const ToolRun r = run_tool(one.with("1") + std::string(command));
    EXPECT_EQ(r.exit_code, 2) << command;
    EXPECT_NE(r.err.find("cannot be undone: give --yes"), std::string::npos) << r.err;
  }
  // Neither happened: the tag answers and its EPC bank still takes a write.
  const ToolRun r = run_tool(one.with("1") + "write --bank epc --addr 2 --data " +
                             kAlone.substr(0, 4));
  EXPECT_EQ(r.exit_code, 0) << r.err;
}

}  // namespace
}  // namespace velkor::test
