#include "app/reader/device_lock.h"

#include <unistd.h>

#include <cstdio>

#include "app/files/file_lock.h"

namespace velkor::app {

bool lock_exclusively(int fd, const std::string &what, bool wait, std::string *error) {
  switch (lock_descriptor(system_file_system(), fd, wait, what, error)) {
    case Locked::kYes:
      return true;
    case Locked::kBusy:
      *error += "; wait for it with --wait";
      return false;
    case Locked::kFailed:
      break;
  }
  return false;
}

std::string device_path(int fd) {
  char link[64], path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0 || path[0] != '/') return "";
  return std::string(path, static_cast<std::size_t>(n));
}

}  // namespace velkor::app
