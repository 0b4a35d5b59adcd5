#include "app/files/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>

#include "app/files/regular_file.h"

namespace velkor::app {

Locked lock_descriptor(FileSystem &fs, int fd, bool wait, const std::string &what,
                       std::string *error) {
  if (fs.lock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0) return Locked::kYes;
  if (errno == EWOULDBLOCK) {
    *error = what + " is in use by another program";
    return Locked::kBusy;
  }
  *error = "cannot lock " + what + ": " + std::strerror(errno);
  return Locked::kFailed;
}

Locked FileLock::acquire(const Directory &dir, const std::string &name, mode_t mode, bool wait,
                         const std::string &what, std::string *error) {
  Descriptor fd;
  // Read-only is enough for flock, and lets users who share a directory
  // lock a file another of them made.
  if (open_regular(dir, name, O_RDONLY | O_CREAT, mode, &fd, error) != Opened::kOpen)
    return Locked::kFailed;
  const Locked locked = lock_descriptor(dir.fs(), fd.get(), wait, what, error);
  if (locked == Locked::kYes) fd_ = std::move(fd);
  return locked;
}

}  // namespace velkor::app
