#include "tools/serve/hex_value.h"

#include "tools/serve/api_error.h"

namespace velkor::serve {

app::Bytes hex_value(const std::string &text, const std::string &what, std::size_t fewest,
                     std::size_t most, bool words) {
  const std::size_t unit = words ? 4 : 2;
  const bool digits = text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
  if (!digits || text.size() % unit != 0 || text.size() / 2 < fewest || text.size() / 2 > most)
    throw ApiError(Refusal::kBadInput,
                   what + ": must be " + std::to_string(fewest) + " to " + std::to_string(most) +
                       " bytes in hex" + (words ? ", whole 16-bit words" : ""));
  std::string error;
  return *app::parse_hex(text, &error);
}

}  // namespace velkor::serve
