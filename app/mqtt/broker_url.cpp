#include "app/mqtt/broker_url.h"

#include <cctype>

namespace velkor::app::mqtt {

namespace {

std::optional<BrokerUrl> fail(std::string *error, const std::string &url, const std::string &why) {
  *error = "'" + shown_url(url) + "' " + why;
  return std::nullopt;
}

std::size_t scheme_length(const std::string &url) {
  if (url.rfind("mqtt://", 0) == 0) return 7;
  if (url.rfind("mqtts://", 0) == 0) return 8;
  return 0;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX decoded; nothing when a '%' is not followed by two hex digits.
std::optional<std::string> percent_decoded(const std::string &text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size() || hex_value(text[i + 1]) < 0 || hex_value(text[i + 2]) < 0)
      return std::nullopt;
    out += static_cast<char>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2]));
    i += 2;
  }
  return out;
}

}  // namespace

std::string shown_url(const std::string &url) {
  std::string shown = url;
  const std::size_t start = scheme_length(url);
  const std::size_t at = start == 0 ? std::string::npos : url.rfind('@');
  if (at != std::string::npos && at > start) {
    const std::size_t colon = url.find(':', start);
    if (colon < at) shown = url.substr(0, colon + 1) + "***" + url.substr(at);
  }
  return shown;
}

std::optional<BrokerUrl> parse_broker_url(const std::string &url, std::string *error) {
  BrokerUrl parsed;
  const std::size_t start = scheme_length(url);
  if (start == 0) return fail(error, url, "is not an mqtt:// or mqtts:// URL");
  parsed.tls = start == 8;
  parsed.port = parsed.tls ? 8883 : 1883;
  std::string rest = url.substr(start);
  if (!rest.empty() && rest.back() == '/') rest.pop_back();

  // The last '@' ends the user and password, which may hold '@' escaped.
  if (const std::size_t at = rest.rfind('@'); at != std::string::npos) {
    const std::string userinfo = rest.substr(0, at);
    rest = rest.substr(at + 1);
    const std::size_t colon = userinfo.find(':');
    const auto user = percent_decoded(userinfo.substr(0, colon));
    if (!user) return fail(error, url, "holds a '%' that is not followed by two hex digits");
    parsed.user = *user;
    if (colon != std::string::npos) {
      const auto password = percent_decoded(userinfo.substr(colon + 1));
      if (!password) return fail(error, url, "holds a '%' that is not followed by two hex digits");
      parsed.password = *password;
      parsed.has_password = true;
    }
    if (parsed.user.empty()) return fail(error, url, "names a password but no user");
  }

  std::string port;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string::npos) return fail(error, url, "has an unclosed '['");
    parsed.host = rest.substr(1, close - 1);
    const std::string after = rest.substr(close + 1);
    if (!after.empty() && after.front() != ':') return fail(error, url, "needs ':' after ']'");
    if (after == ":") return fail(error, url, "has an empty port");
    if (!after.empty()) port = after.substr(1);
  } else {
    const std::size_t colon = rest.find(':');
    parsed.host = rest.substr(0, colon);
    if (colon != std::string::npos) {
      port = rest.substr(colon + 1);
      if (port.empty()) return fail(error, url, "has an empty port");
    }
  }
  if (parsed.host.empty()) return fail(error, url, "names no host");
  for (const char c : parsed.host)
    if (c == '/' || c == '@' || c == '?' || c == '#' || std::isspace(static_cast<unsigned char>(c)))
      return fail(error, url, "has a host that may not hold '" + std::string(1, c) + "'");
  if (!port.empty()) {
    if (port.size() > 5) return fail(error, url, "has a port out of range");
    int value = 0;
    for (const char c : port) {
      if (!std::isdigit(static_cast<unsigned char>(c)))
        return fail(error, url, "has a port that is not a number");
      value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return fail(error, url, "has a port out of range");
    parsed.port = value;
  }
  return parsed;
}

std::string describe(const BrokerUrl &url) {
  const bool v6 = url.host.find(':') != std::string::npos;
  return (v6 ? "[" + url.host + "]" : url.host) + ":" + std::to_string(url.port);
}

}  // namespace velkor::app::mqtt
