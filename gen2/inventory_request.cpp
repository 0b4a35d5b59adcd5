#include "gen2/inventory_request.h"

namespace velkor {

Frame inventory_frame(std::uint8_t *address, std::uint8_t command,
                      const InventoryRequest &request) {
  Frame frame(address, command);
  frame.u8(request.param0).u8(request.param1);
  if (request.mask_flag == 1) frame.mask(request.mask);
  if (request.tid_flag == 1) frame.u8(request.tid_addr).u8(request.tid_len);
  if (request.trail_flag == 1) frame.bytes(request.trail, sizeof request.trail);
  return frame;
}

}  // namespace velkor
