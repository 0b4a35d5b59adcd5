// inventory --watch: rounds one after another until Ctrl-C (or a set number
// of rounds), a live table of the unique tags, and a reader that may go away
// and come back.
#ifndef VELKOR_TOOLS_INVENTORY_WATCH_H
#define VELKOR_TOOLS_INVENTORY_WATCH_H

#include "app/reader/session.h"
#include "app/tags/inventory_round.h"
#include "app/watch/round_pacing.h"
#include "tools/cli/commands/tag_target.h"
#include "tools/cli/output/tag_output.h"
#include "tools/cli/output/tag_table.h"

namespace velkor::tool {

/// Told what the watch sees, besides the table (the MQTT publisher).
class WatchObserver {
 public:
  virtual ~WatchObserver() = default;
  /// A round answered; `number` counts from 1.
  virtual void on_round(const InventoryRound &round, unsigned number) = 0;
  virtual void on_reader_lost() = 0;
  virtual void on_reader_back() = 0;
  /// The watch waits (for a lost reader); the observer may use up to ms.
  virtual void idle(int ms) = 0;
};

struct WatchOptions {
  TagWriter::Options output;  ///< of the records (--json, --csv)
  RoundPacing pacing;         ///< no limit: until interrupted
  WatchObserver *observer = nullptr;
  TagTable::Order order = TagTable::Order::kLastSeen;  ///< of the table
  std::vector<TagTable::Column> columns;               ///< of the table
};

/// Runs the watch; returns the exit status (0 when stopped by SIGINT or
/// after its rounds).
int watch_inventory(Session &s, MaskOptions &mask, const WatchOptions &options);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_INVENTORY_WATCH_H
