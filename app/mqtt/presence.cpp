#include "app/mqtt/presence.h"

#include <algorithm>
#include <tuple>

namespace velkor::app::mqtt {

bool Presence::seen(const std::string &epc, int antenna, std::int64_t now_ms) {
  const auto [it, arrived] = tags_.try_emplace(epc, Seen{now_ms, antenna});
  if (!arrived) it->second = {now_ms, antenna};
  return arrived;
}

std::vector<Presence::Departure> Presence::departed(std::int64_t now_ms) {
  std::vector<std::pair<std::int64_t, Departure>> gone;
  for (auto it = tags_.begin(); it != tags_.end();) {
    if (now_ms - it->second.at_ms > depart_after_ms_) {
      gone.push_back({it->second.at_ms, {it->first, it->second.antenna}});
      it = tags_.erase(it);
    } else {
      ++it;
    }
  }
  std::sort(gone.begin(), gone.end(), [](const auto &a, const auto &b) {
    return std::tie(a.first, a.second.epc) < std::tie(b.first, b.second.epc);
  });
  std::vector<Departure> out;
  for (auto &g : gone) out.push_back(std::move(g.second));
  return out;
}

}  // namespace velkor::app::mqtt
