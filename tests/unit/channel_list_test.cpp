// The channel texts of each region, who owns them, and their release.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "velkor.h"

#if defined(__SANITIZE_ADDRESS__)
#  define VELKOR_TEST_LSAN 1
#elif defined(__has_feature)
#  if __has_feature(address_sanitizer)
#    define VELKOR_TEST_LSAN 1
#  endif
#endif
#ifdef VELKOR_TEST_LSAN
#  include <sanitizer/lsan_interface.h>
#endif

namespace {

// A caller's array, every entry marked so that untouched ones show.
struct List {
  char marker[1] = {'!'};
  char *entries[VELKOR_MAX_CHANNELS + 4];
  List() { std::fill(std::begin(entries), std::end(entries), static_cast<char *>(marker)); }
  ~List() {
    if (entries[0] != marker) FreeChannelList(entries);
  }
  std::size_t count() const {
    std::size_t n = 0;
    while (entries[n] != nullptr && entries[n] != marker) ++n;
    return n;
  }
};

struct Plan {
  int region;
  std::size_t channels;
  const char *first;
  const char *last;
};

class ChannelList : public ::testing::TestWithParam<Plan> {};

TEST_P(ChannelList, HoldsTheRegionsTextsThenANull) {
  List list;
  EXPECT_EQ(GetChannelList(GetParam().region, list.entries), STATUS_OK);
  const std::size_t n = GetParam().channels;
  ASSERT_EQ(list.count(), n);
  EXPECT_STREQ(list.entries[0], GetParam().first);
  EXPECT_STREQ(list.entries[n - 1], GetParam().last);
  EXPECT_EQ(list.entries[n], nullptr);
  EXPECT_EQ(list.entries[n + 1], list.marker) << "nothing past the terminator";
}

INSTANTIATE_TEST_SUITE_P(Regions, ChannelList,
                         ::testing::Values(Plan{1, 20, "920.125 MHz", "924.875 MHz"},
                                           Plan{2, 50, "902.75 MHz", "927.25 MHz"},
                                           Plan{3, 32, "917.1 MHz", "923.3 MHz"},
                                           Plan{4, 15, "865.1 MHz", "867.9 MHz"},
                                           Plan{5, 19, "916.8 MHz", "923.4 MHz"}));

TEST(ChannelTexts, FollowEachStepInOrder) {
  List list;
  GetChannelList(1, list.entries);
  EXPECT_STREQ(list.entries[1], "920.375 MHz");
  FreeChannelList(list.entries);
  GetChannelList(3, list.entries);
  EXPECT_STREQ(list.entries[1], "917.3 MHz");
  EXPECT_STREQ(list.entries[30], "923.1 MHz");
}

TEST(ChannelTexts, RegionFiveHasItsIrregularSpacing) {
  List list;
  GetChannelList(5, list.entries);
  const char *expected[] = {"916.8 MHz", "918.0 MHz", "919.2 MHz", "920.4 MHz",
                            "920.6 MHz", "920.8 MHz", "921.0 MHz"};
  for (std::size_t i = 0; i < std::size(expected); ++i)
    EXPECT_STREQ(list.entries[i], expected[i]) << i;
}

TEST(ChannelTexts, UnknownRegionsGiveAnEmptyListThatIsSafeToRelease) {
  for (int region : {0, 6, -1, 21}) {
    List list;
    EXPECT_EQ(GetChannelList(region, list.entries), STATUS_OK);
    EXPECT_EQ(list.entries[0], nullptr) << region;
    for (std::size_t i = 1; i < std::size(list.entries); ++i)
      EXPECT_EQ(list.entries[i], list.marker) << region;
    // Releasing it frees nothing the caller's array held before.
    EXPECT_EQ(FreeChannelList(list.entries), STATUS_OK);
    EXPECT_EQ(list.entries[1], list.marker);
  }
}

TEST(ChannelTexts, EveryCallForRegionTwoAllocatesAFreshSet) {
  List a, b;
  GetChannelList(2, a.entries);
  GetChannelList(2, b.entries);
  std::set<char *> blocks(a.entries, a.entries + 50);
  blocks.insert(b.entries, b.entries + 50);
  EXPECT_EQ(blocks.size(), 100u) << "two disjoint sets of 50";
  std::strcpy(a.entries[0], "written by the caller");  // each block is the caller's
  EXPECT_STREQ(b.entries[0], "902.75 MHz");
}

TEST(ChannelTexts, RegionFiveGivesTheSameConstantTextsEveryTime) {
  List a, b;
  GetChannelList(5, a.entries);
  GetChannelList(5, b.entries);
  EXPECT_TRUE(std::equal(a.entries, a.entries + 20, b.entries));
}

TEST(FreeChannelList, ReleasesHeapTextsAndNullsThem) {
  List list;
  GetChannelList(4, list.entries);
  EXPECT_EQ(FreeChannelList(list.entries), STATUS_OK);
  for (std::size_t i = 0; i <= 15; ++i) EXPECT_EQ(list.entries[i], nullptr) << i;
  EXPECT_EQ(list.entries[16], list.marker);
  EXPECT_EQ(FreeChannelList(list.entries), STATUS_OK) << "a second release does nothing";
  EXPECT_EQ(FreeChannelList(nullptr), STATUS_OK);
}

TEST(FreeChannelList, LeavesRegionFivesConstantsAlone) {
  List list;
  GetChannelList(5, list.entries);
  char *first = list.entries[0];
  EXPECT_EQ(FreeChannelList(list.entries), STATUS_OK);
  EXPECT_EQ(list.entries[0], first);
  EXPECT_STREQ(list.entries[18], "923.4 MHz");
}

#ifdef VELKOR_TEST_LSAN
TEST(FreeChannelList, LeavesNothingForTheLeakChecker) {
  for (int round = 0; round < 2; ++round)
    for (int region = 1; region <= 5; ++region) {
      char *entries[VELKOR_MAX_CHANNELS];
      GetChannelList(region, entries);
      FreeChannelList(entries);
    }
  EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
}
#endif

}  // namespace
