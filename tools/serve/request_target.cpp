#include "tools/serve/request_target.h"

namespace velkor::serve {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Characters no path segment or query value may hold once decoded.
bool unwanted(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

std::optional<std::string> percent_decode(std::string_view text, bool plus_is_space) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int high = hex_value(text[i + 1]), low = hex_value(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      c = static_cast<char>(high * 16 + low);
      i += 2;
    } else if (c == '+' && plus_is_space) {
      c = ' ';
    }
    out.push_back(c);
  }
  return out;
}

std::optional<RequestTarget> parse_target(std::string_view target) {
  if (target.empty() || target.front() != '/') return std::nullopt;
  const std::size_t question = target.find('?');
  std::string_view path = target.substr(0, question);
  // A fragment is never sent by a client; one that arrives is not a path.
  if (path.find('#') != std::string_view::npos) return std::nullopt;
  RequestTarget result;
  path.remove_prefix(1);
  if (!path.empty()) {
    std::size_t start = 0;
    while (true) {
      const std::size_t slash = path.find('/', start);
      const std::string_view raw = path.substr(start, slash - start);
      std::optional<std::string> segment = percent_decode(raw, false);
      if (!segment) return std::nullopt;
      for (const char c : *segment)
        if (unwanted(static_cast<unsigned char>(c))) return std::nullopt;
      result.segments.push_back(std::move(*segment));
      if (slash == std::string_view::npos) break;
      start = slash + 1;
    }
  }
  if (question == std::string_view::npos) return result;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
    if (pair.empty()) continue;
    const std::size_t equals = pair.find('=');
    std::optional<std::string> name = percent_decode(pair.substr(0, equals), true);
    std::optional<std::string> value = percent_decode(
        equals == std::string_view::npos ? std::string_view{} : pair.substr(equals + 1), true);
    if (!name || !value) return std::nullopt;
    for (const char c : *name + *value)
      if (unwanted(static_cast<unsigned char>(c))) return std::nullopt;
    result.query[*name] = std::move(*value);
  }
  return result;
}

}  // namespace velkor::serve
