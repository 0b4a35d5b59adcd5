// A watch's own events besides the reads and the tags' arrivals and
// departures: a round done or refused, the reader lost and back; and an
// error as a document.
#ifndef VELKOR_APP_EVENTS_WATCH_EVENTS_H
#define VELKOR_APP_EVENTS_WATCH_EVENTS_H

#include <cstdint>

#include "app/base/clock.h"
#include "app/base/error.h"
#include "app/events/document.h"

namespace velkor::app::events {

/// {"event": "round", "round", "tags", "unique", "time"}.
Event round_event(unsigned round, std::size_t tags, std::size_t unique,
                  WallClock::time_point time);
/// {"event": "round-failed", "round", "error"}.
Event round_failed_event(unsigned round, const Error &why);
/// {"event": "reader-lost", "rounds", "error"}.
Event reader_lost_event(unsigned rounds, const Error &why);
/// {"event": "reader-back", "away_ms"}.
Event reader_back_event(std::int64_t away_ms);

/// An error as a document: {"kind", "status", "words", "operation"}.
Json error_json(const Error &error);

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_WATCH_EVENTS_H
