// One velkor at a time on a reader: an exclusive advisory lock (flock) on
// the device node, held for the whole run (the emulator's state file has a
// lock file of its own: app/files/locked_file.h).
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

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_DEVICE_LOCK_H
