// Character classes of EPC fields and the escaping of URIs.
#ifndef VELKOR_EPC_CHARACTERS_H
#define VELKOR_EPC_CHARACTERS_H

#include <cstddef>
#include <string_view>

#include "velkor_epc.h"

namespace velkor::epc {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

/// One of the 82 characters that alphanumeric GS1 values may hold.
bool is_value_character(char c);

/// A value character that a URI writes as %HH.
inline bool needs_escape(char c) {
  return c == '"' || c == '%' || c == '&' || c == '/' || c == '<' || c == '>' || c == '?';
}

/// Builds a NUL-terminated text in the caller's buffer, noting overflow.
class Text {
 public:
  Text(char *out, std::size_t room) : out_(out), room_(room) {}

  void add(char c);
  void add(std::string_view text);
  /// Adds a value with the URI escapes.
  void add_escaped(std::string_view value);
  /// Terminates the text: VELKOR_EPC_OK, or VELKOR_EPC_BUFFER_TOO_SMALL with
  /// an empty text where there is room for one.
  velkor_epc_status finish(velkor_epc_error *error);

 private:
  char *out_;
  std::size_t room_;
  std::size_t used_ = 0;
  bool overflow_ = false;
};

}  // namespace velkor::epc

#endif  // VELKOR_EPC_CHARACTERS_H
