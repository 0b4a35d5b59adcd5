// A clock for the core's tests: steady time that moves only when something
// sleeps on it, and a time of day that follows it.
#ifndef VELKOR_TESTS_APP_VIRTUAL_CLOCK_H
#define VELKOR_TESTS_APP_VIRTUAL_CLOCK_H

#include "app/base/clock.h"

namespace velkor::test {

class VirtualClock final : public app::Clock {
 public:
  std::int64_t now_ms() override { return ms; }
  app::WallClock::time_point wall() override {
    return app::WallClock::time_point(std::chrono::milliseconds(1'700'000'000'000 + ms));
  }
  void sleep_ms(int n) override { ms += n; }
  std::int64_t ms = 0;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_APP_VIRTUAL_CLOCK_H
