#include "tests/kernel/uhid_device.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace velkor::kernel {

namespace {

constexpr std::uint16_t kBusUsb = 0x03;

void copy_text(std::uint8_t *to, std::size_t room, const std::string &text) {
  std::memcpy(to, text.data(), std::min(text.size(), room - 1));
}

}  // namespace

UhidDevice::UhidDevice(const HidIdentity &identity) : identity_(identity) {
  fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error(std::string("/dev/uhid: ") + std::strerror(errno));
  uhid_event event{};
  event.type = UHID_CREATE2;
  uhid_create2_req &create = event.u.create2;
  copy_text(create.name, sizeof create.name, identity.name);
  copy_text(create.phys, sizeof create.phys, "velkor-kernel-test");
  copy_text(create.uniq, sizeof create.uniq, identity.uniq);
  create.rd_size = static_cast<std::uint16_t>(identity.descriptor.size());
  create.bus = kBusUsb;
  create.vendor = identity.vendor;
  create.product = identity.product;
  std::memcpy(create.rd_data, identity.descriptor.data(), identity.descriptor.size());
  if (!send(event)) {
    ::close(fd_);
    throw std::runtime_error("UHID_CREATE2 refused for " + identity.name);
  }
}

UhidDevice::~UhidDevice() {
  destroy();
  ::close(fd_);
}

void UhidDevice::destroy() {
  if (destroyed_) return;
  uhid_event event{};
  event.type = UHID_DESTROY;
  send(event);
  destroyed_ = true;
}

bool UhidDevice::send(const uhid_event &event) {
  for (;;) {
    const ssize_t n = ::write(fd_, &event, sizeof event);
    if (n == static_cast<ssize_t>(sizeof event)) return true;
    if (n < 0 && errno == EINTR) continue;
    return false;
  }
}

bool UhidDevice::input(const std::uint8_t *report, std::size_t size) {
  uhid_event event{};
  event.type = UHID_INPUT2;
  event.u.input2.size = static_cast<std::uint16_t>(size);
  std::memcpy(event.u.input2.data, report, size);
  return send(event);
}

bool UhidDevice::next_event(uhid_event *event, int ms) {
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, ms) <= 0 || !(p.revents & POLLIN)) return false;
  std::memset(event, 0, sizeof *event);
  return ::read(fd_, event, sizeof *event) > 0;
}

void UhidDevice::refuse(const uhid_event &request) {
  uhid_event reply{};
  if (request.type == UHID_GET_REPORT) {
    reply.type = UHID_GET_REPORT_REPLY;
    reply.u.get_report_reply.id = request.u.get_report.id;
    reply.u.get_report_reply.err = EIO;
  } else {
    reply.type = UHID_SET_REPORT_REPLY;
    reply.u.set_report_reply.id = request.u.set_report.id;
    reply.u.set_report_reply.err = EIO;
  }
  send(reply);
}

std::string UhidDevice::wait_for_node(int wait_ms) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  for (;;) {
    const std::string node = hidraw_node_of(identity_.uniq);
    if (!node.empty() && ::access(node.c_str(), F_OK) == 0) return node;
    if (std::chrono::steady_clock::now() >= until) return "";
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string hidraw_node_of(const std::string &uniq) {
  DIR *dir = ::opendir("/sys/class/hidraw");
  if (dir == nullptr) return "";
  std::string found;
  while (const dirent *entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.rfind("hidraw", 0) != 0) continue;
    std::ifstream uevent("/sys/class/hidraw/" + name + "/device/uevent");
    for (std::string line; std::getline(uevent, line);)
      if (line == "HID_UNIQ=" + uniq) found = "/dev/" + name;
  }
  ::closedir(dir);
  return found;
}

}  // namespace velkor::kernel
