// The HTTP server: Boost.Beast over Asio on one thread, event-driven, so an
// open event stream costs no thread.  It reads requests within caps (body,
// header, connections, time), hands each to a handler, and writes the
// response or turns the connection into an event stream fed by the hub.
// Only http_server.cpp sees Boost.
#ifndef VELKOR_SERVE_HTTP_SERVER_H
#define VELKOR_SERVE_HTTP_SERVER_H

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "tools/serve/event_hub.h"
#include "tools/serve/http_message.h"

namespace velkor::serve {

struct ServerLimits {
  std::size_t body = 64 * 1024;      ///< bytes; a larger body gets 413
  std::size_t header = 8 * 1024;     ///< bytes of request line and headers; beyond, 431
  std::size_t connections = 512;     ///< open at once, event streams included
  /// To receive one whole request, counted from when the server starts
  /// waiting for it (an idle keep-alive connection included); then the
  /// connection is closed.  Stalled clients cannot hold a place for longer.
  std::chrono::milliseconds read{15000};
  /// To write one response, or one batch of events, to a client.
  std::chrono::milliseconds write{15000};
  /// How often deadlines and the hub's keep-alives are looked at.
  std::chrono::milliseconds sweep{1000};
};

/// PEM files for TLS: the certificate chain and its private key.
struct TlsFiles {
  std::string certificate;
  std::string key;
};

class HttpServer {
 public:
  using Handler = std::function<Response(const Request &)>;

  /// Binds host (an IP address or "localhost") and port (0: any free one).
  /// Deadlines are read on clock; hub feeds the event streams and must
  /// outlive the server.  Throws std::runtime_error, in words, when the
  /// address cannot be bound or the TLS files cannot be loaded.
  HttpServer(const std::string &host, unsigned short port, const std::optional<TlsFiles> &tls,
             ServerLimits limits, EventHub &hub, SteadyClock clock);
  ~HttpServer();
  HttpServer(const HttpServer &) = delete;
  HttpServer &operator=(const HttpServer &) = delete;

  /// The bound address as text ("127.0.0.1", "::1") and port.
  std::string address() const;
  unsigned short port() const;
  /// True when bound to a loopback address.
  bool loopback() const;

  /// Serves with handler on the calling thread until stop(), or SIGINT or
  /// SIGTERM when stop_on_signals; then closes every connection.  A
  /// Response::later completion may be called until the server is
  /// destroyed, never after: whoever runs them (the reader workers) stops
  /// first.
  void run(Handler handler, bool stop_on_signals);
  /// Ends run(); callable from any thread.
  void stop();
  /// Looks at deadlines and keep-alives now rather than at the next sweep
  /// (for tests that move the clock); callable from any thread.
  void sweep();
  /// Connections open now; callable from any thread.
  std::size_t connections() const;

  struct Impl;  ///< what only http_server.cpp sees

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_HTTP_SERVER_H
