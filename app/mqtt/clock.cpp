#include "app/mqtt/clock.h"

#include <thread>

namespace velkor::app::mqtt {

namespace {

class SystemClock final : public Clock {
 public:
  std::int64_t now_ms() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  WallClock::time_point wall() override { return WallClock::now(); }
  void sleep_ms(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

Clock &system_clock() {
  static SystemClock clock;  // stateless
  return clock;
}

}  // namespace velkor::app::mqtt
