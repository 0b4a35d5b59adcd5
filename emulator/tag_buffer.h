// The reader's own tag buffer, filled by buffered inventories and read back
// on request.
#ifndef VELKOR_EMULATOR_TAG_BUFFER_H
#define VELKOR_EMULATOR_TAG_BUFFER_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "emulator/wire.h"

namespace velkor::emu {

struct TagBuffer {
  /// Tags the buffer holds; further tags are counted as seen but not kept.
  /// A full buffer of 96-bit EPCs reads back in about 5300 bytes, within
  /// what the host collects.
  static constexpr std::size_t kCapacity = 400;
  /// Save length: the most EPC bytes a record keeps (1 to 62, a 31-word EPC).
  static constexpr std::uint8_t kMinSaveLength = 1;
  static constexpr std::uint8_t kMaxSaveLength = 62;

  /// The EPCs kept, in the order first seen, each cut to the save length.
  std::vector<Bytes> epcs;
  std::uint8_t save_length = kMaxSaveLength;

  /// Keeps an EPC unless it is already held or the buffer is full; true
  /// when it was added.
  bool add(const Bytes &epc) {
    const Bytes kept(epc.begin(),
                     epc.begin() + static_cast<std::ptrdiff_t>(
                                       std::min<std::size_t>(epc.size(), save_length)));
    if (epcs.size() >= kCapacity ||
        std::find(epcs.begin(), epcs.end(), kept) != epcs.end())
      return false;
    epcs.push_back(kept);
    return true;
  }
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_TAG_BUFFER_H
