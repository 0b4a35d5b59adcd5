// A watch as the one event model's events: each round's reads, the round's
// end, arrivals and departures, refused rounds, the reader lost and back.
// Every surface that streams a watch (the C API's callbacks, the server's
// event stream) takes its events from here, so they cannot disagree.
#ifndef VELKOR_APP_EVENTS_WATCH_EVENT_FEED_H
#define VELKOR_APP_EVENTS_WATCH_EVENT_FEED_H

#include <functional>

#include "app/events/document.h"
#include "app/watch/watch.h"

namespace velkor::app::events {

class WatchEventFeed : public WatchObserver {
 public:
  /// Receives each event, on the watch's thread, in the order they happen.
  using Sink = std::function<void(const Event &)>;
  /// Spends a wait of the watch; empty: the clock's sleep.
  using Idle = std::function<void(int ms, Clock &clock)>;

  /// sink: [in] where the events go; tid: reads carry "tid"; decode: reads
  /// carry "uri" (the tag URI, or null); idle: [in] the watch's waits.
  WatchEventFeed(Sink sink, bool tid, bool decode, Idle idle = {})
      : sink_(std::move(sink)), idle_(std::move(idle)), tid_(tid), decode_(decode) {}

  /// One "read" per tag in the reader's order, then one "round".
  void on_round(const Round &round, unsigned number, const TagTable &table) override;
  void on_arrive(const TagTable::Entry &tag) override;
  void on_depart(const TagTable::Entry &tag, WallClock::time_point time) override;
  void on_round_failed(unsigned number, const Error &why) override;
  void on_reader_lost(unsigned rounds, const Error &why) override;
  void on_reader_back(std::int64_t away_ms) override;
  void idle(int ms, Clock &clock) override;

 private:
  Sink sink_;
  Idle idle_;
  bool tid_, decode_;
};

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_WATCH_EVENT_FEED_H
