#include "emulator/socket_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <chrono>
#include <stdexcept>
#include <vector>

namespace velkor::emu {

namespace {
std::atomic<std::size_t> violations_at_exit{0};
}

std::size_t SocketServer::violations_of_stopped() { return violations_at_exit.load(); }

SocketServer::SocketServer(const ReaderOptions &options) : emulator_(options) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0)
    throw std::runtime_error("socketpair failed");
  host_ = fds[0];
  device_ = fds[1];
  thread_ = std::thread([this] { serve(); });
}

SocketServer::~SocketServer() {
  disconnect();
  if (thread_.joinable()) thread_.join();
  for (const Violation &v : emulator_.violations())
    std::fprintf(stderr, "emulator: host protocol violation at %u ms: %s\n", v.ms, v.what.c_str());
  violations_at_exit += emulator_.violations().size();
  if (host_owned_ && host_ >= 0) ::close(host_);
}

int SocketServer::release_handle() {
  host_owned_ = false;
  return host_;
}

void SocketServer::disconnect() {
  // Shutting the reader's end down wakes the serving thread; it closes it.
  std::lock_guard<std::mutex> lock(mutex_);
  if (device_ >= 0) ::shutdown(device_, SHUT_RDWR);
}

void SocketServer::serve() {
  const auto start = std::chrono::steady_clock::now();
  auto now_ms = [start] {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
  };
  struct Out {
    std::array<std::uint8_t, 64> report;
    std::uint32_t delay_ms;
  };
  std::uint8_t in[64];
  for (;;) {
    bool stalled = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stalled = emulator_.stalled();
    }
    if (stalled) {
      // A reader that stops reading: output reports pile up until the host's
      // writes find no room.  Only the end of the connection is watched.
      pollfd p{device_, 0, 0};
      if (::poll(&p, 1, 50) > 0 && (p.revents & (POLLHUP | POLLERR))) break;
      continue;
    }
    const ssize_t n = ::read(device_, in, sizeof in);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (n != static_cast<ssize_t>(sizeof in)) continue;
    std::vector<Out> out;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      emulator_.receive(in, now_ms());
      Out o{};
      while (emulator_.transmit(o.report.data(), now_ms(), &o.delay_ms)) out.push_back(o);
    }
    bool lost = false;
    for (const Out &o : out) {
      // A late report really is late: the host's read runs out first.
      if (o.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delay_ms));
      if (::write(device_, o.report.data(), o.report.size()) !=
          static_cast<ssize_t>(o.report.size()))
        lost = true;
    }
    if (lost) break;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ::close(device_);
  device_ = -1;
}

}  // namespace velkor::emu
