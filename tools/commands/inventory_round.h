// One Gen2 inventory round through Inventory_G2, its list decoded.
#ifndef VELKOR_TOOLS_INVENTORY_ROUND_H
#define VELKOR_TOOLS_INVENTORY_ROUND_H

#include <vector>

#include "tools/session/session.h"
#include "tools/output/tag_output.h"
#include "tools/commands/tag_target.h"

namespace velkor::tool {

struct InventoryRound {
  int status = STATUS_COMM_ERROR;
  std::vector<Bytes> epcs;
  int tag_count = 0;  ///< as the reader counted them
  int antenna = 0;    ///< byte 4 of the last frame
  WallClock::time_point time;

  /// The reader answered with tags (statuses 1 to 4) or with none (0xFB).
  bool answered() const { return (status >= 0x01 && status <= 0x04) || status == 0xFB; }
  /// The reader is gone: nothing could be written or no reply came.
  bool link_lost() const {
    return status == STATUS_COMM_ERROR || status == STATUS_INVALID_HANDLE;
  }
};

/// Runs one round, selecting by the mask when it is given.
InventoryRound inventory_round(Session &s, MaskOptions &mask);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_INVENTORY_ROUND_H
