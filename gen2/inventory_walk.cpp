#include "gen2/inventory_walk.h"

#include <cstring>

namespace velkor {

namespace {

bool inventory_accepted(std::uint8_t status) { return status >= 1 && status <= 4; }

}  // namespace

const FrameLayout kGen2InventoryLayout{5, 6, &inventory_accepted};

int run_inventory(Frame &frame, bool begin, VelkorHandle handle,
                  const InventoryOutputs &out) {
  const Rules rules{.variant = kStatusOnly,
                    .collect = &GetInventoryDataFromPort1,
                    .begin = begin,
                    .check_crc = false,
                    .check_echo = false};
  Reply reply;
  const Outcome outcome = transact(frame, handle, rules, reply);
  if (outcome.collected()) *out.tag_count = 0;
  if (!outcome.answered()) return outcome.code;

  // The walk fills a list of the reply's own size, so the caller's buffer
  // only ever receives the total length.
  std::uint8_t list[kReplyCapacity];
  const WalkResult walked =
      walk_frames(reply.bytes(), reply.count(), kGen2InventoryLayout, list);
  std::memcpy(out.list, list, walked.list_length);
  *out.total_len = static_cast<int>(walked.list_length);
  *out.tag_count = walked.tag_count;
  if (walked.any_accepted) *out.frame4 = walked.frame4;
  return walked.last_status;
}

}  // namespace velkor
