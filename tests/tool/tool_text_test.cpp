// The tool's own conversions: the inventory list layout and the clock block.
#include <gtest/gtest.h>

#include "tools/output/clock_text.h"
#include "tools/commands/tag_list.h"

namespace velkor::tool {
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
}  // namespace velkor::tool
