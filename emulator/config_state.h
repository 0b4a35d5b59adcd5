// What the configuration commands set on the emulated reader, beyond the
// settings that the information block reports (settings.h).  Values are kept
// as the reader took them and reported back unchanged; the comments give the
// meaning this model gives them and the ranges it accepts (a value outside
// its range is refused with status 0xFF and changes nothing).
#ifndef VELKOR_EMULATOR_CONFIG_STATE_H
#define VELKOR_EMULATOR_CONFIG_STATE_H

#include <array>
#include <cstdint>

namespace velkor::emu {

/// Transmitter calibration and test operation.
struct Calibration {
  std::uint8_t dac = 0x80;  ///< DAC value of the transmitter, any
  /// DAC value for each power level 0 to 30 dBm, as last solidified; a usable
  /// list does not fall as the power rises.
  std::array<std::uint8_t, 31> power_list = [] {
    std::array<std::uint8_t, 31> list{};
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = static_cast<std::uint8_t>(40 + 6 * i);
    return list;
  }();
  std::uint8_t rf_output = 0;  ///< unmodulated carrier: 0 off, 1 on
  bool self_test = false;      ///< entered by command 0x26, left by the bare byte 0xA5
  /// Test carrier in kHz, least significant byte first (840000 to 960000).
  std::array<std::uint8_t, 4> test_frequency{};
  std::uint8_t test_frequency_on = 0;  ///< 0 or 1
  /// A values as SetAValue sends them: which pair (0 to 3), then the first
  /// and the second value, four bytes each.
  std::array<std::uint8_t, 9> a_values{};
  std::array<std::uint8_t, 2> dc_offset{};
  std::array<std::uint8_t, 2> qs{4, 4};          ///< Q start values, 0 to 15 each
  std::uint8_t check_antenna = 1;                ///< antenna check: 0 off, 1 on
  /// AD readings by request byte 0 to 3: forward power, reflected power,
  /// temperature, supply voltage (raw 12-bit counts).
  std::array<std::uint16_t, 4> ad{0x0312, 0x0045, 0x01A0, 0x0C80};
  unsigned flash_writes = 0;  ///< times the settings were saved to flash

  bool operator==(const Calibration &) const = default;
};

/// Work mode and the automatic inventory.
struct WorkParameters {
  std::uint8_t mode = 0;      ///< 0 answer mode, 1 automatic, 2 triggered, 3 triggered (inverted input)
  std::uint8_t interval = 0;  ///< pause between automatic inventories, 10 ms units, any
  std::array<std::uint8_t, 2> response{};  ///< automatic-mode output: format 0 to 2, port 0 to 1
  std::uint8_t tag_type = 0;         ///< 0 Gen2, 1 6B
  std::uint8_t eas_sensitivity = 0;  ///< 0 to 7
  std::uint8_t trigger_time = 0;     ///< seconds the trigger keeps the reader running, any
  std::uint8_t mask_bank = 1;        ///< 0 to 3
  std::array<std::uint8_t, 2> mask_address{};
  std::uint8_t mask_bits = 0;
  std::array<std::uint8_t, 32> mask{};
  std::array<std::uint8_t, 2> tid{0x00, 0x06};  ///< TID word pointer and word count, any
  std::uint8_t custom_function = 0;             ///< 0 to 3
  std::array<std::uint8_t, 2> work_time{};      ///< minutes, least significant byte first

  bool operator==(const WorkParameters &) const = default;
};

/// Indicators, clock and I/O lines.
struct IoLines {
  std::array<std::uint8_t, 3> buzzer_led{};  ///< last control bytes, any
  /// Year - 2000 (0 to 99), month, day, hour, minute, second.  Kept as set:
  /// the model clock does not run.
  std::array<std::uint8_t, 6> clock{24, 1, 1, 0, 0, 0};
  std::uint8_t relay = 0;         ///< 0 open, 1 closed
  std::uint8_t rev_delay = 0;     ///< any
  std::uint8_t gpio_out = 0;      ///< output lines 1 and 2 in bits 0 and 1
  std::uint8_t gpio_in = 0;       ///< input lines 1 and 2 in bits 0 and 1 (set by tests)
  std::uint8_t pulse_output = 0;  ///< notification pulse: 0 off, 1 on

  bool operator==(const IoLines &) const = default;
};

/// HID keyboard output.
struct KeyboardOutput {
  std::uint8_t beep = 1;  ///< 0 or 1
  /// Work parameters 1 to 6; 1 is 1 to 4, 3 is 0 to 15, 4 and 5 are 0 or 1.
  std::array<std::uint8_t, 6> params{1, 0, 0, 0, 0, 0};

  bool operator==(const KeyboardOutput &) const = default;
};

struct Configuration {
  Calibration rf;
  WorkParameters work;
  IoLines io;
  KeyboardOutput keyboard;
  /// Answer command 0x36 as older firmware does, with the 42-byte parameter
  /// set (no trigger time and TID parameters).
  bool short_system_parameters = false;

  bool operator==(const Configuration &) const = default;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_CONFIG_STATE_H
