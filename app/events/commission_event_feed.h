// A commissioning run as the one event model's events: each tag's outcome,
// the writes earlier runs left cut short, voided serials, several or
// unneeded tags, a cut write resumed or its tag gone.  Every surface that
// streams a run (the C API's callbacks, the server's event stream) takes its
// events from here.
#ifndef VELKOR_APP_EVENTS_COMMISSION_EVENT_FEED_H
#define VELKOR_APP_EVENTS_COMMISSION_EVENT_FEED_H

#include <functional>

#include "app/commission/commissioning.h"
#include "app/events/document.h"

namespace velkor::app::events {

class CommissionEventFeed : public CommissionObserver {
 public:
  /// Receives each event, on the run's thread, in order.
  using Sink = std::function<void(const Event &)>;
  /// Spends a wait of the run; empty: the clock's sleep.
  using Idle = std::function<void(int ms, Clock &clock)>;

  explicit CommissionEventFeed(Sink sink, Idle idle = {})
      : sink_(std::move(sink)), idle_(std::move(idle)) {}

  void on_interrupted_earlier(const JournalEntry &entry) override;
  void on_voided(const JournalEntry &entry) override;
  void on_several(std::size_t tags) override;
  void on_unneeded(const Bytes &epc) override;
  void on_resuming(const JournalEntry &entry) override;
  void on_left(const JournalEntry &entry) override;
  /// A "tag" event with the run's progress.
  void on_finished(const JournalEntry &entry, const CommissionProgress &progress) override;
  void idle(int ms, Clock &clock) override;

 private:
  Sink sink_;
  Idle idle_;
};

}  // namespace velkor::app::events

#endif  // VELKOR_APP_EVENTS_COMMISSION_EVENT_FEED_H
