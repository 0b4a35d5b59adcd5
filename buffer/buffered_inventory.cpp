// Inventory into the reader's own tag buffer, and reading the buffer back.
#include "buffer/buffer_frame.h"
#include "gen2/inventory_request.h"
#include "protocol/exchange.h"

using namespace velkor;

namespace {

// A reply this short is a bare status frame (an empty buffer answers with
// one six-byte frame): it is not walked and the list is left alone.
constexpr std::size_t kShortestWalked = 11;

// The reply to a buffered inventory is complete by its length byte.
constexpr Rules kInventoryRules{.variant = kOutputsAlways,
                                .collect = &GetDataFromPort_buff};

// The buffer read is announced by the begin report and its frames are not
// tested, neither for CRC nor for echo.
constexpr Rules kReadRules{.variant = kStatusOnly,
                           .collect = &GetBufferDataFromPort,
                           .begin = true,
                           .check_crc = false,
                           .check_echo = false};

}  // namespace

int VELKOR_CALL InventoryBuffer_G2(
    unsigned char *address, unsigned char param0, unsigned char param1,
    unsigned char mask_mem, unsigned char *mask_addr, unsigned char mask_len,
    unsigned char *mask_data, unsigned char mask_flag, unsigned char tid_addr,
    unsigned char tid_len, unsigned char tid_flag, unsigned char trail0,
    unsigned char trail1, unsigned char trail2, unsigned char trail_flag,
    int *first, int *second, VelkorHandle handle) {
  const InventoryRequest request{param0,
                                 param1,
                                 {mask_mem, mask_addr, mask_len, mask_data},
                                 mask_flag,
                                 tid_addr,
                                 tid_len,
                                 tid_flag,
                                 {trail0, trail1, trail2},
                                 trail_flag};
  Frame frame = inventory_frame(address, 0x18, request);
  return exchange(frame, handle, kInventoryRules, [&](const Reply &r) {
    *first = r.data_be16(0);
    *second = r.data_be16(2);
  });
}

int VELKOR_CALL ReadBuffer_G2(unsigned char *address, int *total_len,
                              int *tag_count, unsigned char *list,
                              VelkorHandle handle) {
  Frame frame(address, 0x72);
  Reply reply;
  const Outcome outcome = transact(frame, handle, kReadRules, reply);
  if (!outcome.answered()) return outcome.code;
  if (reply.count() < kShortestWalked) {
    *total_len = 0;
    *tag_count = 0;
    return reply.status();
  }
  // The walk appends only the tag data of whole accepted frames, never more
  // than the collected bytes, straight into the caller's list.
  const WalkResult walked = walk_frames(reply.bytes(), reply.count(), kBufferFrameLayout, list);
  *total_len = static_cast<int>(walked.list_length);
  *tag_count = walked.tag_count;
  return walked.last_status;
}
