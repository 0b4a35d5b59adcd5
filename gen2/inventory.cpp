// Gen2 inventories: the full request and the fast one answer with a run of
// frames; the single-tag inventory with one frame.
#include "gen2/inventory_request.h"
#include "gen2/inventory_walk.h"

using namespace velkor;

int VELKOR_CALL Inventory_G2(
    unsigned char *address, unsigned char param0, unsigned char param1,
    unsigned char mask_mem, unsigned char *mask_addr, unsigned char mask_len,
    unsigned char *mask_data, unsigned char mask_flag, unsigned char tid_addr,
    unsigned char tid_len, unsigned char tid_flag, unsigned char trail0,
    unsigned char trail1, unsigned char trail2, unsigned char trail_flag,
    unsigned char *list, unsigned char *frame4, int *total_len, int *tag_count,
    VelkorHandle handle) {
  Frame frame = inventory_frame(
      address, 0x01,
      {param0, param1, {mask_mem, mask_addr, mask_len, mask_data}, mask_flag, tid_addr,
       tid_len, tid_flag, {trail0, trail1, trail2}, trail_flag});
  return run_inventory(frame, true, handle, {list, frame4, total_len, tag_count});
}

int VELKOR_CALL Fast_EPC_Inventory_G2(unsigned char *address, unsigned char param0,
                                      unsigned char param1, unsigned char param2,
                                      unsigned char param4, unsigned char *param3_frame4,
                                      unsigned char *list, int *total_len, int *tag_count,
                                      VelkorHandle handle) {
  // The argument order is not the frame order: the in-out byte goes fourth.
  Frame frame(address, 0x00);
  frame.u8(param0).u8(param1).u8(param2).u8(*param3_frame4).u8(param4);
  return run_inventory(frame, false, handle, {list, param3_frame4, total_len, tag_count});
}

int VELKOR_CALL SingleTagInventory_G2(unsigned char *address, unsigned char *tag_data,
                                      void *, int *frame4, VelkorHandle handle) {
  // Success is status 1 here.  The reply has no tag-count byte: the tag data
  // runs from byte 5 to the CRC.
  Frame frame(address, 0x0F);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess, .success = 0x01},
                  [&](const Reply &r) {
                    *frame4 = r.data(0);
                    const std::size_t n = r.length() >= 6 ? r.length() - 6u : 0u;
                    r.copy_data(1, tag_data, n);
                  });
}
