// The one-tag rule over every operation that changes a tag: in a field of
// six unnamed tags refused with nothing changed, on the only tag done and
// that tag returned, with none in the field "no tag"; and the operations
// that name their tag.
#include <gtest/gtest.h>

#include <functional>

#include "app/tags/inventory_round.h"
#include "app/tags/tag_operations.h"
#include "tests/app/emulated_session.h"

namespace velkor::app {
namespace {

using test::emulated;
using test::epcs_of;
using test::state_of;

struct Change {
  const char *name;
  std::function<Result<Target>(Session &, const Target &)> run;
  bool done_on_one = true;  ///< false: the tag itself refuses, past the rule
};

class OneTagRule : public ::testing::TestWithParam<Change> {};

TEST_P(OneTagRule, RefusesSeveralChangesTheOnlyOneAndFindsNone) {
  const Change &c = GetParam();
  {
    auto six = emulated(6);
    const std::string before = state_of(*six);
    const Result<Target> r = c.run(*six, Target{});
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().kind, ErrorKind::kSeveralTags);
    EXPECT_EQ(r.error().tags, 6);
    EXPECT_EQ(r.error().words, "6 tags in the field; name the one to change");
    EXPECT_EQ(state_of(*six), before) << "a refused operation changed a tag";
  }
  {
    auto one = emulated(1);
    const std::string alone = epcs_of(*one).front();
    const Result<Target> r = c.run(*one, Target{});
    if (c.done_on_one) {
      ASSERT_TRUE(r) << r.error().message();
      EXPECT_EQ(to_hex(r->epc), alone) << "the tag changed is returned";
    } else {
      ASSERT_FALSE(r);
      EXPECT_EQ(r.error().kind, ErrorKind::kReader);
    }
  }
  auto none = emulated(0);
  const Result<Target> r = c.run(*none, Target{});
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().kind, ErrorKind::kNoTag);
  EXPECT_EQ(r.error().message(), std::string(r.error().operation) + ": no tag in the field");
}

INSTANTIATE_TEST_SUITE_P(
    Operations, OneTagRule,
    ::testing::Values(
        Change{"write",
               [](Session &s, const Target &t) {
                 return write_memory(s, t, VELKOR_BANK_USER, 0, {0x00, 0xFF});
               }},
        Change{"erase",
               [](Session &s, const Target &t) { return erase_memory(s, t, VELKOR_BANK_USER, 0, 2); }},
        Change{"write_epc", [](Session &s, const Target &t) { return write_epc(s, t, {0x12, 0x34}); }},
        Change{"lock",
               [](Session &s, const Target &t) {
                 return lock_tag(s, t, VELKOR_LOCK_EPC, VELKOR_LOCK_PERMANENTLY_LOCKED);
               }},
        // A zero kill password never kills: the tag refuses, past the rule.
        Change{"kill", [](Session &s, const Target &t) { return kill_tag(s, t); }, false},
        Change{"privacy", [](Session &s, const Target &t) { return set_privacy(s, t); }},
        Change{"eas", [](Session &s, const Target &t) { return set_eas(s, t, true); }},
        Change{"block_lock", [](Session &s, const Target &t) { return block_lock(s, t, 0); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TagOperations, ANamedTagIsChangedAmongSeveral) {
  auto s = emulated(6);
  const std::vector<std::string> before = epcs_of(*s);
  Target third;
  third.epc = *parse_hex(before[2], nullptr);
  // A shorter EPC: the PC word's length bits change with it.
  const Bytes shorter = *parse_hex("3000000000000042", nullptr);
  const Result<Target> renamed = write_epc(*s, third, shorter);
  ASSERT_TRUE(renamed) << renamed.error().message();
  EXPECT_EQ(to_hex(renamed->epc), before[2]);
  std::vector<std::string> after = before;
  after[2] = to_hex(shorter);
  EXPECT_EQ(epcs_of(*s), after);

  // Named by a mask over its new EPC's last bytes, it is read and written.
  Target by_mask;
  by_mask.mask = {VELKOR_BANK_EPC, 32 + 8 * 4, {0x00, 0x00, 0x00, 0x42}, -1};
  ASSERT_TRUE(write_memory(*s, by_mask, VELKOR_BANK_USER, 3, {0xCA, 0xFE}));
  const Result<Bytes> back = read_memory(*s, by_mask, VELKOR_BANK_USER, 3, 1);
  ASSERT_TRUE(back) << back.error().message();
  EXPECT_EQ(*back, (Bytes{0xCA, 0xFE}));
  EXPECT_EQ(by_mask.text(), "matching mask 00000042");
}

TEST(TagOperations, TheTagsOwnRefusalsComeBackWithTheirWords) {
  auto s = emulated(1);
  const Result<Bytes> overrun = read_memory(*s, Target{}, VELKOR_BANK_USER, 300, 1);
  ASSERT_FALSE(overrun);
  EXPECT_EQ(overrun.error().kind, ErrorKind::kReader);
  EXPECT_EQ(overrun.error().message(), "read failed: 0xFC (tag error: memory overrun)");
  Target missing;
  missing.epc = {0x01, 0x02};
  const Result<Target> gone = write_memory(*s, missing, VELKOR_BANK_USER, 0, {0, 1});
  ASSERT_FALSE(gone);
  EXPECT_EQ(gone.error().kind, ErrorKind::kNoTag);
  EXPECT_EQ(gone.error().status, VELKOR_STATUS_NO_TAG);
}

}  // namespace
}  // namespace velkor::app
