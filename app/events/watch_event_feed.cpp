#include "app/events/watch_event_feed.h"

#include "app/base/hex.h"
#include "app/events/presence_events.h"
#include "app/events/read_event.h"
#include "app/events/watch_events.h"
#include "app/tags/epc_text.h"

namespace velkor::app::events {

void WatchEventFeed::on_round(const Round &round, unsigned number, const TagTable &table) {
  for (const TagRead &read : round.tags) {
    ReadEvent e{read, tid_, decode_, std::nullopt};
    if (decode_) e.uri = tag_uri_of(read.epc);
    sink_({"read", to_json(e)});
  }
  sink_(round_event(number, round.tags.size(), table.entries().size(), round.time));
}

void WatchEventFeed::on_arrive(const TagTable::Entry &tag) {
  sink_(presence_event("arrive", to_hex(tag.epc), tag.antenna, tag.last));
}

void WatchEventFeed::on_depart(const TagTable::Entry &tag, WallClock::time_point time) {
  sink_(presence_event("depart", to_hex(tag.epc), tag.antenna, time));
}

void WatchEventFeed::on_round_failed(unsigned number, const Error &why) {
  sink_(round_failed_event(number, why));
}

void WatchEventFeed::on_reader_lost(unsigned rounds, const Error &why) {
  sink_(reader_lost_event(rounds, why));
}

void WatchEventFeed::on_reader_back(std::int64_t away_ms) { sink_(reader_back_event(away_ms)); }

void WatchEventFeed::idle(int ms, Clock &clock) {
  if (idle_)
    idle_(ms, clock);
  else
    clock.sleep_ms(ms);
}

}  // namespace velkor::app::events
