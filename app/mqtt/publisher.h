// Publishing tag reads to an MQTT broker, with nothing lost while the broker
// is away: the C++ interface the velkor tool uses and that programs can call.
//
// Topics, under a prefix (default "velkor/<reader serial>"):
//   <prefix>/reads   one message per read (reader, seq, epc, antenna, round,
//                    time, and uri when the caller decoded the EPC)
//   <prefix>/events  a tag arriving and departing (unread for depart_after_ms)
//   <prefix>/status  retained: "online", "reader-lost", and "offline" (on a
//                    clean finish, or sent by the broker as the last will)
// Reads and events carry a sequence number per topic that rises by one per
// message and continues across runs when a spool is used, so a subscriber
// can drop the duplicates a reconnection may bring.  They wait in an outbox
// (in memory, or the spool directory on disk) until the broker acknowledges
// them, and are sent in order, the oldest first, after every reconnection.
//
// Threads: a Publisher is used from one thread; it starts none.  Calls do
// not block except service() and finish(), for at most their time limit.
#ifndef VELKOR_APP_MQTT_PUBLISHER_H
#define VELKOR_APP_MQTT_PUBLISHER_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/mqtt/backoff.h"
#include "app/mqtt/broker_url.h"
#include "app/mqtt/clock.h"
#include "app/mqtt/messages.h"
#include "app/mqtt/outbox.h"
#include "app/mqtt/presence.h"
#include "app/mqtt/transport.h"

namespace velkor::app::mqtt {

/// What to connect to and how.
struct Settings {
  std::string url;     ///< mqtt://host[:port] or mqtts://host[:port]
  std::string reader;  ///< the reader's serial number (hex), in every message
  std::string topic;   ///< topic prefix; empty: "velkor/<reader>"
  int qos = 1;         ///< 0, 1 or 2, for reads, events and status
  std::string ca_file;    ///< mqtts: the authority that signed the broker's certificate
  std::string cert_file;  ///< mqtts: a client certificate (with key_file)
  std::string key_file;
  std::string user;       ///< empty: no login
  std::string password;   ///< with user; never logged or traced
  std::string spool_dir;  ///< empty: the outbox is in memory only
  std::size_t outbox_limit = 64u << 20;  ///< bytes of waiting messages before the oldest go
  std::int64_t depart_after_ms = 3000;
  std::string client_id;  ///< empty: "velkor-<reader>-<process id>"
};

/// One-line notices for people: the broker lost and back, messages dropped.
using Notice = std::function<void(const std::string &)>;

class Publisher {
 public:
  /// Checks the settings, opens the outbox (the spool's waiting messages
  /// are sent first) and starts connecting.  On failure returns null with
  /// the reason in *error: a bad URL or topic, a QoS out of range, a spool
  /// that cannot be used, or a build without libmosquitto.
  static std::unique_ptr<Publisher> open(const Settings &settings, Notice notice,
                                         std::string *error);

  /// The same over a given transport, outbox and clock (the tests' seams).
  Publisher(const Settings &settings, const BrokerUrl &broker, std::unique_ptr<Transport> transport,
            std::unique_ptr<Outbox> outbox, Clock &clock, Notice notice);
  ~Publisher();
  Publisher(const Publisher &) = delete;
  Publisher &operator=(const Publisher &) = delete;

  /// Waits up to limit_ms for the first attempt to connect.  Returns false,
  /// with the reason in *error, when the broker refused in a way that
  /// trying again will not mend (certificate not trusted, login refused);
  /// an unreachable broker is only a notice, and messages wait for it.
  bool await_first_connection(int limit_ms, std::string *error);

  /// Queues a read (and an "arrive" event when the tag was absent) and
  /// sends what the connection allows.  With a spool a message goes only
  /// once it is on disk: at end_round() or service(), one sync for all.
  void publish_read(const Read &read);
  /// Ends an inventory round: tags unread for the departure time depart,
  /// and the round's messages reach the disk (with a spool) and go.
  void end_round();
  /// The reader went away (true) or is back (false); the status says so.
  void set_reader_lost(bool lost);
  /// Does the network work for up to timeout_ms (0: only what is ready):
  /// acknowledgements, reconnection when its backoff is due, sending.
  void service(int timeout_ms);
  /// Sends what waits for up to limit_ms, then publishes "offline" and
  /// disconnects.  Returns the messages still waiting (in the spool, they
  /// go at the next start).
  std::size_t finish(int limit_ms);

  std::size_t waiting() const { return outbox_->pending(); }
  bool connected() const { return state_ == State::kConnected; }
  const std::string &topic_prefix() const { return prefix_; }

 private:
  enum class State { kWaiting, kConnecting, kConnected, kFinished };
  struct InFlight {
    int mid;
    bool delivered;
  };

  void attempt();
  void handle(const TransportEvent &event);
  void enqueue(Record record);
  void pump();
  void send_status();
  void lose(const std::string &why, bool permanent);
  void report_drops();

  Settings settings_;
  BrokerUrl broker_;
  std::string prefix_;
  std::unique_ptr<Transport> transport_;
  std::unique_ptr<Outbox> outbox_;
  Clock &clock_;
  Notice notice_;
  Presence presence_;
  Backoff backoff_;
  State state_ = State::kWaiting;
  std::int64_t retry_at_ms_ = 0;
  std::int64_t synced_at_ms_ = 0;
  std::deque<InFlight> in_flight_;  ///< handed-out records, oldest first
  int status_mid_ = -1;
  bool status_sent_ = false;
  bool reader_lost_ = false;
  bool announced_outage_ = false;
  bool ever_connected_ = false;
  std::string last_failure_;
  bool last_failure_permanent_ = false;
  std::uint64_t read_seq_ = 0;
  std::uint64_t event_seq_ = 0;
  std::size_t dropped_ = 0;
  std::size_t unreported_drops_ = 0;
  std::int64_t drop_noticed_at_ms_ = 0;
};

/// The largest number of messages handed to the connection and not yet
/// acknowledged.
constexpr std::size_t kWindow = 1000;

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_PUBLISHER_H
