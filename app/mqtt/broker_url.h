// Where the broker is: mqtt://host[:port] or mqtts://host[:port].
#ifndef VELKOR_APP_MQTT_BROKER_URL_H
#define VELKOR_APP_MQTT_BROKER_URL_H

#include <optional>
#include <string>

namespace velkor::app::mqtt {

struct BrokerUrl {
  std::string host;
  int port = 1883;
  bool tls = false;
};

/// Parses the URL; the port defaults to 1883 (mqtt) or 8883 (mqtts).  An
/// IPv6 address is written in brackets (mqtt://[::1]:1883).  On failure
/// returns nothing and says why in *error.
std::optional<BrokerUrl> parse_broker_url(const std::string &url, std::string *error);

/// "host:port", brackets around an IPv6 address.
std::string describe(const BrokerUrl &url);

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_BROKER_URL_H
