// Region and channel packing: the two bytes command 0x22 carries.
#include <gtest/gtest.h>

#include "tests/support/link_fixture.h"

namespace velkor::test {
namespace {

struct Packing {
  int region;
  unsigned char lowest;
  unsigned char highest;
  Bytes sent;  // the two data bytes
};

class RegionPacking : public LinkTest, public ::testing::WithParamInterface<Packing> {};

TEST_P(RegionPacking, SendsThePackedBytes) {
  device.push_stream(reply_frame(0x00, 0x22, 0x00));
  unsigned char address = 0x00;
  const Packing &p = GetParam();
  EXPECT_EQ(SetRegionAndChannel(&address, p.region, p.lowest, p.highest, handle), STATUS_OK);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], with_crc(concat({{0x06, 0x00, 0x22}, p.sent})));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegionPacking,
    ::testing::Values(
        Packing{5, 0, 18, {0x2C, 0x9A}},    // region 5: region 2's bits, indexes + 26
        Packing{2, 0, 49, {0x31, 0x80}},
        Packing{4, 3, 14, {0x4E, 0x03}},
        Packing{21, 0, 18, {0x52, 0x40}},   // low bits 0101, yet the ordinary rule
        Packing{19, 0, 1, {0x01, 0xC0}},    // above 15: only the low four bits count
        Packing{8, 0, 0, {0x80, 0x00}},     // region bits 3-2 in the first byte
        Packing{1, 70, 100, {0x24, 0x46}},  // indexes above 63 lose their top bits
        Packing{5, 38, 38, {0x00, 0x80}},   // 38 + 26 wraps to 0 within six bits
        Packing{5, 37, 40, {0x02, 0xBF}},
        Packing{-1, 1, 2, {0xC2, 0xC1}}));

struct DefaultRange {
  int region;
  Bytes sent;
};

class RegionDefaultRange : public LinkTest,
                           public ::testing::WithParamInterface<DefaultRange> {};

TEST_P(RegionDefaultRange, SelectsEveryChannelOfTheRegion) {
  device.push_stream(reply_frame(0x00, 0x22, 0x00));
  unsigned char address = 0x00;
  EXPECT_EQ(SetRegionWithDefaultChannel(&address, GetParam().region, handle), STATUS_OK);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], with_crc(concat({{0x06, 0x00, 0x22}, GetParam().sent})));
}

INSTANTIATE_TEST_SUITE_P(KnownRegions, RegionDefaultRange,
                         ::testing::Values(DefaultRange{1, {0x13, 0x40}},
                                           DefaultRange{2, {0x31, 0x80}},
                                           DefaultRange{3, {0x1F, 0xC0}},
                                           DefaultRange{4, {0x4E, 0x00}},
                                           DefaultRange{5, {0x2C, 0x9A}}));

class RegionWithoutPlan : public LinkTest, public ::testing::WithParamInterface<int> {};

TEST_P(RegionWithoutPlan, IsRefusedBeforeSending) {
  unsigned char address = 0x00;
  EXPECT_EQ(SetRegionWithDefaultChannel(&address, GetParam(), handle),
            STATUS_PARAMETER_ERROR);
  EXPECT_TRUE(device.written.empty());
  EXPECT_EQ(device.reads, 0u);
}

INSTANTIATE_TEST_SUITE_P(Unknown, RegionWithoutPlan, ::testing::Values(0, 6, 21, -1, 255));

TEST_F(LinkTest, SetRegionWritesTheAddressBackWhateverTheStatus) {
  device.push_stream(reply_frame(0x07, 0x22, 0xFF));
  unsigned char address = 0x00;
  EXPECT_EQ(SetRegionAndChannel(&address, 1, 0, 19, handle), 0xFF);
  EXPECT_EQ(address, 0x07);
}

}  // namespace
}  // namespace velkor::test
