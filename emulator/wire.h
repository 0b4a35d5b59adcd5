// Frames as the reader sees them: the CRC-16 it checks and appends, and the
// encoding of its reply frames.
#ifndef VELKOR_EMULATOR_WIRE_H
#define VELKOR_EMULATOR_WIRE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkor::emu {

using Bytes = std::vector<std::uint8_t>;

/// CRC-16 (reflected 0x8408, preset 0xFFFF), as the reader computes it.
std::uint16_t crc16(const std::uint8_t *bytes, std::size_t n);

/// Whether bytes form one intact frame: length byte + 1 bytes, CRC residue 0.
bool frame_intact(const Bytes &bytes);

/// One reply frame: length, address, echo, status, data, CRC.
Bytes encode_reply(std::uint8_t address, std::uint8_t echo, std::uint8_t status,
                   const Bytes &data);

/// Recomputes the CRC of an encoded frame after its bytes were changed.
void reseal(Bytes &frame);

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_WIRE_H
