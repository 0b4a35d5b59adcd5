#include "app/events/read_event.h"

#include "app/base/time_text.h"

namespace velkor::app::events {

Json to_json(const ReadEvent &e) {
  Json doc = {{"round", e.read.round},
              {"time", utc_time(e.read.time)},
              {"epc", to_hex(e.read.epc)},
              {"antenna", e.read.antenna}};
  if (e.with_tid) doc["tid"] = e.read.tid ? to_hex(*e.read.tid) : "";
  if (e.with_uri) doc["uri"] = e.uri ? Json(*e.uri) : Json(nullptr);
  return doc;
}

}  // namespace velkor::app::events
