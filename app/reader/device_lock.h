// One velkor at a time on a reader: an exclusive advisory lock (flock) on
// the device node, or on the emulator's state file, held for the whole run.
// Every opener of a hidraw node gets every report, so two programs at once
// would take each other's replies.
#ifndef VELKOR_APP_READER_DEVICE_LOCK_H
#define VELKOR_APP_READER_DEVICE_LOCK_H

#include <string>

namespace velkor::app {

/// Locks the open file fd exclusively; with wait set, waits for whoever
/// holds it, else fails at once.  On failure returns false with the reason
/// (naming `what`) in *error.  The lock ends when fd is closed.
bool lock_exclusively(int fd, const std::string &what, bool wait, std::string *error);

/// The device node behind an open handle ("/dev/hidraw0"), or "" when it
/// has none (a socket).
std::string device_path(int fd);

/// A file that one process at a time holds open and locked, and rewrites
/// whole: written beside itself and renamed over, so a crash leaves either
/// the old text or the new.
class LockedFile {
 public:
  LockedFile() = default;
  ~LockedFile();
  LockedFile(const LockedFile &) = delete;
  LockedFile &operator=(const LockedFile &) = delete;

  /// Opens (creating if need be) and locks path, and reads what it holds.
  bool open(const std::string &path, bool wait, std::string *error);
  const std::string &text() const { return text_; }
  /// Replaces the file's text.
  bool write(const std::string &text, std::string *error);

 private:
  std::string path_;
  std::string text_;
  int fd_ = -1;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_DEVICE_LOCK_H
