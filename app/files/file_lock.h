// One program at a time: an exclusive advisory lock (flock) held on a file
// that stays put.  A file that is replaced by rename cannot carry the lock
// (the lock stays on the old, unlinked file and the next program locks the
// new one), so each file that is replaced has a lock file of its own.
#ifndef VELKOR_APP_FILES_FILE_LOCK_H
#define VELKOR_APP_FILES_FILE_LOCK_H

#include <sys/types.h>

#include <string>

#include "app/files/directory.h"
#include "app/files/file_system.h"

namespace velkor::app {

/// How taking a lock ended.
enum class Locked {
  kYes,     ///< held until the FileLock goes (or its descriptor is closed)
  kBusy,    ///< another program holds it (only when not waiting)
  kFailed,  ///< the file could not be opened or locked: *error says why
};

/// Locks the open file fd exclusively; with `wait` waits for whoever holds
/// it.  On kBusy *error is "<what> is in use by another program"; on
/// kFailed the reason.  The lock ends when every descriptor of that open
/// file is closed.
Locked lock_descriptor(FileSystem &fs, int fd, bool wait, const std::string &what,
                       std::string *error);

class FileLock {
 public:
  /// Opens (creating with `mode` when missing, never through a link) the
  /// regular file `name` in `dir` and locks it as lock_descriptor does,
  /// naming `what` in its messages.
  Locked acquire(const Directory &dir, const std::string &name, mode_t mode, bool wait,
                 const std::string &what, std::string *error);
  /// True while the lock is held.
  bool held() const { return fd_.valid(); }
  /// Lets go of the lock.
  void release() { fd_.reset(); }

 private:
  Descriptor fd_;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_FILE_LOCK_H
