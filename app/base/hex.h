// Hex text in and out.
#ifndef VELKOR_APP_BASE_HEX_H
#define VELKOR_APP_BASE_HEX_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velkor::app {

using Bytes = std::vector<std::uint8_t>;

/// "3008 33B2" -> bytes.  Spaces, colons and dashes between digits are
/// allowed; an odd number of digits or any other character is an error.
std::optional<Bytes> parse_hex(const std::string &text, std::string *error);
/// Bytes as upper-case hex, with the separator between bytes.
std::string to_hex(const std::uint8_t *bytes, std::size_t n, const char *separator = "");
inline std::string to_hex(const Bytes &b, const char *separator = "") {
  return to_hex(b.data(), b.size(), separator);
}

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_HEX_H
