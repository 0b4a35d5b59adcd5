#include "app/events/presence_events.h"

#include "app/base/time_text.h"

namespace velkor::app::events {

Event presence_event(const char *event, const std::string &epc_hex, int antenna,
                     WallClock::time_point time) {
  return {event,
          {{"event", event}, {"epc", epc_hex}, {"antenna", antenna}, {"time", utc_time(time)}}};
}

Event reader_event(const char *event, const std::string &serial, WallClock::time_point time) {
  return {event, {{"event", event}, {"reader", serial}, {"time", utc_time(time)}}};
}

Event status_event(const char *state, const WallClock::time_point *time) {
  Json doc = {{"state", state}};
  if (time) doc["time"] = utc_time(*time);
  return {"status", doc};
}

}  // namespace velkor::app::events
