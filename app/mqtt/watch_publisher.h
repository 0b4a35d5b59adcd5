// A watch published to an MQTT broker: the watch observer that hands each
// round's reads, the rounds' ends and a lost reader to the publisher, and
// spends the watch's waits on the publisher's network work.  It prints
// nothing: the publisher's notices go to the callback given.
#ifndef VELKOR_APP_MQTT_WATCH_PUBLISHER_H
#define VELKOR_APP_MQTT_WATCH_PUBLISHER_H

#include <memory>

#include "app/base/error.h"
#include "app/mqtt/publisher.h"
#include "app/reader/session.h"
#include "app/watch/watch.h"

namespace velkor::app::mqtt {

class WatchPublisher final : public WatchObserver {
 public:
  /// Reads the reader's serial number (it names the topics and every
  /// message), opens the publisher and waits up to first_connection_ms for
  /// the broker.  With decode, each read carries its tag URI; with tid, its
  /// TID.  kBadInput when the settings cannot be used or the broker refused
  /// for good; the reader's failure when its serial cannot be read.
  static Result<std::unique_ptr<WatchPublisher>> start(Session &s, Settings settings, bool decode,
                                                       bool tid, Notice notice,
                                                       int first_connection_ms = 5000);

  void on_round(const Round &round, unsigned number, const TagTable &table) override;
  void on_reader_lost(unsigned rounds, const Error &why) override;
  void on_reader_back(std::int64_t away_ms) override;
  void idle(int ms, Clock &clock) override;

  /// Sends what waits for up to limit_ms, then says goodbye; returns the
  /// messages still waiting (a spool keeps them for the next start).
  std::size_t finish(int limit_ms = 5000);
  Publisher &publisher() { return *publisher_; }

 private:
  WatchPublisher(std::unique_ptr<Publisher> p, bool decode, bool tid)
      : publisher_(std::move(p)), decode_(decode), tid_(tid) {}
  std::unique_ptr<Publisher> publisher_;
  bool decode_;
  bool tid_;
};

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_WATCH_PUBLISHER_H
