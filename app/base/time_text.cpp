#include "app/base/time_text.h"

#include <cstdio>
#include <ctime>

namespace velkor::app {

namespace {

std::string format_time(WallClock::time_point t, bool utc, const char *layout,
                        const char *suffix) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
  // Whole seconds rounded down, so that times before 1970 keep their order.
  auto seconds = std::chrono::floor<std::chrono::seconds>(ms);
  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  const int millis = static_cast<int>((ms - seconds).count());
  std::tm parts{};
  if (utc)
    gmtime_r(&whole, &parts);
  else
    localtime_r(&whole, &parts);
  char text[64];
  const std::size_t n = std::strftime(text, sizeof text, layout, &parts);
  std::snprintf(text + n, sizeof text - n, ".%03d%s", millis, suffix);
  return text;
}

}  // namespace

std::string utc_time(WallClock::time_point t) {
  return format_time(t, true, "%Y-%m-%dT%H:%M:%S", "Z");
}

std::string local_time(WallClock::time_point t) { return format_time(t, false, "%H:%M:%S", ""); }

}  // namespace velkor::app
