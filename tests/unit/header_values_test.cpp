// The named values of velkor.h agree with what the library does.
#include <gtest/gtest.h>

#include "velkor.h"

namespace {

TEST(HeaderValues, VersionMacrosAreWhatGetSdkVersionReports) {
  unsigned char version[VELKOR_SDK_VERSION_SIZE] = {};
  ASSERT_EQ(GetSDKVersion(version), STATUS_OK);
  EXPECT_EQ(version[0], VELKOR_VERSION_MAJOR);
  EXPECT_EQ(version[1], VELKOR_VERSION_MINOR);
  EXPECT_EQ(version[2], VELKOR_VERSION_PATCH);
}

TEST(HeaderValues, RegionChannelCountsAreThoseOfTheChannelPlan) {
  const int regions[][2] = {{VELKOR_REGION_920MHZ, VELKOR_REGION_920MHZ_CHANNELS},
                            {VELKOR_REGION_902MHZ, VELKOR_REGION_902MHZ_CHANNELS},
                            {VELKOR_REGION_917MHZ, VELKOR_REGION_917MHZ_CHANNELS},
                            {VELKOR_REGION_865MHZ, VELKOR_REGION_865MHZ_CHANNELS},
                            {VELKOR_REGION_916MHZ, VELKOR_REGION_916MHZ_CHANNELS}};
  for (const auto &[region, channels] : regions) {
    char *list[VELKOR_MAX_CHANNELS + 1] = {};
    ASSERT_EQ(GetChannelList(region, list), STATUS_OK);
    int n = 0;
    while (list[n]) ++n;
    EXPECT_EQ(n, channels) << "region " << region;
    EXPECT_LT(n, VELKOR_MAX_CHANNELS);
    FreeChannelList(list);
  }
}

// At each end of a checked range the library sends (and, with the invalid
// handle, fails at the collector); one step outside it refuses.
TEST(HeaderValues, KeyboardRangesAreTheOnesTheLibraryChecks) {
  struct Params {
    unsigned p1, p3, p4, p5;
    bool inside;
  };
  const Params cases[] = {
      {VELKOR_HID_PARAM1_MIN, VELKOR_HID_PARAM3_MIN, 0, 0, true},
      {VELKOR_HID_PARAM1_MAX, VELKOR_HID_PARAM3_MAX, VELKOR_HID_PARAM4_MAX,
       VELKOR_HID_PARAM5_MAX, true},
      {VELKOR_HID_PARAM1_MIN - 1, VELKOR_HID_PARAM3_MIN, 0, 0, false},
      {VELKOR_HID_PARAM1_MAX + 1, VELKOR_HID_PARAM3_MIN, 0, 0, false},
      {VELKOR_HID_PARAM1_MIN, VELKOR_HID_PARAM3_MAX + 1, 0, 0, false},
      {VELKOR_HID_PARAM1_MIN, VELKOR_HID_PARAM3_MIN, VELKOR_HID_PARAM4_MAX + 1, 0, false},
      {VELKOR_HID_PARAM1_MIN, VELKOR_HID_PARAM3_MIN, 0, VELKOR_HID_PARAM5_MAX + 1, false},
  };
  for (const Params &c : cases) {
    unsigned char address = 0;
    const int status = SetHidWorkPara(&address, c.p1, 0xFF, c.p3, c.p4, c.p5, 0xFF,
                                      VELKOR_INVALID_HANDLE);
    EXPECT_EQ(status, c.inside ? STATUS_INVALID_HANDLE : STATUS_PARAMETER_ERROR)
        << c.p1 << " " << c.p3 << " " << c.p4 << " " << c.p5;
  }
}

}  // namespace
