#include "app/events/commission_events.h"

namespace velkor::app::events {

Event entry_event(const char *event, const JournalEntry &e) {
  return {event,
          {{"event", event},
           {"time", e.time},
           {"serial", e.serial},
           {"epc", e.epc},
           {"uri", e.uri.empty() ? Json() : Json(e.uri)},
           {"tid", e.tid}}};
}

Event tag_event(const JournalEntry &entry, const CommissionProgress &p) {
  Event event = entry_event("tag", entry);
  event.document["result"] = entry.result;
  event.document["done"] = p.done;
  event.document["of"] = p.total;
  event.document["per_minute"] = p.per_minute;
  return event;
}

Event several_event(std::size_t tags) {
  return {"several", {{"event", "several"}, {"tags", tags}}};
}

Event unneeded_event(const Bytes &epc) {
  return {"unneeded", {{"event", "unneeded"}, {"epc", to_hex(epc)}}};
}

Event end_event(const CommissionSummary &s) {
  Json serials = Json::array();
  for (const JournalEntry &e : s.interrupted) serials.push_back(e.serial);
  return {"end",
          {{"event", "end"},
           {"result", end_name(s.end)},
           {"done", s.progress.done},
           {"of", s.progress.total},
           {"this_run", s.progress.this_run},
           {"seconds", double(s.progress.elapsed_ms) / 1000},
           {"interrupted", serials}}};
}

}  // namespace velkor::app::events
