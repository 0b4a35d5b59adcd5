#include "tests/kernel/hid_devices.h"

namespace velkor::kernel {

namespace {

// Items of the HID report descriptor (HID 1.11, 6.2.2).
const Bytes kReaderDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor defined 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8 bits)
    0x95, 0x3F,        //   Report Count (63)
    0x85, 0x01,        //   Report ID (1)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x85, 0x02,        //   Report ID (2): data reports
    0x09, 0x02,        //   Usage (2)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0x85, 0x03,        //   Report ID (3): control reports
    0x09, 0x03,        //   Usage (3)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// The boot keyboard of HID 1.11, appendix B.1.
const Bytes kKeyboardDescriptor = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,              // Generic Desktop, Keyboard
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00,  // modifier keys
    0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,              // reserved byte
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01,  // LEDs
    0x29, 0x05, 0x91, 0x02,
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,              // LED padding
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,  // key array
    0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
    0xC0,
};

}  // namespace

HidIdentity reader_identity(const std::string &uniq) {
  return {"velkor test reader", uniq, kReaderVendor, kReaderProduct, kReaderDescriptor};
}

HidIdentity keyboard_identity(const std::string &uniq) {
  return {"velkor test keyboard", uniq, kReaderVendor, 0x0001, kKeyboardDescriptor};
}

HidIdentity foreign_keyboard_identity(const std::string &uniq) {
  return {"velkor test foreign keyboard", uniq, 0x1209, 0x0001, kKeyboardDescriptor};
}

}  // namespace velkor::kernel
