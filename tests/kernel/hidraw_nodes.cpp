#include "tests/kernel/hidraw_nodes.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace velkor::kernel {

namespace {

constexpr char kPrefix[] = "/dev/hidraw";

bool is_hidraw(const std::string &path) { return path.rfind(kPrefix, 0) == 0; }

int number(const std::string &node) { return std::atoi(node.c_str() + sizeof kPrefix - 1); }

}  // namespace

std::string node_of(int fd) {
  char target[256];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : "";
}

std::vector<std::string> open_hidraw_nodes() {
  std::vector<std::pair<int, std::string>> open;
  DIR *dir = ::opendir("/proc/self/fd");
  if (dir == nullptr) return {};
  while (const dirent *entry = ::readdir(dir)) {
    const int fd = std::atoi(entry->d_name);
    const std::string node = entry->d_name[0] == '.' ? "" : node_of(fd);
    if (is_hidraw(node)) open.emplace_back(fd, node);
  }
  ::closedir(dir);
  std::sort(open.begin(), open.end());
  std::vector<std::string> nodes;
  for (const auto &o : open) nodes.push_back(o.second);
  return nodes;
}

std::vector<std::string> present_hidraw_nodes() {
  std::vector<std::string> nodes;
  DIR *dir = ::opendir("/dev");
  if (dir == nullptr) return {};
  while (const dirent *entry = ::readdir(dir)) {
    const std::string path = std::string("/dev/") + entry->d_name;
    if (is_hidraw(path)) nodes.push_back(path);
  }
  ::closedir(dir);
  return by_number(nodes);
}

std::vector<std::string> by_number(std::vector<std::string> nodes) {
  std::sort(nodes.begin(), nodes.end(),
            [](const std::string &a, const std::string &b) { return number(a) < number(b); });
  return nodes;
}

}  // namespace velkor::kernel
