// Changing the reader's settings: power, region and channels, beep, scan
// time, clock, I/O lines and the work-mode parameters.  Each sends what it
// is given; the reader judges the values (a refusal comes back as kReader
// with its status).
#ifndef VELKOR_APP_READER_SETTINGS_H
#define VELKOR_APP_READER_SETTINGS_H

#include <array>
#include <functional>
#include <optional>

#include "app/base/clock_text.h"
#include "app/base/error.h"
#include "app/reader/session.h"
#include "app/tags/mask.h"

namespace velkor::app {

/// RF power in dBm.
Status set_power(Session &s, int dbm);
/// The region with every channel of it (no range given), or with the range
/// lowest to highest (a missing end: the plan's).
Status set_region(Session &s, int region, std::optional<int> lowest = std::nullopt,
                  std::optional<int> highest = std::nullopt);
/// Whether the reader beeps on each inventory: 0 off, 1 on (another byte
/// goes as it is, for the reader to judge).
Status set_beep(Session &s, int setting);
/// Drives the buzzer and LEDs with three control bytes, as the reader takes them.
Status drive_indicators(Session &s, int first, int second, int third);
/// Inventory scan time, in 100 ms units.
Status set_scan_time(Session &s, int hundreds_of_ms);

Result<ClockBlock> read_clock(Session &s);
Status set_clock(Session &s, const ClockBlock &block);

/// The GPIO status byte, bit 0 the first line.
Result<int> read_gpio(Session &s);
/// Sets the output lines.
Status set_gpio(Session &s, int outputs);

/// The work-mode parameters to change; what is not given is left alone.
struct ConfigChange {
  std::optional<int> mode, interval, tag_type, eas_sensitivity, trigger_time;
  std::optional<int> scan_time, antenna, custom_function;
  std::optional<std::array<int, 2>> response, tid, work_time;
  std::optional<Mask> mask;

  bool any() const;
};

/// Sends the given settings in a fixed order (mode, interval, response, tag
/// type, EAS sensitivity, mask, trigger time, TID, work time, scan time,
/// antenna, custom function), telling `applied` the name of each once the
/// reader took it ("mode", "EAS sensitivity", ...).  Stops at the first
/// refusal, whose error's operation is the setting's name.
Status apply_config(Session &s, const ConfigChange &change,
                    const std::function<void(const char *name)> &applied = {});

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_SETTINGS_H
