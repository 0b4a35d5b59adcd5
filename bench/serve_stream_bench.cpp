// velkor serve's event stream under load: the server (Boost.Beast, its one
// thread), the event hub and N clients on loopback sockets, in one process.
// A publishing thread plays a reader's worker: for each read it takes the
// reply's tag, makes the core's read document and hands it to the hub, at a
// steady rate.  Each client notes when each event's id line arrives.
// Prints one JSON line: latency from the worker having the reply to a
// client holding the event (median, 99th percentile, worst, over every
// client and event), the server thread's and the worker's CPU per thousand
// events, and the events lost.
//   velkor_serve_stream_bench [--clients N] [--events M] [--rate PER_SECOND]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/events/read_event.h"
#include "tools/serve/access_policy.h"
#include "tools/serve/event_hub.h"
#include "tools/serve/http_server.h"
#include "tools/serve/request_handler.h"

namespace {

using Steady = std::chrono::steady_clock;
using velkor::serve::EventHub;

struct Options {
  int clients = 1;
  int events = 5000;
  int rate = 1000;  // events a second
};

Options parse(int argc, char **argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (name == "--clients") o.clients = value;
    else if (name == "--events") o.events = value;
    else if (name == "--rate") o.rate = value;
    else throw std::runtime_error("unknown option " + name);
  }
  if (o.clients < 1 || o.events < 1 || o.rate < 1) throw std::runtime_error("values must be >= 1");
  return o;
}

double thread_cpu_ms(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

int connect_stream(unsigned short port, const std::string &token) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0)
    throw std::runtime_error("cannot connect to the server");
  const std::string request = "GET /api/v1/events HTTP/1.1\r\nHost: 127.0.0.1:" +
                              std::to_string(port) + "\r\nAuthorization: Bearer " + token +
                              "\r\nAccept: text/event-stream\r\n\r\n";
  if (send(fd, request.data(), request.size(), 0) != static_cast<ssize_t>(request.size()))
    throw std::runtime_error("cannot send the request");
  return fd;
}

// One client's stream: what came, the id lines found and when.
struct Client {
  int fd;
  std::string pending;
  std::size_t seen = 0;
};

}  // namespace

int main(int argc, char **argv) try {
  const Options o = parse(argc, argv);
  const std::string token(32, 'b');
  const velkor::serve::SteadyClock clock = [] { return Steady::now(); };
  velkor::serve::HubLimits limits;
  limits.history = static_cast<std::size_t>(o.events) + 16;
  EventHub hub(limits, clock);
  velkor::serve::HttpServer server("127.0.0.1", 0, std::nullopt, {}, hub, clock);
  velkor::serve::RequestHandler handler(velkor::serve::AccessPolicy(
      velkor::serve::AccessSettings{token, server.address(), server.port(), true, false, {}}));
  std::thread serving([&] { server.run([&](const auto &r) { return handler(r); }, false); });
  clockid_t server_clock{};
  pthread_getcpuclockid(serving.native_handle(), &server_clock);

  std::vector<Client> clients;
  for (int i = 0; i < o.clients; ++i) clients.push_back({connect_stream(server.port(), token), {}});
  while (hub.clients() < static_cast<std::size_t>(o.clients))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));

  // When the worker had each event's reply, by its id (the hub numbers from 1).
  std::vector<Steady::time_point> replied(static_cast<std::size_t>(o.events) + 1);
  std::vector<double> latencies_us;
  latencies_us.reserve(static_cast<std::size_t>(o.events) * static_cast<std::size_t>(o.clients));
  std::atomic<bool> published{false};

  const double server_cpu_before = thread_cpu_ms(server_clock);
  double worker_cpu = 0;
  std::thread worker([&] {
    const auto period = std::chrono::nanoseconds(1'000'000'000 / o.rate);
    const auto start = Steady::now();
    const double before = thread_cpu_ms(CLOCK_THREAD_CPUTIME_ID);
    velkor::app::events::ReadEvent read;
    read.read.epc = {0x30, 0x74, 0x25, 0x7B, 0xF7, 0x19, 0x4E, 0x40, 0x00, 0x00, 0x1A, 0x85};
    read.read.antenna = 1;
    read.with_uri = true;
    read.uri = "urn:epc:tag:sgtin-96:3.0614141.812345.6789";
    for (int i = 1; i <= o.events; ++i) {
      std::this_thread::sleep_until(start + period * i);
      replied[static_cast<std::size_t>(i)] = Steady::now();
      read.read.round = static_cast<unsigned>(i);
      read.read.time = std::chrono::system_clock::now();
      hub.publish("read", to_json(read).dump());
    }
    worker_cpu = thread_cpu_ms(CLOCK_THREAD_CPUTIME_ID) - before;
    published = true;
  });

  // The clients, on this thread: each id line's arrival against its reply.
  std::vector<pollfd> polls;
  for (const Client &c : clients) polls.push_back({c.fd, POLLIN, 0});
  const auto give_up = Steady::now() + std::chrono::seconds(o.events / o.rate + 20);
  std::size_t complete = 0;
  char buffer[65536];
  while (complete < clients.size() && Steady::now() < give_up) {
    if (poll(polls.data(), polls.size(), 200) <= 0) continue;
    for (std::size_t i = 0; i < clients.size(); ++i) {
      if (!(polls[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t n = recv(polls[i].fd, buffer, sizeof buffer, 0);
      const auto now = Steady::now();
      if (n <= 0) {
        polls[i].fd = -1;  // closed: dropped or ended
        ++complete;
        continue;
      }
      Client &c = clients[i];
      c.pending.append(buffer, static_cast<std::size_t>(n));
      std::size_t line = 0, end;
      while ((end = c.pending.find('\n', line)) != std::string::npos) {
        if (c.pending.compare(line, 4, "id: ") == 0) {
          const auto id = std::strtoull(c.pending.c_str() + line + 4, nullptr, 10);
          if (id >= 1 && id < replied.size()) {
            latencies_us.push_back(
                std::chrono::duration<double, std::micro>(now - replied[id]).count());
            if (++c.seen == static_cast<std::size_t>(o.events)) {
              polls[i].fd = -1;
              ++complete;
            }
          }
        }
        line = end + 1;
      }
      c.pending.erase(0, line);
    }
  }
  worker.join();
  const double server_cpu = thread_cpu_ms(server_clock) - server_cpu_before;
  for (const Client &c : clients) close(c.fd);
  server.stop();
  serving.join();

  std::sort(latencies_us.begin(), latencies_us.end());
  const auto at = [&](double q) {
    return latencies_us.empty() ? 0.0
                                : latencies_us[static_cast<std::size_t>(
                                      q * static_cast<double>(latencies_us.size() - 1))];
  };
  const std::size_t expected = static_cast<std::size_t>(o.events) * clients.size();
  std::printf("{\"clients\": %d, \"events\": %d, \"rate\": %d, \"received\": %zu, \"lost\": %zu, "
              "\"median_us\": %.1f, \"p99_us\": %.1f, \"max_us\": %.1f, "
              "\"server_cpu_ms_per_1000\": %.2f, \"worker_cpu_ms_per_1000\": %.2f}\n",
              o.clients, o.events, o.rate, latencies_us.size(), expected - latencies_us.size(),
              at(0.5), at(0.99), at(1.0), server_cpu * 1000.0 / o.events,
              worker_cpu * 1000.0 / o.events);
  return latencies_us.size() == expected ? 0 : 1;
} catch (const std::exception &e) {
  std::fprintf(stderr, "velkor_serve_stream_bench: %s\n", e.what());
  return 2;
}
