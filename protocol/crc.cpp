#include "protocol/crc.h"

#include "velkor_link.hpp"

namespace velkor {

std::uint16_t crc16_update(std::uint16_t crc, const std::uint8_t *bytes,
                           std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408u)
                       : static_cast<std::uint16_t>(crc >> 1);
  }
  return crc;
}

}  // namespace velkor

void GetCRC(unsigned char *buf, int len) {
  const std::uint16_t crc =
      len > 0 ? velkor::crc16(buf, static_cast<std::size_t>(len)) : velkor::kCrcPreset;
  const int at = len > 0 ? len : 0;
  buf[at] = static_cast<unsigned char>(crc & 0xFF);
  buf[at + 1] = static_cast<unsigned char>(crc >> 8);
}

int CheckCRC(unsigned char *buf, int len) {
  GetCRC(buf, len);
  const int at = len > 0 ? len : 0;
  return (buf[at] == 0 && buf[at + 1] == 0) ? STATUS_OK : STATUS_CRC_ERROR;
}
