// The one JSON event model: every document the core describes (a read, a
// tag arriving or departing, a watch's rounds and its reader, a reader's
// status, commissioning's progress, a reader's information and settings)
// is made here, once, and the tool's --json, the MQTT messages and the
// HTTP event stream all carry these documents.  docs/events.schema.json
// describes each under the event's name.
#ifndef VELKOR_APP_EVENTS_DOCUMENT_H
#define VELKOR_APP_EVENTS_DOCUMENT_H

#include <nlohmann/json.hpp>
#include <string>

namespace velkor::app::events {

/// A JSON document whose keys keep the order they were written in.
using Json = nlohmann::ordered_json;

/// One event: its name (the schema's, the event stream's "event:" field)
/// and its document.
struct Event {
  std::string name;
  Json document;

  /// The document on one line.
  std::string text() const { return document.dump(); }
};

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_DOCUMENT_H
