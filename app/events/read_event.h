// A tag read as a document: {"round", "time", "epc", "antenna"}, with "tid"
// when the inventory asked for TIDs and "uri" (the tag URI, or null for an
// EPC of no known scheme) when decoding was asked for.  A publisher puts its
// envelope ("reader", "seq") in front.
#ifndef VELKOR_APP_EVENTS_READ_EVENT_H
#define VELKOR_APP_EVENTS_READ_EVENT_H

#include <optional>
#include <string>

#include "app/events/document.h"
#include "app/tags/tag_read.h"

namespace velkor::app::events {

struct ReadEvent {
  TagRead read;
  bool with_tid = false;  ///< "tid" is written ("" when the read has none)
  bool with_uri = false;  ///< "uri" is written
  std::optional<std::string> uri;  ///< with_uri: the tag URI, or none (null)
};

Json to_json(const ReadEvent &event);

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_READ_EVENT_H
