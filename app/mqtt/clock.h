// The publisher's sense of time, kept behind one interface so that its
// backoff, departures and spool bookkeeping run on a virtual clock in tests.
#ifndef VELKOR_APP_MQTT_CLOCK_H
#define VELKOR_APP_MQTT_CLOCK_H

#include <chrono>
#include <cstdint>

namespace velkor::app::mqtt {

using WallClock = std::chrono::system_clock;

class Clock {
 public:
  virtual ~Clock() = default;
  /// Milliseconds on a steady clock (any origin).
  virtual std::int64_t now_ms() = 0;
  /// The time of day, for message timestamps.
  virtual WallClock::time_point wall() = 0;
  /// Waits (a virtual clock moves on at once).
  virtual void sleep_ms(int ms) = 0;
};

/// The process's clocks.
Clock &system_clock();

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_CLOCK_H
