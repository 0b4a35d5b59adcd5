#include "emulator/socket_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace velkor::emu {

SocketServer::SocketServer(const ReaderOptions &options) : ServedEmulator(options, -1) {
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
  if (host_owned_ && host_ >= 0) ::close(host_);
}

void SocketServer::disconnect() {
  // Shutting the reader's end down wakes the serving thread; it closes it.
  std::lock_guard<std::mutex> lock(mutex_);
  if (device_ >= 0) ::shutdown(device_, SHUT_RDWR);
}

void SocketServer::serve() {
  const RealTimeClock clock;
  std::uint8_t in[64];
  for (;;) {
    const ssize_t n = ::read(device_, in, sizeof in);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (n != static_cast<ssize_t>(sizeof in)) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    const bool sent = answer_report(emulator_, in, clock, [this](const std::uint8_t *out) {
      return ::write(device_, out, 64) == 64;
    });
    if (!sent) break;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ::close(device_);
  device_ = -1;
}

}  // namespace velkor::emu
