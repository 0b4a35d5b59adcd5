// The reader's information and settings, decoded in one place (region 5
// included) and applied: the bytes as they travel, and the emulated reader
// set and read back.
#include <gtest/gtest.h>

#include "app/reader/channel_plan.h"
#include "app/reader/reader_config.h"
#include "app/reader/reader_info.h"
#include "app/reader/settings.h"
#include "tests/app/emulated_session.h"

namespace velkor::app {
namespace {

using test::emulated;

struct RegionCase {
  const char *name;
  unsigned char high, low;  ///< the two region bytes as they travel
  Region region, packed;
};

class RegionBytes : public ::testing::TestWithParam<RegionCase> {};

TEST_P(RegionBytes, DecodeToTheRegionAsItWasSet) {
  const RegionCase &c = GetParam();
  std::array<unsigned char, kInfoBlockBytes> block{3, 1, 0x0C, 0x03, c.high, c.low, 30, 10,
                                                   1, 1, 0, 0};
  const ReaderInfo info = decode_info(block);
  EXPECT_EQ(info.region, c.region);
  EXPECT_EQ(info.packed, c.packed);
  EXPECT_EQ(info.firmware_major, 3);
  EXPECT_EQ(info.power_dbm, 30);
  EXPECT_EQ(info.scan_time_ms, 1000);
  EXPECT_TRUE(info.gen2 && info.iso6b && info.beep);
}

// Region bits 3-2 and the highest channel in the first byte, bits 1-0 and
// the lowest in the second; region 5 travels as region 2 raised by 26.
INSTANTIATE_TEST_SUITE_P(
    Cases, RegionBytes,
    ::testing::Values(RegionCase{"region_2_whole", 0x31, 0x80, {2, 0, 49}, {2, 0, 49}},
                      RegionCase{"region_5_whole", 0x2C, 0x9A, {5, 0, 18}, {2, 26, 44}},
                      RegionCase{"region_5_range", 0x1E, 0x9B, {5, 1, 4}, {2, 27, 30}},
                      RegionCase{"region_2_below_26_stays", 0x2C, 0x99, {2, 25, 44}, {2, 25, 44}},
                      RegionCase{"region_2_above_44_stays", 0x2D, 0x9A, {2, 26, 45}, {2, 26, 45}},
                      RegionCase{"region_4", 0x4E, 0x00, {4, 0, 14}, {4, 0, 14}},
                      RegionCase{"region_1", 0x13, 0x40, {1, 0, 19}, {1, 0, 19}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReaderSettings, SetRegionPowerAndBeepReadBackAsSet) {
  auto s = emulated();
  ASSERT_TRUE(set_region(*s, VELKOR_REGION_916MHZ));
  ASSERT_TRUE(set_power(*s, 20));
  ASSERT_TRUE(set_beep(*s, 0));
  Result<ReaderInfo> info = read_info(*s, true);
  ASSERT_TRUE(info) << info.error().message();
  EXPECT_EQ(info->region, (Region{5, 0, 18}));
  EXPECT_EQ(info->packed, (Region{2, 26, 44}));
  EXPECT_EQ(info->power_dbm, 20);
  EXPECT_FALSE(info->beep);
  ASSERT_TRUE(set_region(*s, 1, 2, 5));
  EXPECT_EQ(read_info(*s)->region, (Region{1, 2, 5}));
  ASSERT_TRUE(set_region(*s, 3, 4, std::nullopt));
  EXPECT_EQ(read_info(*s)->region, (Region{3, 4, 31}));

  const Status refused = set_power(*s, 40);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind, ErrorKind::kReader);
  EXPECT_EQ(refused.error().message(), "power failed: 0xFF (parameter out of range)");
}

TEST(ReaderSettings, ChannelRangesAreCheckedAgainstThePlan) {
  struct Case {
    int region;
    std::optional<int> lowest, highest;
    const char *operation;  ///< at fault, or "" when the range fits
    const char *words;
  };
  for (const Case &c : {Case{1, std::nullopt, std::nullopt, "", ""}, Case{5, 0, 18, "", ""},
                        Case{1, std::nullopt, 20, "highest", "region 1 has 20 channels, 0 to 19"},
                        Case{1, 5, 3, "lowest", "5 is above the highest channel 3"},
                        Case{4, 15, std::nullopt, "lowest", "15 is above the highest channel 14"}}) {
    const Status fits = check_channels(c.region, c.lowest, c.highest);
    EXPECT_EQ(fits.ok(), std::string(c.operation).empty()) << c.words;
    if (!fits) {
      EXPECT_EQ(fits.error().operation, c.operation);
      EXPECT_EQ(fits.error().words, c.words);
    }
  }
  EXPECT_EQ(channel_plan(5).size(), std::size_t{VELKOR_REGION_916MHZ_CHANNELS});
  EXPECT_TRUE(channel_plan(9).empty());
}

TEST(ReaderSettings, ConfigIsAppliedInOrderAndStopsAtTheFirstRefusal) {
  auto s = emulated();
  ConfigChange change;
  change.mode = 1;
  change.interval = 5;
  change.tid = std::array<int, 2>{2, 4};
  change.mask = Mask{VELKOR_BANK_EPC, 32, {0x30, 0x08}, -1};
  change.scan_time = 20;
  std::vector<std::string> applied;
  ASSERT_TRUE(apply_config(*s, change, [&](const char *n) { applied.push_back(n); }));
  EXPECT_EQ(applied, (std::vector<std::string>{"mode", "interval", "mask", "TID", "scan time"}));
  const Result<ReaderConfig> c = read_config(*s);
  ASSERT_TRUE(c) << c.error().message();
  EXPECT_EQ(c->mode, 1);
  EXPECT_EQ(c->interval, 5);
  EXPECT_EQ(c->tid, (std::array<int, 2>{2, 4}));
  EXPECT_EQ(c->mask.bytes, (Bytes{0x30, 0x08}));
  EXPECT_EQ(c->mask.bit_count(), 16);
  EXPECT_EQ(c->scan_time_ms, 2000);
  EXPECT_STREQ(work_mode_name(c->mode), "auto");

  ConfigChange refused;
  refused.mode = 9;
  refused.interval = 7;
  applied.clear();
  const Status stopped = apply_config(*s, refused, [&](const char *n) { applied.push_back(n); });
  ASSERT_FALSE(stopped);
  EXPECT_EQ(stopped.error().operation, "mode");
  EXPECT_EQ(stopped.error().status, STATUS_PARAMETER_ERROR);
  EXPECT_TRUE(applied.empty());
  EXPECT_EQ(read_config(*s)->interval, 5) << "nothing after the refusal was sent";
}

}  // namespace
}  // namespace velkor::app
