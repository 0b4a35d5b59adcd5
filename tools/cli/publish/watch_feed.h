// inventory --watch --mqtt: the watch's reads, rounds and lost reader handed
// to the publisher, and its notices on standard error.
#ifndef VELKOR_TOOLS_PUBLISH_WATCH_FEED_H
#define VELKOR_TOOLS_PUBLISH_WATCH_FEED_H

#include <memory>

#include "app/mqtt/publisher.h"
#include "app/reader/session.h"
#include "tools/cli/commands/inventory_watch.h"
#include "tools/cli/core_names.h"
#include "tools/cli/publish/mqtt_options.h"

namespace velkor::tool {

class MqttFeed final : public WatchObserver {
 public:
  /// Reads the reader's serial number, opens the publisher and waits for
  /// the first connection; on failure says why on standard error and
  /// returns null.  With decode, each read carries its EPC's tag URI.
  static std::unique_ptr<MqttFeed> start(Session &s, const MqttOptions &options,
                                         bool decode = false);

  void on_round(const InventoryRound &round, unsigned number) override;
  void on_reader_lost() override { publisher_->set_reader_lost(true); }
  void on_reader_back() override { publisher_->set_reader_lost(false); }
  void idle(int ms) override { publisher_->service(ms); }

  /// Sends what waits, says what could not be sent; returns the exit status.
  int finish();

 private:
  MqttFeed(std::unique_ptr<publish::Publisher> p, std::string spool, bool decode)
      : publisher_(std::move(p)), spool_(std::move(spool)), decode_(decode) {}
  std::unique_ptr<publish::Publisher> publisher_;
  std::string spool_;
  bool decode_;
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_PUBLISH_WATCH_FEED_H
