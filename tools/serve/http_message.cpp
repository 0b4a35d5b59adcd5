#include "tools/serve/http_message.h"

namespace velkor::serve {

std::optional<std::string_view> Request::header(std::string_view name) const {
  for (const Header &h : headers)
    if (h.name == name) return h.value;
  return std::nullopt;
}

}  // namespace velkor::serve
