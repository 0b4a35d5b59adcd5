#include "app/base/hex.h"

#include <cctype>

namespace velkor::app {

std::optional<Bytes> parse_hex(const std::string &text, std::string *error) {
  std::string digits;
  for (char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c))) {
      digits += c;
    } else if (c != ' ' && c != ':' && c != '-') {
      if (error) *error = "'" + text + "' is not hex";
      return std::nullopt;
    }
  }
  if (digits.size() % 2 != 0) {
    if (error) *error = "'" + text + "' has an odd number of hex digits";
    return std::nullopt;
  }
  Bytes out;
  for (std::size_t i = 0; i < digits.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  return out;
}

std::string to_hex(const std::uint8_t *bytes, std::size_t n, const char *separator) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(3 * n);
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) s += separator;
    s += digits[bytes[i] >> 4];
    s += digits[bytes[i] & 0x0F];
  }
  return s;
}

}  // namespace velkor::app
