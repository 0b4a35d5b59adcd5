// The connection to the broker, behind an interface: the publisher's
// ordering, acknowledgement and reconnection logic runs against a scripted
// transport in the unit tests, and against libmosquitto in the tool.
#ifndef VELKOR_APP_MQTT_TRANSPORT_H
#define VELKOR_APP_MQTT_TRANSPORT_H

#include <memory>
#include <string>
#include <vector>

#include "app/mqtt/broker_url.h"

namespace velkor::app::mqtt {

struct ConnectRequest {
  BrokerUrl broker;
  std::string client_id;
  std::string user;      ///< empty: none
  std::string password;  ///< used only with a user
  std::string ca_file;   ///< mqtts: empty trusts the system's authorities
  std::string cert_file; ///< client certificate, with key_file
  std::string key_file;
  std::string will_topic;  ///< retained, published by the broker if we vanish
  std::string will_payload;
  int qos = 1;
  int keepalive_s = 30;
};

struct TransportEvent {
  enum Kind {
    kConnected,  ///< the broker accepted the connection
    kFailed,     ///< the attempt failed, or an open connection was lost
    kDelivered,  ///< message `mid` reached the broker (acknowledged at QoS 1 and 2)
  } kind;
  int mid = 0;
  std::string why;         ///< kFailed: what happened, for people
  bool permanent = false;  ///< kFailed: trying again will not help (TLS, refused login)
};

class Transport {
 public:
  virtual ~Transport() = default;
  /// Starts connecting, dropping any connection there was; the outcome
  /// arrives as an event from service().
  virtual void connect(const ConnectRequest &request) = 0;
  /// Hands a message to the open connection; false when there is none.
  virtual bool publish(const std::string &topic, const std::string &payload, int qos,
                       bool retain, int *mid) = 0;
  /// Does the network work for up to timeout_ms and appends what happened.
  virtual void service(int timeout_ms, std::vector<TransportEvent> *events) = 0;
  /// Says goodbye to the broker (so it sends no will) and closes.
  virtual void disconnect() = 0;
};

/// The libmosquitto transport; null when the library was built without it.
std::unique_ptr<Transport> mosquitto_transport();

/// Why mosquitto_transport() gives null.
extern const char *const kNoTransport;

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_TRANSPORT_H
