// The channel texts of a region.  The only function of the library that
// allocates: regions 1 to 4 get fresh texts on every call, which the caller
// releases with FreeChannelList; region 5 gets the library's constant texts.
#include <cstdio>
#include <cstdlib>

#include "config/channel_plan.h"
#include "velkor.h"

using namespace velkor;

namespace {

// Room of each text block handed out; far more than the longest text.
constexpr std::size_t kTextBlock = 255;

bool is_fixed_text(const char *text) {
  for (const char *fixed : kFixedRegionTexts)
    if (text == fixed) return true;
  return false;
}

}  // namespace

int VELKOR_CALL GetChannelList(int region, char **list) {
  if (region == kFixedRegion) {
    std::size_t i = 0;
    // The caller must not write them; the array type is the interface's.
    for (const char *fixed : kFixedRegionTexts) list[i++] = const_cast<char *>(fixed);
    list[i] = nullptr;
    return STATUS_OK;
  }
  const SteppedRegion *plan = stepped_region(region);
  // An empty list, so that FreeChannelList after it frees nothing of what
  // the caller's array held.
  if (plan == nullptr) {
    list[0] = nullptr;
    return STATUS_OK;
  }
  for (int i = 0; i < plan->channels; ++i) {
    char *text = static_cast<char *>(std::malloc(kTextBlock));
    if (text == nullptr) {
      // Out of memory: hand back an empty list rather than a partial one.
      list[i] = nullptr;
      FreeChannelList(list);
      return STATUS_OK;
    }
    std::snprintf(text, kTextBlock, plan->format,
                  plan->first_mhz + static_cast<double>(i) * plan->step_mhz);
    list[i] = text;
  }
  list[plan->channels] = nullptr;
  return STATUS_OK;
}

int VELKOR_CALL FreeChannelList(char **list) {
  if (list == nullptr) return STATUS_OK;
  // Stops at the first null, so a second release of one list does nothing.
  for (std::size_t i = 0; list[i] != nullptr; ++i) {
    if (is_fixed_text(list[i])) continue;
    std::free(list[i]);
    list[i] = nullptr;
  }
  return STATUS_OK;
}
