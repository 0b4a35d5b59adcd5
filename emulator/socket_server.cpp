#include "emulator/socket_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace velkor::emu {

namespace {

std::atomic<std::size_t> violations_at_exit{0};

// A socket pair with one 64-byte message per read and write, as hidraw.
bool report_pair(int fds[2]) {
  return ::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) == 0;
}

}  // namespace

std::size_t SocketServer::violations_of_stopped() { return violations_at_exit.load(); }

SocketServer::SocketServer(const ReaderOptions &options) : emulator_(options) {
  int fds[2];
  if (!report_pair(fds)) throw std::runtime_error("socketpair failed");
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
  for (int fd : second_hosts_) ::close(fd);
  for (int fd : second_devices_) ::close(fd);  // opened after the serving ended
}

int SocketServer::release_handle() {
  host_owned_ = false;
  return host_;
}

int SocketServer::open_second_handle() {
  int fds[2];
  if (!report_pair(fds)) return -1;
  std::lock_guard<std::mutex> lock(mutex_);
  second_hosts_.push_back(fds[0]);
  second_devices_.push_back(fds[1]);
  return fds[0];
}

void SocketServer::disconnect() {
  // Shutting the reader's ends down wakes the serving thread; it closes them.
  std::lock_guard<std::mutex> lock(mutex_);
  if (device_ >= 0) ::shutdown(device_, SHUT_RDWR);
  for (int fd : second_devices_) ::shutdown(fd, SHUT_RDWR);
}

void SocketServer::serve() {
  const RealTimeClock clock;
  std::uint8_t in[64];
  int last = -1;
  for (;;) {
    // The reader's ends, the first handle's first.  A reader that stops
    // reading lets output reports pile up until the host's writes find no
    // room; then only the end of the connection is watched.
    std::vector<pollfd> ends;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const short events = emulator_.stalled() ? 0 : POLLIN;
      ends.push_back({device_, events, 0});
      for (int fd : second_devices_) ends.push_back({fd, events, 0});
    }
    // A handle opened meanwhile is watched from the next round on.
    const int ready = ::poll(ends.data(), ends.size(), 50);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    if ((ends[0].revents & (POLLHUP | POLLERR)) && !(ends[0].revents & POLLIN)) break;
    // The handle read last is drained first: what it still holds was written
    // before anything another handle wrote since (one host, taking turns).
    auto readable = std::find_if(ends.begin(), ends.end(), [&](const pollfd &p) {
      return p.fd == last && (p.revents & POLLIN);
    });
    if (readable == ends.end())
      readable = std::find_if(ends.begin(), ends.end(),
                              [](const pollfd &p) { return p.revents & POLLIN; });
    if (readable == ends.end()) continue;
    last = readable->fd;
    const ssize_t n = ::read(readable->fd, in, sizeof in);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (n != static_cast<ssize_t>(sizeof in)) continue;
    std::vector<SentReport> out;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      out = answer_report(emulator_, in, clock);
    }
    // The other handles get their copies first, so that they already wait
    // there once the polling handle has its report.  A copy that finds no
    // room is dropped, as a HID driver drops what no reader takes.
    const int polling = readable->fd;
    const bool sent = send_reports(out, [&](const std::uint8_t *report) {
      for (const pollfd &end : ends)
        if (end.fd != polling) (void)::send(end.fd, report, 64, MSG_DONTWAIT | MSG_NOSIGNAL);
      return ::write(polling, report, 64) == 64;
    });
    if (!sent) break;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  ::close(device_);
  device_ = -1;
  for (int fd : second_devices_) ::close(fd);
  second_devices_.clear();
}

}  // namespace velkor::emu
