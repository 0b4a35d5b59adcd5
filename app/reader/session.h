// The reader a command talks to: a real one found by discovery, or the
// built-in emulator over a socket pair.
#ifndef VELKOR_APP_READER_SESSION_H
#define VELKOR_APP_READER_SESSION_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/files/locked_file.h"
#include "app/reader/device_lock.h"
#include "app/reader/emulated_reader.h"
#include "app/reader/trace_relay.h"
#include "emulator/socket_server.h"
#include "velkor.h"

namespace velkor::app {

struct GlobalOptions {
  std::optional<std::uint64_t> emulate;  ///< seed of the emulated reader
  std::size_t gen2_tags = kEmulatedGen2Tags;    ///< the emulated reader's tags
  std::size_t iso6b_tags = kEmulatedIso6bTags;
  std::size_t feed = 0;  ///< fresh tags placed one at a time (--emulate-feed)
  std::string emulate_state;  ///< file the emulated reader is kept in; "": none
  std::string device = "0";   ///< index among the readers found, node path or serial
  int address = 0xFF;         ///< reader address (0xFF: any reader)
  bool trace = false;
  bool wait = false;  ///< wait for a reader another program holds
};

/// For trying --watch across an unplugged reader without hardware:
/// VELKOR_EMULATOR_UNPLUG=ROUNDS:MS unplugs the emulated reader after ROUNDS
/// inventory rounds and plugs a fresh one (same seed) in MS milliseconds
/// later.
constexpr const char *kUnplugVariable = "VELKOR_EMULATOR_UNPLUG";

class Session {
 public:
  /// Opens the reader the options select; on failure returns null and says
  /// why in *error.
  static std::unique_ptr<Session> open(const GlobalOptions &options, std::string *error);
  ~Session();

  VelkorHandle handle() const { return handle_; }
  /// The reader address byte the commands read and may write back.
  unsigned char *address() { return &address_; }
  bool emulated() const { return options_.emulate.has_value(); }
  /// The device node in use ("/dev/hidraw0"), or "emulator".
  const std::string &path() const { return path_; }

  /// Ends the run: the emulated reader's state goes to its file.  False,
  /// with the reason in *error, when it could not be kept.
  bool finish(std::string *error);
  /// Keeps the emulated reader's state in its file now, as a real tag keeps
  /// what was written to it, so a run that is killed loses nothing the
  /// reader confirmed.  True at once on a real reader or without a file.
  bool checkpoint(std::string *error) { return save_state(error); }

  /// Lets go of the reader and looks for it again (the same device index);
  /// false, with the reason in *error, while it is not back.
  bool reconnect(std::string *error);
  /// Counts a finished inventory round; the emulated reader is unplugged
  /// when the unplug plan says so.
  void round_finished();

 private:
  struct UnplugPlan {
    unsigned after_rounds = 0;
    unsigned back_after_ms = 0;
  };

  Session() = default;
  bool connect(std::string *error);
  bool connect_emulator(std::string *error);
  void release();
  bool save_state(std::string *error);

  GlobalOptions options_;
  std::optional<UnplugPlan> unplug_;
  unsigned rounds_ = 0;
  std::optional<std::chrono::steady_clock::time_point> unplugged_at_;

  std::unique_ptr<LockedFile> state_;
  std::string path_;
  std::unique_ptr<emu::SocketServer> emulator_;
  std::unique_ptr<TraceRelay> relay_;
  VelkorHandle handle_ = VELKOR_INVALID_HANDLE;
  bool owns_handle_ = false;
  unsigned char address_ = 0xFF;
};

/// Prints a trace entry to standard error.
void print_trace(const emu::TraceEntry &entry);

/// Which of `count` readers --device names: an index, a node path or a
/// serial number (8 hex digits); serial_of(i) reads reader i's serial.
/// -1 when none is, with the reason in *error.
int choose_device(const std::string &device, int count,
                  const std::function<std::string(int)> &path_of,
                  const std::function<std::string(int)> &serial_of, std::string *error);

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_SESSION_H
