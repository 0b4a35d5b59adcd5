#include "app/reader/channel_plan.h"

#include <array>

#include "velkor.h"

namespace velkor::app {

std::vector<std::string> channel_plan(int region) {
  std::array<char *, VELKOR_MAX_CHANNELS> texts{};
  GetChannelList(region, texts.data());
  std::vector<std::string> plan;
  for (char *text : texts) {
    if (!text) break;
    plan.emplace_back(text);
  }
  FreeChannelList(texts.data());
  return plan;
}

std::string channel_text(const std::vector<std::string> &plan, int channel) {
  return channel >= 0 && std::size_t(channel) < plan.size() ? plan[std::size_t(channel)] : "?";
}

Status check_channels(int region, std::optional<int> lowest, std::optional<int> highest) {
  const int channels = static_cast<int>(channel_plan(region).size());
  const int low = lowest.value_or(0);
  const int high = highest.value_or(channels - 1);
  if (high >= channels)
    return Error::because(ErrorKind::kBadInput, "highest",
                          "region " + std::to_string(region) + " has " +
                              std::to_string(channels) + " channels, 0 to " +
                              std::to_string(channels - 1));
  if (low > high)
    return Error::because(ErrorKind::kBadInput, "lowest",
                          std::to_string(low) + " is above the highest channel " +
                              std::to_string(high));
  return {};
}

}  // namespace velkor::app
