// The value character set and the text builder.
#include "epc/characters.h"

#include "epc/error.h"

namespace velkor::epc {

bool is_value_character(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case '!': case '"': case '%': case '&': case '\'': case '(': case ')': case '*':
    case '+': case ',': case '-': case '.': case '/': case ':': case ';': case '<':
    case '=': case '>': case '?': case '_':
      return true;
    default:
      return false;
  }
}

void Text::add(char c) {
  if (used_ + 1 < room_)
    out_[used_++] = c;
  else
    overflow_ = true;
}

void Text::add(std::string_view text) {
  for (char c : text) add(c);
}

void Text::add_escaped(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char c : value) {
    if (needs_escape(c)) {
      add('%');
      add(kHex[static_cast<unsigned char>(c) >> 4]);
      add(kHex[static_cast<unsigned char>(c) & 0xF]);
    } else {
      add(c);
    }
  }
}

velkor_epc_status Text::finish(velkor_epc_error *error) {
  if (overflow_ || room_ == 0) {
    if (room_ > 0) out_[0] = '\0';
    return fail(error, VELKOR_EPC_BUFFER_TOO_SMALL, VELKOR_EPC_FIELD_OUTPUT, nullptr,
                "the text needs more than the %zu bytes of room given", room_);
  }
  out_[used_] = '\0';
  return VELKOR_EPC_OK;
}

}  // namespace velkor::epc
