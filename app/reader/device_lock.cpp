#include "app/reader/device_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velkor::app {

bool lock_exclusively(int fd, const std::string &what, bool wait, std::string *error) {
  int rc;
  do rc = flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
  while (rc != 0 && errno == EINTR);
  if (rc == 0) return true;
  *error = errno == EWOULDBLOCK
               ? what + " is in use by another program; wait for it with --wait"
               : "cannot lock " + what + ": " + std::strerror(errno);
  return false;
}

std::string device_path(int fd) {
  char link[64], path[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0 || path[0] != '/') return "";
  return std::string(path, static_cast<std::size_t>(n));
}

LockedFile::~LockedFile() {
  if (fd_ >= 0) close(fd_);
}

bool LockedFile::open(const std::string &path, bool wait, std::string *error) {
  path_ = path;
  // Whoever held the lock may have renamed a new file over the one we
  // locked: then lock the new one.
  for (;;) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      *error = "cannot open '" + path + "': " + std::strerror(errno);
      return false;
    }
    if (!lock_exclusively(fd_, "'" + path + "'", wait, error)) return false;
    struct stat held {}, named {};
    if (fstat(fd_, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev)
      break;
    close(fd_);
    fd_ = -1;
  }
  text_.clear();
  char buffer[4096];
  for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = "cannot read '" + path + "': " + std::strerror(errno);
      return false;
    }
    text_.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

bool LockedFile::write(const std::string &text, std::string *error) {
  const std::string fresh = path_ + ".new";
  std::FILE *out = std::fopen(fresh.c_str(), "w");
  bool ok = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  ok = out && std::fflush(out) == 0 && fsync(fileno(out)) == 0 && ok;
  if (out) ok = std::fclose(out) == 0 && ok;
  // Renamed while we still hold the old file's lock, so nobody reads between.
  if (ok && std::rename(fresh.c_str(), path_.c_str()) == 0) {
    text_ = text;
    return true;
  }
  *error = "cannot write '" + path_ + "': " + std::strerror(errno);
  std::remove(fresh.c_str());
  return false;
}

}  // namespace velkor::app
