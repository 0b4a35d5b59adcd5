#include "tools/serve/event_stream_text.h"

namespace velkor::serve {

std::string event_text(std::uint64_t id, std::string_view type, std::string_view data) {
  std::string text = "id: " + std::to_string(id) + "\nevent: ";
  for (const char c : type) text.push_back(c == '\r' || c == '\n' ? ' ' : c);
  text += "\ndata: ";
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\r' || data[i] == '\n') {
      if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
      text += "\ndata: ";
    } else {
      text.push_back(data[i]);
    }
  }
  text += "\n\n";
  return text;
}

std::string overflow_text(std::uint64_t dropped) {
  return "event: overflow\ndata: {\"type\":\"overflow\",\"dropped\":" + std::to_string(dropped) +
         "}\n\n";
}

std::string keep_alive_text() { return ": keep-alive\n\n"; }

std::optional<std::uint64_t> parse_event_id(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

}  // namespace velkor::serve
