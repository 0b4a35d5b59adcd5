// --listen HOST:PORT as people write it.
#ifndef VELKOR_SERVE_LISTEN_ADDRESS_H
#define VELKOR_SERVE_LISTEN_ADDRESS_H

#include <optional>
#include <string>

namespace velkor::serve {

struct ListenAddress {
  std::string host;  ///< "127.0.0.1", "::1" (no brackets), "localhost"
  unsigned short port = 0;
};

/// "127.0.0.1:8780", "[::1]:8780", "localhost:8780", "0.0.0.0:0" (any free
/// port).  Nullopt, with *error in words, for anything else.
std::optional<ListenAddress> parse_listen_address(const std::string &text, std::string *error);

/// An origin as --allow-origin takes it: scheme "http" or "https", "://",
/// a host and an optional port, nothing after.
bool is_origin(const std::string &text);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_LISTEN_ADDRESS_H
