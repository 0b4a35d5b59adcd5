// The HTTP server on 127.0.0.1 and a free port, with a handler of the
// test's and a clock moved by hand: caps, keep-alive, stalled clients,
// event streams and answers that come later.
#include "tools/serve/http_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "tools/serve/api_error.h"

namespace velkor::serve {
namespace {

using namespace std::chrono_literals;

// A blocking client; every wait is bounded so a fault fails, never hangs.
class Client {
 public:
  explicit Client(unsigned short port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
  }
  ~Client() { ::close(fd_); }
  bool connected() const { return connected_; }
  void send(const std::string &text) {
    ASSERT_EQ(::send(fd_, text.data(), text.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(text.size()));
  }
  // Reads until text holds needle, the peer closes, or 10 s pass.
  std::string read_until(const std::string &needle) {
    while (text_.find(needle) == std::string::npos && read_some()) {
    }
    const std::size_t end = text_.find(needle);
    const std::size_t cut = end == std::string::npos ? text_.size() : end + needle.size();
    std::string out = text_.substr(0, cut);
    text_.erase(0, cut);
    return out;
  }
  // One whole response with a Content-Length body.
  std::string response() {
    std::string head = read_until("\r\n\r\n");
    const std::size_t at = head.find("Content-Length: ");
    std::size_t length = at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
    while (text_.size() < length && read_some()) {
    }
    length = std::min(length, text_.size());
    head += text_.substr(0, length);
    text_.erase(0, length);
    return head;
  }
  // True when the server closed the connection (within 10 s).
  bool closed() {
    while (read_some()) {
    }
    return eof_;
  }

 private:
  bool read_some() {
    pollfd p{fd_, POLLIN, 0};
    if (eof_ || ::poll(&p, 1, 10000) != 1) return false;
    char buffer[65536];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) {
      eof_ = true;
      return false;
    }
    text_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  int fd_;
  bool connected_ = false;
  bool eof_ = false;
  std::string text_;
};

// Polls a condition the server's thread makes true; fails after 10 s.
bool eventually(const std::function<bool()> &condition) {
  for (int i = 0; i < 10000 && !condition(); ++i) std::this_thread::sleep_for(1ms);
  return condition();
}

class ServerTest : public ::testing::Test {
 protected:
  void start(ServerLimits limits = {}, HubLimits hub_limits = {}) {
    hub_.emplace(hub_limits, clock_);
    server_.emplace("127.0.0.1", 0, std::nullopt, limits, *hub_, clock_);
    thread_ = std::thread([this] {
      server_->run([this](const Request &r) { return handler(r); }, false);
    });
  }
  void TearDown() override {
    if (!server_) return;
    server_->stop();
    thread_.join();
  }
  Response handler(const Request &r) {
    Response response;
    if (r.target == "/events") {
      const auto last = r.header("last-event-id");
      response.stream = EventStreamStart{
          last ? std::optional<std::uint64_t>(std::stoull(std::string(*last))) : std::nullopt};
    } else if (r.target == "/later") {
      response.later = [](Completion done) {
        std::thread([done] {
          Response late;
          late.body = "{\"late\":true}";
          done(late);
        }).detach();
      };
    } else {
      response.body = "{\"echo\":\"" + r.method + " " + r.target + "\",\"bytes\":" +
                      std::to_string(r.body.size()) + "}";
    }
    return response;
  }
  void advance(std::chrono::milliseconds by) { offset_ms_ += by.count(); }
  unsigned short port() const { return server_->port(); }

