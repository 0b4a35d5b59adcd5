// The core's sense of time, behind one interface, so that the watch's
// pacing, departures and reconnection, commissioning's waits and the
// publisher's backoff all run on a virtual clock in tests.
#ifndef VELKOR_APP_BASE_CLOCK_H
#define VELKOR_APP_BASE_CLOCK_H

#include <chrono>
#include <cstdint>

namespace velkor::app {

using WallClock = std::chrono::system_clock;

class Clock {
 public:
  virtual ~Clock() = default;
  /// Milliseconds on a steady clock (any origin).
  virtual std::int64_t now_ms() = 0;
  /// The time of day, for time stamps.
  virtual WallClock::time_point wall() = 0;
  /// Waits (a virtual clock moves on at once).
  virtual void sleep_ms(int ms) = 0;
};

/// The process's clocks: steady time, the time of day, a real sleep.
Clock &system_clock();

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_CLOCK_H
