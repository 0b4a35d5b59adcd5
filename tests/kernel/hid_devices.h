// The HID devices the guest makes: the reader as the kernel sees it, and a
// keyboard that is not one.
#ifndef VELKOR_TESTS_KERNEL_HID_DEVICES_H
#define VELKOR_TESTS_KERNEL_HID_DEVICES_H

#include <cstdint>
#include <string>

#include "tests/kernel/uhid_device.h"

namespace velkor::kernel {

constexpr std::uint16_t kReaderVendor = 0x0470;
constexpr std::uint16_t kReaderProduct = 0xA112;

/// The reader: vendor-defined input report 0x01 and output reports 0x02
/// (data) and 0x03 (control), 63 bytes each after the report ID, so that
/// every report on hidraw is 64 bytes with its ID first.
HidIdentity reader_identity(const std::string &uniq);

/// A boot keyboard (8-byte input report, LED output report, no report IDs)
/// of the reader's vendor but another product: discovery must pass it by.
HidIdentity keyboard_identity(const std::string &uniq);

/// A keyboard that shares nothing with the reader.
HidIdentity foreign_keyboard_identity(const std::string &uniq);

}  // namespace velkor::kernel

#endif  // VELKOR_TESTS_KERNEL_HID_DEVICES_H
