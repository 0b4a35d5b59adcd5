// Bytes in hex as the API takes them (an EPC in a path, a mask, memory to
// write, a password): hex digits only, two a byte.
#ifndef VELKOR_SERVE_HEX_VALUE_H
#define VELKOR_SERVE_HEX_VALUE_H

#include <cstddef>
#include <string>

#include "app/base/hex.h"

namespace velkor::serve {

/// The bytes of `text`.  Throws ApiError 400 naming `what` unless text is
/// hex digits only, an even number of them, at least `fewest` and at most
/// `most` bytes, and (with words) a whole number of 16-bit words.
app::Bytes hex_value(const std::string &text, const std::string &what, std::size_t fewest,
                     std::size_t most, bool words = false);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_HEX_VALUE_H
