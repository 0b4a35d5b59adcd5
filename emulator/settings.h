// The reader's own settings, as the configuration commands set them and the
// information block reports them.
#ifndef VELKOR_EMULATOR_SETTINGS_H
#define VELKOR_EMULATOR_SETTINGS_H

#include <cstdint>

namespace velkor::emu {

// Ranges the configuration commands accept (region_commands.cpp,
// rf_commands.cpp, work_mode_commands.cpp) are noted with each field.
struct Settings {
  std::uint8_t region_high = 0x31;  ///< region bits 3-2, highest channel
  std::uint8_t region_low = 0x80;   ///< region bits 1-0, lowest channel
  std::uint8_t power = 30;          ///< RF power, 0 to 33 dBm
  std::uint8_t scan_time = 10;      ///< inventory scan time, 3 to 255, 100 ms units
  std::uint8_t antenna = 0x01;      ///< antennas in use, bits 0-3, at least one
  std::uint8_t beep = 0x01;         ///< beep on each inventory: 0 or 1

  bool operator==(const Settings &) const = default;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_SETTINGS_H
