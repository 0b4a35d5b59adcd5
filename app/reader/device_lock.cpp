#include "app/reader/device_lock.h"

#include <unistd.h>

#include <cstdio>


namespace velkor::app {

Locked lock_exclusively(int fd, const std::string &what, bool wait, std::string *error) {
  return lock_descriptor(system_file_system(), fd, wait, what, error);
}

std::string device_path(int fd) {
  char link[64], path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0 || path[0] != '/') return "";
  return std::string(path, static_cast<std::size_t>(n));
}

}  // namespace velkor::app
