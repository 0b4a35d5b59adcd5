#include "tools/serve/http_server.h"

#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <csignal>
#include <stdexcept>
#include <unordered_map>

#include "tools/serve/access_policy.h"
#include "tools/serve/api_error.h"

namespace velkor::serve {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using TimePoint = std::chrono::steady_clock::time_point;

namespace {

constexpr TimePoint kNever = TimePoint::max();

// What the server keeps of every connection, whatever its transport.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  virtual ~Connection() = default;
  virtual void start() = 0;
  /// Closes the socket, which ends every operation pending on it.
  virtual void close() = 0;

  TimePoint deadline = kNever;
  TimePoint opened;
  bool served_one = false;  // a request has been read whole
};

}  // namespace

struct HttpServer::Impl {
  Impl(ServerLimits limits, EventHub &hub, SteadyClock clock)
      : limits(limits), hub(hub), clock(std::move(clock)) {}

  void accept();
  void on_accept(beast::error_code ec, tcp::socket socket);
  bool evict_a_stalled_one();
  void sweep_now();
  void arm_sweep();
  void close_all();
  void forget(Connection *c) {
    if (connections.erase(c) > 0) count = connections.size();
  }

  net::io_context io{1};  // first: destroyed last, after every object using it
  ServerLimits limits;
  EventHub &hub;
  SteadyClock clock;
  Handler handler;
  std::optional<net::ssl::context> tls;
  tcp::acceptor acceptor{io};
  net::steady_timer sweep_timer{io};
  net::steady_timer accept_pause{io};
  std::optional<net::signal_set> signals;
  std::unordered_map<Connection *, std::shared_ptr<Connection>> connections;
  std::atomic<std::size_t> count{0};
  bool stopping = false;
};

