#include "emulator/wire.h"

namespace velkor::emu {

std::uint16_t crc16(const std::uint8_t *bytes, std::size_t n) {
  std::uint16_t reg = 0xFFFF;
  while (n--) {
    reg = static_cast<std::uint16_t>(reg ^ *bytes++);
    for (int i = 0; i < 8; ++i) {
      const bool low = reg & 1u;
      reg = static_cast<std::uint16_t>(reg >> 1);
      if (low) reg ^= 0x8408u;
    }
  }
  return reg;
}

bool frame_intact(const Bytes &bytes) {
  return bytes.size() >= 5 && bytes[0] + 1u == bytes.size() &&
         crc16(bytes.data(), bytes.size()) == 0;
}

void reseal(Bytes &frame) {
  if (frame.size() < 2) return;
  const std::uint16_t crc = crc16(frame.data(), frame.size() - 2);
  frame[frame.size() - 2] = static_cast<std::uint8_t>(crc);
  frame[frame.size() - 1] = static_cast<std::uint8_t>(crc >> 8);
}

Bytes encode_reply(std::uint8_t address, std::uint8_t echo, std::uint8_t status,
                   const Bytes &data) {
  Bytes frame;
  frame.reserve(data.size() + 6);
  frame.push_back(static_cast<std::uint8_t>(data.size() + 5));
  frame.push_back(address);
  frame.push_back(echo);
  frame.push_back(status);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.resize(frame.size() + 2);
  reseal(frame);
  return frame;
}

}  // namespace velkor::emu
