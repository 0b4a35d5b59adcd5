// A parsed HTTP request and the response to it, free of any socket or HTTP
// library: the request handler is a function from one to the other, so that
// tests and the fuzz target drive it without a network.
#ifndef VELKOR_SERVE_HTTP_MESSAGE_H
#define VELKOR_SERVE_HTTP_MESSAGE_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor::serve {

/// One header field; names are kept in lower case.
struct Header {
  std::string name;
  std::string value;
};

struct Request {
  std::string method;  ///< "GET", as sent (methods are case-sensitive)
  std::string target;  ///< "/api/v1/epc/3074?x=1", as sent
  std::vector<Header> headers;
  std::string body;

  /// The value of the first header named `name` (lower case), if any.
  std::optional<std::string_view> header(std::string_view name) const;
};

/// Where an event stream starts: after the event whose id the client last
/// saw (its Last-Event-ID), or with the next event when it saw none.
struct EventStreamStart {
  std::optional<std::uint64_t> after;
};

struct Response;
/// Delivers a response that came later; callable once, from any thread.
using Completion = std::function<void(Response)>;

struct Response {
  int status = 200;
  std::string content_type = "application/json";
  std::vector<Header> headers;  ///< beyond Content-Type and the security headers
  std::string body;
  /// Set for GET /api/v1/events: the connection becomes an event stream
  /// (status, headers and body above are not sent).
  std::optional<EventStreamStart> stream;
  /// Set when the answer takes time (a reader's exchange): the server calls
  /// it once with the completion to call with the real response, and reads
  /// nothing more on the connection until then.
  std::function<void(Completion)> later;
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_HTTP_MESSAGE_H
