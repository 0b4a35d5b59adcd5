// CRC-16 of the reader's frames: polynomial 0x1021 processed least
// significant bit first (0x8408), preset 0xFFFF, no final XOR, stored low byte
// first.  Over a whole frame including its stored CRC the result (the
// residue) is zero exactly when the frame is intact.
#ifndef VELKOR_PROTOCOL_CRC_H
#define VELKOR_PROTOCOL_CRC_H

#include <cstddef>
#include <cstdint>

namespace velkor {

constexpr std::uint16_t kCrcPreset = 0xFFFF;

/// Continues a CRC over n more bytes.
std::uint16_t crc16_update(std::uint16_t crc, const std::uint8_t *bytes,
                           std::size_t n);

inline std::uint16_t crc16(const std::uint8_t *bytes, std::size_t n) {
  return crc16_update(kCrcPreset, bytes, n);
}

}  // namespace velkor

#endif  // VELKOR_PROTOCOL_CRC_H
