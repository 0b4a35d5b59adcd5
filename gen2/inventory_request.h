// The Gen2 inventory request, shared by the inventory into the reply and the
// inventory into the reader's buffer: two parameter bytes, then up to three
// optional groups (mask, TID, trailing), each present only when its flag is
// exactly 1.
#ifndef VELKOR_GEN2_INVENTORY_REQUEST_H
#define VELKOR_GEN2_INVENTORY_REQUEST_H

#include <cstdint>

#include "protocol/exchange.h"

namespace velkor {

struct InventoryRequest {
  std::uint8_t param0;
  std::uint8_t param1;
  Mask mask;
  std::uint8_t mask_flag;
  std::uint8_t tid_addr;
  std::uint8_t tid_len;
  std::uint8_t tid_flag;
  std::uint8_t trail[3];
  std::uint8_t trail_flag;
};

/// Builds the request under the given command byte.
Frame inventory_frame(std::uint8_t *address, std::uint8_t command,
                      const InventoryRequest &request);

}  // namespace velkor

#endif  // VELKOR_GEN2_INVENTORY_REQUEST_H
