#include "app/base/printable.h"

#include <cstdint>
#include <cstdio>

namespace velkor::app {

namespace {

// The length of the UTF-8 character at text[i] (one that is no control
// character), or 0 when the bytes there are not one.
std::size_t character_at(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char first = byte(i);
  if (first >= 0x20 && first < 0x7f) return 1;
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (first >= 0xc2 && first <= 0xdf) {
    length = 2;
    code = first & 0x1f;
  } else if (first >= 0xe0 && first <= 0xef) {
    length = 3;
    code = first & 0x0f;
  } else if (first >= 0xf0 && first <= 0xf4) {
    length = 4;
    code = first & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xc0) != 0x80) return 0;
    code = code << 6 | (byte(i + k) & 0x3f);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool c1 = code >= 0x80 && code <= 0x9f;
  const bool surrogate = code >= 0xd800 && code <= 0xdfff;
  if (overlong || c1 || surrogate || code > 0x10ffff) return 0;
  return length;
}

}  // namespace

std::string printable(std::string_view text, std::size_t most) {
  std::string out;
  std::size_t shown = 0, i = 0;
  for (; i < text.size() && shown < most; ++shown) {
    if (const std::size_t length = character_at(text, i)) {
      out.append(text, i, length);
      i += length;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text[i]));
    out += escaped;
    ++i;
  }
  if (i < text.size()) out += "... (" + std::to_string(text.size()) + " bytes)";
  return out;
}

}  // namespace velkor::app