namespace {

std::string lower(beast::string_view text) {
  std::string out(text);
  for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// One connection: requests in, responses out, or an event stream.
template <class Stream>
class Session : public Connection {
 public:
  Session(HttpServer::Impl &server, Stream stream)
      : server_(server), stream_(std::move(stream)) {}

  void start() override {
    opened = server_.clock();
    if constexpr (std::is_same_v<Stream, tcp::socket>) {
      read_header();
    } else {
      deadline = server_.clock() + server_.limits.read;
      stream_.async_handshake(net::ssl::stream_base::server,
                              [self = shared()](beast::error_code ec) {
                                if (ec) return self->close();
                                self->read_header();
                              });
    }
  }

  void close() override {
    if (closed_) return;
    closed_ = true;
    const std::shared_ptr<Session> keep = shared();
    if (subscription_) subscription_->close();
    beast::error_code ignored;
    beast::get_lowest_layer(stream_).shutdown(tcp::socket::shutdown_both, ignored);
    beast::get_lowest_layer(stream_).close(ignored);
    server_.forget(this);
  }

 private:
  std::shared_ptr<Session> shared() {
    return std::static_pointer_cast<Session>(shared_from_this());
  }

  void read_header() {
    if (closed_) return;
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(server_.limits.header));
    parser_->body_limit(server_.limits.body);
    deadline = server_.clock() + server_.limits.read;
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared()](beast::error_code ec, std::size_t) {
                              self->on_header(ec);
                            });
  }

  // A read that failed: a reply for what the client got wrong, or the end.
  bool refused(beast::error_code ec) {
    if (!ec) return false;
    if (ec == http::error::body_limit)
      reply(error_response(Refusal::kTooLarge, "the body is larger than " +
                                                   std::to_string(server_.limits.body / 1024) +
                                                   " KiB"),
            true);
    else if (ec == http::error::header_limit)
      reply(error_response(Refusal::kHeadersTooLarge, "the request's headers are too large"),
            true);
    else if (ec.category() == http::make_error_code(http::error::bad_method).category() &&
             ec != http::error::end_of_stream && ec != http::error::partial_message)
      reply(error_response(Refusal::kBadInput, "the request is not well-formed HTTP"), true);
    else
      close();
    return true;
  }

  void on_header(beast::error_code ec) {
    if (refused(ec)) return;
    const auto &request = parser_->get();
    if (lower(request[http::field::expect]) == "100-continue" && !parser_->is_done()) {
      // The client waits for leave to send its body.
      static const std::string kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
      net::async_write(stream_, net::buffer(kContinue),
                       [self = shared()](beast::error_code ec, std::size_t) {
                         if (ec) return self->close();
                         self->read_body();
                       });
      return;
    }
    read_body();
  }

  void read_body() {
    if (parser_->is_done()) return dispatch();
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared()](beast::error_code ec, std::size_t) {
                       if (self->refused(ec)) return;
                       self->dispatch();
                     });
  }

  void dispatch() {
    served_one = true;
    deadline = kNever;
    const http::request<http::string_body> &in = parser_->get();
    Request request;
    request.method = std::string(in.method_string());
    request.target = std::string(in.target());
    for (const auto &field : in) request.headers.push_back({lower(field.name_string()),
                                                             std::string(field.value())});
    request.body = in.body();
    head_ = request.method == "HEAD";
    keep_alive_ = in.keep_alive();
    version_ = in.version();
    Response response;
    try {
      response = server_.handler(request);
    } catch (const std::exception &e) {
      // A handler's fault is one request's 500, never the server's end.
      response = error_response(Refusal::kInternal, std::string("the server failed: ") + e.what());
    }
    if (response.stream) return start_stream(response);
    if (response.later) {
      // Answered from another thread; written here, if the client is still here.
      std::weak_ptr<Session> weak = shared();
      net::any_io_executor executor = stream_.get_executor();
      response.later([weak, executor](Response late) {
        net::post(executor, [weak, late = std::move(late)]() mutable {
          if (const auto self = weak.lock()) self->reply(std::move(late), false);
        });
      });
      return;
    }
    reply(std::move(response), false);
  }

  void reply(Response r, bool close_after) {
    if (closed_) return;
    auto out = std::make_shared<http::response<http::string_body>>();
    out->version(version_);
    out->result(static_cast<unsigned>(r.status));
    if (!r.content_type.empty()) out->set(http::field::content_type, r.content_type);
    for (const Header &h : security_headers()) out->set(h.name, h.value);
    for (const Header &h : r.headers) out->insert(h.name, h.value);
    const bool keep = keep_alive_ && !close_after;
    out->keep_alive(keep);
    const std::size_t size = r.body.size();
    if (!head_) out->body() = std::move(r.body);
    if (r.status != 204 && r.status != 304) out->content_length(size);
    deadline = server_.clock() + server_.limits.write;
    http::async_write(stream_, *out,
                      [self = shared(), out, keep](beast::error_code ec, std::size_t) {
                        if (ec || !keep) return self->close();
                        self->read_header();
                      });
  }

  void start_stream(const Response &r) {
    std::string head = "HTTP/1.1 200 OK\r\ncontent-type: text/event-stream\r\n"
                       "cache-control: no-store\r\n";
    for (const Header &h : security_headers()) head += h.name + ": " + h.value + "\r\n";
    for (const Header &h : r.headers)
      if (h.name != "cache-control") head += h.name + ": " + h.value + "\r\n";
    // The body runs until the connection closes; a client reconnects after 2 s.
    head += "connection: close\r\n\r\nretry: 2000\n\n";
    out_ = std::move(head);
    std::weak_ptr<Session> weak = shared();
    net::any_io_executor executor = stream_.get_executor();
    subscription_ = server_.hub.subscribe(r.stream->after, [weak, executor] {
      net::post(executor, [weak] {
        if (const auto self = weak.lock()) self->pump();
      });
    });
    write_out();
    watch_peer();
  }

  // Writes what the hub queued for this client, one batch at a time.  A
  // client dropped for falling behind goes at once, its write still pending.
  void pump() {
    if (closed_) return;
    if (subscription_->dropped()) return close();
    if (writing_) return;
    out_ = subscription_->take();
    if (out_.empty()) {
      deadline = kNever;
      return;
    }
    write_out();
  }

  void write_out() {
    writing_ = true;
    deadline = server_.clock() + server_.limits.write;
    net::async_write(stream_, net::buffer(out_),
                     [self = shared()](beast::error_code ec, std::size_t) {
                       self->writing_ = false;
                       if (ec) return self->close();
                       self->pump();
                     });
  }

  // A stream's client sends nothing more; a read that ends means it left.
  void watch_peer() {
    stream_.async_read_some(net::buffer(peer_byte_),
                            [self = shared()](beast::error_code ec, std::size_t) {
                              if (ec) return self->close();
                              self->watch_peer();
                            });
  }

  HttpServer::Impl &server_;
  Stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::shared_ptr<EventSubscription> subscription_;
  std::string out_;
  char peer_byte_[64];
  unsigned version_ = 11;
  bool keep_alive_ = true;
  bool head_ = false;
  bool writing_ = false;
  bool closed_ = false;
};

}  // namespace

void HttpServer::Impl::accept() {
  acceptor.async_accept([this](beast::error_code ec, tcp::socket socket) {
    on_accept(ec, std::move(socket));
  });
}

bool HttpServer::Impl::evict_a_stalled_one() {
  Connection *oldest = nullptr;
  for (const auto &[c, owner] : connections)
    if (!c->served_one && (oldest == nullptr || c->opened < oldest->opened)) oldest = c;
  if (oldest == nullptr) return false;
  oldest->close();
  return true;
}

