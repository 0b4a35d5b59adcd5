// A platform for unit tests: a virtual clock and devices that are C++ objects.
// A sleep advances the clock at once; a read that delivers nothing advances it
// by the read's limit.  Single-threaded by design.
//
// Each handle has an input queue, as a HID driver keeps one per open handle:
// the report a device answers a read with is queued for the moment it is
// due, and the read takes the oldest report due within its limit.  So a
// report later than the limit stays queued for the next read, and a handle
// sharing another's input sees a copy of every report that one gets.  As
// Linux's hidraw queue does, it holds kQueuedReports and drops the reports
// that arrive while it is full.
#ifndef VELKOR_TESTS_FAKE_PLATFORM_H
#define VELKOR_TESTS_FAKE_PLATFORM_H

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "velkor.h"

namespace velkor::fake {

using Report = std::array<std::uint8_t, 64>;

class Device {
 public:
  virtual ~Device() = default;
  /// An output report arrives; returns the bytes the write transfers.
  virtual int write(const Report &report) = 0;
  /// The host reads one input report: fill report and return after how many
  /// milliseconds it reaches the handle's queue, or nullopt when nothing comes.
  virtual std::optional<std::uint32_t> read(Report &report) = 0;
};

/// The handle with the given number: the handle type is an int on Linux and
/// a pointer on Windows.
inline VelkorHandle handle_from(std::intptr_t n) {
#ifdef _WIN32
  return reinterpret_cast<VelkorHandle>(n);
#else
  return static_cast<VelkorHandle>(n);
#endif
}

/// The reports hidraw keeps waiting for one open handle (a ring of 64 with
/// one slot always free); it drops newer ones while that many wait.
constexpr std::size_t kQueuedReports = 63;

/// Makes a handle for a device (never the invalid value).
VelkorHandle attach(Device &device);
void detach(VelkorHandle handle);

/// From now on every report queued on from is also queued on to (a second
/// open handle of the same reader).
void share_input(VelkorHandle from, VelkorHandle to);
/// The device sends a report nobody polled for: it is queued now on the
/// handle (and on those sharing its input).
void deliver(VelkorHandle handle, const Report &report);
/// Reports queued on the handle that no read has taken yet.
std::size_t queued(VelkorHandle handle);
/// Times the library discarded the handle's waiting input.
std::size_t discards(VelkorHandle handle);

void set_clock(std::uint32_t ms);
std::uint32_t clock();

/// One HID interface of the fake enumeration.
struct Interface {
  bool has_path = true;
  bool opens = true;
  bool ids_readable = true;
  std::uint16_t vendor = 0x0470;
  std::uint16_t product = 0xA112;
  Device *device = nullptr;  ///< what the opened handle talks to
};

/// Sets the interfaces present at indices 0.. (an index past the end, or
/// holding nullopt, has none); `available` false makes the set unobtainable.
void set_interfaces(std::vector<std::optional<Interface>> interfaces,
                    bool available = true);

/// Handles opened by discovery and not yet closed.
std::vector<VelkorHandle> open_handles();
/// Handles closed through the platform, in order.
const std::vector<VelkorHandle> &closed_handles();
/// Whether every device set taken was released.
bool device_sets_balanced();

/// Forgets devices, interfaces and logs; the clock is set to 0.
void reset();

}  // namespace velkor::fake

#endif  // VELKOR_TESTS_FAKE_PLATFORM_H
