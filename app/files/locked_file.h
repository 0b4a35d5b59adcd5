// A file that one program at a time holds, reads whole and replaces whole
// (the emulated reader's state): its lock lives on a file of its own beside
// it, "<name>.lock", which is never replaced, so the lock holds across every
// save; the file itself is read with a limit and replaced by rename.
#ifndef VELKOR_APP_FILES_LOCKED_FILE_H
#define VELKOR_APP_FILES_LOCKED_FILE_H

#include <cstddef>
#include <string>

#include "app/files/directory.h"
#include "app/files/file_lock.h"
#include "app/files/file_system.h"

namespace velkor::app {

class LockedFile {
 public:
  /// Locks the file at `path` (waiting for another holder when `wait` is
  /// set) and reads what it holds, at most `limit` bytes; a missing file
  /// reads as empty and is created by the first write().  kBusy when
  /// another program holds it ("'<path>' is in use by another program" in
  /// *error); kFailed with the reason when the file is a link, a FIFO or
  /// device, larger than `limit`, or cannot be read.
  Locked open(const std::string &path, bool wait, std::size_t limit, std::string *error,
              FileSystem &fs = system_file_system());
  /// What the file held when it was opened, or was last written.
  const std::string &text() const { return text_; }
  /// Replaces the file's text whole (see replace_file: its mode is kept);
  /// false, with the reason in *error, when it could not be.
  bool write(const std::string &text, std::string *error);

 private:
  Directory dir_;
  std::string name_;
  FileLock lock_;
  std::string text_;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_FILES_LOCKED_FILE_H
