// One Gen2 inventory round through Inventory_G2, its list decoded into reads.
#ifndef VELKOR_APP_TAGS_INVENTORY_ROUND_H
#define VELKOR_APP_TAGS_INVENTORY_ROUND_H

#include <vector>

#include "app/base/error.h"
#include "app/reader/session.h"
#include "app/tags/mask.h"
#include "app/tags/tag_read.h"

namespace velkor::app {

struct Round {
  int status = STATUS_COMM_ERROR;
  std::vector<TagRead> tags;  ///< in the order the reader listed them
  int tag_count = 0;  ///< as the reader counted them
  int antenna = 0;    ///< byte 4 of the last frame
  WallClock::time_point time;

  /// The reader answered with tags (statuses 1 to 4) or with none (0xFB).
  bool answered() const { return (status >= 0x01 && status <= 0x04) || status == 0xFB; }
  /// The reader is gone: nothing could be written or no reply came.
  bool link_lost() const {
    return status == STATUS_COMM_ERROR || status == STATUS_INVALID_HANDLE;
  }
  /// Why the round did not answer ("inventory" failed with its status).
  Error error() const { return Error::from_status(status, "inventory"); }
};

/// TID words an inventory with TIDs asks for, and commissioning reads to
/// tell tags apart, from word 0: class and model, then the serialised part
/// most tags carry.
constexpr int kTidWords = 6;

/// Runs one round, selecting by the mask when it is given; with tid, also
/// reads each tag's TID through the inventory's TID group.  The reads carry
/// `number` and the clock's time of day.
Round inventory_round(Session &s, const Mask &mask, bool tid = false, unsigned number = 1,
                      Clock &clock = system_clock());

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_INVENTORY_ROUND_H
