// The MQTT messages: the core's documents (app/events) with the
// publisher's envelope, "reader" and "seq", in front; one line of JSON each
// (docs/events.schema.json: read, event, status).
#ifndef VELKOR_APP_MQTT_MESSAGES_H
#define VELKOR_APP_MQTT_MESSAGES_H

#include <cstdint>
#include <string>

#include "app/events/document.h"
#include "app/events/read_event.h"

namespace velkor::app::mqtt {

/// A tag read as the caller hands it to the publisher.
using Read = events::ReadEvent;

/// The document with "reader" and, when seq is not 0, "seq" in front.
std::string message(const std::string &reader, std::uint64_t seq, const events::Json &document);

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_MESSAGES_H
