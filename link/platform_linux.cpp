// Linux: the reader is a hidraw node.  Any descriptor that delivers one
// message per read (hidraw, a SOCK_SEQPACKET socket) works as a device handle.
#include <errno.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "link/platform.h"

namespace velkor::platform {

namespace {

std::uint64_t monotonic_ms() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

// Waits until fd is ready for the given events or limit_ms has passed.  A
// signal interrupting the wait does not shorten or end it.
bool wait_ready(int fd, short events, std::uint32_t limit_ms) {
  const std::uint64_t deadline = monotonic_ms() + limit_ms;
  for (;;) {
    const std::uint64_t now = monotonic_ms();
    const int left = now >= deadline ? 0 : static_cast<int>(deadline - now);
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, left);
    if (r > 0) return (p.revents & events) != 0;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

// Transfers without blocking whatever the descriptor's own mode: a socket
// takes a per-call flag, anything else is assumed non-blocking (hidraw nodes
// are opened so) once poll() has said it is ready.
ssize_t write_now(int fd, const std::uint8_t *report) {
  const ssize_t n = ::send(fd, report, kReportSize, MSG_DONTWAIT | MSG_NOSIGNAL);
  if (n >= 0 || errno != ENOTSOCK) return n;
  return ::write(fd, report, kReportSize);
}

ssize_t read_now(int fd, std::uint8_t *report) {
  const ssize_t n = ::recv(fd, report, kReportSize, MSG_DONTWAIT);
  if (n >= 0 || errno != ENOTSOCK) return n;
  return ::read(fd, report, kReportSize);
}

}  // namespace

std::uint32_t tick_ms() { return static_cast<std::uint32_t>(monotonic_ms()); }

void sleep_ms(std::uint32_t ms) {
  if (ms == 0) {
    sched_yield();
    return;
  }
  timespec left{static_cast<time_t>(ms / 1000),
                static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

int write_report(VelkorHandle handle, const std::uint8_t *report,
                 std::uint32_t limit_ms) {
  // Waiting for room first bounds the write even on a blocking descriptor
  // whose reader has stopped taking reports.
  const std::uint64_t deadline = monotonic_ms() + limit_ms;
  for (;;) {
    const std::uint64_t now = monotonic_ms();
    if (!wait_ready(handle, POLLOUT,
                    now >= deadline ? 0 : static_cast<std::uint32_t>(deadline - now)))
      return 0;
    const ssize_t n = write_now(handle, report);
    if (n >= 0) return static_cast<int>(n);
    if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return 0;
  }
}

int read_report(VelkorHandle handle, std::uint8_t *report,
                std::uint32_t limit_ms) {
  const std::uint64_t deadline = monotonic_ms() + limit_ms;
  for (;;) {
    const std::uint64_t now = monotonic_ms();
    if (!wait_ready(handle, POLLIN,
                    now >= deadline ? 0 : static_cast<std::uint32_t>(deadline - now)))
      return 0;
    const ssize_t n = read_now(handle, report);
    if (n >= 0) return static_cast<int>(n);
    if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return 0;
  }
}

void discard_input(VelkorHandle handle) {
  std::uint8_t report[kReportSize];
  for (int k = 0; k < kDiscardLimit && wait_ready(handle, POLLIN, 0); ++k) {
    const ssize_t n = read_now(handle, report);
    if (n == 0 || (n < 0 && errno != EINTR)) return;
  }
}

// hidraw has no enumeration handle: the nodes are looked up by index.
struct DeviceSet {};

DeviceSet *open_device_set() {
  static DeviceSet nodes;  // empty and immutable: shared by every call
  return &nodes;
}

void close_device_set(DeviceSet *) {}

Probe open_interface(DeviceSet *, int index, VelkorHandle *handle) {
  *handle = VELKOR_INVALID_HANDLE;
  char path[32];
  std::snprintf(path, sizeof path, "/dev/hidraw%d", index);
  if (::access(path, F_OK) != 0) return Probe::kNoInterface;
  const int fd = ::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Probe::kOpenFailed;
  *handle = fd;
  return Probe::kOpened;
}

bool device_ids(VelkorHandle handle, std::uint16_t *vendor,
                std::uint16_t *product) {
  hidraw_devinfo info{};
  if (::ioctl(handle, HIDIOCGRAWINFO, &info) < 0) return false;
  *vendor = static_cast<std::uint16_t>(info.vendor);
  *product = static_cast<std::uint16_t>(info.product);
  return true;
}

void close_device(VelkorHandle handle) { ::close(handle); }

}  // namespace velkor::platform
