// The multi-frame Gen2 inventory reply: a run of frames, each with the tag
// count at byte 5 and tag data from byte 6 up to the CRC.  Frames with status
// 1 to 4 contribute; the others are stepped over.
#ifndef VELKOR_GEN2_INVENTORY_WALK_H
#define VELKOR_GEN2_INVENTORY_WALK_H

#include "protocol/exchange.h"
#include "protocol/frame_walk.h"

namespace velkor {

/// Where a Gen2 inventory frame keeps its fields, and which frames count.
extern const FrameLayout kGen2InventoryLayout;

/// Where an inventory hands its results.
struct InventoryOutputs {
  std::uint8_t *list;    ///< tag-identifier list, total_len bytes
  std::uint8_t *frame4;  ///< byte 4 of the last accepted frame
  int *total_len;
  int *tag_count;
};

/// Sends the request (after the begin report when begin is set), collects the
/// run of frames, sets the tag count to 0 once collection has been tried,
/// then walks the frames and copies the results out.  Neither echo nor the
/// frames' CRCs are tested: the collector already found the final frame.
/// Returns the last frame's status, or the exchange's code (then only the tag
/// count is written, and not even that when the begin report failed).
int run_inventory(Frame &frame, bool begin, VelkorHandle handle,
                  const InventoryOutputs &out);

}  // namespace velkor

#endif  // VELKOR_GEN2_INVENTORY_WALK_H
