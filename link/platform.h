// The seam between the library and the operating system.  Everything that
// touches a device, the clock or the scheduler goes through these functions.
// The shipped library links one implementation (Linux hidraw or Win32); the
// unit tests link a fake one with a virtual clock.
//
// Time limits: a write that has not transferred its report within its limit,
// or a read that has not delivered a report within its limit, is reported as
// short (fewer than 64 bytes).  An implementation never returns with an
// operation still pending on the caller's buffer.
#ifndef VELKOR_LINK_PLATFORM_H
#define VELKOR_LINK_PLATFORM_H

#include <cstdint>

#include "velkor.h"

namespace velkor::platform {

constexpr unsigned kReportSize = 64;

/// The most waiting input reports discard_input drops: more than a reader
/// queues for one handle in any exchange, and a bound, so that a device
/// flooding its input cannot hold the call.
constexpr int kDiscardLimit = 256;

/// Milliseconds from a monotonic clock, wrapping at 2^32.
std::uint32_t tick_ms();

/// Pauses the calling thread; 0 yields the processor.
void sleep_ms(std::uint32_t ms);

/// Writes one output report; returns the number of bytes transferred within
/// limit_ms (kReportSize on success).  The limit bounds the write on any
/// handle: one whose peer has stopped taking reports fails it in time.
int write_report(VelkorHandle handle, const std::uint8_t *report,
                 std::uint32_t limit_ms);

/// Reads one input report into report (kReportSize bytes); returns the number
/// of bytes delivered within limit_ms (kReportSize on success).
int read_report(VelkorHandle handle, std::uint8_t *report,
                std::uint32_t limit_ms);

/// Drops the input reports already waiting on the handle without waiting for
/// any: they answer no poll of the exchange about to start (a reply that came
/// too late, or a copy of a report meant for another open handle).
void discard_input(VelkorHandle handle);

/// The HID interfaces present when it was taken (platform specific).
struct DeviceSet;

/// Takes the set of present HID interfaces; nullptr when it cannot be had.
DeviceSet *open_device_set();

/// Releases what open_device_set took.
void close_device_set(DeviceSet *set);

enum class Probe {
  kNoInterface,  ///< no interface at this index
  kNoPath,       ///< an interface whose path could not be had
  kOpenFailed,   ///< the path could not be opened (busy, no permission)
  kOpened,       ///< *handle is open
};

/// Opens the interface at index for overlapped reading and writing with
/// shared access.  *handle receives the open handle, or the invalid value.
Probe open_interface(DeviceSet *set, int index, VelkorHandle *handle);

/// Reads the USB vendor and product identifiers of an open device.
bool device_ids(VelkorHandle handle, std::uint16_t *vendor,
                std::uint16_t *product);

/// Closes a device handle.
void close_device(VelkorHandle handle);

}  // namespace velkor::platform

#endif  // VELKOR_LINK_PLATFORM_H
