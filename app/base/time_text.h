// Times of day as text: the one UTC form every document and log line
// carries, and the local clock time tables show.
#ifndef VELKOR_APP_BASE_TIME_TEXT_H
#define VELKOR_APP_BASE_TIME_TEXT_H

#include <string>

#include "app/base/clock.h"

namespace velkor::app {

/// "2024-05-01T12:00:00.123Z"
std::string utc_time(WallClock::time_point t);
/// "12:00:00.123", local time.
std::string local_time(WallClock::time_point t);

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_TIME_TEXT_H
