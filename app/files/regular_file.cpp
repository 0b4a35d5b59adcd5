#include "app/files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace velkor::app {

namespace {

const char *kind_of(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "something else";
}

std::string link_refused(const std::string &path) {
  return "'" + path + "' is a symbolic link; velkor never reads or writes its files "
         "through one";
}

}  // namespace

std::string not_regular(const std::string &path, mode_t mode) {
  if (S_ISLNK(mode)) return link_refused(path);
  return "'" + path + "' is " + kind_of(mode) + ", not a regular file";
}

Opened open_regular(const Directory &dir, const std::string &name, int flags, mode_t mode,
                    Descriptor *file, std::string *error) {
  FileSystem &fs = dir.fs();
  const std::string path = dir.path_of(name);
  const int fd = fs.open_at(dir.fd(), name, flags | O_NOFOLLOW | O_NONBLOCK, mode);
  if (fd < 0) {
    if (errno == ENOENT && !(flags & O_CREAT)) return Opened::kMissing;
    if (errno == ELOOP) {
      *error = link_refused(path);
    } else if (errno == ENXIO || errno == EISDIR) {
      *error = "'" + path + "' is not a regular file";
    } else {
      *error = file_error("open", path);
    }
    return Opened::kRefused;
  }
  Descriptor opened(fs, fd);
  struct stat st {};
  if (fs.stat(fd, &st) != 0) {
    *error = file_error("examine", path);
    return Opened::kRefused;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = not_regular(path, st.st_mode);
    return Opened::kRefused;
  }
  // Blocking again, as a regular file always is: only the open had to be safe.
  if (fs.set_status_flags(fd, flags & O_APPEND) != 0) {
    *error = file_error("open", path);
    return Opened::kRefused;
  }
  *file = std::move(opened);
  return Opened::kOpen;
}

bool write_all(FileSystem &fs, int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = fs.write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool sync_file(FileSystem &fs, int fd) {
  int rc;
  do rc = fs.sync(fd);
  while (rc != 0 && errno == EINTR);
  return rc == 0;
}

}  // namespace velkor::app
