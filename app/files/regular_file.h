// Opening, writing and syncing the regular files the helper keeps: never
// through a symbolic link, never a FIFO or a device (opened without
// blocking, then examined), every byte written or the failure said.
#ifndef VELKOR_APP_FILES_REGULAR_FILE_H
#define VELKOR_APP_FILES_REGULAR_FILE_H

#include <sys/types.h>

#include <string>
#include <string_view>

#include "app/files/directory.h"
#include "app/files/file_system.h"

namespace velkor::app {

/// What open_regular found.
enum class Opened {
  kOpen,     ///< *file holds the open file
  kMissing,  ///< no such file (and O_CREAT not asked for)
  kRefused,  ///< a link, not a regular file, or the call failed: *error says which
};

/// Opens the regular file `name` in `dir` with `flags` (O_RDONLY, O_RDWR,
/// O_APPEND, O_CREAT, O_EXCL, ...; O_NOFOLLOW is always added) and `mode`
/// for a file it creates.  A FIFO, device, socket or directory is refused
/// without blocking on it; so is a symbolic link, even one that points to a
/// regular file.  On kOpen the descriptor is in *file, blocking as usual.
Opened open_regular(const Directory &dir, const std::string &name, int flags, mode_t mode,
                    Descriptor *file, std::string *error);

/// The refusal of what open_regular refuses: "'<path>' is a symbolic
/// link; ...", "'<path>' is a FIFO, not a regular file", ...
std::string not_regular(const std::string &path, mode_t mode);

/// Writes all of `text` to fd, across interrupted and short writes.  False
/// with errno set when the file refuses (disk full, I/O error).
bool write_all(FileSystem &fs, int fd, std::string_view text);

/// fsync(2) of fd, its data and size on disk.  False with errno set.
bool sync_file(FileSystem &fs, int fd);

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_REGULAR_FILE_H
