// A HID device made in the running kernel through /dev/uhid: the kernel's
// HID core binds it as it would a USB device, and hidraw gives it a
// /dev/hidrawN node.  The owner answers the device's side of the traffic.
#ifndef VELKOR_TESTS_KERNEL_UHID_DEVICE_H
#define VELKOR_TESTS_KERNEL_UHID_DEVICE_H

#include <linux/uhid.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velkor::kernel {

using Bytes = std::vector<std::uint8_t>;

/// What the kernel is told about a device when it is made.
struct HidIdentity {
  std::string name;
  std::string uniq;  ///< unique per device: how its hidraw node is found
  std::uint16_t vendor = 0;
  std::uint16_t product = 0;
  Bytes descriptor;  ///< the report descriptor
};

class UhidDevice {
 public:
  /// Makes the device (UHID_CREATE2); throws std::runtime_error when the
  /// kernel refuses it.
  explicit UhidDevice(const HidIdentity &identity);
  /// Destroys the device if it is still there.
  ~UhidDevice();
  UhidDevice(const UhidDevice &) = delete;
  UhidDevice &operator=(const UhidDevice &) = delete;

  /// Unplugs the device (UHID_DESTROY): its node goes at once.
  void destroy();
  bool destroyed() const { return destroyed_; }

  /// Sends one input report (UHID_INPUT2); false when the kernel refuses it.
  bool input(const std::uint8_t *report, std::size_t size);

  /// Waits up to ms for the next event from the kernel; false when none came.
  bool next_event(uhid_event *event, int ms);

  /// Answers a GET_REPORT or SET_REPORT request with an error, so that the
  /// kernel does not wait for one.
  void refuse(const uhid_event &request);

  /// The device's hidraw node ("/dev/hidraw3"), looked for up to wait_ms
  /// (it appears a few milliseconds after the device is made); "" when it
  /// did not appear.
  std::string wait_for_node(int wait_ms) const;

 private:
  bool send(const uhid_event &event);

  HidIdentity identity_;
  int fd_ = -1;
  bool destroyed_ = false;
};

/// The hidraw node whose HID device has this uniq, or "" (one look at sysfs).
std::string hidraw_node_of(const std::string &uniq);

}  // namespace velkor::kernel

#endif  // VELKOR_TESTS_KERNEL_UHID_DEVICE_H
