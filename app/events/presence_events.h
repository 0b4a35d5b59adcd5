// What a publisher says besides the reads: a tag arriving or departing, a
// reader plugged in or pulled out, and the reader's status.
#ifndef VELKOR_APP_EVENTS_PRESENCE_EVENTS_H
#define VELKOR_APP_EVENTS_PRESENCE_EVENTS_H

#include <string>

#include "app/base/clock.h"
#include "app/events/document.h"

namespace velkor::app::events {

/// {"event": "arrive" or "depart", "epc", "antenna", "time"}.
Event presence_event(const char *event, const std::string &epc_hex, int antenna,
                     WallClock::time_point time);
/// {"event": "plugged" or "lost", "reader": its serial, "time"}: a reader
/// attached to the host, or gone from it, while a server runs.
Event reader_event(const char *event, const std::string &serial, WallClock::time_point time);
/// {"state": "online", "offline" or "reader-lost", "time"}; without a time
/// (a will is written when the connection is made, not when it is sent).
Event status_event(const char *state, const WallClock::time_point *time);

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_PRESENCE_EVENTS_H
