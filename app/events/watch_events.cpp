#include "app/events/watch_events.h"

#include "app/base/time_text.h"

namespace velkor::app::events {

Event round_event(unsigned round, std::size_t tags, std::size_t unique,
                  WallClock::time_point time) {
  return {"round",
          {{"event", "round"}, {"round", round}, {"tags", tags}, {"unique", unique},
           {"time", utc_time(time)}}};
}

Json error_json(const Error &e) {
  return {{"kind", kind_name(e.kind)}, {"status", e.status}, {"words", e.words},
          {"operation", e.operation}};
}

Event round_failed_event(unsigned round, const Error &why) {
  return {"round-failed", {{"event", "round-failed"}, {"round", round}, {"error", error_json(why)}}};
}

Event reader_lost_event(unsigned rounds, const Error &why) {
  return {"reader-lost",
          {{"event", "reader-lost"}, {"rounds", rounds}, {"error", error_json(why)}}};
}

Event reader_back_event(std::int64_t away_ms) {
  return {"reader-back", {{"event", "reader-back"}, {"away_ms", away_ms}}};
}

}  // namespace velkor::app::events
