// The JSON text of each message (one line; the schema is
// docs/mqtt-messages.schema.json).
#ifndef VELKOR_APP_MQTT_MESSAGES_H
#define VELKOR_APP_MQTT_MESSAGES_H

#include <cstdint>
#include <string>

#include "app/mqtt/clock.h"

namespace velkor::app::mqtt {

/// A tag read as the caller hands it to the publisher.
struct Read {
  std::string epc;          ///< upper-case hex
  int antenna = 0;          ///< as the reader reports it
  unsigned round = 0;       ///< inventory round, from 1
  WallClock::time_point time;
  std::string uri;          ///< the tag URI, or empty when not decoded
};

/// "2026-05-01T12:00:00.123Z"
std::string utc_text(WallClock::time_point t);

std::string read_message(const std::string &reader, std::uint64_t seq, const Read &read);
/// event: "arrive" or "depart".
std::string event_message(const std::string &reader, std::uint64_t seq, const char *event,
                          const std::string &epc, int antenna, WallClock::time_point time);
/// state: "online", "offline" or "reader-lost"; a will has no time (it is
/// written when the connection is made, not when it is sent).
std::string status_message(const std::string &reader, const char *state,
                           const WallClock::time_point *time);

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_MESSAGES_H