  std::atomic<long long> offset_ms_{0};
  SteadyClock clock_ = [this] {
    return std::chrono::steady_clock::time_point{} + std::chrono::milliseconds(offset_ms_.load());
  };
  std::optional<EventHub> hub_;
  std::optional<HttpServer> server_;
  std::thread thread_;
};

struct Refusal {
  const char *what;
  std::string request;
  const char *status_line;
};

class ServerRefusal : public ServerTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ServerRefusal, AnswersInJsonWithTheSecurityHeadersAndCloses) {
  start();
  Client c(port());
  c.send(GetParam().request);
  const std::string r = c.response();
  EXPECT_EQ(r.rfind(GetParam().status_line, 0), 0u) << r;
  EXPECT_NE(r.find("{\"error\":"), std::string::npos) << r;
  EXPECT_NE(r.find("content-security-policy: default-src 'self'\r\n"), std::string::npos) << r;
  EXPECT_NE(r.find("x-frame-options: DENY\r\n"), std::string::npos) << r;
  EXPECT_NE(r.find("x-content-type-options: nosniff\r\n"), std::string::npos) << r;
  EXPECT_TRUE(c.closed());
}

INSTANTIATE_TEST_SUITE_P(
    Caps, ServerRefusal,
    ::testing::Values(
        Refusal{"body", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 65537\r\n\r\n",
                "HTTP/1.1 413 "},
        Refusal{"chunked", "POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "10001\r\n" + std::string(65537, 'a') + "\r\n0\r\n\r\n",
                "HTTP/1.1 413 "},
        Refusal{"header", "GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(9000, 'a') +
                              "\r\n\r\n",
                "HTTP/1.1 431 "},
        Refusal{"garbage", "HELLO THERE\r\n\r\n", "HTTP/1.1 400 "},
        Refusal{"length", "POST / HTTP/1.1\r\nHost: x\r\nContent-Length: -1\r\n\r\n",
                "HTTP/1.1 400 "}),
    [](const auto &info) { return std::string(info.param.what); });

TEST_F(ServerTest, KeepAliveServesPipelinedRequestsInOrderOnOneConnection) {
  start();
  Client c(port());
  c.send("GET /a HTTP/1.1\r\nHost: x\r\n\r\nPOST /b HTTP/1.1\r\nHost: x\r\n"
         "Expect: 100-continue\r\nContent-Length: 3\r\n\r\nabcHEAD /c HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_NE(c.response().find("{\"echo\":\"GET /a\",\"bytes\":0}"), std::string::npos);
  std::string second = c.response();
  if (second.rfind("HTTP/1.1 100 ", 0) == 0) second = c.response();
  EXPECT_NE(second.find("{\"echo\":\"POST /b\",\"bytes\":3}"), std::string::npos) << second;
  const std::string head = c.read_until("\r\n\r\n");
  EXPECT_NE(head.find("Content-Length: 28"), std::string::npos) << head;
  c.send("GET /d HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  EXPECT_NE(c.response().find("GET /d"), std::string::npos);  // the HEAD sent no body
  EXPECT_TRUE(c.closed());
}

TEST_F(ServerTest, ClientsThatStallOrIdleAreClosedOnceTheReadLimitPasses) {
  start();
  std::vector<std::unique_ptr<Client>> stalled;
  for (int i = 0; i < 3; ++i) {
    stalled.push_back(std::make_unique<Client>(port()));
    stalled.back()->send("GET / HTTP/1.1\r\nHost: x\r\n");  // and never the end
  }
  ASSERT_TRUE(eventually([&] { return server_->connections() == 3; }));
  advance(14999ms);
  server_->sweep();
  Client served(port());
  served.send("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_NE(served.response().find("200 OK"), std::string::npos);
  EXPECT_EQ(server_->connections(), 4u);
  advance(1ms);
  server_->sweep();
  for (auto &c : stalled) EXPECT_TRUE(c->closed());
  EXPECT_TRUE(eventually([&] { return server_->connections() == 1; }));
  // Kept alive, the served one has as long again for its next request.
  advance(15000ms);
  server_->sweep();
  EXPECT_TRUE(served.closed());
  EXPECT_TRUE(eventually([&] { return server_->connections() == 0; }));
}

TEST_F(ServerTest, AtTheCapAStalledConnectionMakesRoomAndOtherwiseANewcomerGets503) {
  ServerLimits limits;
  limits.connections = 3;
  start(limits);
  Client stalled(port());
  stalled.send("GET / HTT");
  ASSERT_TRUE(eventually([&] { return server_->connections() == 1; }));
  Client stream1(port()), stream2(port());
  stream1.send("GET /events HTTP/1.1\r\nHost: x\r\n\r\n");
  stream2.send("GET /events HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_NE(stream1.read_until("retry: 2000\n\n").find("text/event-stream"), std::string::npos);
  EXPECT_NE(stream2.read_until("retry: 2000\n\n").find("text/event-stream"), std::string::npos);
  Client served(port());
  served.send("GET /x HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_NE(served.response().find("GET /x"), std::string::npos);
  EXPECT_TRUE(stalled.closed());
  Client turned_away(port());
  EXPECT_EQ(turned_away.response().rfind("HTTP/1.1 503 ", 0), 0u);
}

TEST_F(ServerTest, AStreamDeliversEventsInOrderAndResumesAfterLastEventId) {
  ServerLimits limits;
  limits.write = 60s;  // the clock's jump to the keep-alive leaves writes in time
  start(limits);
  Client c(port());
  c.send("GET /events HTTP/1.1\r\nHost: x\r\n\r\n");
  const std::string head = c.read_until("retry: 2000\n\n");
  EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\ncontent-type: text/event-stream\r\n", 0), 0u) << head;
  EXPECT_NE(head.find("content-security-policy: default-src 'self'"), std::string::npos);
  ASSERT_TRUE(eventually([&] { return hub_->clients() == 1; }));
  for (int i = 1; i <= 3; ++i) hub_->publish("read", "{\"n\":" + std::to_string(i) + "}");
  EXPECT_EQ(c.read_until("\n\n"), "id: 1\nevent: read\ndata: {\"n\":1}\n\n");
  EXPECT_EQ(c.read_until("\n\n"), "id: 2\nevent: read\ndata: {\"n\":2}\n\n");
  EXPECT_EQ(c.read_until("\n\n"), "id: 3\nevent: read\ndata: {\"n\":3}\n\n");
  advance(15s);
  server_->sweep();
  EXPECT_EQ(c.read_until("\n\n"), ": keep-alive\n\n");
  Client back(port());
  back.send("GET /events HTTP/1.1\r\nHost: x\r\nLast-Event-ID: 1\r\n\r\n");
  back.read_until("retry: 2000\n\n");
  EXPECT_EQ(back.read_until("\n\n").rfind("id: 2\n", 0), 0u);
  EXPECT_EQ(back.read_until("\n\n").rfind("id: 3\n", 0), 0u);
}

TEST_F(ServerTest, AStreamClientThatStopsReadingIsDroppedWhileTheOthersKeepUp) {
  start({}, HubLimits{64, 4, 15s});
  Client slow(port()), quick(port());
  slow.send("GET /events HTTP/1.1\r\nHost: x\r\n\r\n");
  quick.send("GET /events HTTP/1.1\r\nHost: x\r\n\r\n");
  quick.read_until("retry: 2000\n\n");
  ASSERT_TRUE(eventually([&] { return hub_->clients() == 2; }));
  const std::string big(64 * 1024, 'x');
  std::uint64_t id = 0;
  // Loopback buffers hold some megabytes; the slow one's queue fills after.
  while (hub_->clients() == 2 && id < 4000) {
    id = hub_->publish("read", big);
    const std::string got = quick.read_until("id: " + std::to_string(id) + "\n");
    ASSERT_NE(got.find("id: " + std::to_string(id) + "\n"), std::string::npos);
  }
  EXPECT_EQ(hub_->clients(), 1u) << "after " << id << " events";
  EXPECT_TRUE(eventually([&] { return server_->connections() == 1; }));
  hub_->publish("read", "{}");
  EXPECT_NE(quick.read_until("id: " + std::to_string(id + 1) + "\n").find("id: "),
            std::string::npos);
}

TEST_F(ServerTest, AnAnswerThatComesLaterFromAnotherThreadIsWritten) {
  start();
  Client c(port());
  c.send("GET /later HTTP/1.1\r\nHost: x\r\n\r\nGET /after HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_NE(c.response().find("{\"late\":true}"), std::string::npos);
  EXPECT_NE(c.response().find("GET /after"), std::string::npos);
}

TEST(Server, AnAddressThatCannotBeBoundIsSaidInWords) {
  EventHub hub({}, [] { return std::chrono::steady_clock::now(); });
  HttpServer first("127.0.0.1", 0, std::nullopt, {}, hub, [] {
    return std::chrono::steady_clock::now();
  });
  try {
    HttpServer second("127.0.0.1", first.port(), std::nullopt, {}, hub,
                      [] { return std::chrono::steady_clock::now(); });
    FAIL() << "bound twice";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find("cannot listen on 127.0.0.1:"), std::string::npos);
  }
  EXPECT_THROW(HttpServer("attacker.example", 0, std::nullopt, {}, hub,
                          [] { return std::chrono::steady_clock::now(); }),
               std::runtime_error);
  EXPECT_THROW(HttpServer("127.0.0.1", 0, TlsFiles{"/nonexistent.pem", "/nonexistent.key"}, {},
                          hub, [] { return std::chrono::steady_clock::now(); }),
               std::runtime_error);
}

}  // namespace
}  // namespace velkor::serve
