// A scripted transport and a virtual clock for the publisher's unit tests.
#ifndef VELKOR_TESTS_MQTT_FAKE_BROKER_LINK_H
#define VELKOR_TESTS_MQTT_FAKE_BROKER_LINK_H

#include <string>
#include <vector>

#include "app/mqtt/clock.h"
#include "app/mqtt/transport.h"

namespace velkor::test {

class VirtualClock final : public app::mqtt::Clock {
 public:
  std::int64_t now_ms() override { return ms; }
  app::mqtt::WallClock::time_point wall() override {
    return app::mqtt::WallClock::time_point(std::chrono::milliseconds(1'700'000'000'000 + ms));
  }
  void sleep_ms(int n) override { ms += n; }
  std::int64_t ms = 0;
};

struct Sent {
  std::string topic;
  std::string payload;
  bool retain;
  int mid;
};

/// Answers connection attempts as told and acknowledges on request.
class FakeLink final : public app::mqtt::Transport {
 public:
  explicit FakeLink(app::mqtt::Clock &clock) : clock_(clock) {}

  void connect(const app::mqtt::ConnectRequest &r) override {
    attempts.push_back(clock_.now_ms());
    request = r;
    up = false;
    if (refuse.empty()) {
      up = true;
      events.push_back({app::mqtt::TransportEvent::kConnected, 0, {}, false});
    } else {
      events.push_back({app::mqtt::TransportEvent::kFailed, 0, refuse, permanent});
    }
  }
  bool publish(const std::string &topic, const std::string &payload, int, bool retain,
               int *mid) override {
    if (!up) return false;
    *mid = ++last_mid;
    sent.push_back({topic, payload, retain, *mid});
    if (auto_ack) events.push_back({app::mqtt::TransportEvent::kDelivered, *mid, {}, false});
    return true;
  }
  void service(int timeout_ms, std::vector<app::mqtt::TransportEvent> *out) override {
    if (events.empty()) clock_.sleep_ms(timeout_ms);  // as a poll returns early
    for (auto &e : events) out->push_back(e);
    events.clear();
  }
  void disconnect() override { up = false; }

  /// The broker goes away; it refuses every attempt until refuse is cleared.
  void drop(const std::string &why = "connection lost") {
    up = false;
    refuse = why;
    events.push_back({app::mqtt::TransportEvent::kFailed, 0, why, false});
  }
  void ack(int mid) { events.push_back({app::mqtt::TransportEvent::kDelivered, mid, {}, false}); }

  /// What was sent to a topic ending in `suffix`.
  std::vector<Sent> on(const std::string &suffix) const {
    std::vector<Sent> out;
    for (const Sent &s : sent)
      if (s.topic.size() >= suffix.size() &&
          s.topic.compare(s.topic.size() - suffix.size(), suffix.size(), suffix) == 0)
        out.push_back(s);
    return out;
  }

  std::vector<std::int64_t> attempts;
  app::mqtt::ConnectRequest request;
  std::vector<Sent> sent;
  std::vector<app::mqtt::TransportEvent> events;
  std::string refuse;
  bool permanent = false;
  bool auto_ack = true;
  bool up = false;
  int last_mid = 0;

 private:
  app::mqtt::Clock &clock_;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_MQTT_FAKE_BROKER_LINK_H
