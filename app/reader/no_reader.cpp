#include "app/reader/no_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace velkor::app {

namespace {

const char kRuleFile[] = "70-velkor.rules";

// Whether the HID device behind a hidraw entry of sysfs is a reader: its
// uevent says HID_ID=bus:vendor:product in hex.
bool is_reader_entry(const std::string &entry) {
  std::ifstream uevent(entry + "/device/uevent");
  for (std::string line; std::getline(uevent, line);) {
    unsigned bus = 0, vendor = 0, product = 0;
    if (std::sscanf(line.c_str(), "HID_ID=%x:%x:%x", &bus, &vendor, &product) == 3)
      return vendor == 0x0470 && product == 0xA112;
  }
  return false;
}

// Whether opening the node as the library does is refused for lack of
// permission (not because it is busy or gone).
bool refused(const std::string &node) {
  const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == EACCES || errno == EPERM;
}

int node_number(const std::string &name) { return std::atoi(name.c_str() + 6); }

}  // namespace

std::vector<std::string> readers_out_of_reach() {
  const std::string sysfs_hidraw = "/sys/class/hidraw", dev = "/dev";
  std::vector<std::string> names;
  if (DIR *dir = ::opendir(sysfs_hidraw.c_str())) {
    while (const dirent *entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.rfind("hidraw", 0) == 0 && is_reader_entry(sysfs_hidraw + "/" + name) &&
          refused(dev + "/" + name))
        names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
    return node_number(a) < node_number(b);
  });
  for (std::string &name : names) name = dev + "/" + name;
  return names;
}

std::string no_reader_message() {
  const std::vector<std::string> refused_nodes = readers_out_of_reach();
  if (refused_nodes.empty())
    return std::string("no reader found: check the USB cable and that the udev rule ") +
           kRuleFile + " is installed (see README.md), or try --emulate to use the built-in "
           "emulator";
  std::string nodes;
  for (const std::string &node : refused_nodes) nodes += (nodes.empty() ? "" : ", ") + node;
  return "no reader this user may open: permission to open " + nodes +
         " was denied; install the udev rule " + kRuleFile +
         " (sudo cp udev/70-velkor.rules /etc/udev/rules.d/, see README.md) and replug the reader";
}

}  // namespace velkor::app
