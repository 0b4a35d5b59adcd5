// The reader's own settings, as the configuration commands set them and the
// information block reports them.
#ifndef VELKOR_EMULATOR_SETTINGS_H
#define VELKOR_EMULATOR_SETTINGS_H

#include <cstdint>

namespace velkor::emu {

struct Settings {
  std::uint8_t region_high = 0x31;  ///< region bits 3-2, highest channel
  std::uint8_t region_low = 0x80;   ///< region bits 1-0, lowest channel
  std::uint8_t power = 30;          ///< RF power, dBm
  std::uint8_t scan_time = 10;      ///< inventory scan time, 100 ms units
  std::uint8_t antenna = 0x01;
  std::uint8_t beep = 0x01;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_SETTINGS_H
