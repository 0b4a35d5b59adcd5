// A selection mask: the tags whose bank holds these bits from this bit
// address on.  An empty mask selects every tag.
#ifndef VELKOR_APP_TAGS_MASK_H
#define VELKOR_APP_TAGS_MASK_H

#include <cstddef>

#include "app/base/hex.h"

namespace velkor::app {

struct Mask {
  int bank = 1;          ///< 0 reserved, 1 EPC, 2 TID, 3 user
  int bit_address = 32;  ///< where the EPC starts in the EPC bank
  Bytes bytes;           ///< empty: no mask
  int bits = -1;         ///< -1: every bit of the bytes

  bool used() const { return !bytes.empty(); }
  unsigned char bit_count() const {
    return static_cast<unsigned char>(bits < 0 ? 8 * bytes.size() : std::size_t(bits));
  }
};

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_MASK_H
