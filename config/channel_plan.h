// The reader's frequency regions and their channels: what GetChannelList
// prints and what SetRegionWithDefaultChannel selects.
#ifndef VELKOR_CONFIG_CHANNEL_PLAN_H
#define VELKOR_CONFIG_CHANNEL_PLAN_H

#include <cstddef>
#include <iterator>

namespace velkor {

/// A region whose channels are evenly spaced: entry i is first + i * step MHz.
struct SteppedRegion {
  int channels;
  double first_mhz;
  double step_mhz;
  const char *format;  ///< printf format of the number, " MHz" included
};

/// Regions 1 to 4, in order.
inline constexpr SteppedRegion kSteppedRegions[] = {
    {20, 920.125, 0.25, "%.3f MHz"},
    {50, 902.75, 0.5, "%.2f MHz"},
    {32, 917.1, 0.2, "%.1f MHz"},
    {15, 865.1, 0.2, "%.1f MHz"},
};

/// Region 5 is irregularly spaced, so its channels are fixed texts.
inline constexpr int kFixedRegion = 5;
inline constexpr const char *kFixedRegionTexts[] = {
    "916.8 MHz", "918.0 MHz", "919.2 MHz", "920.4 MHz", "920.6 MHz",
    "920.8 MHz", "921.0 MHz", "921.2 MHz", "921.4 MHz", "921.6 MHz",
    "921.8 MHz", "922.0 MHz", "922.2 MHz", "922.4 MHz", "922.6 MHz",
    "922.8 MHz", "923.0 MHz", "923.2 MHz", "923.4 MHz",
};

/// The evenly spaced region r (1 to 4), or null.
inline const SteppedRegion *stepped_region(int region) {
  const int count = static_cast<int>(std::size(kSteppedRegions));
  return region >= 1 && region <= count ? &kSteppedRegions[region - 1] : nullptr;
}

/// Channels of a region; 0 for a region the plan does not know.
inline int channel_count(int region) {
  if (region == kFixedRegion) return static_cast<int>(std::size(kFixedRegionTexts));
  const SteppedRegion *r = stepped_region(region);
  return r != nullptr ? r->channels : 0;
}

}  // namespace velkor

#endif  // VELKOR_CONFIG_CHANNEL_PLAN_H
