// ISO 18000-6B inventories: one tag, or every tag matching a group selection.
// Both answer in a single reply frame whose fields reach the caller whatever
// the status, as long as the frame carries any data (length byte above 5).
#include "protocol/exchange.h"

using namespace velkor;

namespace {

constexpr std::size_t kWordDataSize = 8;
// The single inventory hands over a fixed 10-byte record from frame byte 5.
constexpr std::size_t kSingleRecordSize = 10;
// Frame bytes of the selective inventory's reply: tag count, then the list
// up to the CRC.
constexpr std::size_t kCountByte = 5;
constexpr std::size_t kListByte = 6;

// Address written back after any good reply; outputs only if the frame
// carries data, which the outputs themselves check.
constexpr Rules kInventoryRules{.variant = {Write::kAlways, Write::kAlways}};

bool carries_data(const Reply &r) { return r.length() > 5; }

}  // namespace

int VELKOR_CALL InventorySingle_6B(unsigned char *address, unsigned char *frame4,
                                   unsigned char *id, VelkorHandle handle) {
  Frame frame(address, 0x50);
  return exchange(frame, handle, kInventoryRules, [&](const Reply &r) {
    if (!carries_data(r)) return;
    *frame4 = r.data(0);
    r.copy(5, id, kSingleRecordSize);
  });
}

int VELKOR_CALL InventoryMultiple_6B(unsigned char *address, unsigned char condition,
                                     unsigned char start, unsigned char byte_mask,
                                     unsigned char *word_data, unsigned char *frame4,
                                     unsigned char *list, int *tag_count,
                                     VelkorHandle handle) {
  Frame frame(address, 0x51);
  frame.u8(condition).u8(start).u8(byte_mask).bytes(word_data, kWordDataSize);
  return exchange(frame, handle, kInventoryRules, [&](const Reply &r) {
    if (!carries_data(r)) return;
    *frame4 = r.data(0);
    // A frame of length byte 6 ends before the count: its byte 5 is the CRC.
    const std::size_t length = r.length();
    *tag_count = length > kCountByte + 1 ? r.byte(kCountByte) : 0;
    // The list runs up to the two CRC bytes (frame bytes length-1, length).
    const std::size_t list_end = length - 1;
    if (list_end > kListByte) r.copy(kListByte, list, list_end - kListByte);
  });
}
