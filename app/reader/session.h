// The reader a job talks to: a real one found by discovery (by index,
// device path or serial number), the built-in emulator over a socket pair,
// or a handle opened elsewhere and adopted.  A session holds the reader
// exclusively for as long as it lives, looks for it again after an unplug,
// and keeps an emulated reader's state in its file.
//
// Threads: a session is used by one thread at a time (the reader answers
// one exchange at a time); distinct sessions are independent.
#ifndef VELKOR_APP_READER_SESSION_H
#define VELKOR_APP_READER_SESSION_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/base/clock.h"
#include "app/base/error.h"
#include "app/reader/emulated_reader.h"
#include "emulator/trace.h"
#include "velkor.h"

namespace velkor::emu {
class SocketServer;
}

namespace velkor::app {

/// For tests of what a job does across an unplugged reader: the emulated
/// reader goes away after `after_rounds` inventory rounds and a fresh one
/// (the same seed) is back `back_after_ms` later, on the session's clock.
struct UnplugPlan {
  unsigned after_rounds = 0;
  unsigned back_after_ms = 0;
};

struct SessionOptions {
  std::optional<std::uint64_t> emulate;  ///< seed of the emulated reader; none: hardware
  std::size_t gen2_tags = kEmulatedGen2Tags;  ///< the emulated reader's tags
  std::size_t iso6b_tags = kEmulatedIso6bTags;
  std::size_t feed = 0;        ///< fresh tags placed one at a time (with a state file that
                               ///< exists: added to the tags it still has waiting)
  std::string emulate_state;   ///< file the emulated reader is kept in; "": none
  std::string device = "0";    ///< index among the readers found, node path or serial
  int address = 0xFF;          ///< reader address (0xFF: any reader)
  bool wait = false;           ///< wait for a reader (or state file) another program holds
  /// Told every report in both directions; empty: no trace.
  std::function<void(const emu::TraceEntry &)> trace;
  /// Tests only: unplug the emulated reader as planned.
  std::optional<UnplugPlan> unplug;
  /// The clock the unplug plan counts on; null: the system's.
  Clock *clock = nullptr;
};

class Session {
 public:
  /// Opens the reader the options select.  Errors: kNotFound (no reader, or
  /// none that the device text names), kBusy (another program holds it or
  /// its state file), kBadInput (a state file that cannot be opened or holds
  /// no emulated reader, a device text that names nothing; on Windows always,
  /// "opening a reader is not available in the Windows build": there a
  /// session adopts a handle opened with the reader library).
  static Result<std::unique_ptr<Session>> open(const SessionOptions &options);
  /// A session over a handle opened elsewhere, with its reader address.  The
  /// caller keeps the handle (the session never closes it) and such a
  /// session cannot reconnect.
  static std::unique_ptr<Session> adopt(VelkorHandle handle, unsigned char address);
  ~Session();
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;

  /// The handle for direct calls of the library's command functions.
  VelkorHandle handle() const { return handle_; }
  /// The reader address byte the commands read and may write back.
  unsigned char *address() { return &address_; }
  bool emulated() const { return options_.emulate.has_value(); }
  /// The device node in use ("/dev/hidraw0"), "emulator", or "" when adopted.
  const std::string &path() const { return path_; }
  /// The emulator behind an emulated session (null otherwise), for tests
  /// that look at the tags themselves.
  emu::SocketServer *emulator();

  /// Ends the run: the emulated reader's state goes to its file (and the
  /// file's lock ends).  kFile when it could not be kept, or when an
  /// earlier save (at a reconnection) failed.
  Status finish();
  /// Keeps the emulated reader's state in its file now, as a real tag keeps
  /// what was written to it, so that a run that is killed loses nothing the
  /// reader confirmed.  Done at once on a real reader or without a file.
  Status checkpoint();
  /// Lets go of the reader and looks for it again (the same --device);
  /// kNotFound (or another open error) while it is not back.
  Status reconnect();
  /// Counts a finished inventory round; the emulated reader is unplugged
  /// when the unplug plan says so.
  void round_finished();

 private:
  // What an opened (not adopted) session holds besides the handle: the
  // state file, the emulator, the trace relay.  Each platform's opening
  // (session_open_<platform>.cpp) defines it.
  struct Opened;

  Session();
  Status connect();
  Status connect_emulator();
  void release();
  Status save_state();
  // Unplugs the emulated reader; false when there is none.
  bool unplug_emulator();
  void drop_state();
  Clock &clock() { return options_.clock ? *options_.clock : system_clock(); }

  SessionOptions options_;
  bool adopted_ = false;
  unsigned rounds_ = 0;
  std::optional<std::int64_t> unplugged_at_ms_;
  std::optional<Error> unsaved_;  ///< a save at a reconnection that failed

  std::unique_ptr<Opened> opened_;
  std::string path_;
  VelkorHandle handle_ = VELKOR_INVALID_HANDLE;
  bool owns_handle_ = false;
  unsigned char address_ = 0xFF;
};

/// kNotFound: discovery found no reader at all.
Error no_reader_found();

/// Which of `count` readers `device` names: an index, a node path or a
/// serial number (8 hex digits); serial_of(i) reads reader i's serial.
/// kNotFound or kBadInput when none is.
Result<int> choose_device(const std::string &device, int count,
                          const std::function<std::string(int)> &path_of,
                          const std::function<std::string(int)> &serial_of);

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_SESSION_H
