// Commissioning's progress as documents: each names its event ("tag",
// "interrupted", "resuming", "left", "void", "several", "unneeded", "end").
#ifndef VELKOR_APP_EVENTS_COMMISSION_EVENTS_H
#define VELKOR_APP_EVENTS_COMMISSION_EVENTS_H

#include "app/commission/commissioning.h"
#include "app/events/document.h"

namespace velkor::app::events {

/// {"event", "time", "serial", "epc", "uri" (null when none), "tid"} for a
/// line of the log ("interrupted", "resuming", "left", "void").
Event entry_event(const char *event, const JournalEntry &entry);
/// A tag's outcome: the entry's fields, "result", "done", "of", "per_minute".
Event tag_event(const JournalEntry &entry, const CommissionProgress &progress);
/// {"event": "several", "tags"}.
Event several_event(std::size_t tags);
/// {"event": "unneeded", "epc"}.
Event unneeded_event(const Bytes &epc);
/// {"event": "end", "result", "done", "of", "this_run", "seconds",
/// "interrupted": [serials]}.
Event end_event(const CommissionSummary &summary);

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_COMMISSION_EVENTS_H
