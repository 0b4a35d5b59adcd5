// How long to wait before the next attempt to reach the broker: doubling
// from the first delay up to the longest, and back to the first once a
// connection succeeds.
#ifndef VELKOR_APP_MQTT_BACKOFF_H
#define VELKOR_APP_MQTT_BACKOFF_H

#include <cstdint>

namespace velkor::app::mqtt {

class Backoff {
 public:
  Backoff(std::int64_t first_ms, std::int64_t longest_ms)
      : first_ms_(first_ms), longest_ms_(longest_ms), next_ms_(first_ms) {}

  /// The delay after one more failure, doubling up to the longest.
  std::int64_t failed() {
    const std::int64_t delay = next_ms_;
    next_ms_ = next_ms_ >= longest_ms_ / 2 ? longest_ms_ : next_ms_ * 2;
    return delay;
  }
  void succeeded() { next_ms_ = first_ms_; }

 private:
  std::int64_t first_ms_;
  std::int64_t longest_ms_;
  std::int64_t next_ms_;
};

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_BACKOFF_H
