// The token every API call carries: made at start or read from a file, and
// compared in constant time.
#ifndef VELKOR_SERVE_ACCESS_TOKEN_H
#define VELKOR_SERVE_ACCESS_TOKEN_H

#include <string>
#include <string_view>

namespace velkor::serve {

/// A fresh token: 32 bytes from the kernel's random source, as 64 lower-case
/// hex digits.  Throws std::runtime_error when the kernel gives none.
std::string make_token();

/// The token in file path: its content less surrounding white space.
/// Throws std::runtime_error, in words naming path, unless it is a regular
/// file of at most 4 KiB holding 16 to 256 printable characters without
/// spaces, semicolons or commas (it travels in a cookie).
std::string read_token_file(const std::string &path);

/// True when given equals expected.  Takes the same time whatever the two
/// hold, for a given expected, so timing tells an attacker nothing.
bool same_token(std::string_view expected, std::string_view given);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_ACCESS_TOKEN_H
