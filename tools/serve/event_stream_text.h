// The server-sent events wire format: what one event, a notice of events
// lost, and a keep-alive comment look like on the stream.
#ifndef VELKOR_SERVE_EVENT_STREAM_TEXT_H
#define VELKOR_SERVE_EVENT_STREAM_TEXT_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkor::serve {

/// "id: 7\nevent: read\ndata: {...}\n\n".  Each line of data gets a "data:"
/// line of its own (CR, LF and CRLF all end a line), so no text can end
/// the event early; CR and LF in type become spaces.
std::string event_text(std::uint64_t id, std::string_view type, std::string_view data);

/// The `overflow` event: {"type":"overflow","dropped":N}, without an id so
/// that the client's Last-Event-ID stays that of the last event it got.
std::string overflow_text(std::uint64_t dropped);

/// A comment line that keeps proxies and clients from taking a quiet stream
/// for a dead one.
std::string keep_alive_text();

/// The Last-Event-ID a client sent: a decimal sequence number; nullopt for
/// anything else.
std::optional<std::uint64_t> parse_event_id(std::string_view text);

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_EVENT_STREAM_TEXT_H
