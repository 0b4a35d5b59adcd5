#include "app/events/commission_event_feed.h"

#include "app/events/commission_events.h"

namespace velkor::app::events {

void CommissionEventFeed::on_interrupted_earlier(const JournalEntry &entry) {
  sink_(entry_event("interrupted", entry));
}

void CommissionEventFeed::on_voided(const JournalEntry &entry) { sink_(entry_event("void", entry)); }

void CommissionEventFeed::on_several(std::size_t tags) { sink_(several_event(tags)); }

void CommissionEventFeed::on_unneeded(const Bytes &epc) { sink_(unneeded_event(epc)); }

void CommissionEventFeed::on_resuming(const JournalEntry &entry) {
  sink_(entry_event("resuming", entry));
}

void CommissionEventFeed::on_left(const JournalEntry &entry) { sink_(entry_event("left", entry)); }

void CommissionEventFeed::on_finished(const JournalEntry &entry,
                                      const CommissionProgress &progress) {
  sink_(tag_event(entry, progress));
}

void CommissionEventFeed::idle(int ms, Clock &clock) {
  if (idle_)
    idle_(ms, clock);
  else
    clock.sleep_ms(ms);
}

}  // namespace velkor::app::events
