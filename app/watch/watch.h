// The watch: inventory rounds one after another, paced, until the stop
// token says so or the pacing's limits are reached; a table of the tags
// seen with their arrivals and departures; and a reader that goes away and
// comes back (looked for every second, the table kept).  What happens goes
// to an observer; the waits go through the observer's idle(), where a
// caller does its own work (a publisher's network, a server's requests).
#ifndef VELKOR_APP_WATCH_WATCH_H
#define VELKOR_APP_WATCH_WATCH_H

#include "app/base/clock.h"
#include "app/base/error.h"
#include "app/base/stop_token.h"
#include "app/reader/session.h"
#include "app/tags/inventory_round.h"
#include "app/tags/mask.h"
#include "app/watch/round_pacing.h"
#include "app/watch/tag_table.h"

namespace velkor::app {

struct WatchOptions {
  Mask mask;         ///< select by it when used
  bool tid = false;  ///< read each tag's TID in the same round
  RoundPacing pacing;  ///< no limit: until stopped
  std::int64_t depart_after_ms = 3000;  ///< a tag unread this long departs
  int retry_every_ms = 1000;  ///< how often a lost reader is looked for
  /// false: a lost reader or a refused round ends the watch with its error
  /// (rounds run for a while, as a plain inventory with limits runs them).
  bool carry_on = true;
};

/// Told what the watch sees.  Every hook has a default that does nothing,
/// except idle(), which waits on the clock.
class WatchObserver {
 public:
  virtual ~WatchObserver() = default;
  /// A round answered; `number` counts from 1; the table holds its reads.
  virtual void on_round(const Round &round, unsigned number, const TagTable &table) {
    (void)round, (void)number, (void)table;
  }
  /// A tag was read while absent.
  virtual void on_arrive(const TagTable::Entry &tag) { (void)tag; }
  /// A tag went unread for the departure time; `time` is when that was seen.
  virtual void on_depart(const TagTable::Entry &tag, WallClock::time_point time) {
    (void)tag, (void)time;
  }
  /// The reader answered a round with a refusal; the watch goes on.
  virtual void on_round_failed(unsigned number, const Error &why) { (void)number, (void)why; }
  /// The reader is gone after `rounds` rounds; it is looked for again.
  virtual void on_reader_lost(unsigned rounds, const Error &why) { (void)rounds, (void)why; }
  /// The reader is back after away_ms.
  virtual void on_reader_back(std::int64_t away_ms) { (void)away_ms; }
  /// The watch waits up to ms: spend it here (the default sleeps on the clock).
  /// Called between rounds, with 0 when the rounds run back to back.
  virtual void idle(int ms, Clock &clock) { clock.sleep_ms(ms); }
};

struct WatchSummary {
  unsigned rounds = 0;        ///< rounds that answered
  unsigned failed = 0;        ///< rounds the reader refused
  bool stopped = false;       ///< ended by the stop token, not by its limits
  std::int64_t elapsed_ms = 0;
};

class Watch {
 public:
  Watch(Session &session, const WatchOptions &options, WatchObserver &observer,
        Clock &clock = system_clock());

  /// Runs until the token stops it or the pacing's limits are reached.
  /// Errors: kLink when nothing ever answered at a chosen address (a
  /// reader listening elsewhere is not lost, and looking for it again would
  /// only repeat that); without carry_on, the first round that did not
  /// answer.
  Result<WatchSummary> run(StopToken stop);

  const TagTable &table() const { return table_; }

 private:
  void pause(std::int64_t ms, const StopToken &stop);
  void answered(const Round &round);

  Session &session_;
  WatchOptions options_;
  WatchObserver &observer_;
  Clock &clock_;
  TagTable table_;
  WatchSummary summary_;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_WATCH_WATCH_H
