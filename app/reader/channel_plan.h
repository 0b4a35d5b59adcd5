// A region's channels as the library lists them ("920.125 MHz", ...), and
// the check of a channel range against them.
#ifndef VELKOR_APP_READER_CHANNEL_PLAN_H
#define VELKOR_APP_READER_CHANNEL_PLAN_H

#include <optional>
#include <string>
#include <vector>

#include "app/base/error.h"

namespace velkor::app {

/// Regions the reader knows, 1 to this.
constexpr int kRegions = 5;

/// The channel texts of a region, by index; empty for a region without a plan.
std::vector<std::string> channel_plan(int region);

/// The channel's frequency text, or "?" for an index outside the plan.
std::string channel_text(const std::vector<std::string> &plan, int channel);

/// Whether lowest to highest (each defaulting to the plan's ends) is a
/// range of the region's channels.  kBadInput otherwise, with the operation
/// "highest" or "lowest" naming the value at fault.
Status check_channels(int region, std::optional<int> lowest, std::optional<int> highest);

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_CHANNEL_PLAN_H