void HttpServer::Impl::on_accept(beast::error_code ec, tcp::socket socket) {
  if (stopping || ec == net::error::operation_aborted) return;
  if (ec) {
    // Out of descriptors, say: try again shortly rather than spin.
    accept_pause.expires_after(std::chrono::milliseconds(100));
    accept_pause.async_wait([this](beast::error_code e) {
      if (!e) accept();
    });
    return;
  }
  // At the cap, a connection that never sent a whole request makes room;
  // when every one is in use, the newcomer is turned away.
  if (connections.size() >= limits.connections && !evict_a_stalled_one()) {
    if (!tls) {
      const Response busy = error_response(Refusal::kUnavailable, "too many connections");
      const std::string text = "HTTP/1.1 503 Service Unavailable\r\ncontent-type: "
                               "application/json\r\nconnection: close\r\ncontent-length: " +
                               std::to_string(busy.body.size()) + "\r\n\r\n" + busy.body;
      beast::error_code ignored;
      socket.non_blocking(true, ignored);
      socket.write_some(net::buffer(text), ignored);
    }
    accept();
    return;
  }
  std::shared_ptr<Connection> c;
  if (tls)
    c = std::make_shared<Session<net::ssl::stream<tcp::socket>>>(
        *this, net::ssl::stream<tcp::socket>(std::move(socket), *tls));
  else
    c = std::make_shared<Session<tcp::socket>>(*this, std::move(socket));
  connections.emplace(c.get(), c);
  count = connections.size();
  c->start();
  accept();
}

void HttpServer::Impl::sweep_now() {
  const TimePoint now = clock();
  std::vector<Connection *> late;
  for (const auto &[c, owner] : connections)
    if (now >= c->deadline) late.push_back(c);
  for (Connection *c : late) c->close();
  hub.keep_alive();
}

void HttpServer::Impl::arm_sweep() {
  sweep_timer.expires_after(limits.sweep);
  sweep_timer.async_wait([this](beast::error_code ec) {
    if (ec || stopping) return;
    sweep_now();
    arm_sweep();
  });
}

void HttpServer::Impl::close_all() {
  stopping = true;
  beast::error_code ignored;
  acceptor.close(ignored);
  sweep_timer.cancel();
  accept_pause.cancel();
  if (signals) signals->cancel(ignored);
  std::vector<Connection *> all;
  for (const auto &[c, owner] : connections) all.push_back(c);
  for (Connection *c : all) c->close();
}

HttpServer::HttpServer(const std::string &host, unsigned short port,
                       const std::optional<TlsFiles> &tls, ServerLimits limits, EventHub &hub,
                       SteadyClock clock)
    : impl_(std::make_unique<Impl>(limits, hub, std::move(clock))) {
  beast::error_code ec;
  const net::ip::address address =
      host == "localhost" ? net::ip::address(net::ip::address_v4::loopback())
                          : net::ip::make_address(host, ec);
  if (ec) throw std::runtime_error("'" + host + "' is not an IP address");
  if (tls) {
    try {
      impl_->tls.emplace(net::ssl::context::tls_server);
      impl_->tls->set_options(net::ssl::context::default_workarounds |
                              net::ssl::context::no_sslv2 | net::ssl::context::no_sslv3 |
                              net::ssl::context::no_tlsv1 | net::ssl::context::no_tlsv1_1);
      impl_->tls->use_certificate_chain_file(tls->certificate);
      impl_->tls->use_private_key_file(tls->key, net::ssl::context::pem);
    } catch (const boost::system::system_error &e) {
      throw std::runtime_error("cannot load the TLS certificate " + tls->certificate +
                               " and key " + tls->key + ": " + e.code().message());
    }
  }
  const tcp::endpoint endpoint(address, port);
  tcp::acceptor &acceptor = impl_->acceptor;
  acceptor.open(endpoint.protocol(), ec);
  if (!ec) acceptor.set_option(net::socket_base::reuse_address(true), ec);
  if (!ec) acceptor.bind(endpoint, ec);
  if (!ec) acceptor.listen(net::socket_base::max_listen_connections, ec);
  if (ec)
    throw std::runtime_error("cannot listen on " +
                             (address.is_v6() ? "[" + address.to_string() + "]"
                                              : address.to_string()) +
                             ":" + std::to_string(port) + ": " + ec.message());
}

HttpServer::~HttpServer() = default;

std::string HttpServer::address() const {
  return impl_->acceptor.local_endpoint().address().to_string();
}

unsigned short HttpServer::port() const { return impl_->acceptor.local_endpoint().port(); }

bool HttpServer::loopback() const {
  return impl_->acceptor.local_endpoint().address().is_loopback();
}

void HttpServer::run(Handler handler, bool stop_on_signals) {
  impl_->handler = std::move(handler);
  if (stop_on_signals) {
    impl_->signals.emplace(impl_->io, SIGINT, SIGTERM);
    impl_->signals->async_wait([this](beast::error_code ec, int) {
      if (!ec) impl_->close_all();
    });
  }
  impl_->accept();
  impl_->arm_sweep();
  impl_->io.run();
}

void HttpServer::stop() {
  net::post(impl_->io, [this] { impl_->close_all(); });
}

void HttpServer::sweep() {
  net::post(impl_->io, [this] { impl_->sweep_now(); });
}

std::size_t HttpServer::connections() const { return impl_->count; }

}  // namespace velkor::serve
