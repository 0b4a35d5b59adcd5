// The reader's clock block as a date, both ways.
#include <gtest/gtest.h>

#include "app/base/clock_text.h"

namespace velkor::app {
namespace {

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
