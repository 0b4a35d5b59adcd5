// velkor_mqtt.hpp: a header-only C++17 layer over velkor_mqtt.h, the MQTT
// publisher of libvelkor_mqtt (Velkor::Mqtt in the CMake package).
//
// velkor::mqtt::Publisher owns one started publisher.  finish() sends what
// waits for up to a limit and says "offline"; the destructor finishes without
// waiting (what is unsent stays in the spool, if one is set).  Reads, rounds and the reader's
// presence go in as with `velkor inventory --watch --mqtt`; the topics, the
// messages and the spool are the tool's (docs/mqtt.md).  A Publisher is used
// from one thread at a time.
#ifndef VELKOR_MQTT_HPP
#define VELKOR_MQTT_HPP

#include <chrono>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "velkor_mqtt.h"

namespace velkor::mqtt {

/// A publisher that could not start (bad settings, spool unusable,
/// certificate not trusted, login refused) or is used after finish().
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One setting of velkor_mqtt_set(): "topic", "qos", "ca", "cert", "key",
/// "user", "password_file", "spool", "limit", "depart_after_ms", "client_id".
struct Setting {
  std::string name;
  std::string value;
};

/// Receives the publisher's one-line notices (broker lost and back,
/// messages dropped from a full spool).
using Notice = std::function<void(const std::string &)>;

class Publisher {
 public:
  using Clock = std::chrono::system_clock;

  /// Connects to url for the reader with this serial, waiting up to `wait`
  /// for the first outcome.  An unreachable broker is no error: messages
  /// wait for it (in the spool, if one is set).
  /// @param[in] url       mqtt://host[:port] or mqtts://host[:port]
  /// @param[in] reader    the reader's serial number (the default topic's)
  /// @param[in] settings  further settings, in order
  /// @param[in] notice    receives the publisher's notices, or empty
  /// @param[in] wait      how long to wait for the broker's first answer
  /// @throws Error with the publisher's reason when it cannot start.
  Publisher(const std::string &url, const std::string &reader,
            const std::vector<Setting> &settings = {}, Notice notice = {},
            std::chrono::milliseconds wait = std::chrono::seconds(5))
      : notice_(std::make_unique<Notice>(std::move(notice))), p_(velkor_mqtt_new()) {
    if (!p_) throw std::bad_alloc();
    set("url", url);
    set("reader", reader);
    for (const Setting &s : settings) set(s.name, s.value);
    if (*notice_) velkor_mqtt_set_notice(p_.get(), &Publisher::relay, notice_.get());
    char why[512] = "";
    if (velkor_mqtt_start(p_.get(), int(wait.count()), why, sizeof why) != 0) throw Error(why);
  }

  Publisher(Publisher &&) noexcept = default;
  Publisher &operator=(Publisher &&) noexcept = default;
  Publisher(const Publisher &) = delete;
  Publisher &operator=(const Publisher &) = delete;
  ~Publisher() = default;

  /// Queues one read and sends what the connection allows.
  /// @param[in] epc      the EPC in upper-case hex
  /// @param[in] antenna  as the reader reports it
  /// @param[in] round    inventory round, from 1
  /// @param[in] when     when it was read
  /// @param[in] uri      the tag URI, or empty
  /// @throws Error after finish()
  void publish_read(const std::string &epc, int antenna, unsigned round,
                    Clock::time_point when = Clock::now(), const std::string &uri = {}) {
    const long long ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count();
    check(velkor_mqtt_publish_read(p_.get(), epc.c_str(), antenna, round, ms,
                                   uri.empty() ? nullptr : uri.c_str()));
  }

  /// Ends an inventory round: tags unread for the departure time depart.
  void end_round() { check(velkor_mqtt_end_round(p_.get())); }

  /// Says whether the reader is there.
  /// @param[in] lost  true: the reader went away; false: it is back
  void set_reader_lost(bool lost) { check(velkor_mqtt_set_reader_lost(p_.get(), lost ? 1 : 0)); }

  /// Network work: acknowledgements, reconnection, sending.
  /// @param[in] timeout  how long it may wait; zero: only what is ready
  void service(std::chrono::milliseconds timeout = std::chrono::milliseconds(0)) {
    check(velkor_mqtt_service(p_.get(), int(timeout.count())));
  }

  /// @return the messages waiting for the broker's acknowledgement
  std::size_t waiting() const { return velkor_mqtt_waiting(p_.get()); }

  /// Sends what waits for up to limit, publishes "offline" and disconnects.
  /// The publisher takes nothing more afterwards.
  /// @param[in] limit  how long it may take
  /// @return the messages still waiting (kept in the spool, if any)
  std::size_t finish(std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const long left = velkor_mqtt_finish(p_.get(), int(limit.count()));
    if (left < 0) throw Error("the publisher is finished");
    p_.reset();
    return std::size_t(left);
  }

 private:
  struct Free {
    void operator()(velkor_mqtt *p) const { velkor_mqtt_free(p); }
  };

  static void relay(const char *text, void *context) {
    (*static_cast<Notice *>(context))(text);
  }

  void set(const std::string &name, const std::string &value) {
    if (velkor_mqtt_set(p_.get(), name.c_str(), value.c_str()) != 0)
      throw Error("setting " + name + " is unknown or its value is not valid");
  }

  void check(int rc) const {
    if (rc != 0) throw Error("the publisher is finished");
  }

  // On the heap so that the address the library keeps survives a move;
  // declared first so that it outlives the publisher, which may still call it.
  std::unique_ptr<Notice> notice_;
  std::unique_ptr<velkor_mqtt, Free> p_;
};

}  // namespace velkor::mqtt

#endif  // VELKOR_MQTT_HPP
