// Where the broker is: mqtt://[USER[:PASSWORD]@]HOST[:PORT] or the same
// with mqtts://.
#ifndef VELKOR_APP_MQTT_BROKER_URL_H
#define VELKOR_APP_MQTT_BROKER_URL_H

#include <optional>
#include <string>

namespace velkor::app::mqtt {

struct BrokerUrl {
  std::string host;
  int port = 1883;
  bool tls = false;
  std::string user{};    ///< from the URL; "" when it names none
  std::string password{};  ///< from the URL, with has_password
  bool has_password = false;
};

/// Parses the URL; the port defaults to 1883 (mqtt) or 8883 (mqtts).  An
/// IPv6 address is written in brackets (mqtt://[::1]:1883); a user name
/// and password before '@' are percent-decoded.  On failure returns
/// nothing and says why in *error, showing the URL with its password (if
/// any) as "***": a message must never carry it.
std::optional<BrokerUrl> parse_broker_url(const std::string &url, std::string *error);

/// The URL as it may be shown: its password, if any, as "***".
std::string shown_url(const std::string &url);

/// "host:port", brackets around an IPv6 address.
std::string describe(const BrokerUrl &url);

}  // namespace velkor::app::mqtt

#endif  // VELKOR_APP_MQTT_BROKER_URL_H
