// The file-system seam: every system call the durable-file helper makes goes
// through a FileSystem, so that a test can record the writes, renames and
// syncs and rebuild what a disk may hold after a power cut.  The base class
// makes the real calls; a test overrides the ones it records.
#ifndef VELKOR_APP_FILES_FILE_SYSTEM_H
#define VELKOR_APP_FILES_FILE_SYSTEM_H

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace velkor::app {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// openat(2): `name` relative to the open directory `dir` (or AT_FDCWD).
  /// @return a descriptor, or -1 with errno set.
  virtual int open_at(int dir, const std::string &name, int flags, mode_t mode);
  /// write(2) of at most `size` bytes from `data`; -1 with errno set.
  virtual ssize_t write(int fd, const void *data, std::size_t size);
  /// read(2) of at most `size` bytes into `data`; -1 with errno set.
  virtual ssize_t read(int fd, void *data, std::size_t size);
  /// pread(2) of at most `size` bytes at offset `at` into `data`.
  virtual ssize_t read_at(int fd, void *data, std::size_t size, off_t at);
  /// fsync(2): the file's data and metadata (a directory: its names) on disk.
  virtual int sync(int fd);
  /// ftruncate(2).
  virtual int truncate(int fd, off_t size);
  /// renameat(2) within or across open directories.
  virtual int rename_at(int from_dir, const std::string &from, int to_dir, const std::string &to);
  /// unlinkat(2); `flags` 0 or AT_REMOVEDIR.
  virtual int unlink_at(int dir, const std::string &name, int flags);
  /// mkdirat(2).
  virtual int make_directory_at(int dir, const std::string &name, mode_t mode);
  /// fstat(2).
  virtual int stat(int fd, struct stat *out);
  /// fchmod(2).
  virtual int change_mode(int fd, mode_t mode);
  /// fcntl(F_SETFL): the file status flags (O_NONBLOCK, O_APPEND).
  virtual int set_status_flags(int fd, int flags);
  /// flock(2); `operation` LOCK_EX, LOCK_EX | LOCK_NB or LOCK_UN.
  virtual int lock(int fd, int operation);
  /// close(2).
  virtual int close(int fd);
  /// The names in the open directory `dir` (without "." and ".."), or -1
  /// with errno set; `dir` stays open and keeps its offset.
  virtual int list(int dir, std::vector<std::string> *names);
};

/// The real file system, for everything but tests.
FileSystem &system_file_system();

/// An open descriptor that closes itself.
class Descriptor {
 public:
  /// Holds none.
  Descriptor() = default;
  /// Takes `fd` (-1: none), closed through `fs`.
  Descriptor(FileSystem &fs, int fd) : fs_(&fs), fd_(fd) {}
  ~Descriptor() { reset(); }
  Descriptor(Descriptor &&other) noexcept
      : fs_(other.fs_), fd_(std::exchange(other.fd_, -1)) {}
  Descriptor &operator=(Descriptor &&other) noexcept {
    if (this != &other) {
      reset();
      fs_ = other.fs_;
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  Descriptor(const Descriptor &) = delete;
  Descriptor &operator=(const Descriptor &) = delete;

  /// The descriptor, or -1.
  int get() const { return fd_; }
  /// True while it holds a descriptor.
  bool valid() const { return fd_ >= 0; }
  /// The file system it closes through (only while it holds one).
  FileSystem &fs() const { return *fs_; }
  /// Closes the descriptor, if any.
  void reset() {
    if (fd_ >= 0) fs_->close(fd_);
    fd_ = -1;
  }

 private:
  FileSystem *fs_ = nullptr;
  int fd_ = -1;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_FILE_SYSTEM_H
