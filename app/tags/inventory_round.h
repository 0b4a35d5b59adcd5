// One Gen2 inventory round through Inventory_G2, its list decoded.
#ifndef VELKOR_APP_TAGS_INVENTORY_ROUND_H
#define VELKOR_APP_TAGS_INVENTORY_ROUND_H

#include <vector>

#include "app/reader/session.h"
#include "app/tags/mask.h"
#include "app/tags/tag_read.h"

namespace velkor::app {

struct InventoryRound {
  int status = STATUS_COMM_ERROR;
  std::vector<Bytes> epcs;
  std::vector<Bytes> tids;  ///< beside epcs, when the round asked for TIDs
  int tag_count = 0;  ///< as the reader counted them
  int antenna = 0;    ///< byte 4 of the last frame
  WallClock::time_point time;

  /// The read of the i-th tag.
  TagRead read(std::size_t i, unsigned number) const {
    return {number, time, epcs[i], antenna,
            tids.empty() ? std::nullopt : std::optional<Bytes>(tids[i])};
  }
  /// The reader answered with tags (statuses 1 to 4) or with none (0xFB).
  bool answered() const { return (status >= 0x01 && status <= 0x04) || status == 0xFB; }
  /// The reader is gone: nothing could be written or no reply came.
  bool link_lost() const {
    return status == STATUS_COMM_ERROR || status == STATUS_INVALID_HANDLE;
  }
};

/// TID words an inventory with --tid asks for, and commission reads to tell
/// tags apart, from word 0: class and model, then the serialised part most
/// tags carry.
constexpr int kTidWords = 6;

/// Runs one round, selecting by the mask when it is given; with tid, also
/// reads each tag's TID through the inventory's TID group.
InventoryRound inventory_round(Session &s, const Mask &mask, bool tid = false);

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_INVENTORY_ROUND_H
