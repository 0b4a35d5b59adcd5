#include "app/files/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velkor::app {

int FileSystem::open_at(int dir, const std::string &name, int flags, mode_t mode) {
  int fd;
  do fd = ::openat(dir, name.c_str(), flags | O_CLOEXEC, mode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

ssize_t FileSystem::write(int fd, const void *data, std::size_t size) {
  return ::write(fd, data, size);
}

ssize_t FileSystem::read(int fd, void *data, std::size_t size) { return ::read(fd, data, size); }

ssize_t FileSystem::read_at(int fd, void *data, std::size_t size, off_t at) {
  return ::pread(fd, data, size, at);
}

int FileSystem::sync(int fd) { return ::fsync(fd); }

int FileSystem::truncate(int fd, off_t size) { return ::ftruncate(fd, size); }

int FileSystem::rename_at(int from_dir, const std::string &from, int to_dir,
                          const std::string &to) {
  return ::renameat(from_dir, from.c_str(), to_dir, to.c_str());
}

int FileSystem::unlink_at(int dir, const std::string &name, int flags) {
  return ::unlinkat(dir, name.c_str(), flags);
}

int FileSystem::make_directory_at(int dir, const std::string &name, mode_t mode) {
  return ::mkdirat(dir, name.c_str(), mode);
}

int FileSystem::stat(int fd, struct stat *out) { return ::fstat(fd, out); }

int FileSystem::change_mode(int fd, mode_t mode) { return ::fchmod(fd, mode); }

int FileSystem::set_status_flags(int fd, int flags) { return ::fcntl(fd, F_SETFL, flags); }

int FileSystem::lock(int fd, int operation) {
  int rc;
  do rc = ::flock(fd, operation);
  while (rc != 0 && errno == EINTR);
  return rc;
}

int FileSystem::close(int fd) { return ::close(fd); }

int FileSystem::list(int dir, std::vector<std::string> *names) {
  // A second descriptor of its own: closedir() closes the one it reads.
  const int copy = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (copy < 0) return -1;
  DIR *d = ::fdopendir(copy);
  if (!d) {
    const int saved = errno;
    ::close(copy);
    errno = saved;
    return -1;
  }
  names->clear();
  errno = 0;
  while (const dirent *e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
      names->push_back(e->d_name);
  }
  const int saved = errno;
  ::closedir(d);
  errno = saved;
  return saved == 0 ? 0 : -1;
}

FileSystem &system_file_system() {
  static FileSystem real;
  return real;
}

}  // namespace velkor::app
