#include "tools/serve/listen_address.h"

namespace velkor::serve {

std::optional<ListenAddress> parse_listen_address(const std::string &text, std::string *error) {
  const auto fail = [&](const std::string &why) -> std::optional<ListenAddress> {
    *error = "'" + text + "' " + why;
    return std::nullopt;
  };
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos) return fail("is not HOST:PORT");
  ListenAddress address;
  address.host = text.substr(0, colon);
  if (address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']')
    address.host = address.host.substr(1, address.host.size() - 2);
  else if (address.host.find(':') != std::string::npos)
    return fail("is not HOST:PORT (an IPv6 address goes in brackets: [::1]:8780)");
  if (address.host.empty()) return fail("names no host");
  const std::string port = text.substr(colon + 1);
  if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
      std::stoul(port) > 65535)
    return fail("has no port from 0 to 65535");
  address.port = static_cast<unsigned short>(std::stoul(port));
  return address;
}

bool is_origin(const std::string &text) {
  std::size_t rest;
  if (text.rfind("http://", 0) == 0)
    rest = 7;
  else if (text.rfind("https://", 0) == 0)
    rest = 8;
  else
    return false;
  const std::string host = text.substr(rest);
  return !host.empty() && host.find_first_of("/?#@ ") == std::string::npos;
}

}  // namespace velkor::serve
