// The tool's own conversions: the inventory list layout, the clock block,
// the pacing of inventory rounds and the nearest name to a mistyped one.
#include <gtest/gtest.h>

#include "app/base/clock_text.h"
#include "app/tags/tag_list.h"
#include "app/watch/round_pacing.h"
#include "tools/cli/parse_errors.h"

namespace velkor::app {
namespace {

struct ListCase {
  const char *name;
  Bytes list;
  std::vector<Bytes> epcs;
};

class TagListDecode : public ::testing::TestWithParam<ListCase> {};

TEST_P(TagListDecode, SplitsRecordsAndStopsAtOneRunningPastTheEnd) {
  const ListCase &c = GetParam();
  EXPECT_EQ(decode_tag_list(c.list.data(), static_cast<int>(c.list.size())), c.epcs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagListDecode,
    ::testing::Values(
        ListCase{"empty", {}, {}},
        ListCase{"one", {2, 0x30, 0x08}, {{0x30, 0x08}}},
        ListCase{"two_of_different_length",
                 {2, 0xAA, 0xBB, 4, 1, 2, 3, 4},
                 {{0xAA, 0xBB}, {1, 2, 3, 4}}},
        ListCase{"empty_record_is_kept", {0, 1, 0x55}, {{}, {0x55}}},
        ListCase{"second_runs_past_the_end", {1, 0x11, 5, 1, 2}, {{0x11}}},
        ListCase{"first_runs_past_the_end", {12, 1, 2, 3}, {}},
        ListCase{"length_byte_alone_at_the_end", {1, 0x11, 3}, {{0x11}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TagListDecode, ANegativeLengthDecodesNothing) {
  const unsigned char list[] = {1, 0x11};
  EXPECT_TRUE(decode_tag_list(list, -1).empty());
}

struct TidListCase {
  const char *name;
  Bytes list;
  int tag_count;
  std::vector<std::pair<Bytes, Bytes>> tags;  ///< EPC and TID
};

class TidListDecode : public ::testing::TestWithParam<TidListCase> {};

TEST_P(TidListDecode, PairsEpcAndTidByTheReadersCount) {
  const TidListCase &c = GetParam();
  std::vector<std::pair<Bytes, Bytes>> tags;
  for (const TagIds &t : decode_tid_list(c.list.data(), static_cast<int>(c.list.size()), c.tag_count))
    tags.emplace_back(t.epc, t.tid);
  EXPECT_EQ(tags, c.tags);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TidListDecode,
    ::testing::Values(
        TidListCase{"epc_then_tid_per_tag",
                    {2, 0x30, 0x08, 4, 0xE2, 0, 1, 2, 2, 0x31, 0x09, 2, 0xE2, 0},
                    2,
                    {{{0x30, 0x08}, {0xE2, 0, 1, 2}}, {{0x31, 0x09}, {0xE2, 0}}}},
        TidListCase{"tid_in_the_epcs_place", {2, 0xE2, 0, 2, 0xE2, 1}, 2,
                    {{{}, {0xE2, 0}}, {{}, {0xE2, 1}}}},
        TidListCase{"a_tag_without_tid_words", {1, 0x30, 0}, 1, {{{0x30}, {}}}},
        TidListCase{"a_pair_cut_short_reads_as_tids", {1, 0x30, 3, 0xE2}, 1, {{{}, {0x30}}}},
        TidListCase{"no_count_no_pairs", {1, 0x30, 1, 0xE2}, 0, {{{}, {0x30}}, {{}, {0xE2}}}}),
    [](const auto &info) { return std::string(info.param.name); });

struct PacingCase {
  const char *name;
  RoundPacing pacing;
  unsigned done;
  int elapsed_ms;
  bool another;
  int pause_ms;
};

class Pacing : public ::testing::TestWithParam<PacingCase> {};

TEST_P(Pacing, StopsAtTheFirstLimitAndNeverPausesPastTheDuration) {
  using std::chrono::milliseconds;
  const PacingCase &c = GetParam();
  EXPECT_EQ(c.pacing.another(c.done, milliseconds(c.elapsed_ms)), c.another);
  EXPECT_EQ(c.pacing.pause(milliseconds(c.elapsed_ms)), milliseconds(c.pause_ms));
}

constexpr RoundPacing::Duration ms(int n) { return std::chrono::milliseconds(n); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Pacing,
    ::testing::Values(PacingCase{"no_limit_runs_on", {0, ms(0), ms(0)}, 1000, 99999, true, 0},
                      PacingCase{"rounds_reached", {3, ms(0), ms(50)}, 3, 10, false, 50},
                      PacingCase{"rounds_left", {3, ms(0), ms(50)}, 2, 10, true, 50},
                      PacingCase{"duration_left", {0, ms(1000), ms(200)}, 5, 500, true, 200},
                      PacingCase{"pause_cut_to_the_end", {0, ms(1000), ms(200)}, 5, 900, true,
                                 100},
                      PacingCase{"duration_over", {0, ms(1000), ms(200)}, 5, 1000, false, 0},
                      PacingCase{"rounds_end_before_duration", {2, ms(1000), ms(0)}, 2, 10,
                                 false, 0}),
    [](const auto &info) { return std::string(info.param.name); });

struct NearCase {
  const char *typed;
  std::vector<std::string> known;
  const char *nearest;
};

class NearestName : public ::testing::TestWithParam<NearCase> {};

TEST_P(NearestName, SuggestsOnlyASlipOfTheKeyboard) {
  EXPECT_EQ(tool::nearest(GetParam().typed, GetParam().known), GetParam().nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NearestName,
    ::testing::Values(NearCase{"invntory", {"info", "inventory", "read"}, "inventory"},
                      NearCase{"--wach", {"--watch", "--json"}, "--watch"},
                      NearCase{"--jsn", {"--json", "--csv"}, "--json"},
                      NearCase{"raed", {"read", "region"}, "read"},
                      NearCase{"frobnicate", {"info", "inventory"}, ""},
                      NearCase{"x", {"gpio", "epc"}, ""},
                      NearCase{"", {"info"}, ""}));

struct ClockCase {
  const char *text;
  std::optional<ClockBlock> block;
};

class ClockText : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockText, ParsesOnlyRealDatesOfThisCentury) {
  const ClockCase &c = GetParam();
  EXPECT_EQ(parse_clock(c.text), c.block) << c.text;
  if (c.block) {
    // A date written back reads as the same date, with the T.
    std::string text = c.text;
    if (text[10] == ' ') text[10] = 'T';
    EXPECT_EQ(format_clock(*c.block), text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClockText,
    ::testing::Values(ClockCase{"2024-05-01T12:30:59", ClockBlock{24, 5, 1, 12, 30, 59}},
                      ClockCase{"2000-01-01 00:00:00", ClockBlock{0, 1, 1, 0, 0, 0}},
                      ClockCase{"2099-12-31T23:59:59", ClockBlock{99, 12, 31, 23, 59, 59}},
                      ClockCase{"2024-02-29T00:00:00", ClockBlock{24, 2, 29, 0, 0, 0}},
                      ClockCase{"2023-02-29T00:00:00", std::nullopt},
                      ClockCase{"2024-04-31T00:00:00", std::nullopt},
                      ClockCase{"2024-13-01T00:00:00", std::nullopt},
                      ClockCase{"2024-01-01T24:00:00", std::nullopt},
                      ClockCase{"2024-01-01T00:60:00", std::nullopt},
                      ClockCase{"1999-12-31T23:59:59", std::nullopt},
                      ClockCase{"2100-01-01T00:00:00", std::nullopt},
                      ClockCase{"2024-01-01", std::nullopt},
                      ClockCase{"2024-01-01T00:00:00Z", std::nullopt},
                      ClockCase{"2024-01-01X00:00:00", std::nullopt},
                      ClockCase{"tomorrow", std::nullopt}));

TEST(ClockText, NowIsAValidDate) {
  const std::optional<ClockBlock> now = parse_clock("now");
  ASSERT_TRUE(now);
  EXPECT_TRUE(format_clock(*now));
}

TEST(ClockText, ABlockThatIsNoDateHasNoText) {
  EXPECT_FALSE(format_clock({24, 0, 1, 0, 0, 0}));
  EXPECT_FALSE(format_clock({100, 1, 1, 0, 0, 0}));
}

}  // namespace
}  // namespace velkor::app
