#include "app/mqtt/broker_url.h"

#include <cctype>

namespace velkor::app::mqtt {

namespace {

std::optional<BrokerUrl> fail(std::string *error, const std::string &why) {
  *error = why;
  return std::nullopt;
}

}  // namespace

std::optional<BrokerUrl> parse_broker_url(const std::string &url, std::string *error) {
  BrokerUrl parsed;
  std::string rest;
  if (url.rfind("mqtt://", 0) == 0) {
    rest = url.substr(7);
  } else if (url.rfind("mqtts://", 0) == 0) {
    rest = url.substr(8);
    parsed.tls = true;
    parsed.port = 8883;
  } else {
    return fail(error, "'" + url + "' is not an mqtt:// or mqtts:// URL");
  }
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::string port;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string::npos) return fail(error, "'" + url + "': unclosed '['");
    parsed.host = rest.substr(1, close - 1);
    const std::string after = rest.substr(close + 1);
    if (!after.empty() && after.front() != ':')
      return fail(error, "'" + url + "': expected ':' after ']'");
    if (!after.empty()) port = after.substr(1);
    if (after == ":") return fail(error, "'" + url + "': empty port");
  } else {
    const std::size_t colon = rest.find(':');
    parsed.host = rest.substr(0, colon);
    if (colon != std::string::npos) {
      port = rest.substr(colon + 1);
      if (port.empty()) return fail(error, "'" + url + "': empty port");
    }
  }
  if (parsed.host.empty()) return fail(error, "'" + url + "' names no host");
  for (const char c : parsed.host)
    if (c == '/' || c == '@' || c == '?' || c == '#' || std::isspace(static_cast<unsigned char>(c)))
      return fail(error, "'" + url + "': the host may not hold '" + std::string(1, c) + "'");
  if (!port.empty()) {
    if (port.size() > 5) return fail(error, "'" + url + "': port out of range");
    int value = 0;
    for (const char c : port) {
      if (!std::isdigit(static_cast<unsigned char>(c)))
        return fail(error, "'" + url + "': the port is not a number");
      value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return fail(error, "'" + url + "': port out of range");
    parsed.port = value;
  }
  return parsed;
}

std::string describe(const BrokerUrl &url) {
  const bool v6 = url.host.find(':') != std::string::npos;
  return (v6 ? "[" + url.host + "]" : url.host) + ":" + std::to_string(url.port);
}

}  // namespace velkor::app::mqtt
