#include "app/reader/trace_relay.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace velkor::app {

TraceRelay::TraceRelay(int device, Sink sink) : device_(device), sink_(std::move(sink)) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0)
    throw std::runtime_error("socketpair failed");
  library_ = fds[0];
  relay_ = fds[1];
  thread_ = std::thread([this] { run(); });
}

TraceRelay::~TraceRelay() {
  stop_ = true;
  ::shutdown(relay_, SHUT_RDWR);
  thread_.join();
  ::close(relay_);
  ::close(library_);
  ::close(device_);
}

void TraceRelay::run() {
  const auto start = std::chrono::steady_clock::now();
  auto now_ms = [start] {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
  };
  pollfd fds[2] = {{relay_, POLLIN, 0}, {device_, POLLIN, 0}};
  while (!stop_) {
    if (::poll(fds, 2, 200) <= 0) continue;
    for (int side = 0; side < 2; ++side) {
      if (fds[side].revents & (POLLHUP | POLLERR | POLLNVAL)) return;
      if (!(fds[side].revents & POLLIN)) continue;
      emu::TraceEntry entry{side == 0 ? emu::TraceEntry::kToReader
                                      : emu::TraceEntry::kFromReader,
                            now_ms(), {}};
      const ssize_t n = ::read(fds[side].fd, entry.report.data(), entry.report.size());
      if (n <= 0) return;
      sink_(entry);
      const int to = side == 0 ? device_ : relay_;
      if (::write(to, entry.report.data(), static_cast<std::size_t>(n)) != n) return;
    }
  }
}

}  // namespace velkor::app
