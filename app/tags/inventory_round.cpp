#include "app/tags/inventory_round.h"

#include "app/tags/tag_list.h"

namespace velkor::app {

InventoryRound inventory_round(Session &s, const Mask &mask, bool tid) {
  Bytes bits = mask.bytes;
  unsigned char address[2] = {static_cast<unsigned char>(mask.bit_address >> 8),
                              static_cast<unsigned char>(mask.bit_address)};
  unsigned char none = 0;
  std::vector<unsigned char> list(kMostListBytes);
  unsigned char frame4 = 0;
  int length = 0;
  InventoryRound round;
  round.status = Inventory_G2(s.address(), VELKOR_INVENTORY_PARAM0, VELKOR_INVENTORY_PARAM1,
                              static_cast<unsigned char>(mask.bank),
                              address, mask.bit_count(), bits.empty() ? &none : bits.data(),
                              mask.used() ? 1 : 0, 0, tid ? kTidWords : 0, tid ? 1 : 0, 0, 0,
                              0, 0, list.data(), &frame4,
                              &length, &round.tag_count, s.handle());
  round.time = WallClock::now();
  round.antenna = frame4;
  if (!round.answered()) return round;
  if (!tid) {
    round.epcs = decode_tag_list(list.data(), length);
    return round;
  }
  for (TagIds &tag : decode_tid_list(list.data(), length, round.tag_count)) {
    round.epcs.push_back(std::move(tag.epc));
    round.tids.push_back(std::move(tag.tid));
  }
  return round;
}

}  // namespace velkor::app
