// inventory --watch: rounds one after another until Ctrl-C (or a set number
// of rounds), a live table of the unique tags, and a reader that may go away
// and come back.
#ifndef VELKOR_TOOLS_INVENTORY_WATCH_H
#define VELKOR_TOOLS_INVENTORY_WATCH_H

#include "tools/session/session.h"
#include "tools/output/tag_output.h"
#include "tools/commands/tag_target.h"

namespace velkor::tool {

struct WatchOptions {
  Format format = Format::kText;
  int rounds = 0;  ///< stop after this many rounds; 0: until interrupted
  bool decode = false;  ///< show each tag's EPC Tag URI
};

/// Runs the watch; returns the exit status (0 when stopped by SIGINT or
/// after its rounds).
int watch_inventory(Session &s, MaskOptions &mask, const WatchOptions &options);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_INVENTORY_WATCH_H
