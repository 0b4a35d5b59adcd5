// Which tags are in the field: a tag arrives when it is read while absent
// and departs once it has gone unread for the departure time.
#ifndef VELKOR_APP_MQTT_PRESENCE_H
#define VELKOR_APP_MQTT_PRESENCE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace velkor::app::mqtt {

class Presence {
 public:
  explicit Presence(std::int64_t depart_after_ms) : depart_after_ms_(depart_after_ms) {}

  /// The tag was read at now_ms; true when that makes it arrive.
  bool seen(const std::string &epc, int antenna, std::int64_t now_ms);

  struct Departure {
    std::string epc;
    int antenna = 0;  ///< where it was read last
  };
  /// Takes out the tags unread for longer than the departure time, those
  /// read longest ago first.
  std::vector<Departure> departed(std::int64_t now_ms);

  std::size_t present() const { return tags_.size(); }

 private:
  struct Seen {
    std::int64_t at_ms;
    int antenna;
  };
  std::int64_t depart_after_ms_;
  std::unordered_map<std::string, Seen> tags_;
};

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_PRESENCE_H
